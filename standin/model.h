#pragma once

#include "standin/state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The stand-in CAD program: answers the automation members the title-block tool
// uses, the way the real program does where the tool relies on it, and writes a
// journal of every lookup, call and object lifetime.
namespace standin {

enum class Target { Application, Document };

struct Null {};
struct Document {};   // the active document, as an object
struct NoDocument {}; // a reference to no object
using Value = std::variant<std::monostate, Null, bool, std::int64_t, std::wstring, Document,
                           NoDocument, Override>;

// Automation's DISPATCH_METHOD, DISPATCH_PROPERTYGET and DISPATCH_PROPERTYPUT.
enum Invocation : unsigned { kCall = 1, kGet = 2, kPut = 4 };

// What the model needs of the process it runs in: where the state lives and the
// journal goes (files in the server, memory in tests), and what the process does
// when a client shows the program, or a call is told to go silent or to crash it.
class Host {
public:
    virtual State load() = 0;                  // throws Fault when unreadable
    virtual void save(const State &state) = 0; // atomically
    virtual void journal(const std::string &utf8Line) = 0;
    virtual void madeVisible() = 0;        // a client put Visible to True
    virtual void stall(int ms) = 0;        // answers nothing, not even messages
    [[noreturn]] virtual void crash() = 0; // ends the process inside the call

protected:
    ~Host() = default;
};

class Model {
public:
    // Reads the state, as the real program would be found when a client connects.
    // Throws a Fault when the server refuses to start; a state that cannot be read
    // fails every call with a Fault naming the file and line.
    explicit Model(Host &host);

    // The member's id, or nothing when the object has no such member.
    std::optional<int> lookup(Target target, std::wstring_view member);
    // `invocation`: how the client invokes the member, in automation's DISPATCH_*
    // bits; a put carries the value last. Like a server built on a type library,
    // a property answers only a get or a put, a method only a call.
    Value invoke(Target target, int member, unsigned invocation, const std::vector<Value> &args);

    // Object lifetimes, for the journal: "Application", "Document", ...
    void created(std::wstring_view object);
    void released(std::wstring_view object);

private:
    Host &host_;
    State state_;
    std::optional<Fault> unreadable_;
    std::vector<int> calls_; // per member, for failures that start after N calls
};

// The journal's spelling of a target and a value.
std::wstring targetName(Target target);
std::wstring journalText(const Value &value);

} // namespace standin
