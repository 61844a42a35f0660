#pragma once

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
    explicit MessageBoxes(const wchar_t *watchedClass = nullptr);
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes &) = delete;
    MessageBoxes &operator=(const MessageBoxes &) = delete;

    std::vector<SeenBox> seen;
    // The button that answers a box: OK unless set.
    std::function<int(const SeenBox &)> answer;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
    const wchar_t *watchedClass_;
};

} // namespace test
