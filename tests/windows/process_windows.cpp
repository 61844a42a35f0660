#include "process_windows.h"

#include <tlhelp32.h>

namespace test {
namespace {

struct Search {
    DWORD processId;
    const wchar_t *className;
    bool visibleOnly;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND hwnd, LPARAM lParam) {
    auto &search = *reinterpret_cast<Search *>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    if (owner != search.processId || (search.visibleOnly && !IsWindowVisible(hwnd)) ||
        (search.className && std::wstring(name) != search.className))
        return TRUE;
    search.found = hwnd;
    return FALSE;
}

HWND find(Search search) {
    EnumWindows(&match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds interval) {
    for (const ULONGLONG end = GetTickCount64() + 20'000; GetTickCount64() < end;) {
        if (done())
            return true;
        Sleep(static_cast<DWORD>(interval.count()));
    }
    return done();
}

Process::Process(std::wstring commandLine, std::optional<WORD> showCommand) {
    STARTUPINFOW startup{sizeof(startup)};
    if (showCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *showCommand;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
}

bool Process::exited(DWORD *exitCode) const {
    if (!started() || WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process_.get(), exitCode);
    return true;
}

bool Process::waitForExit(DWORD *exitCode) const {
    return waitUntil([&] { return exited(exitCode); });
}

void Process::terminate() const {
    if (started() && !exited()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), INFINITE);
    }
}

std::wstring besideThisProgram(const wchar_t *file) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return L"\"" + path.substr(0, path.find_last_of(L"\\/") + 1) + file + L"\"";
}

HWND visibleWindowOf(DWORD processId, const wchar_t *className) {
    return find(Search{processId, className, true});
}

HWND windowOf(DWORD processId, const wchar_t *className) {
    return find(Search{processId, className, false});
}

std::vector<win32::UniqueHandle> runningPrograms(const wchar_t *file) {
    std::vector<win32::UniqueHandle> running;
    const win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        if (CompareStringOrdinal(entry.szExeFile, -1, file, -1, TRUE) == CSTR_EQUAL)
            // One that ended since the snapshot cannot be opened, and is not running.
            if (win32::UniqueHandle process{OpenProcess(
                    SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID)})
                running.push_back(std::move(process));
    return running;
}

std::wstring windowText(HWND hwnd) {
    std::wstring s(static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(
        SendMessageW(hwnd, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()))));
    return s;
}

} // namespace test
