#pragma once

#include "win32/owners.h"

#include <windows.h>

#include <memory>
#include <string>

namespace office {

// The office's list read whole, wherever it lies: beside the program, or on a share.
struct ListFile {
    enum class Outcome {
        Read,
        Missing,     // no such file
        Unreadable,  // a folder, too large, no rights: the file needs mending
        Locked,      // another program holds it, or kept writing it, after about half a second
        Unreachable, // the share or the network did not answer, or not in time
    };
    Outcome outcome = Outcome::Read;
    std::string bytes;
    std::wstring problem; // why it was not read, for the user
};

// Reads at most `mostBytes` of the file on a thread of its own, from the moment it is made,
// while the caller does other work. Reads, never writes.
class ListFileReading {
public:
    ListFileReading(std::wstring path, DWORD mostBytes);
    // A read still under way is stopped: a share that never answers keeps no thread,
    // and so no process, alive.
    ~ListFileReading();
    ListFileReading(const ListFileReading &) = delete;
    ListFileReading &operator=(const ListFileReading &) = delete;

    bool done() const;
    // Waits a few seconds at most, answering what is sent to the thread's windows: a
    // share that does not answer must not hold the start for long.
    ListFile take();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    win32::UniqueHandle thread_;
};

} // namespace office
