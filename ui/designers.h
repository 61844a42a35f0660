#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

// The names of the designer list, and the one the standard values name.
struct Designers {
    std::vector<std::wstring> names;
    std::wstring standard;
    // Why the office's list was not used, naming the file, for the user; empty when
    // it was used, or there is none.
    std::wstring warning;
};

// The office's own list, from Konstrukteure.txt beside `program` (its module); without
// the file, or with one that cannot be used, the built-in one. Reads, never writes.
Designers loadDesigners(HMODULE program);

} // namespace ui
