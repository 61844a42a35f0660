// Any bytes as the designer list: either one error that says what is wrong, or names the
// combo box can hold, the standard designer among them, and logins without a domain, each
// naming one of those names.

#include "office/designer_file.h"

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

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool fitsTheComboBox(const std::wstring &name) {
    std::size_t units = 0;
    for (const char32_t c : name)
        units += c > 0xFFFF ? 2 : 1;
    return units > 0 && units <= 255 && std::ranges::none_of(name, isControl);
}

// The first line naming `user` is the one the standard values name for it.
const std::wstring &firstNaming(const office::DesignerList &list, const std::wstring &user) {
    return std::ranges::find(list.logins, user, &office::Login::user)->name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto result = office::parseDesignerFile(bytes, latin1);
    if (const auto *error = std::get_if<office::DesignerFileError>(&result)) {
        if (error->problem.empty() || error->line < 0)
            std::abort();
        return 0;
    }
    const auto &list = std::get<office::DesignerList>(result);
    if (list.names.empty() || !std::ranges::all_of(list.names, fitsTheComboBox) ||
        std::ranges::find(list.names, list.standard) == list.names.end())
        std::abort();
    const auto same = [](std::wstring_view a, std::wstring_view b) { return a == b; };
    for (const office::Login &login : list.logins)
        if (login.user.empty() || login.user.find(L'\\') != std::wstring::npos ||
            std::ranges::any_of(login.user, isControl) ||
            std::ranges::find(list.names, login.name) == list.names.end() ||
            office::designerFor(list, L"DOMAIN\\" + login.user, same) !=
                firstNaming(list, login.user))
            std::abort();
    return 0;
}
