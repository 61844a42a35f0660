// The yardstick for start-up: what blattkopf.exe asks of the CAD program while it
// loads (connect, show it, read the four title-block texts), then an empty window.

#include "cad/com.h"
#include "headless_form.h"
#include "standin_check.h"
#include "titleblock/operations.h"

#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    if (!test::standinProblem().empty())
        return 2; // it connects only to this build's stand-in
    const cad::ComApartment apartment;
    HeadlessForm form;
    titleblock::read(form, [](std::wstring_view progId) { return cad::createObject(progId); });

    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"floor";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
    const HWND hwnd = CreateWindowW(L"floor", L"floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 410, 302, nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
