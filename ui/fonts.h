#pragma once

#include "win32/owners.h"

#include <windows.h>

namespace ui {

// The faces the window draws in at one resolution.
struct Faces {
    win32::UniqueFont captions; // every control but the heading
    win32::UniqueFont heading;
};

// Chooses them for the layout at `dpi`, measured on `window`'s device.
Faces chooseFaces(HWND window, UINT dpi);

} // namespace ui
