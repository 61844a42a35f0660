#include "standin/title_block_window.h"

#include "standin/process.h"
#include "standin/standin_identity.h"
#include "win32/owners.h"

#include <string>

namespace standin {
namespace {

win32::UniqueFont font(int points, int weight, UINT dpi) {
    return win32::UniqueFont(CreateFontW(-MulDiv(points, static_cast<int>(dpi), 72), 0, 0, 0,
                                         weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

void paint(HWND hwnd, HDC dc) {
    const UINT dpi = GetDpiForWindow(hwnd);
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    const win32::UniqueFont text = font(9, FW_NORMAL, dpi), small = font(7, FW_NORMAL, dpi),
                            title = font(11, FW_BOLD, dpi);

    State state;
    std::wstring problem;
    try {
        state = process::state();
    } catch (const Fault &fault) {
        problem = fault.description;
    }
    RECT heading{px(12), px(10), client.right - px(12), px(34)};
    SelectObject(dc, title.get());
    const std::wstring caption = !problem.empty()                  ? problem
                                 : !state.documentType.has_value() ? L"Kein Dokument geöffnet"
                                                                   : state.title;
    DrawTextW(dc, caption.c_str(), -1, &heading, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (!problem.empty() || !state.documentType)
        return;

    // The sheet's border, and the title block ruled into its lower right corner: a
    // row for each text as of the last rebuild.
    RECT sheet{px(12), px(40), client.right - px(12), client.bottom - px(12)};
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
    const int rowHeight = px(30), labelWidth = px(110), width = px(340);
    const RECT block{sheet.right - width,
                     sheet.bottom - rowHeight * static_cast<int>(state.titleBlock.size()),
                     sheet.right, sheet.bottom};
    Rectangle(dc, block.left, block.top, block.right, block.bottom);
    MoveToEx(dc, block.left + labelWidth, block.top, nullptr);
    LineTo(dc, block.left + labelWidth, block.bottom);
    for (std::size_t row = 0; row < state.titleBlock.size(); ++row) {
        const Shown &shown = state.titleBlock[row];
        const int top = block.top + rowHeight * static_cast<int>(row);
        if (row > 0) {
            MoveToEx(dc, block.left, top, nullptr);
            LineTo(dc, block.right, top);
        }
        RECT label{block.left + px(4), top + px(2), block.left + labelWidth - px(2),
                   top + rowHeight};
        SelectObject(dc, small.get());
        DrawTextW(dc, shown.name.c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX);
        RECT value{block.left + labelWidth + px(6), top, block.right - px(4), top + rowHeight};
        SelectObject(dc, text.get());
        DrawTextW(dc, shown.value.c_str(), -1, &value,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(hwnd, &ps);
        paint(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DPICHANGED:
        win32::moveToSuggested(hwnd, lParam);
        return 0;
    case WM_SIZE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

HWND createTitleBlockWindow(HINSTANCE instance) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    // At the right of the screen, where the tool, opening at the left, leaves it in view.
    const UINT dpi = GetDpiForSystem();
    const int width = MulDiv(560, static_cast<int>(dpi), 96),
              height = MulDiv(330, static_cast<int>(dpi), 96);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return CreateWindowExW(0, kWindowClass, L"Stand-in CAD", WS_OVERLAPPEDWINDOW,
                           work.right - width - 20, work.top + 20, width, height, nullptr, nullptr,
                           instance, nullptr);
}

} // namespace standin
