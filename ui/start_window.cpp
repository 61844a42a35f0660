#include "ui/start_window.h"

#include "win32/owners.h"

#include <commctrl.h>

#include <atomic>

namespace ui {

// The window and its font are the window thread's alone.
struct StartWindow::Shared {
    HINSTANCE instance = nullptr;
    DWORD delayMs = 0;
    win32::UniqueHandle closing{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    win32::UniqueHandle changed{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    win32::UniqueHandle settled{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<bool> paused{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> cancelled{false};
    win32::UniqueFont font;
};

namespace {

enum ChildId : int { kText = 100, kMarquee }; // apart from IDCANCEL, the button's

constexpr wchar_t kConnecting[] = L"Verbinde mit dem CAD-Programm \u2026";

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// Waits for `handle`, answering what other threads send to this one meanwhile: a
// window that hides or goes may make the system send to the windows of this thread.
void awaitAnsweringSent(HANDLE handle) {
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void layout(HWND window, StartWindow::Shared &shared, UINT dpi, bool centre);

StartWindow::Shared *sharedOf(HWND window) {
    return reinterpret_cast<StartWindow::Shared *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void cancel(HWND window) {
    sharedOf(window)->cancelled = true;
    ShowWindow(window, SW_HIDE); // the load ends as soon as the CAD program lets it
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
        break;
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
        return 0;
    case WM_DPICHANGED:
        win32::moveToSuggested(window, lParam);
        layout(window, *sharedOf(window), HIWORD(wParam), false);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND create(StartWindow::Shared &shared) {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = shared.instance;
    wc.hIcon = LoadIconW(shared.instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kStartWindowClass;
    RegisterClassExW(&wc);
    // On the screen where the user started the program.
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND window = CreateWindowExW(0, kStartWindowClass, L"blattkopf", kStyle, cursor.x,
                                        cursor.y, 1, 1, nullptr, nullptr, shared.instance, &shared);
    if (!window)
        return nullptr;
    const auto child = [&](const wchar_t *kind, const wchar_t *text, DWORD style, int id) {
        CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), shared.instance,
                        nullptr);
    };
    child(L"STATIC", kConnecting, SS_LEFT | SS_NOPREFIX, kText);
    child(PROGRESS_CLASSW, nullptr, PBS_MARQUEE, kMarquee);
    child(L"BUTTON", L"Abbrechen", WS_TABSTOP | BS_DEFPUSHBUTTON, IDCANCEL);
    SendDlgItemMessageW(window, kMarquee, PBM_SETMARQUEE, TRUE, 30);
    layout(window, shared, GetDpiForWindow(window), true);
    return window;
}

// The message font and sizes of the screen the window is on; centred on that
// screen when `centre`.
void layout(HWND window, StartWindow::Shared &shared, UINT dpi, bool centre) {
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    NONCLIENTMETRICSW metrics{sizeof(metrics)};
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    win32::UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    for (const int id : {static_cast<int>(kText), static_cast<int>(IDCANCEL)})
        SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);

    const int margin = px(12), width = px(320), inner = width - 2 * margin;
    RECT text{0, 0, inner, 0};
    const HDC dc = GetDC(window);
    const HGDIOBJ previous = SelectObject(dc, font.get());
    DrawTextW(dc, kConnecting, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    shared.font = std::move(font); // the old one is no longer selected anywhere

    const int barTop = margin + text.bottom + px(8), barHeight = px(16);
    const int buttonTop = barTop + barHeight + px(14), buttonWidth = px(88), buttonHeight = px(26);
    MoveWindow(GetDlgItem(window, kText), margin, margin, inner, text.bottom, TRUE);
    MoveWindow(GetDlgItem(window, kMarquee), margin, barTop, inner, barHeight, TRUE);
    MoveWindow(GetDlgItem(window, IDCANCEL), width - margin - buttonWidth, buttonTop, buttonWidth,
               buttonHeight, TRUE);

    RECT frame{0, 0, width, buttonTop + buttonHeight + margin};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, dpi);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    if (!centre) {
        SetWindowPos(window, nullptr, 0, 0, frameWidth, frameHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    MONITORINFO monitor{sizeof(monitor)};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &work = monitor.rcWork;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - frameWidth) / 2,
                 work.top + (work.bottom - work.top - frameHeight) / 2, frameWidth, frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

StartWindow::StartWindow(HINSTANCE instance, std::chrono::milliseconds delay)
    : shared_(std::make_shared<Shared>()) {
    shared_->instance = instance;
    shared_->delayMs = static_cast<DWORD>(delay.count());
    if (!shared_->closing || !shared_->changed || !shared_->settled)
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
    awaitAnsweringSent(thread_);
    CloseHandle(thread_);
}

void StartWindow::hide() {
    tell(true);
}

void StartWindow::resume() {
    tell(false);
}

void StartWindow::finish() {
    tell(shared_->paused, true);
}

bool StartWindow::cancelled() const {
    return shared_->cancelled;
}

void StartWindow::tell(bool paused, bool finished) {
    if (!thread_)
        return;
    shared_->paused = paused;
    shared_->finished = shared_->finished || finished;
    SetEvent(shared_->changed.get());
    awaitAnsweringSent(shared_->settled.get());
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
        const bool show = late && !shared.paused && !shared.cancelled;
        if (show && !window && !shared.finished)
            window = create(shared);
        if (window && show != static_cast<bool>(IsWindowVisible(window)))
            ShowWindow(window, show ? SW_SHOW : SW_HIDE);
        if (woke == WAIT_OBJECT_0 + 1)
            SetEvent(shared.settled.get()); // hidden or shown as told
    }
    if (window)
        DestroyWindow(window);
    return 0;
}

} // namespace ui
