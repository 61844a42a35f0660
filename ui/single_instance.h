#pragma once

#include <windows.h>

namespace ui {

// The one tool of a desktop. A second start in the same session finds the first
// running, brings it to the front and ends, connecting to nothing; another session
// (another user, Remote Desktop) has a tool of its own.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    bool first() const { return first_; }

private:
    HANDLE mutex_;
    bool first_;
};

// Brings what the user sees of the tool that runs already to the front: a question it
// asks, its window, restored if minimized, or its start window while it loads.
void bringRunningToFront();

} // namespace ui
