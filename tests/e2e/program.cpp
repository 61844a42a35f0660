#include "program.h"

#include "process_windows.h"

#include <gtest/gtest.h>

#include <vector>

namespace test {
Program::Program() {
    std::wstring command = L"\"" + besideThisProgram(L"blattkopf.exe") + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
        ADD_FAILURE() << "blattkopf.exe did not start: " << GetLastError();
}

Program::~Program() {
    if (!process_.hProcess)
        return;
    if (!exited()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Program::window() const {
    return visibleWindowOf(process_.dwProcessId, L"blattkopf.frmSfInfo");
}

HWND Program::messageBox() const {
    return visibleWindowOf(process_.dwProcessId, L"#32770");
}

HWND Program::focus() const {
    GUITHREADINFO info{sizeof(info)};
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

void Program::key(UINT virtualKey) const {
    const HWND target = focus();
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

// Once the window has shown, it gets the focus a moment later; characters sent
// before then would go nowhere.
HWND Program::focusedControl() const {
    HWND focused = nullptr;
    waitUntil([&] { return (focused = focus()) && IsChild(window(), focused); });
    return focused;
}

// To the window itself, whose dialog manager finds the button: under Wine the
// window is not always active again after a message box, and a key sent to the
// focus would then go nowhere.
void Program::altKey(wchar_t letter) const { PostMessageW(window(), WM_SYSCHAR, letter, 0x20000001); }

void Program::type(const std::wstring &characters) const {
    const HWND target = focusedControl();
    for (const wchar_t c : characters)
        PostMessageW(target, WM_CHAR, c, 1);
}

void Program::click(ui::ControlId id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }

bool Program::exited(DWORD *exitCode) const {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

std::wstring today() {
    wchar_t date[64];
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64, nullptr);
    return date;
}

} // namespace test
