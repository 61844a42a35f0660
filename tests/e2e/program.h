#pragma once

// blattkopf.exe running in its own process, seen from outside through window
// messages and driven with real input, as a user's eyes and hands would.

#include "layout.h"
#include "process_windows.h"
#include "real_input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace test {

class Program {
public:
    // Starts blattkopf.exe from beside this test program.
    Program() {
        std::wstring command = L"\"" + besideThisProgram(L"blattkopf.exe") + L"\"";
        STARTUPINFOW startup{sizeof(startup)};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
            ADD_FAILURE() << "blattkopf.exe did not start: " << GetLastError();
    }
    // Ends it if it is still running.
    ~Program() {
        if (!process_.hProcess)
            return;
        if (!exited()) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, INFINITE);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The main window, once it is visible; the program's open message box, if any.
    HWND window() const { return visibleWindowOf(process_.dwProcessId, L"blattkopf.frmSfInfo"); }
    HWND messageBox() const { return visibleWindowOf(process_.dwProcessId, L"#32770"); }
    HWND control(ui::ControlId id) const { return GetDlgItem(window(), static_cast<int>(id)); }
    std::wstring text(ui::ControlId id) const { return windowText(control(id)); }
    HWND focus() const {
        GUITHREADINFO info{sizeof(info)};
        GetGUIThreadInfo(process_.dwThreadId, &info);
        return info.hwndFocus;
    }

    // Once an operation has made its last call, waits until the window takes commands
    // again: it ignores them while an operation runs, and drops the input that came
    // meanwhile before it takes the next. Probed with the date button's command; the
    // date field is put back as it was.
    bool idle() const {
        const HWND date = control(ui::ControlId::txtSfDatum);
        const std::wstring before = windowText(date);
        SendMessageW(date, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        const bool taken = waitUntil([&] {
            SendMessageW(window(), WM_COMMAND, MAKEWPARAM(static_cast<int>(ui::ControlId::cmdAutoDate), BN_CLICKED),
                         reinterpret_cast<LPARAM>(control(ui::ControlId::cmdAutoDate)));
            return !windowText(date).empty();
        });
        SendMessageW(date, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
        return taken;
    }

    bool exited(DWORD *exitCode = nullptr) const {
        if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
            return false;
        if (exitCode)
            GetExitCodeProcess(process_.hProcess, exitCode);
        return true;
    }

private:
    PROCESS_INFORMATION process_{};
};

} // namespace test
