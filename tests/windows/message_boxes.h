#pragma once

#include "process_windows.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

struct SeenBox {
    std::wstring title;
    std::wstring text;
    int buttons = 0;
    bool icon = false;
    bool windowVisible = false; // was the watched window showing when the box came up
};

// Answers every message box on this thread and notes what it showed.
class MessageBoxes {
public:
    // `watchedClass`: the class of the window whose visibility is noted.
    explicit MessageBoxes(const wchar_t *watchedClass = nullptr)
        : hook_(SetWindowsHookExW(WH_CBT, &hook, nullptr, GetCurrentThreadId())),
          watchedClass_(watchedClass) {
        current_ = this;
    }
    ~MessageBoxes() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    MessageBoxes(const MessageBoxes &) = delete;
    MessageBoxes &operator=(const MessageBoxes &) = delete;

    std::vector<SeenBox> seen;
    // The button that answers a box: OK unless set; 0 leaves it to real input.
    std::function<int(const SeenBox &)> answer;

private:
    static inline thread_local MessageBoxes *current_ = nullptr;
    static std::wstring className(HWND hwnd) {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
        return name;
    }
    static BOOL CALLBACK inspectChild(HWND child, LPARAM lParam) {
        auto &box = *reinterpret_cast<SeenBox *>(lParam);
        const std::wstring kind = className(child);
        if (kind == L"Button" && (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            ++box.buttons;
        if (kind == L"Static" && SendMessageW(child, STM_GETICON, 0, 0))
            box.icon = true;
        return TRUE;
    }
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto box = reinterpret_cast<HWND>(wParam);
        MessageBoxes *const self = current_;
        if (code == HCBT_ACTIVATE && self && className(box) == L"#32770") {
            SeenBox seen{windowText(box), windowText(GetDlgItem(box, 0xFFFF))};
            EnumChildWindows(box, &inspectChild, reinterpret_cast<LPARAM>(&seen));
            if (self->watchedClass_) {
                const HWND watched = FindWindowW(self->watchedClass_, nullptr);
                seen.windowVisible = watched && IsWindowVisible(watched);
            }
            self->seen.push_back(seen);
            if (const int button = self->answer ? self->answer(seen) : IDOK)
                PostMessageW(box, WM_COMMAND, button, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
    const wchar_t *watchedClass_;
};

} // namespace test
