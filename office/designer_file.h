#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The office's list of designers, a text file the designers keep themselves: one name a line,
// `#` begins a comment, one line beginning with `*` names the standard designer, and a name
// may be followed by `=` and the Windows logins of the designer it names, separated by commas.
namespace office {

// A Windows login and the name of the line that names it.
struct Login {
    std::wstring user; // without a domain
    std::wstring name;
};

struct DesignerList {
    std::vector<std::wstring> names; // in the file's order, without their logins
    std::wstring standard;           // the `*` line's name, else the first name
    std::vector<Login> logins;       // in the file's order
};

// What is wrong, in German, for the user; line 0 when no one line is at fault.
struct DesignerFileError {
    int line;
    std::wstring problem;
};

// Decodes bytes in the system's ANSI code page.
using AnsiDecoder = std::function<std::wstring(std::string_view bytes)>;

// The file is UTF-8, UTF-16 with a byte-order mark, or else in the ANSI code page: `ansi` is
// called only for a file that has no mark and is not valid UTF-8. A file with any fault is not
// used at all: the first fault in the file's order is the answer.
std::variant<DesignerList, DesignerFileError> parseDesignerFile(std::string_view bytes,
                                                                const AnsiDecoder &ansi);

// Whether two logins, neither with a domain, are the same, as Windows compares them.
using SameLogin = std::function<bool(std::wstring_view a, std::wstring_view b)>;

// The designer the standard values name for `user` (a domain before it is ignored): the
// first line naming that login, else the list's standard designer.
std::wstring designerFor(const DesignerList &list, std::wstring_view user, const SameLogin &same);

} // namespace office
