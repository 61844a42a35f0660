#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace text {

// A message with places for what the program fills in, %1 to %9, so that it stands
// in the program as one text, as the guide quotes it: "Der Aufruf „%1“ ist …".
std::wstring fill(std::wstring_view pattern, std::initializer_list<std::wstring_view> values);

} // namespace text
