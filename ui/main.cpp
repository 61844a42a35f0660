#include "cad/com.h"
#include "ui/frmSfInfo.h"
#include "ui/single_instance.h"

#include <windows.h>

#include <optional>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // A DLL that lies beside the exe (a Downloads folder) is never loaded in Windows' stead:
    // what the program loads from here on comes from System32. What it imports is loaded
    // before this, so it imports only what Windows always takes from there.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    std::optional<ui::SingleInstance> single(std::in_place);
    if (!single->first()) {
        ui::bringRunningToFront();
        return 0;
    }
    const cad::ComApartment apartment;

    ui::frmSfInfo window(instance);
    window.show(showCommand);
    if (!window.hwnd())
        return 1; // no window could be made: nothing to wait for

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // The window is gone: a start from now on is a tool of its own. One the user
    // stopped waiting for may still come through.
    single.reset();
    cad::letStoppedStartsEnd(std::chrono::seconds(5));
    return static_cast<int>(message.wParam);
}
