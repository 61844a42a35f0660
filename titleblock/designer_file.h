#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The office's list of designers, a text file the designers keep themselves: one name a line,
// `#` begins a comment, and one line beginning with `*` names the standard designer.
namespace titleblock {

struct DesignerList {
    std::vector<std::wstring> names; // in the file's order
    std::wstring standard;           // the `*` line's name, else the first name
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

} // namespace titleblock
