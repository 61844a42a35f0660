#pragma once

// Finding another process's program file and windows, for the tests and the
// benchmark that start blattkopf.exe from outside.

#include <windows.h>

#include <string>

namespace test {

// A file in the folder of the running program.
std::wstring besideThisProgram(const wchar_t *file);

// A visible top-level window of the process; of the given class unless null.
HWND visibleWindowOf(DWORD processId, const wchar_t *className = nullptr);

} // namespace test
