#include "process_windows.h"

namespace test {
namespace {

struct Search {
    DWORD processId;
    const wchar_t *className;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND hwnd, LPARAM lParam) {
    auto &search = *reinterpret_cast<Search *>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    if (owner != search.processId || !IsWindowVisible(hwnd) ||
        (search.className && std::wstring(name) != search.className))
        return TRUE;
    search.found = hwnd;
    return FALSE;
}

} // namespace

std::wstring besideThisProgram(const wchar_t *file) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + file;
}

HWND visibleWindowOf(DWORD processId, const wchar_t *className) {
    Search search{processId, className};
    EnumWindows(&match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring windowText(HWND hwnd) {
    std::wstring s(static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()))));
    return s;
}

bool waitUntil(const std::function<bool()> &done) {
    for (int i = 0; i < 1000; ++i) {
        if (done())
            return true;
        Sleep(20);
    }
    return false;
}

} // namespace test
