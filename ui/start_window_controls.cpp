#include "ui/start_window_controls.h"

#include "ui/start_window.h"

#include <commctrl.h>

namespace ui {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

} // namespace

HWND createStartWindow(HINSTANCE instance, WNDPROC proc, void *param, win32::UniqueFont &font) {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kStartWindowClass;
    RegisterClassExW(&wc);
    // On the screen where the user started the program.
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND window = CreateWindowExW(0, kStartWindowClass, L"blattkopf", kStyle, cursor.x,
                                        cursor.y, 1, 1, nullptr, nullptr, instance, param);
    if (!window)
        return nullptr;
    const auto child = [&](const wchar_t *kind, const wchar_t *text, DWORD style, int id) {
        CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    child(L"STATIC", kConnecting, SS_LEFT | SS_NOPREFIX, kStartText);
    child(PROGRESS_CLASSW, nullptr, PBS_MARQUEE, kStartMarquee);
    child(L"BUTTON", L"Abbrechen", WS_TABSTOP | BS_DEFPUSHBUTTON, IDCANCEL);
    SendDlgItemMessageW(window, kStartMarquee, PBM_SETMARQUEE, TRUE, 30);
    layoutStartWindow(window, font, GetDpiForWindow(window), true);
    return window;
}

// The message font and sizes of the screen the window is on; centred on that
// screen when `centre`.
void layoutStartWindow(HWND window, win32::UniqueFont &font, UINT dpi, bool centre) {
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    NONCLIENTMETRICSW metrics{sizeof(metrics)};
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    win32::UniqueFont messageFont(CreateFontIndirectW(&metrics.lfMessageFont));
    for (const int id : {static_cast<int>(kStartText), static_cast<int>(IDCANCEL)})
        SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont.get()),
                            TRUE);

    const int margin = px(12), width = px(320), inner = width - 2 * margin;
    RECT text{0, 0, inner, 0};
    const HDC dc = GetDC(window);
    const HGDIOBJ previous = SelectObject(dc, messageFont.get());
    DrawTextW(dc, kConnecting, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    font = std::move(messageFont); // the old one is no longer selected anywhere

    const int barTop = margin + text.bottom + px(8), barHeight = px(16);
    const int buttonTop = barTop + barHeight + px(14), buttonWidth = px(88), buttonHeight = px(26);
    MoveWindow(GetDlgItem(window, kStartText), margin, margin, inner, text.bottom, TRUE);
    MoveWindow(GetDlgItem(window, kStartMarquee), margin, barTop, inner, barHeight, TRUE);
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

} // namespace ui
