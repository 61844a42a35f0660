#pragma once

#include <optional>
#include <string>
#include <string_view>

// Files hold UTF-8; the programs' texts are wide (UTF-16 on Windows, UTF-32 elsewhere).
namespace text {

std::string toUtf8(std::wstring_view wide);
// Nothing when the bytes are not valid UTF-8.
std::optional<std::wstring> fromUtf8(std::string_view bytes);

} // namespace text
