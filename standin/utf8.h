#pragma once

#include <optional>
#include <string>
#include <string_view>

// The stand-in's files are UTF-8; its texts are wide (UTF-16 on Windows, UTF-32 elsewhere).
namespace standin {

std::string toUtf8(std::wstring_view text);
// Nothing when the bytes are not valid UTF-8.
std::optional<std::wstring> fromUtf8(std::string_view bytes);

} // namespace standin
