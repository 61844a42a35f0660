#include "standin/file_host.h"

#include "standin/server.h"

#include <windows.h>

namespace standin {
namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() {
        if (valid())
            CloseHandle(h_);
    }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

bool writeAll(HANDLE file, const std::string &bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

std::string readState(const std::wstring &path) {
    if (path.empty())
        throw Fault{E_FAIL, L"BLATTKOPF_STANDIN_STATE names no state file"};
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size))
        throw Fault{HRESULT_FROM_WIN32(GetLastError()), path + L": cannot be read"};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        throw Fault{HRESULT_FROM_WIN32(GetLastError()), path + L": cannot be read"};
    bytes.resize(read);
    return bytes;
}

std::string FileHost::load() { return readState(server::statePath()); }

// Write beside, then replace: a reader never sees half a state.
void FileHost::save(const std::string &utf8) {
    const std::wstring &state = server::statePath();
    const std::wstring temporary = state + L".new";
    {
        Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        if (!file.valid() || !writeAll(file.get(), utf8))
            throw Fault{HRESULT_FROM_WIN32(GetLastError()), temporary + L": cannot be written"};
    }
    // A reader blocks the replace while it holds the file (on Windows one without
    // delete sharing, such as an editor; under Wine any reader, a test's too):
    // try again for about a second before failing.
    for (int attempt = 1;
         !MoveFileExW(temporary.c_str(), state.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
         ++attempt) {
        const DWORD error = GetLastError();
        if (attempt == 20 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            throw Fault{HRESULT_FROM_WIN32(error), state + L": cannot be replaced"};
        Sleep(50);
    }
    server::saved(utf8);
}

void FileHost::journal(const std::string &utf8Line) { server::journal(utf8Line); }

std::wstring FileHost::name() const { return server::statePath(); }

void FileHost::madeVisible() { server::madeVisible(); }

// As a crashed program ends; unlike TerminateProcess this leaves Wine's COM able
// to start the server again.
void FileHost::crash() {
    server::journal("exit process");
    ExitProcess(3);
}

} // namespace standin
