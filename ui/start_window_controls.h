#pragma once

#include "win32/owners.h"

#include <windows.h>

namespace ui {

// The start window's controls: its text, a marquee and the "Abbrechen" button.
enum StartWindowChild : int { kStartText = 100, kStartMarquee };

inline constexpr wchar_t kConnecting[] = L"Verbindung zum CAD-Programm wird hergestellt \u2026";

// Makes the start window, hidden, with its controls, on the screen where the user
// started the program; `param` reaches `proc` in WM_NCCREATE. Null if it cannot be made.
HWND createStartWindow(HINSTANCE instance, WNDPROC proc, void *param, win32::UniqueFont &font);

// The message font (kept in `font`) and sizes of a screen of `dpi`; centred on the
// window's screen when `centre`.
void layoutStartWindow(HWND window, win32::UniqueFont &font, UINT dpi, bool centre);

} // namespace ui
