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

bool closeServers() {
    for (HWND window; (window = FindWindowW(standin::kWindowClass, nullptr));) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        const win32::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (!waitUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }))
            return false;
    }
    return true;
}

} // namespace test
