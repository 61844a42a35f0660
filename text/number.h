#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers as text, without the C++ runtime's formatting code, which would be most of the
// exe: integers by hand, and doubles by the C runtime of the system.
namespace text {

std::wstring decimal(std::int64_t value);

// Upper-case hexadecimal, at least `digits` long.
std::wstring hex(std::uint32_t value, int digits);

// As printf's "%.15G": fifteen significant digits, no trailing zeros, an exponent of at
// least two digits where it is below -4 or above 14 (1E+20); INF, -INF and NAN.
std::wstring general(double value);

// A whole text that is a decimal number as strtod reads one: an optional sign, digits
// with an optional point, an optional exponent; nothing when it is not one.
std::optional<double> parseDecimal(std::wstring_view text);

} // namespace text
