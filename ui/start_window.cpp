#include "ui/start_window.h"

#include "ui/start_window_controls.h"
#include "win32/owners.h"
#include "win32/wait.h"

#include <commctrl.h>

#include <atomic>
#include <iterator>
#include <string_view>

namespace ui {

// The window and its font are the window thread's alone. The load's thread sets
// what it wants and posts kApply; before the window exists it signals `changed`.
struct StartWindow::Shared {
    HINSTANCE instance = nullptr;
    DWORD delayMs = 0;
    DWORD loader = 0; // the load's thread, woken when the user stops the load
    win32::UniqueHandle closing{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    win32::UniqueHandle changed{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> givingWay{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> cancelled{false};
    win32::UniqueFont font;
};

namespace {

// From the load's thread: do as Shared says now; end what holds the thread, it goes.
constexpr UINT kApply = WM_APP, kClose = WM_APP + 1;

StartWindow::Shared *sharedOf(HWND window) {
    return reinterpret_cast<StartWindow::Shared *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Hides it without activating it. Hidden while it is the active window, it hands the
// activation to whatever window is next: so it gives way to a box only once the box
// has taken the activation.
void hideQuietly(HWND window) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

BOOL CALLBACK foregroundBox(HWND window, LPARAM) {
    wchar_t name[8] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (!IsWindowVisible(window) || std::wstring_view(name) != L"#32770")
        return TRUE;
    SetForegroundWindow(window);
    return FALSE;
}

// Shown, hidden or left as the load wants it. Shown by SetWindowPos, not ShowWindow,
// whose first call in a process takes the show state of the user's shortcut, which
// is meant for the program's window.
void apply(HWND window, const StartWindow::Shared &shared) {
    const bool visible = IsWindowVisible(window);
    if (shared.cancelled || (shared.finished && !visible)) {
        if (visible)
            hideQuietly(window);
    } else if (shared.givingWay) {
        // In front, it goes once the box has taken the foreground from it (WM_ACTIVATE).
        if (visible && GetForegroundWindow() != window)
            hideQuietly(window);
    } else if (!visible) {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(window);
        // A box of the load that came up meanwhile keeps the foreground: the start window,
        // in front now, may hand it on, and gives way once it has (WM_ACTIVATE).
        if (shared.givingWay)
            EnumThreadWindows(shared.loader, &foregroundBox, 0);
    }
}

void cancel(HWND window) {
    StartWindow::Shared &shared = *sharedOf(window);
    shared.cancelled = true;
    hideQuietly(window);
    // The load's wait asks whether to go on only when a message arrives.
    PostThreadMessageW(shared.loader, WM_NULL, 0, 0);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
        break;
    case kApply:
        apply(window, *sharedOf(window));
        return 0;
    case kClose: // out of a held title bar or an open menu, back to the thread's loop
        SendMessageW(window, WM_CANCELMODE, 0, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) // the button, Enter on it, or Esc
            cancel(window);
        return 0;
    case WM_CLOSE:
        cancel(window);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(GetDlgItem(window, IDCANCEL));
        else if (sharedOf(window)->givingWay)
            hideQuietly(window); // the box has taken the activation from it
        return 0;
    case WM_DPICHANGED:
        win32::moveToSuggested(window, lParam);
        layoutStartWindow(window, sharedOf(window)->font, HIWORD(wParam), false);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

StartWindow::StartWindow(HINSTANCE instance, std::chrono::milliseconds delay)
    : shared_(std::make_shared<Shared>()) {
    shared_->instance = instance;
    shared_->delayMs = static_cast<DWORD>(delay.count());
    shared_->loader = GetCurrentThreadId();
    if (!shared_->closing || !shared_->changed)
        return; // the system is out of resources: the load goes on without it
    auto *forThread = new std::shared_ptr<Shared>(shared_);
    thread_ = CreateThread(nullptr, 0, &StartWindow::run, forThread, 0, nullptr);
    if (!thread_)
        delete forThread;
}

StartWindow::~StartWindow() {
    if (!thread_)
        return;
    SetEvent(shared_->closing.get());
    if (const HWND window = shared_->window)
        PostMessageW(window, kClose, 0, 0);
    win32::awaitAnsweringSent(thread_);
    CloseHandle(thread_);
}

void StartWindow::giveWay() {
    shared_->givingWay = true;
    tell();
}

void StartWindow::resume() {
    shared_->givingWay = false;
    tell();
}

void StartWindow::finish() {
    shared_->finished = true;
    tell();
}

bool StartWindow::cancelled() const {
    return shared_->cancelled;
}

void StartWindow::tell() {
    if (!thread_)
        return;
    if (const HWND window = shared_->window)
        PostMessageW(window, kApply, 0, 0);
    else
        SetEvent(shared_->changed.get()); // the window, once made, looks at Shared itself
}

DWORD WINAPI StartWindow::run(void *parameter) {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(
        static_cast<std::shared_ptr<Shared> *>(parameter));
    Shared &shared = **owned;
    const HANDLE events[] = {shared.closing.get(), shared.changed.get()};
    const ULONGLONG due = GetTickCount64() + shared.delayMs;
    HWND window = nullptr;
    for (bool late = false;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD woke = MsgWaitForMultipleObjects(
            2, events, FALSE, late ? INFINITE : static_cast<DWORD>(now < due ? due - now : 0),
            QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            break;
        late = late || woke == WAIT_TIMEOUT;
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            if (!window || !IsDialogMessageW(window, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        if (late && !window && !shared.finished && !shared.givingWay && !shared.cancelled &&
            (window = createStartWindow(shared.instance, &windowProc, &shared, shared.font)) !=
                nullptr)
            shared.window = window; // from now on the load's thread posts to it
        if (window)
            apply(window, shared);
    }
    if (window)
        DestroyWindow(window);
    return 0;
}

} // namespace ui
