#pragma once

// Finding another process's program file and windows, and waiting for what it
// does, for the tests and the benchmark that start programs from outside.

#include <windows.h>

#include <functional>
#include <string>

namespace test {

// A file in the folder of the running program.
std::wstring besideThisProgram(const wchar_t *file);

// A visible top-level window of the process; of the given class unless null.
HWND visibleWindowOf(DWORD processId, const wchar_t *className = nullptr);

// A window's text, of this process or another (WM_GETTEXT works across processes).
std::wstring windowText(HWND hwnd);

// Waits until `done` holds, looking every 20 ms; false when it never does within
// about 20 s, so that a hang fails instead of stalling the run.
bool waitUntil(const std::function<bool()> &done);

} // namespace test
