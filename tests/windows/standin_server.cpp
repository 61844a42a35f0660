#include "standin_server.h"

#include "process_windows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace test {
namespace {

// What COM would start: the registered local server.
std::wstring registeredServer() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    RegGetValueW(HKEY_CLASSES_ROOT, L"CLSID\\{6E3C1F0A-5B7D-4C2E-9A41-3D8B2F6C7E15}\\LocalServer32", nullptr,
                 RRF_RT_REG_SZ, nullptr, path.data(), &bytes);
    path.resize(bytes / sizeof(wchar_t) - 1);
    return path;
}

std::unique_ptr<StandinServer> g_shared;

} // namespace

StandinServer::StandinServer() {
    std::wstring command = L"\"" + registeredServer() + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
        ADD_FAILURE() << "the stand-in did not start: " << GetLastError();
        return;
    }
    // It shows its window once its class is registered.
    if (!waitUntil([&] { return visibleWindowOf(processId(), L"cadstandin.TitleBlock") || !running(); }))
        ADD_FAILURE() << "the stand-in never showed its window";
}

StandinServer::~StandinServer() {
    if (!process_.hProcess)
        return;
    if (const HWND window = visibleWindowOf(processId(), L"cadstandin.TitleBlock"))
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0)
        ADD_FAILURE() << "the stand-in did not close";
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

StandinServer &sharedServer() {
    if (!g_shared || !g_shared->running())
        g_shared = std::make_unique<StandinServer>();
    return *g_shared;
}

void endSharedServer() { g_shared.reset(); }

} // namespace test
