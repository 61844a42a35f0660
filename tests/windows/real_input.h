#pragma once

// Keys and clicks as a hand makes them: into the system's input queue, from where
// they reach the window in front and the control under the mouse. Unlike posted
// messages they wait in the queue while the program waits for the CAD program.

#include <windows.h>

#include <initializer_list>
#include <string>

namespace test {

// Brings the window to the front with the focus in it, as a user clicking into it;
// false when it never got there.
bool toFront(HWND window);
// Pressed together and released in reverse: Alt+E is {VK_MENU, 'E'}.
void press(std::initializer_list<WORD> keys);
void type(const std::wstring &characters);
void click(HWND control);
// Puts the text on the clipboard, as copying it elsewhere would.
void copyText(HWND owner, const std::wstring &text);

} // namespace test
