#include "standin_server.h"

#include "process_windows.h"
#include "standin/registration.h"
#include "standin/standin_identity.h"

#include <windows.h>
#include <objbase.h>

#include <string>

namespace test {

bool ensureServer() {
    if (FindWindowW(standin::kWindowClass, nullptr))
        return true;
    // What COM would start.
    const Process server(L"\"" + standin::registeredServer(standin::kClsid) + L"\"");
    // It shows its window once its class is registered.
    return server.started() && waitUntil([&] {
               return visibleWindowOf(server.id(), standin::kWindowClass) != nullptr;
           });
}

// By process, not by window: the window of a stand-in that is ending on its own can
// still be found after its process has gone, and then names no process at all.
bool closeServers() {
    for (const win32::UniqueHandle &process : runningPrograms(L"cadstandin.exe")) {
        const DWORD processId = GetProcessId(process.get());
        const bool ended = waitUntil([&] {
            // Until it ends: one that is still starting has no window yet.
            if (const HWND window = windowOf(processId, standin::kWindowClass))
                PostMessageW(window, WM_CLOSE, 0, 0);
            return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
        });
        if (!ended)
            return false;
    }
    return true;
}

} // namespace test
