#include "cad/convert.h"

#include "cad/error.h"
#include "text/number.h"

#include <cmath>
#include <cwctype>
#include <limits>
#include <optional>

namespace cad {
namespace {

template <class... Fs> struct Overloaded : Fs... { using Fs::operator()...; };
template <class... Fs> Overloaded(Fs...) -> Overloaded<Fs...>;

[[noreturn]] void mismatch(std::wstring_view member, std::wstring_view what) {
    throw Error(kTypeMismatch, std::wstring(member), L"Typen unverträglich: " + std::wstring(what));
}

std::int32_t narrow(double rounded, std::wstring_view member) {
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        throw Error(kOverflow, std::wstring(member),
                    L"Überlauf: der Wert passt nicht in 32\u00A0Bit");
    return static_cast<std::int32_t>(rounded);
}

// Automation rounds to the nearest integer, halves to even.
std::int32_t roundToInt32(double value, std::wstring_view member) {
    return narrow(std::nearbyint(value), member);
}

// Automation reads a number or a word in a text with blanks around it.
std::wstring trim(const std::wstring &text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::optional<double> parseNumber(const std::wstring &text) {
    return text::parseDecimal(trim(text));
}

std::int32_t parseInt32(const std::wstring &text, std::wstring_view member) {
    const std::optional<double> parsed = parseNumber(text);
    if (!parsed)
        mismatch(member, L"\u201E" + text + L"\u201C ist keine Zahl");
    return roundToInt32(*parsed, member);
}

} // namespace

std::wstring toText(const Value &value, std::wstring_view member) {
    return std::visit(
        Overloaded{
            [](const Empty &) { return std::wstring(); },
            [&](const Null &) -> std::wstring { mismatch(member, L"kein Wert (NULL)"); },
            [&](const Nothing &) -> std::wstring {
                mismatch(member, L"kein Objekt, also kein Text");
            },
            [](bool b) { return std::wstring(b ? L"True" : L"False"); },
            [](std::int64_t i) { return text::decimal(i); },
            [](double d) { return text::general(d); },
            [](const Date &d) { return d.text; },
            [](const std::wstring &s) { return s; },
            [&](const Object &) -> std::wstring { mismatch(member, L"ein Objekt, kein Text"); },
            [&](const Unsupported &u) -> std::wstring {
                mismatch(member, u.typeName + L" lässt sich nicht als Text zeigen");
            },
        },
        value);
}

std::int32_t toInt32(const Value &value, std::wstring_view member) {
    return std::visit(
        Overloaded{
            [](const Empty &) { return std::int32_t{0}; },
            [&](const Null &) -> std::int32_t { mismatch(member, L"kein Wert (NULL)"); },
            [&](const Nothing &) -> std::int32_t {
                mismatch(member, L"kein Objekt, also keine Zahl");
            },
            [](bool b) { return std::int32_t{b ? -1 : 0}; },
            [&](std::int64_t i) { return narrow(static_cast<double>(i), member); },
            [&](double d) { return roundToInt32(d, member); },
            [&](const Date &d) { return roundToInt32(d.serial, member); },
            [&](const std::wstring &s) { return parseInt32(s, member); },
            [&](const Object &) -> std::int32_t { mismatch(member, L"ein Objekt, keine Zahl"); },
            [&](const Unsupported &u) -> std::int32_t {
                mismatch(member, u.typeName + L" ist keine Zahl");
            },
        },
        value);
}

std::optional<bool> toBoolean(const Value &value) {
    return std::visit(Overloaded{
                          [](const Empty &) -> std::optional<bool> { return false; },
                          [](bool b) -> std::optional<bool> { return b; },
                          [](std::int64_t i) -> std::optional<bool> { return i != 0; },
                          [](double d) -> std::optional<bool> { return d != 0; },
                          [](const Date &d) -> std::optional<bool> { return d.serial != 0; },
                          [](const std::wstring &s) -> std::optional<bool> {
                              if (const std::optional<double> number = parseNumber(s))
                                  return *number != 0;
                              std::wstring word = trim(s);
                              for (wchar_t &c : word)
                                  c = static_cast<wchar_t>(std::towlower(c));
                              if (word == L"true" || word == L"false")
                                  return word == L"true";
                              return std::nullopt;
                          },
                          [](const auto &) -> std::optional<bool> { return std::nullopt; },
                      },
                      value);
}

std::optional<Object> toObject(const Value &value, std::wstring_view member) {
    if (std::holds_alternative<Empty>(value) || std::holds_alternative<Nothing>(value))
        return std::nullopt;
    if (const auto *object = std::get_if<Object>(&value))
        return *object;
    mismatch(member, L"ein Objekt wurde erwartet");
}

} // namespace cad
