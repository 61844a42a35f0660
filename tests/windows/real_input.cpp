#include "real_input.h"

#include "process_windows.h"

#include <cstring>
#include <vector>

namespace test {
namespace {

INPUT key(WORD virtualKey, wchar_t character, DWORD flags) {
    INPUT input{INPUT_KEYBOARD};
    input.ki.wVk = virtualKey;
    input.ki.wScan = character;
    input.ki.dwFlags = flags;
    return input;
}

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

bool toFront(HWND window) {
    // Windows lets no background process take the foreground (on a build runner the
    // runner's console holds it); one attached to the input of the thread in front may.
    const DWORD self = GetCurrentThreadId();
    const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = front && front != self && AttachThreadInput(self, front, TRUE);
    SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(self, front, FALSE);
    // Keys go to the focus of the thread in front; until that thread has taken its
    // activation, there is none and a key would be lost.
    return waitUntil([&] {
        GUITHREADINFO info{sizeof(info)};
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        return GetForegroundWindow() == window && info.hwndActive == window &&
               (info.hwndFocus == window || IsChild(window, info.hwndFocus));
    });
}

void press(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (const WORD k : keys)
        inputs.push_back(key(k, 0, 0));
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        inputs.push_back(key(*it, 0, KEYEVENTF_KEYUP));
    send(inputs);
}

void type(const std::wstring &characters) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : characters) {
        inputs.push_back(key(0, c, KEYEVENTF_UNICODE));
        inputs.push_back(key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    send(inputs);
}

void click(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    INPUT mouse{INPUT_MOUSE};
    mouse.mi.dx = MulDiv((r.left + r.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    mouse.mi.dy = MulDiv((r.top + r.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    std::vector<INPUT> inputs(3, mouse);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    send(inputs);
}

void copyText(HWND owner, const std::wstring &text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    OpenClipboard(owner);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memory); // the clipboard owns it now
    CloseClipboard();
}

} // namespace test
