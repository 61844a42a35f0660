#include "standin_server.h"

#include "process_windows.h"

#include <windows.h>

#include <string>

namespace test {
namespace {

constexpr wchar_t kWindowClass[] = L"cadstandin.TitleBlock";

// What COM would start: the registered local server.
std::wstring registeredServer() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    RegGetValueW(HKEY_CLASSES_ROOT, L"CLSID\\{6E3C1F0A-5B7D-4C2E-9A41-3D8B2F6C7E15}\\LocalServer32", nullptr,
                 RRF_RT_REG_SZ, nullptr, path.data(), &bytes);
    path.resize(bytes / sizeof(wchar_t) - 1);
    return path;
}

} // namespace

bool ensureServer() {
    if (FindWindowW(kWindowClass, nullptr))
        return true;
    std::wstring command = L"\"" + registeredServer() + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // It shows its window once its class is registered.
    return waitUntil([&] { return visibleWindowOf(process.dwProcessId, kWindowClass) != nullptr; });
}

bool closeServers() {
    for (HWND window; (window = FindWindowW(kWindowClass, nullptr));) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
        PostMessageW(window, WM_CLOSE, 0, 0);
        const bool ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
        CloseHandle(process);
        if (!ended)
            return false;
    }
    return true;
}

} // namespace test
