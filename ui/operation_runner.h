#pragma once

#include "cad/com.h"
#include "cad/patience.h"
#include "titleblock/document.h"
#include "titleblock/form.h"
#include "ui/input_time.h"
#include "ui/start_window.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace ui {

// Runs the title-block operations of one window: one at a time, with the wait
// cursor, every failure reported and the window kept. It asks the user when the CAD
// program keeps an operation waiting, and drops the keys and clicks made meanwhile.
class OperationRunner {
public:
    using Operation = void (*)(titleblock::Form &, const titleblock::Connect &);

    // Bears with a busy or silent CAD program for `patience` before asking the user.
    explicit OperationRunner(std::chrono::milliseconds patience);
    OperationRunner(const OperationRunner &) = delete;
    OperationRunner &operator=(const OperationRunner &) = delete;

    // The window the runner posts to and owns its boxes by, and what runs a command
    // it asked for.
    void attach(HWND window, std::function<void(int command)> runCommand);

    // Asks for `command` to run after the message at hand. A click may come sent by
    // another program, and COM refuses outgoing calls inside such a message.
    void request(int command);
    // Runs `operation` on `form` now.
    void run(Operation operation, titleblock::Form &form);
    // While the window loads: the window that shows while the load waits, which makes
    // way for every message and whose "Abbrechen" stops the load. Null after.
    void setStartWindow(StartWindow *start) { start_ = start; }
    // Whether an operation may start the CAD program, or uses only one that runs. One that
    // may begins connecting now, for the first operation to take over.
    void setStartsCad(bool starts);
    bool running() const { return running_; }

    // For the window procedure: true when `message` was the runner's own.
    bool handle(UINT message, WPARAM wParam, LPARAM lParam);
    // For the message loop: drops the keys, clicks, touches and pen strokes made while
    // the last operation ran, whenever they turn up; true when `message` was one.
    bool dropInput(const MSG &message);

    // A modal box owned by the window. Keys made before it came up were not meant
    // for it and do not answer it.
    int messageBox(const std::wstring &text, const wchar_t *title, UINT style);

private:
    static constexpr UINT kRequest = WM_APP;   // the command; operations run before
    static constexpr UINT kEnded = WM_APP + 1; // stamped as input is

    bool askToRetry();
    bool askToKeepWaiting();
    bool askToStartAgain();
    // A question of the gateway's: the start window makes way for it, and is back
    // when the answer is to go on.
    bool askGoingOn(const std::wstring &question, UINT style, int goOn);

    cad::Patience patience_;
    titleblock::Connect connect_;
    HWND window_ = nullptr;
    std::function<void(int)> runCommand_;
    StartWindow *start_ = nullptr; // while the window loads
    bool running_ = false;
    bool startsCad_ = true;
    cad::HeadStart headStart_;
    unsigned operationsRun_ = 0;
    DWORD operationStart_ = 0; // when the one under way was asked for, as input is timed
    std::optional<Stretch> lastOperation_;
};

} // namespace ui
