#include "standin/process.h"

#include "standin/shared_file.h"

#include <optional>

namespace standin::process {
namespace {

struct Process {
    std::wstring statePath;
    std::wstring journalPath;
    bool clocked = false; // each journal line begins with the performance counter
    HWND window = nullptr;
    bool owned = false;
    long objects = 0;
    bool read = false;
    WIN32_FILE_ATTRIBUTE_DATA seen{}; // the file as this process last read or wrote it
    State state;
    std::optional<Fault> unreadable;
    bool busyPending = false; // someone else changed the state: busy from the next call
    ULONGLONG busyUntil = 0;
};
Process g_process;

WIN32_FILE_ATTRIBUTE_DATA attributes() {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    GetFileAttributesExW(g_process.statePath.c_str(), GetFileExInfoStandard, &now);
    return now;
}

bool same(const WIN32_FILE_ATTRIBUTE_DATA &a, const WIN32_FILE_ATTRIBUTE_DATA &b) {
    return CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0 &&
           a.nFileSizeLow == b.nFileSizeLow && a.nFileSizeHigh == b.nFileSizeHigh;
}

void refresh() {
    if (!changed())
        return;
    g_process.read = true;
    g_process.seen = attributes();
    g_process.unreadable.reset();
    try {
        if (g_process.statePath.empty())
            throw Fault{E_FAIL, L"BLATTKOPF_STANDIN_STATE names no state file"};
        g_process.state = parseState(readShared(g_process.statePath), g_process.statePath);
    } catch (const Fault &fault) {
        g_process.unreadable = fault; // the next connection's first call tells its client
        g_process.state = State{};
    }
    g_process.busyPending = g_process.state.busyMs > 0;
    g_process.busyUntil = 0;
    InvalidateRect(g_process.window, nullptr, TRUE);
}

} // namespace

void start(std::wstring statePath, std::wstring journalPath, bool clocked, HWND window) {
    g_process.statePath = std::move(statePath);
    g_process.journalPath = std::move(journalPath);
    g_process.clocked = clocked;
    g_process.window = window;
    refresh();
    g_process.busyPending = false; // busy is a fault of calls after a change
}

const State &state() {
    refresh();
    if (g_process.unreadable)
        throw *g_process.unreadable;
    return g_process.state;
}

void save(const State &state) {
    replaceShared(g_process.statePath, formatState(state));
    g_process.seen = attributes();
    g_process.state = state;
    InvalidateRect(g_process.window, nullptr, TRUE);
}

bool changed() {
    return !g_process.read || !same(attributes(), g_process.seen);
}

bool busy() {
    refresh();
    if (g_process.busyPending) {
        g_process.busyPending = false;
        g_process.busyUntil = GetTickCount64() + static_cast<ULONGLONG>(g_process.state.busyMs);
    }
    return GetTickCount64() < g_process.busyUntil;
}

void journal(const std::string &utf8Line) {
    if (g_process.journalPath.empty())
        return;
    const HANDLE file = CreateFileW(g_process.journalPath.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string line = utf8Line + "\n";
    if (g_process.clocked) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        line = std::to_string(now.QuadPart) + " " + line;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

Host &host() {
    class ProcessHost final : public Host {
        State load() override { return state(); }
        void save(const State &s) override { process::save(s); }
        void journal(const std::string &utf8Line) override { process::journal(utf8Line); }
        void madeVisible() override { ownedByUser(); }
        void stall(int ms) override {
            for (const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
                 GetTickCount64() < end && !changed();)
                Sleep(20);
        }
        // As a crashed program ends; unlike TerminateProcess this leaves Wine's COM able
        // to start the server again.
        [[noreturn]] void crash() override {
            process::journal("exit process");
            ExitProcess(3);
        }
    };
    static ProcessHost processHost;
    return processHost;
}

void objectCreated() {
    ++g_process.objects;
}

void objectReleased() {
    if (--g_process.objects == 0 && !g_process.owned)
        PostQuitMessage(0);
}

void ownedByUser(int showCommand) {
    g_process.owned = true;
    ShowWindow(g_process.window, showCommand);
}

} // namespace standin::process
