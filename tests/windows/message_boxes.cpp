#include "message_boxes.h"

namespace test {
namespace {

thread_local MessageBoxes *t_current = nullptr;

std::wstring text(HWND hwnd) {
    std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, s.data(), static_cast<int>(s.size()))));
    return s;
}

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

struct Search {
    const wchar_t *className;
    HWND found = nullptr;
};

BOOL CALLBACK findByClass(HWND hwnd, LPARAM lParam) {
    auto &search = *reinterpret_cast<Search *>(lParam);
    if (className(hwnd) != search.className)
        return TRUE;
    search.found = hwnd;
    return FALSE;
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
        seen.title = text(box);
        seen.text = text(GetDlgItem(box, 0xFFFF));
        EnumChildWindows(box, &inspectChild, reinterpret_cast<LPARAM>(&seen));
        if (t_current->watchedClass_) {
            Search search{t_current->watchedClass_};
            EnumThreadWindows(GetCurrentThreadId(), &findByClass, reinterpret_cast<LPARAM>(&search));
            seen.windowVisible = search.found && IsWindowVisible(search.found);
        }
        t_current->seen.push_back(seen);
        PostMessageW(box, WM_COMMAND, t_current->answer ? t_current->answer(seen) : IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace test
