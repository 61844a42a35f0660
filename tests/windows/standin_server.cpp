#include "standin_server.h"

#include "process_windows.h"
#include "standin/identity.h"

#include <windows.h>
#include <objbase.h>

#include <string>

namespace test {
namespace {

// What COM would start: the registered local server's command line.
std::wstring registeredServer() {
    wchar_t clsid[40];
    StringFromGUID2(standin::kClsid, clsid, 40);
    std::wstring command(MAX_PATH + 2, L'\0');
    DWORD bytes = static_cast<DWORD>(command.size() * sizeof(wchar_t));
    RegGetValueW(HKEY_CLASSES_ROOT, (L"CLSID\\" + std::wstring(clsid) + L"\\LocalServer32").c_str(),
                 nullptr, RRF_RT_REG_SZ, nullptr, command.data(), &bytes);
    command.resize(bytes / sizeof(wchar_t) - 1);
    return command;
}

} // namespace

bool ensureServer() {
    if (FindWindowW(standin::kWindowClass, nullptr))
        return true;
    const Process server(registeredServer());
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
