#include "ui/list_file.h"

#include "text/fill.h"
#include "win32/owners.h"
#include "win32/system_message.h"
#include "win32/wait.h"

#include <memory>
#include <new>

namespace ui {
namespace {

constexpr DWORD kPatienceMs = 5000; // with a share that does not answer
// A colleague saving the list, a virus scanner looking at it: a moment.
constexpr int kLockedTries = 10;
constexpr DWORD kLockedPauseMs = 50;

// A path of any length: Windows takes one over MAX_PATH only in this form, which it
// takes literally, so the path is made whole first (`/`, `\\`, `.` and `..` as an
// administrator may have typed them into a policy).
std::wstring anyLength(std::wstring path) {
    if (path.starts_with(L"\\\\?\\"))
        return path;
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    if (!full.empty())
        path = std::move(full);
    if (path.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool isLock(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Why the file cannot be read, in Windows' words.
ListFile failed(DWORD error) {
    if (isLock(error))
        return {ListFile::Outcome::Locked,
                {},
                L"Die Datei ist gerade von einem anderen Programm gesperrt."};
    return {ListFile::Outcome::Unreadable,
            {},
            text::fill(L"Die Datei kann nicht gelesen werden: %1.", {win32::systemMessage(error)})};
}

ListFile readOnce(const std::wstring &path, DWORD mostBytes) {
    const std::wstring name = anyLength(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {ListFile::Outcome::Missing, {}, L"Die Datei gibt es nicht."};
        return failed(error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {ListFile::Outcome::Unreadable, {}, L"Das ist ein Ordner, keine Datei."};
    const win32::UniqueHandle file(CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!win32::valid(file) || !GetFileSizeEx(file.get(), &size))
        return failed(GetLastError());
    if (size.QuadPart > mostBytes)
        return {ListFile::Outcome::Unreadable, {}, L"Die Datei ist größer als 64 KiB."};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return failed(GetLastError());
    bytes.resize(read);
    return {ListFile::Outcome::Read, std::move(bytes), L""};
}

// What the reading thread and the waiting one share; the reader writes `file` before
// it signals `done`, and the waiter reads it only after.
struct Reading {
    std::wstring path;
    DWORD mostBytes;
    ListFile file;
    win32::UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

DWORD WINAPI readOnThread(void *parameter) {
    const std::unique_ptr<std::shared_ptr<Reading>> owned(
        static_cast<std::shared_ptr<Reading> *>(parameter));
    Reading &reading = **owned;
    try {
        for (int tries = 1;; ++tries) {
            reading.file = readOnce(reading.path, reading.mostBytes);
            if (reading.file.outcome != ListFile::Outcome::Locked || tries == kLockedTries)
                break;
            Sleep(kLockedPauseMs);
        }
    } catch (const std::bad_alloc &) {
        reading.file = failed(ERROR_NOT_ENOUGH_MEMORY);
    }
    SetEvent(reading.done.get());
    return 0;
}

} // namespace

ListFile readListFile(const std::wstring &path, DWORD mostBytes) {
    const auto reading = std::make_shared<Reading>(Reading{path, mostBytes});
    auto *forThread = new std::shared_ptr<Reading>(reading);
    const win32::UniqueHandle thread(
        reading->done ? CreateThread(nullptr, 0, &readOnThread, forThread, 0, nullptr) : nullptr);
    if (!thread) {
        delete forThread;
        return failed(GetLastError());
    }
    // Given up on, the thread ends when the share answers at last, or with the program.
    if (!win32::awaitAnsweringSent(reading->done.get(), kPatienceMs))
        return {ListFile::Outcome::Unreachable,
                {},
                L"Die Datei konnte nicht erreicht werden: Ihr Ort antwortet nicht."};
    return std::move(reading->file);
}

} // namespace ui
