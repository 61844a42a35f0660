#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The system menu's "Über blattkopf …": a system command's id has its low four bits
// clear and lies below the system's own.
inline constexpr UINT kAboutCommand = 0x0010;
inline constexpr wchar_t kAboutItem[] = L"\u00DCber blattkopf \u2026";

// A value of the module's own version record ("ProductVersion", "Comments", …), as the
// file's properties show it; empty when there is none.
std::wstring versionValue(HMODULE module, const wchar_t *name);

// Who the program is, for support: its version, commit and licence, all from its
// version record, and where the designer list came from (`listSource`, empty for the
// built-in one).
std::wstring aboutText(HMODULE module, const std::wstring &listSource);

} // namespace ui
