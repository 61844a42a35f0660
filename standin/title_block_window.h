#pragma once

#include <windows.h>

namespace standin {

// The stand-in's main window: the active document's title and its title block,
// drawn like a drawing's, as of the last rebuild, from the process's state.
// Closing it ends the message loop.
HWND createTitleBlockWindow(HINSTANCE instance);

} // namespace standin
