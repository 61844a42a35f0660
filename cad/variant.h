#pragma once

#include "cad/com_owners.h"
#include "cad/value.h"

#include <functional>
#include <string_view>

// Automation values both ways: what the gateway passes, and what it is given.
namespace cad::com {

// Raises cad::Error naming `member` for a value automation cannot carry.
Variant toVariant(const Value &value, std::wstring_view member);

// `wrap` makes an Object of an automation object the value holds.
Value fromVariant(VARIANT &variant, const std::function<Object(IDispatch *)> &wrap);

} // namespace cad::com
