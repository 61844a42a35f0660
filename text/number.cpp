#include "text/number.h"

#include <cmath>
#include <cwchar>
#include <iterator>
#include <string>

namespace text {
namespace {

// The C runtime's own conversions: on Windows those of the system's msvcrt, whose
// exponents have three digits ("1.5E+020").
std::wstring scientific14(double value) {
    wchar_t buffer[40]{};
#ifdef _WIN32
    _snwprintf(buffer, std::size(buffer) - 1, L"%.14E", value);
#else
    std::swprintf(buffer, std::size(buffer), L"%.14E", value);
#endif
    return buffer;
}

double toDouble(const std::wstring &number) {
#ifdef _WIN32
    return _wtof(number.c_str());
#else
    return std::wcstod(number.c_str(), nullptr);
#endif
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

std::wstring withoutTrailingZeros(std::wstring digits) {
    digits.erase(digits.find_last_not_of(L'0') + 1);
    return digits;
}

} // namespace

std::wstring decimal(std::int64_t value) {
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
    std::wstring text;
    do {
        text.insert(text.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return value < 0 ? L"-" + text : text;
}

std::wstring hex(std::uint32_t value, int digits) {
    std::wstring text;
    do {
        text.insert(text.begin(), L"0123456789ABCDEF"[value % 16]);
        value /= 16;
    } while (value != 0);
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, digits - text.size(), L'0');
    return text;
}

std::wstring general(double value) {
    if (std::isnan(value))
        return L"NAN";
    if (std::isinf(value))
        return value < 0 ? L"-INF" : L"INF";
    // "-d.ddddddddddddddE+xx": rounded once, to fifteen digits, by the runtime.
    const std::wstring scientific = scientific14(value);
    const bool negative = scientific.starts_with(L'-');
    const std::size_t first = negative ? 1 : 0;
    const std::size_t e = scientific.find(L'E');
    const std::wstring digits =
        scientific.substr(first, 1) + scientific.substr(first + 2, e - first - 2);
    int exponent = 0;
    for (std::size_t at = e + 2; at < scientific.size(); ++at)
        exponent = exponent * 10 + (scientific[at] - L'0');
    if (scientific[e + 1] == L'-')
        exponent = -exponent;
    std::wstring text;
    if (exponent < -4 || exponent > 14) {
        const std::wstring fraction = withoutTrailingZeros(digits.substr(1));
        text = digits.substr(0, 1) + (fraction.empty() ? L"" : L"." + fraction) + L"E" +
               (exponent < 0 ? L"-" : L"+") + (std::abs(exponent) < 10 ? L"0" : L"") +
               decimal(std::abs(exponent));
    } else if (exponent >= 0) {
        const std::wstring fraction = withoutTrailingZeros(digits.substr(exponent + 1));
        text = digits.substr(0, exponent + 1) + (fraction.empty() ? L"" : L"." + fraction);
    } else {
        const std::wstring fraction = withoutTrailingZeros(digits);
        text = fraction.empty() ? L"0" : L"0." + std::wstring(-exponent - 1, L'0') + fraction;
    }
    return negative && text != L"0" ? L"-" + text : text;
}

std::optional<double> parseDecimal(std::wstring_view text) {
    std::size_t at = 0;
    const auto digitsFrom = [&] {
        const std::size_t start = at;
        while (at < text.size() && isDigit(text[at]))
            ++at;
        return at - start;
    };
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-'))
        ++at;
    std::size_t digits = digitsFrom();
    if (at < text.size() && text[at] == L'.') {
        ++at;
        digits += digitsFrom();
    }
    if (digits == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == L'e' || text[at] == L'E')) {
        ++at;
        if (at < text.size() && (text[at] == L'+' || text[at] == L'-'))
            ++at;
        if (digitsFrom() == 0)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    return toDouble(std::wstring(text));
}

} // namespace text
