#pragma once

// blattkopf.exe running in its own process, seen and driven from outside
// through window messages only, as a user's keyboard and eyes would.

#include "layout.h"
#include "process_windows.h"

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

    // Pressed and released where the focus is, a message box too.
    void key(UINT virtualKey) const {
        const HWND target = focus();
        PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
        PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
    }
    // To the window itself, whose dialog manager finds the button: under Wine the
    // window is not always active again after a message box, and a key sent to the
    // focus would then go nowhere.
    void altKey(wchar_t letter) const { PostMessageW(window(), WM_SYSCHAR, letter, 0x20000001); }
    // Into the main window's focused control. Once the window has shown, it gets
    // the focus a moment later; characters sent before then would go nowhere.
    void type(const std::wstring &characters) const {
        HWND target = nullptr;
        waitUntil([&] { return (target = focus()) && IsChild(window(), target); });
        for (const wchar_t c : characters)
            PostMessageW(target, WM_CHAR, c, 1);
    }
    void click(ui::ControlId id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }

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
