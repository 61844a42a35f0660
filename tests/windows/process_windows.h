#pragma once

// Other processes, started from here or found running, and their windows, for the
// tests and the benchmark that drive programs from outside.

#include "win32/owners.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace test {

// Waits until `done` holds, looking every `interval`; false when it never does
// within about 20 s, so that a hang fails instead of stalling the run.
bool waitUntil(const std::function<bool()> &done,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20));

// A program started with a command line; it runs on when this goes. Given a show
// command, it is started as a shortcut set to "Minimiert" or "Maximiert" starts it.
class Process {
public:
    explicit Process(std::wstring commandLine, std::optional<WORD> showCommand = {});

    bool started() const { return win32::valid(process_); }
    DWORD id() const { return id_; }
    DWORD threadId() const { return threadId_; }
    bool exited(DWORD *exitCode = nullptr) const;
    bool waitForInputIdle() const { return WaitForInputIdle(process_.get(), 20'000) == 0; }
    // Waits, as waitUntil does, for it to end.
    bool waitForExit(DWORD *exitCode = nullptr) const;
    void terminate() const;

private:
    win32::UniqueHandle process_;
    DWORD id_ = 0;
    DWORD threadId_ = 0;
};

// A program in the folder of the running one, quoted for a command line.
std::wstring besideThisProgram(const wchar_t *file);

// A visible top-level window of the process; of the given class unless null.
HWND visibleWindowOf(DWORD processId, const wchar_t *className = nullptr);

// A top-level window of the process, hidden or not; of the given class unless null.
HWND windowOf(DWORD processId, const wchar_t *className = nullptr);

// The processes running the program `file` (a name such as L"x.exe"), each opened
// to wait for its end.
std::vector<win32::UniqueHandle> runningPrograms(const wchar_t *file);

// A window's text, of this process or another (WM_GETTEXT works across processes).
std::wstring windowText(HWND hwnd);

} // namespace test
