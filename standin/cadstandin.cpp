// cadstandin.exe: the stand-in CAD program as a local automation server in a
// process of its own, registered under the CAD program's ProgID, with a window
// showing the active document's title block.
//
// It lives like the real application: started by COM (-Embedding) it stays
// hidden and ends with its last object, unless a client makes it visible;
// started by hand it shows its window at once. Either way, once visible it
// runs until its window is closed. /RegServer and /UnregServer register it for
// the current user and remove it again; with /ForMachine, for the machine.

#include "standin/automation.h"
#include "standin/process.h"
#include "standin/registration.h"
#include "standin/standin_identity.h"
#include "standin/title_block_window.h"
#include "text/utf8.h"
#include "win32/static_com_object.h"

#include <windows.h>
#include <objbase.h>

#include <string>

namespace standin {
namespace {

// Where the files are: BLATTKOPF_STANDIN_STATE and _JOURNAL when set, as for a
// server started by hand; a server started by COM gets a fresh environment and
// takes the values the tests and scripts write under the settings key.
std::wstring setting(const wchar_t *variable, const wchar_t *value) {
    std::wstring text(32768, L'\0');
    DWORD size = GetEnvironmentVariableW(variable, text.data(), static_cast<DWORD>(text.size()));
    if (size == 0) {
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        size = RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, value, RRF_RT_REG_SZ, nullptr,
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

// Rejects calls to its objects while busy, the activation among them (the class
// object's CreateInstance), as a program with a dialog open does.
class BusyFilter final : public win32::StaticComObject<IMessageFilter> {
public:
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) override {
        if (!info || (info->iid != IID_IDispatch && info->iid != IID_IClassFactory) ||
            !process::busy())
            return SERVERCALL_ISHANDLED;
        process::journal(info->iid == IID_IClassFactory ? "reject CreateInstance"
                         : info->wMethod == 5           ? "reject GetIDsOfNames"
                                                        : "reject Invoke");
        return SERVERCALL_REJECTED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
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
        return process::state().slowStartMs;
    } catch (const Fault &) {
        return 0; // the first connection reports what is wrong with the state
    }
}

// To whoever ran the registration: its standard error, as UTF-8, or a message box
// for a user who started it by hand.
void tellCaller(const std::wstring &message) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    const std::string utf8 = text::toUtf8(message + L"\n");
    DWORD written = 0;
    if (!error || error == INVALID_HANDLE_VALUE ||
        !WriteFile(error, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr))
        MessageBoxW(nullptr, message.c_str(), L"cadstandin", MB_OK | MB_ICONERROR);
}

std::wstring thisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return L"\"" + path + L"\"";
}

int serve(HINSTANCE instance, bool byCom, int showCommand) {
    if (byCom)
        dropStandardHandles();
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    process::start(setting(L"BLATTKOPF_STANDIN_STATE", L"State"),
                   setting(L"BLATTKOPF_STANDIN_JOURNAL", L"Journal"),
                   // The benchmark's timeline, for a server it starts by hand.
                   GetEnvironmentVariableW(L"BLATTKOPF_STANDIN_CLOCK", nullptr, 0) > 0,
                   createTitleBlockWindow(instance));
    process::journal("start process " + std::to_string(GetCurrentProcessId()) +
                     (byCom ? " by COM" : " by hand"));
    Sleep(static_cast<DWORD>(slowStartMs()));
    BusyFilter filter;
    IMessageFilter *previous = nullptr;
    CoRegisterMessageFilter(&filter, &previous);
    DWORD registration = 0;
    const HRESULT hr = CoRegisterClassObject(kClsid, &classFactory(), CLSCTX_LOCAL_SERVER,
                                             REGCLS_MULTIPLEUSE, &registration);
    if (SUCCEEDED(hr)) {
        // The class object's stub lives as long as the process. Were it torn down when
        // an activation releases the last proxy, Wine would wait there for the calls
        // queued for this very thread: a hang under load.
        CoLockObjectExternal(&classFactory(), TRUE, FALSE);
        // Started by hand, it is the running CAD program, found in the running object
        // table by whoever wants one that runs and starts none: there before its window
        // shows. With a broken state it offers nothing; a client's first call says why.
        Microsoft::WRL::ComPtr<IDispatch> offered;
        DWORD running = 0;
        if (!byCom) {
            try {
                offered = offeredApplication();
                RegisterActiveObject(offered.Get(), kClsid, ACTIVEOBJECT_WEAK, &running);
            } catch (const Fault &) {
            }
            process::ownedByUser(showCommand);
        }
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (running != 0)
            RevokeActiveObject(running, nullptr);
        offered.Reset();
        CoRevokeClassObject(registration);
        CoLockObjectExternal(&classFactory(), FALSE, TRUE);
    }
    CoRegisterMessageFilter(previous, nullptr);
    // Last: what a client that has gone left behind is released in here.
    CoUninitialize();
    process::journal("exit process");
    return SUCCEEDED(hr) ? 0 : 1;
}

} // namespace
} // namespace standin

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    using namespace standin;
    std::wstring options(commandLine); // /RegServer, -Embedding: any case, either sign
    CharLowerBuffW(options.data(), static_cast<DWORD>(options.size()));
    const auto given = [&](const wchar_t *option) {
        return options.find(option) != std::wstring::npos;
    };
    const Scope scope = given(L"formachine") ? Scope::Machine : Scope::User;
    if (given(L"unregserver")) {
        const std::wstring left = unregisterClass(kProgId, kClsid, scope);
        if (left.empty())
            return 0;
        tellCaller(L"cadstandin /UnregServer could not remove:" + left);
        return 1;
    }
    if (given(L"regserver")) {
        const std::wstring problem = registerClass(kProgId, kClsid, thisProgram(), scope);
        if (problem.empty())
            return 0;
        tellCaller(L"cadstandin /RegServer: " + problem);
        return 1;
    }
    return serve(instance, given(L"embedding"), showCommand);
}
