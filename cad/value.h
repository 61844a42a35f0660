#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace cad {

class Object;

struct Empty {
    bool operator==(const Empty &) const = default;
};
struct Null {
    bool operator==(const Null &) const = default;
};
// An object reference that refers to nothing.
struct Nothing {
    bool operator==(const Nothing &) const = default;
};
// A date as automation holds one: days since 30 December 1899, the time of day as
// the fraction; and the text the user's date and time settings make of it.
struct Date {
    double serial;
    std::wstring text;
    bool operator==(const Date &) const = default;
};
// A result of a kind the program never needs (array, error value, bare IUnknown, ...):
// harmless when ignored, an error when converted.
struct Unsupported {
    std::wstring typeName;
    bool operator==(const Unsupported &) const = default;
};

using Value = std::variant<Empty, Null, Nothing, bool, std::int64_t, double, Date, std::wstring,
                           Object, Unsupported>;

enum class Access { Get, Put, Call };

// One automation object of some backend (COM, or a test double).
class Dispatch {
public:
    virtual ~Dispatch() = default;
    // For Put the last argument is the new value.
    virtual Value invoke(std::wstring_view member, Access access, std::span<const Value> args) = 0;
};

// A late-bound automation object. Copies share the one underlying object, which is
// released with the last copy.
class Object {
public:
    explicit Object(std::shared_ptr<Dispatch> dispatch) : dispatch_(std::move(dispatch)) {}

    Value get(std::wstring_view member, std::initializer_list<Value> args = {}) const;
    void put(std::wstring_view member, std::initializer_list<Value> argsThenValue) const;
    Value call(std::wstring_view member, std::initializer_list<Value> args = {}) const;

    bool operator==(const Object &) const = default;

private:
    std::shared_ptr<Dispatch> dispatch_;
};

} // namespace cad
