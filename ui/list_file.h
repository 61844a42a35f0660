#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The office's list read whole, wherever it lies: beside the program, or on a share.
struct ListFile {
    enum class Outcome {
        Read,
        Missing,     // no such file
        Unreadable,  // a folder, too large, no rights: the file needs mending
        Locked,      // another program holds it still, after about half a second
        Unreachable, // where it lies did not answer in time
    };
    Outcome outcome = Outcome::Read;
    std::string bytes;
    std::wstring problem; // why it was not read, for the user
};

// Reads at most `mostBytes` on a thread of its own, and waits for it only a few seconds:
// a share that does not answer must not hold the start for long. Reads, never writes.
ListFile readListFile(const std::wstring &path, DWORD mostBytes);

} // namespace ui
