// The window's controls: made once, from the table, and laid out for a resolution
// whenever the window comes to a screen of another.

#include "ui/frmSfInfo.h"

#include <commctrl.h>

#include <utility>

namespace ui {
namespace {

constexpr int kListRows = 8; // the designers the open list shows at once; more scroll

} // namespace

void frmSfInfo::createControls() {
    const HWND tooltip =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                        0, 0, hwnd_, nullptr, instance_, nullptr);
    for (const ControlSpec &spec : kControls) {
        const HWND child = CreateWindowExW(
            spec.kind.exStyle, spec.kind.className, spec.text,
            WS_CHILD | WS_VISIBLE | spec.kind.style, 0, 0, 0, 0, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_, nullptr);
        if (spec.tooltip) {
            TTTOOLINFOW tool{sizeof(tool)};
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = hwnd_;
            tool.uId = reinterpret_cast<UINT_PTR>(child);
            tool.lpszText = const_cast<wchar_t *>(spec.tooltip);
            SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        // Values of any length are shown whole, typed or pasted, and written back unchanged.
        if (spec.kind.limitText)
            SendMessageW(child, spec.kind.limitText, 0, 0);
        // Create mode and automatic rebuild work on any document: the safe defaults.
        if (spec.role == Role::Option)
            SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
    }
    // A drop-down combo box ignores its creation text.
    SetWindowTextW(control(ControlId::cmbSfKonstrukteur), L"Combo1");
}

void frmSfInfo::layout(UINT dpi) {
    // The old faces go only once no control draws with them any more.
    Faces faces = chooseFaces(hwnd_, dpi);
    // The frame as it is now, whatever DPI the system drew it for.
    RECT frame, client;
    GetWindowRect(hwnd_, &frame);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, 0, 0,
                 twipsToPixels(kClientTwips.cx, dpi) + (frame.right - frame.left) - client.right,
                 twipsToPixels(kClientTwips.cy, dpi) + (frame.bottom - frame.top) - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (const ControlSpec &spec : kControls) {
        const HWND child = control(spec.id);
        const HFONT font = spec.role == Role::Heading ? faces.heading.get()
                           : spec.role == Role::Field ? faces.fields.get()
                                                      : faces.captions.get();
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const int left = twipsToPixels(spec.twips.left, dpi);
        const int top = twipsToPixels(spec.twips.top, dpi);
        const int width = twipsToPixels(spec.twips.right, dpi) - left;
        int height = twipsToPixels(spec.twips.bottom, dpi) - top;
        if (spec.kind.dropDown) {
            // The closed box keeps the table's height; the window height is the open list's.
            const int border =
                GetSystemMetricsForDpi(SM_CYEDGE, dpi) + GetSystemMetricsForDpi(SM_CYBORDER, dpi);
            SendMessageW(child, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - 2 * border);
            height *= 1 + kListRows;
        }
        SetWindowPos(child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    faces_ = std::move(faces);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

} // namespace ui
