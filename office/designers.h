#pragma once

#include "office/list_file.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace office {

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
// cannot be used), else from Konstrukteure.txt beside `program` (its module). Without a
// list, the built-in one; with a list that cannot be used, no names at all, so that no
// built-in name reaches a drawing. The file is read from the moment this is made.
class DesignerReading {
public:
    DesignerReading(HMODULE program, std::optional<std::wstring> configured);

    bool done() const { return !file_ || file_->done(); }
    // The list, its standard designer the one for the Windows login `user`.
    Designers take(std::wstring_view user);

private:
    std::optional<std::wstring> configured_;
    std::wstring path_;
    std::optional<ListFileReading> file_;
};

// The login of the user this program runs for.
std::wstring loggedInUser();

} // namespace office
