#include "message_boxes.h"

#include "process_windows.h"

namespace test {
namespace {

thread_local MessageBoxes *t_current = nullptr;

std::wstring className(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return name;
}

BOOL CALLBACK inspectChild(HWND child, LPARAM lParam) {
    auto &box = *reinterpret_cast<SeenBox *>(lParam);
    const std::wstring kind = className(child);
    if (kind == L"Button" && (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
        ++box.buttons;
    if (kind == L"Static" && SendMessageW(child, STM_GETICON, 0, 0))
        box.icon = true;
    return TRUE;
}

} // namespace

MessageBoxes::MessageBoxes(const wchar_t *watchedClass)
    : hook_(SetWindowsHookExW(WH_CBT, &MessageBoxes::hook, nullptr, GetCurrentThreadId())), watchedClass_(watchedClass) {
    t_current = this;
}

MessageBoxes::~MessageBoxes() {
    UnhookWindowsHookEx(hook_);
    t_current = nullptr;
}

LRESULT CALLBACK MessageBoxes::hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && t_current && className(box) == L"#32770") {
        SeenBox seen;
        seen.title = windowText(box);
        seen.text = windowText(GetDlgItem(box, 0xFFFF));
        EnumChildWindows(box, &inspectChild, reinterpret_cast<LPARAM>(&seen));
        if (t_current->watchedClass_) {
            const HWND watched = FindWindowW(t_current->watchedClass_, nullptr);
            seen.windowVisible = watched && IsWindowVisible(watched);
        }
        t_current->seen.push_back(seen);
        PostMessageW(box, WM_COMMAND, t_current->answer ? t_current->answer(seen) : IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace test
