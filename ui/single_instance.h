#pragma once

#include "identity.h"

#include <windows.h>

#include <string>

namespace ui {

// What the tool of a session holds: "Local\" makes it one name per session.
inline const std::wstring kInstanceName = std::wstring(L"Local\\") + identity::kWindowClass;

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
