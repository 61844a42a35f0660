#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The system menu's "Über blattkopf …": a system command's id has its low four bits
// clear and lies below the system's own.
inline constexpr UINT kAboutCommand = 0x0010;
inline constexpr wchar_t kAboutItem[] = L"\u00DCber blattkopf \u2026";

// Who the program is, for support: its version, commit and licence, as its version
// record says them, and where the designer list came from (`listSource`, empty for the
// built-in one).
std::wstring aboutText(const std::wstring &listSource);

} // namespace ui
