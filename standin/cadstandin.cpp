// cadstandin.exe: the stand-in CAD program as a local automation server in a
// process of its own, registered under the CAD program's ProgID, with a window
// showing the active document's title block.
//
// It lives like the real application: started by COM (-Embedding) it stays
// hidden and ends with its last object, unless a client makes it visible;
// started by hand it shows its window at once. Either way, once visible it
// runs until its window is closed.

#include "standin/automation.h"
#include "standin/file_host.h"
#include "standin/server.h"
#include "standin/title_block_window.h"
#include "standin/utf8.h"

#include <windows.h>
#include <objbase.h>

#include <cwchar>
#include <string>

namespace standin::server {
namespace {

struct Process {
    std::wstring state;
    std::wstring journal;
    HWND window = nullptr;
    bool owned = false; // the user's: it stays until its window is closed
    long objects = 0;
    std::string lastState;     // as this process last saved or saw it
    ULONGLONG busyUntil = 0;   // calls are rejected until then
};
Process g_process;

// Where the files are: BLATTKOPF_STANDIN_STATE and _JOURNAL when set, as for a
// server started by hand; a server started by COM gets a fresh environment and
// takes the values the tests and scripts write under HKCU\Software\blattkopf\cadstandin.
std::wstring setting(const wchar_t *variable, const wchar_t *value) {
    std::wstring text(32768, L'\0');
    DWORD size = GetEnvironmentVariableW(variable, text.data(), static_cast<DWORD>(text.size()));
    if (size == 0) {
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        size = RegGetValueW(HKEY_CURRENT_USER, L"Software\\blattkopf\\cadstandin", value, RRF_RT_REG_SZ, nullptr,
                            text.data(), &bytes) == ERROR_SUCCESS
                   ? bytes / sizeof(wchar_t) - 1
                   : 0;
    }
    text.resize(size);
    // Scripts on Linux hand over Unix paths; Wine serves them on drive Z:.
    if (!text.empty() && text.front() == L'/')
        text = L"Z:" + text;
    return text;
}

// Busy: the state's busy fault starts with the first call after someone other than
// this process changed the state, and ends after its time or with the next change.
void refreshBusy() {
    std::string bytes;
    try {
        bytes = readState(g_process.state);
    } catch (const Fault &) {
        return;
    }
    if (bytes == g_process.lastState)
        return;
    g_process.lastState = bytes;
    InvalidateRect(g_process.window, nullptr, TRUE);
    int busyMs = 0;
    try {
        busyMs = parseState(bytes, g_process.state).busyMs;
    } catch (const Fault &) {
    }
    g_process.busyUntil = busyMs > 0 ? GetTickCount64() + static_cast<ULONGLONG>(busyMs) : 0;
}

// Rejects automation calls while busy, as a program with a dialog open does.
class BusyFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (riid != IID_IUnknown && riid != IID_IMessageFilter) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMessageFilter *>(this);
        return S_OK;
    }
    // A static object; its lifetime is the process's.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) override {
        // Calls to the program's objects are turned away, the activation among them
        // (the class object's CreateInstance), as by a program with a dialog open.
        if (!info || (info->iid != IID_IDispatch && info->iid != IID_IClassFactory))
            return SERVERCALL_ISHANDLED;
        refreshBusy();
        if (GetTickCount64() >= g_process.busyUntil)
            return SERVERCALL_ISHANDLED;
        journal(info->iid == IID_IClassFactory ? "reject CreateInstance"
                : info->wMethod == 5           ? "reject GetIDsOfNames"
                                               : "reject Invoke");
        return SERVERCALL_REJECTED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

// A server started by COM inherits its client's standard handles; holding them
// would keep the client's pipes open as long as the server runs.
void dropStandardHandles() {
    for (const DWORD id : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = GetStdHandle(id);
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        SetStdHandle(id, nullptr);
    }
}

int slowStartMs() {
    try {
        return parseState(readState(g_process.state), g_process.state).slowStartMs;
    } catch (const Fault &) {
        return 0; // the first connection reports what is wrong with the state
    }
}

} // namespace

const std::wstring &statePath() { return g_process.state; }

void journal(const std::string &utf8Line) {
    if (g_process.journal.empty())
        return;
    const HANDLE file = CreateFileW(g_process.journal.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string line = utf8Line + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void saved(const std::string &utf8) {
    g_process.lastState = utf8;
    InvalidateRect(g_process.window, nullptr, TRUE);
}

void madeVisible() {
    g_process.owned = true;
    ShowWindow(g_process.window, SW_SHOWNORMAL);
}

void objectCreated() { ++g_process.objects; }

void objectReleased() {
    if (--g_process.objects == 0 && !g_process.owned)
        PostQuitMessage(0);
}

} // namespace standin::server

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    using namespace standin;
    auto &process = server::g_process;
    const bool byCom = std::wcsstr(commandLine, L"Embedding") != nullptr;
    if (byCom)
        server::dropStandardHandles();
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    process.state = server::setting(L"BLATTKOPF_STANDIN_STATE", L"State");
    process.journal = server::setting(L"BLATTKOPF_STANDIN_JOURNAL", L"Journal");
    server::journal("start process " + std::to_string(GetCurrentProcessId()) + (byCom ? " by COM" : " by hand"));

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    process.window = createTitleBlockWindow(instance);
    process.owned = !byCom;
    Sleep(static_cast<DWORD>(server::slowStartMs()));
    server::BusyFilter filter;
    IMessageFilter *previous = nullptr;
    CoRegisterMessageFilter(&filter, &previous);
    DWORD registration = 0;
    const HRESULT hr = CoRegisterClassObject(kApplicationClsid, &classFactory(), CLSCTX_LOCAL_SERVER,
                                             REGCLS_MULTIPLEUSE, &registration);
    if (SUCCEEDED(hr)) {
        if (process.owned)
            ShowWindow(process.window, showCommand);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        CoRevokeClassObject(registration);
    }
    CoRegisterMessageFilter(previous, nullptr);
    server::journal("exit process");
    CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}
