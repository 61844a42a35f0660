#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// How a failing member tells its client.
enum class FaultStyle {
    Exception, // DISP_E_EXCEPTION with the description in EXCEPINFO
    Bare,      // just the HRESULT, no EXCEPINFO
};

// An automation error the stand-in raises: the code and the server's own description.
struct Fault {
    std::int32_t hresult;
    std::wstring description;
    FaultStyle style = FaultStyle::Exception;
};

struct Property {
    std::wstring name;
    std::wstring type;
    std::optional<std::wstring> value; // none: the server answers Null
};

// A member told to fail: every call after the first `after` ones.
struct Failure {
    std::wstring member;
    std::int32_t hresult;
    std::wstring description;
    int after = 0;
    FaultStyle style = FaultStyle::Exception;
};

// A member told to answer with a value of some automation type instead of
// doing its work: how real servers surprise their clients.
struct Override {
    std::wstring member;
    std::wstring
        kind; // empty null bool i8 r8 date currency decimal text array error unknown object
    std::wstring text; // the value, written as text
};

// A member whose N-th call, counted per connection, ends the server's process.
struct Crash {
    std::wstring member;
    int call = 1;
};

// A member whose `call`-th call on a connection (a start: the first) takes `ms` to
// come back, or until the state changes: the program is busy on its own thread (a
// long rebuild, a hang) and answers no one meanwhile.
struct Silence {
    std::wstring member;
    int ms = 0;
    int call = 1;
};

// A title-block text as the drawing shows it.
struct Shown {
    std::wstring name;
    std::wstring value;
};

// Everything the stand-in CAD program remembers between operations.
struct State {
    bool visible = false;
    std::optional<std::int32_t> documentType; // none: no document open
    std::wstring title;
    std::wstring path; // the document's file; empty when it was never saved
    int rebuilds = 0;
    std::vector<Property> properties;
    std::vector<Failure> failures;
    std::vector<Override> overrides;
    std::optional<Fault> refuseCreate; // the server cannot be started
    // Properties DeleteCustomInfo keeps, answering False, as the real program does
    // with one it will not delete.
    std::vector<std::wstring> kept;
    bool rebuildFails = false; // EditRebuild answers False and rebuilds nothing
    // The title block as of the last rebuild; a file without one was rebuilt as it stands.
    std::vector<Shown> titleBlock;
    // Faults of the local server's process.
    int busyMs = 0; // from the next call on, reject calls this long or until the state changes
    std::optional<Crash> crash;
    std::optional<Silence> silence;
    int slowStartMs = 0; // wait this long before serving
};

// The title block shows the properties as they stand: what a rebuild does, and how
// a state file without `shown` lines was left.
void rebuild(State &state);

// The state file: UTF-8 lines that people can read and edit. Throws a Fault naming
// `fileName` and the line when the text is not a valid state.
State parseState(std::string_view utf8, std::wstring_view fileName);
std::string formatState(const State &state);

// A text as the state file and the journal write it: in double quotes, escaped.
std::wstring quoted(std::wstring_view text);

} // namespace standin
