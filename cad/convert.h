#pragma once

#include "cad/value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Coercions of automation results, with the rules automation itself applies
// when a late-bound client asks for a text or a 32-bit integer. Every failure
// raises cad::Error naming `member`, the member that produced the value.
namespace cad {

std::wstring toText(const Value &value, std::wstring_view member);
std::int32_t toInt32(const Value &value, std::wstring_view member);

// An answer judged as a Boolean, as automation coerces one: any number or date but
// 0, and "True" or a number written as text, are true; Empty is false. Nothing when
// it has no Boolean reading (Null, an object, any other word).
std::optional<bool> toBoolean(const Value &value);

// The object a member returned; empty when it returned no object at all
// (an empty value or a reference to nothing).
std::optional<Object> toObject(const Value &value, std::wstring_view member);

} // namespace cad
