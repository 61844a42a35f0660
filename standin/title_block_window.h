#pragma once

#include <windows.h>

namespace standin {

// The stand-in's main window: the active document's title and its title block,
// drawn like a drawing's, as of the last rebuild. It reads the state file each
// time it paints; invalidate it when the state changes. Closing it ends the
// message loop.
HWND createTitleBlockWindow(HINSTANCE instance);

} // namespace standin
