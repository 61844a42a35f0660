#pragma once

#include "win32/owners.h"

#include <windows.h>

namespace ui {

// The faces the window draws in at one resolution.
struct Faces {
    win32::UniqueFont captions; // labels, check boxes, buttons
    win32::UniqueFont fields;   // the four fields and the designer list
    win32::UniqueFont heading;
};

// Chooses them for the layout at `dpi`, measured on `window`'s device.
Faces chooseFaces(HWND window, UINT dpi);

} // namespace ui
