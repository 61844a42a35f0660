#include "office/designer_file.h"

#include "text/utf8.h"

#include <algorithm>
#include <optional>

namespace office {
namespace {

constexpr std::size_t kMostBytes = 64 * 1024;
constexpr std::size_t kMostUnits = 255; // what the combo box's edit field holds

// Blanks around a name: tabs and Unicode's spaces; any other control character is a fault.
constexpr std::wstring_view kBlanks = L"\t \u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006"
                                      L"\u2007\u2008\u2009\u200A\u202F\u205F\u3000";

// Every line of the text: CR LF, LF and a lone CR each end one.
template <class Char>
std::vector<std::basic_string_view<Char>> splitLines(std::basic_string_view<Char> text) {
    const Char ends[] = {Char('\r'), Char('\n')};
    const std::basic_string_view<Char> crlf(ends, 2);
    std::vector<std::basic_string_view<Char>> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of(crlf, start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + (text.substr(end).starts_with(crlf) ? 2 : 1);
    }
    return lines;
}

std::u16string utf16Units(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (bytes.size() % 2 != 0)
        units += char16_t{0xDC00}; // half a unit at the end: the last line is not UTF-16
    return units;
}

// Nothing when a surrogate is unpaired.
std::optional<std::wstring> fromUtf16(std::u16string_view units) {
    std::wstring out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (unit < 0xD800 || unit >= 0xE000) {
            out += static_cast<wchar_t>(unit);
            continue;
        }
        const char32_t low = i + 1 < units.size() ? units[i + 1] : 0;
        if (unit >= 0xDC00 || low < 0xDC00 || low >= 0xE000)
            return std::nullopt;
        ++i;
        if constexpr (sizeof(wchar_t) == 2)
            out += {static_cast<wchar_t>(unit), static_cast<wchar_t>(low)};
        else
            out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    }
    return out;
}

struct Decoded {
    std::vector<std::optional<std::wstring>> lines; // nothing for a line not in the file's encoding
    std::wstring_view invalid;                      // what such a line tells the user
};

Decoded decode(std::string_view bytes, const AnsiDecoder &ansi) {
    Decoded decoded;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        const std::u16string units = utf16Units(bytes.substr(2), bytes[0] == '\xFE');
        for (const std::u16string_view line : splitLines<char16_t>(units))
            decoded.lines.push_back(fromUtf16(line));
        decoded.invalid = L"Die Zeile ist kein gültiges UTF-16.";
        return decoded;
    }
    // With the mark the file says it is UTF-8, so a fault in it is the file's, not a sign of ANSI.
    const bool marked = bytes.starts_with("\xEF\xBB\xBF");
    for (const std::string_view line : splitLines<char>(bytes.substr(marked ? 3 : 0)))
        decoded.lines.push_back(text::fromUtf8(line));
    decoded.invalid = L"Die Zeile ist kein gültiges UTF-8.";
    if (!marked && std::ranges::any_of(decoded.lines, [](const auto &line) { return !line; })) {
        const std::wstring wide = ansi(bytes);
        decoded.lines.clear();
        for (const std::wstring_view line : splitLines<wchar_t>(wide))
            decoded.lines.emplace_back(line);
    }
    return decoded;
}

std::wstring_view trimmed(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Counted as a Windows edit control counts, in UTF-16 units, whatever wchar_t holds.
std::size_t utf16Length(std::wstring_view name) {
    return name.size() + static_cast<std::size_t>(
                             std::ranges::count_if(name, [](char32_t c) { return c > 0xFFFF; }));
}

// `WERK2\\jdvorak`, `jdvorak@werk2.example` and `jdvorak` are one login: Windows' user name.
std::wstring_view withoutDomain(std::wstring_view login) {
    const std::size_t backslash = login.rfind(L'\\');
    if (backslash != std::wstring_view::npos)
        login.remove_prefix(backslash + 1);
    return login.substr(0, login.find(L'@'));
}

} // namespace

std::variant<DesignerList, DesignerFileError> parseDesignerFile(std::string_view bytes,
                                                                const AnsiDecoder &ansi) {
    if (bytes.size() > kMostBytes)
        return DesignerFileError{0, L"Die Datei ist größer als 64\u00A0KiB."};
    const Decoded decoded = decode(bytes, ansi);
    DesignerList list;
    bool starred = false;
    int number = 0;
    for (const std::optional<std::wstring> &line : decoded.lines) {
        ++number;
        if (!line)
            return DesignerFileError{number, std::wstring(decoded.invalid)};
        std::wstring_view name = trimmed(*line);
        if (name.empty() || name.starts_with(L'#'))
            continue;
        const bool star = name.starts_with(L'*');
        if (star) {
            if (starred)
                return DesignerFileError{number, L"Nur eine Zeile darf mit * beginnen."};
            starred = true;
            name = trimmed(name.substr(1));
            if (name.empty())
                return DesignerFileError{number, L"Nach * steht kein Name."};
        }
        if (std::ranges::any_of(name, isControl))
            return DesignerFileError{number, L"Der Name enthält ein Steuerzeichen."};
        const std::size_t equals = name.find(L'=');
        const std::wstring_view logins =
            equals == std::wstring_view::npos ? std::wstring_view() : name.substr(equals + 1);
        if (equals != std::wstring_view::npos) {
            name = trimmed(name.substr(0, equals));
            if (name.empty())
                return DesignerFileError{number, L"Vor = steht kein Name."};
        }
        if (utf16Length(name) > kMostUnits)
            return DesignerFileError{number, L"Der Name ist länger als 255 Zeichen."};
        list.names.emplace_back(name);
        if (star)
            list.standard = name;
        if (equals == std::wstring_view::npos)
            continue;
        for (std::size_t start = 0; start <= logins.size();) {
            const std::size_t comma = std::min(logins.find(L',', start), logins.size());
            const std::wstring_view user =
                trimmed(withoutDomain(trimmed(logins.substr(start, comma - start))));
            if (user.empty())
                return DesignerFileError{number, L"Nach = fehlt ein Windows-Anmeldename."};
            list.logins.push_back({std::wstring(user), std::wstring(name)});
            start = comma + 1;
        }
    }
    if (list.names.empty())
        return DesignerFileError{0, L"Die Datei enthält keinen Namen."};
    if (!starred)
        list.standard = list.names.front();
    return list;
}

std::wstring designerFor(const DesignerList &list, std::wstring_view user, const SameLogin &same) {
    user = withoutDomain(user);
    for (const Login &login : list.logins)
        if (same(login.user, user))
            return login.name;
    return list.standard;
}

} // namespace office
