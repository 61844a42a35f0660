#include "standin/shared_file.h"

#include "standin/state.h"
#include "win32/owners.h"

#include <windows.h>

namespace standin {
namespace {

bool writeAll(HANDLE file, const std::string &bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

std::string readShared(const std::wstring &path) {
    const win32::UniqueHandle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!win32::valid(file) || !GetFileSizeEx(file.get(), &size))
        throw Fault{HRESULT_FROM_WIN32(GetLastError()), path + L": cannot be read"};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        throw Fault{HRESULT_FROM_WIN32(GetLastError()), path + L": cannot be read"};
    bytes.resize(read);
    return bytes;
}

void replaceShared(const std::wstring &path, const std::string &bytes) {
    // Named for this process: the server and a test may write at the same time.
    const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
    {
        const win32::UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!win32::valid(file) || !writeAll(file.get(), bytes))
            throw Fault{HRESULT_FROM_WIN32(GetLastError()), temporary + L": cannot be written"};
    }
    for (int attempt = 1; !MoveFileExW(temporary.c_str(), path.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
         ++attempt) {
        const DWORD error = GetLastError();
        if (attempt == 20 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            throw Fault{HRESULT_FROM_WIN32(error), path + L": cannot be replaced"};
        Sleep(50);
    }
}

} // namespace standin
