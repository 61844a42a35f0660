// Any bytes as the designer list: either one error that says what is wrong, or names the
// combo box can hold, the standard designer among them.

#include "titleblock/designer_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// An ANSI code page that turns bytes 0x80 to 0x9F into C1 controls.
std::wstring latin1(std::string_view bytes) {
    std::wstring wide;
    for (const unsigned char byte : bytes)
        wide += static_cast<wchar_t>(byte);
    return wide;
}

bool fitsTheComboBox(const std::wstring &name) {
    std::size_t units = 0;
    for (const char32_t c : name) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            return false;
        units += c > 0xFFFF ? 2 : 1;
    }
    return units > 0 && units <= 255;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto result = titleblock::parseDesignerFile(bytes, latin1);
    if (const auto *error = std::get_if<titleblock::DesignerFileError>(&result)) {
        if (error->problem.empty() || error->line < 0)
            std::abort();
        return 0;
    }
    const auto &list = std::get<titleblock::DesignerList>(result);
    if (list.names.empty() || !std::ranges::all_of(list.names, fitsTheComboBox) ||
        std::ranges::find(list.names, list.standard) == list.names.end())
        std::abort();
    return 0;
}
