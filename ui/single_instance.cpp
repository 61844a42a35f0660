#include "ui/single_instance.h"

#include "identity.h"
#include "ui/start_window.h"

#include <string>

namespace ui {
namespace {

struct Shown {
    DWORD process;
    HWND box = nullptr;   // a message box of the load, owned by no window
    HWND start = nullptr; // the start window
};

BOOL CALLBACK look(HWND window, LPARAM lParam) {
    auto &shown = *reinterpret_cast<Shown *>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != shown.process || !IsWindowVisible(window))
        return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (std::wstring_view(name) == L"#32770")
        shown.box = window;
    else if (std::wstring_view(name) == kStartWindowClass)
        shown.start = window;
    return TRUE;
}

} // namespace

SingleInstance::SingleInstance() {
    // CreateMutexW says "already exists" beside a handle it did make, so what it said
    // before must not stand in for that.
    SetLastError(ERROR_SUCCESS);
    mutex_ = CreateMutexW(nullptr, FALSE, kInstanceName.c_str());
    const DWORD error = GetLastError();
    // No handle and access denied: the tool of another user, or an elevated one, holds
    // the name. Any other failure (another program took the name for an object of
    // another kind) must not keep the tool from starting: it runs as if alone.
    first_ = mutex_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

SingleInstance::~SingleInstance() {
    if (mutex_)
        CloseHandle(mutex_);
}

void bringRunningToFront() {
    const HWND main = FindWindowW(identity::kWindowClass, nullptr);
    if (!main)
        return; // it is just starting, and shows itself
    Shown shown{};
    GetWindowThreadProcessId(main, &shown.process);
    EnumWindows(&look, reinterpret_cast<LPARAM>(&shown));
    HWND front = shown.box ? shown.box : shown.start;
    if (IsWindowVisible(main)) {
        if (IsIconic(main))
            ShowWindowAsync(main, SW_RESTORE); // not held up by an operation that waits
        front = GetLastActivePopup(main);
    }
    // Allowed: this process was started by the user a moment ago.
    if (front)
        SetForegroundWindow(front);
}

} // namespace ui
