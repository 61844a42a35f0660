#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// The names of the designer list, and the one the standard values name.
struct Designers {
    std::vector<std::wstring> names;
    std::wstring standard;
    // Why the office's list was not used, naming the file, for the user; empty when
    // it was used, or there is none.
    std::wstring warning;
    // Where the list came from, for support: the file's path, even when it could not be
    // used; empty for the built-in one.
    std::wstring source;
};

// The office's own list, from the path a policy names (`configured`; empty where the policy
// cannot be used), else from Konstrukteure.txt beside `program` (its module); its standard
// designer the one for the Windows login `user`. Without a list, the built-in one; with a
// list that cannot be used, no names at all, so that no built-in name reaches a drawing.
// Reads, never writes.
Designers loadDesigners(HMODULE program, const std::optional<std::wstring> &configured,
                        std::wstring_view user);

// The login of the user this program runs for.
std::wstring loggedInUser();

} // namespace ui
