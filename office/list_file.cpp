#include "office/list_file.h"

#include "text/fill.h"
#include "win32/system_message.h"
#include "win32/wait.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <new>
#include <utility>

namespace office {
namespace {

constexpr DWORD kPatienceMs = 5000; // with a share that does not answer
// A colleague saving the list, a virus scanner looking at it: a moment.
constexpr int kLockedTries = 10;
constexpr DWORD kLockedPauseMs = 50;

constexpr wchar_t kNoAnswer[] =
    L"Der Server oder das Netzlaufwerk, auf dem die Datei liegt, antwortet nicht.";

// A path made whole (`/`, `\\`, `.` and `..` as an administrator may have typed them
// into a policy).
std::wstring fullPath(const std::wstring &path) {
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full.empty() ? path : full;
}

// A path of any length: Windows takes one over MAX_PATH only in this form, which it
// takes literally.
std::wstring anyLength(const std::wstring &full) {
    if (full.starts_with(L"\\\\?\\"))
        return full;
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// The share (\\server\share\) or drive (X:\) a whole path lies on.
std::wstring rootOf(const std::wstring &full) {
    std::size_t end = 3;
    if (full.starts_with(L"\\\\")) {
        end = full.find(L'\\', 2);
        end = end == std::wstring::npos ? end : full.find(L'\\', end + 1);
        end = end == std::wstring::npos ? full.size() : end + 1;
    }
    std::wstring root = full.substr(0, end);
    if (!root.ends_with(L'\\'))
        root += L'\\';
    return root;
}

bool isLock(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Where the list lies did not answer: a laptop off the network or without its VPN, a
// server that is down. Nothing about the file itself needs mending.
bool isNetwork(DWORD error) {
    constexpr DWORD kNetwork[] = {
        ERROR_BAD_NETPATH,      ERROR_BAD_NET_NAME,       ERROR_NETNAME_DELETED,
        ERROR_SEM_TIMEOUT,      ERROR_NO_NET_OR_BAD_PATH, ERROR_NETWORK_UNREACHABLE,
        ERROR_HOST_UNREACHABLE, ERROR_UNEXP_NET_ERR,      ERROR_BAD_DEV_TYPE,
        ERROR_NETWORK_BUSY,     ERROR_REM_NOT_LIST,       ERROR_DEV_NOT_EXIST,
        ERROR_BAD_NET_RESP,     ERROR_CONNECTION_REFUSED, ERROR_CONNECTION_ABORTED,
        ERROR_NO_NETWORK,       ERROR_OPERATION_ABORTED,  ERROR_NOT_CONNECTED,
    };
    return std::find(std::begin(kNetwork), std::end(kNetwork), error) != std::end(kNetwork);
}

// Why the file cannot be read, in Windows' words.
ListFile failed(DWORD error) {
    if (isLock(error))
        return {ListFile::Outcome::Locked,
                {},
                L"Die Datei ist gerade von einem anderen Programm gesperrt."};
    if (isNetwork(error))
        return {ListFile::Outcome::Unreachable,
                {},
                text::fill(L"Der Server oder das Netzlaufwerk, auf dem die Datei liegt, ist nicht "
                           L"erreichbar: %1.",
                           {win32::systemMessage(error)})};
    return {ListFile::Outcome::Unreadable,
            {},
            text::fill(L"Die Datei kann nicht gelesen werden: %1.", {win32::systemMessage(error)})};
}

// Written while it was read, by a program that does not lock what it writes.
ListFile changing() {
    return {ListFile::Outcome::Locked, {}, L"Die Datei wird gerade von einem Programm geändert."};
}

bool same(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b) {
    return a.nFileSizeLow == b.nFileSizeLow && a.nFileSizeHigh == b.nFileSizeHigh &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

ListFile readOnce(const std::wstring &path, DWORD mostBytes) {
    const std::wstring full = fullPath(path);
    const std::wstring name = anyLength(full);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            // A mapped drive or share that is not there says only that the path is not.
            if (GetFileAttributesW(anyLength(rootOf(full)).c_str()) == INVALID_FILE_ATTRIBUTES)
                return {ListFile::Outcome::Unreachable, {}, kNoAnswer};
            return {ListFile::Outcome::Missing, {}, L"Die Datei wurde nicht gefunden."};
        }
        return failed(error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {ListFile::Outcome::Unreadable, {}, L"Das ist ein Ordner, keine Datei."};
    // Nobody writes it while it is read, and one writing it now makes this a lock; one
    // saving by replacing it leaves this read the old list, whole.
    const win32::UniqueHandle file(CreateFileW(name.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION before{}, after{};
    if (!win32::valid(file) || !GetFileInformationByHandle(file.get(), &before))
        return failed(GetLastError());
    const ULONGLONG size = (ULONGLONG{before.nFileSizeHigh} << 32) | before.nFileSizeLow;
    if (size > mostBytes)
        return {ListFile::Outcome::Unreadable, {}, L"Die Datei ist größer als 64\u00A0KiB."};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        !GetFileInformationByHandle(file.get(), &after))
        return failed(GetLastError());
    // A server that keeps no locks (some do not) lets a writer in all the same.
    if (read != bytes.size() || !same(before, after))
        return changing();
    return {ListFile::Outcome::Read, std::move(bytes), L""};
}

} // namespace

// What the reading thread and the waiting one share; the reader writes `file` before
// it signals `done`, and the waiter reads it only after.
struct ListFileReading::Shared {
    Shared(std::wstring path, DWORD mostBytes) : path(std::move(path)), mostBytes(mostBytes) {}
    std::wstring path;
    DWORD mostBytes;
    ListFile file;
    win32::UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> stopping{false};
};

namespace {

DWORD WINAPI readOnThread(void *parameter) {
    const std::unique_ptr<std::shared_ptr<ListFileReading::Shared>> owned(
        static_cast<std::shared_ptr<ListFileReading::Shared> *>(parameter));
    ListFileReading::Shared &reading = **owned;
    try {
        for (int tries = 1;; ++tries) {
            reading.file = readOnce(reading.path, reading.mostBytes);
            if (reading.file.outcome != ListFile::Outcome::Locked || tries == kLockedTries ||
                reading.stopping)
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

ListFileReading::ListFileReading(std::wstring path, DWORD mostBytes)
    : shared_(std::make_shared<Shared>(std::move(path), mostBytes)) {
    auto *forThread = new std::shared_ptr<Shared>(shared_);
    thread_.reset(shared_->done ? CreateThread(nullptr, 0, &readOnThread, forThread, 0, nullptr)
                                : nullptr);
    if (!thread_) {
        shared_->file = failed(GetLastError());
        delete forThread;
    }
}

ListFileReading::~ListFileReading() {
    if (!thread_)
        return;
    // Between two calls the thread may not be in one yet: it sees the flag before the
    // next, and a call it is in is cancelled. Bounded: what cannot be cancelled is left
    // to the process's end.
    shared_->stopping = true;
    for (int tries = 0;
         tries < kLockedTries && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT; ++tries) {
        CancelSynchronousIo(thread_.get());
        win32::awaitAnsweringSent(thread_.get(), kLockedPauseMs);
    }
}

bool ListFileReading::done() const {
    return !thread_ || WaitForSingleObject(shared_->done.get(), 0) == WAIT_OBJECT_0;
}

ListFile ListFileReading::take() {
    if (thread_ && !win32::awaitAnsweringSent(shared_->done.get(), kPatienceMs))
        return {ListFile::Outcome::Unreachable, {}, kNoAnswer};
    return std::move(shared_->file);
}

} // namespace office
