#include "office/designer_file.h"

#include "text/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

std::string utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Parses with Latin-1 as the ANSI code page, counting how often that is asked for.
auto parse(std::string_view bytes, int &ansiCalls) {
    return office::parseDesignerFile(bytes, [&ansiCalls](std::string_view ansi) {
        ++ansiCalls;
        std::wstring wide;
        for (const unsigned char byte : ansi)
            wide += static_cast<wchar_t>(byte);
        return wide;
    });
}

std::wstring smiles(int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += L"😀"; // two UTF-16 units
    return text;
}

const std::string kMark = "\xEF\xBB\xBF"; // UTF-8's byte-order mark

// The example the release ships.
std::string shippedExample() {
    std::ifstream file(BLATTKOPF_DESIGNERS_EXAMPLE, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}
const std::wstring kLongest(255, L'a');
const std::wstring kLongestWide = smiles(127) + L"a";

TEST(DesignerFile, ReadsNamesInTheirOrderFromEveryEncodingAndLineEnd) {
    const struct {
        std::string bytes;
        Names names;
        std::wstring standard;
        int ansiCalls;
    } cases[] = {
        {"# Büro\n  Jiří Dvořák \t\n\n*\t Zoë Ångström\n   # kein Name\nMax\n",
         {L"Jiří Dvořák", L"Zoë Ångström", L"Max"},
         L"Zoë Ångström",
         0},
        {kMark + "Anna\r\nBernd\r\n", {L"Anna", L"Bernd"}, L"Anna", 0},
        {shippedExample(),
         {L"Anna Beispiel", L"Bernd Muster", L"Jiří Dvořák", L"Zoë Ångström"},
         L"Anna Beispiel",
         0},
        {utf16(u"𝔄 Nord\r\n*😀 Süd\r\n", false), {L"𝔄 Nord", L"😀 Süd"}, L"😀 Süd", 0},
        {utf16(u"Jiří\rZoë\n", true), {L"Jiří", L"Zoë"}, L"Jiří", 0},
        {"Anna\rBernd\r\r\n\nCarl", {L"Anna", L"Bernd", L"Carl"}, L"Anna", 0},
        {"\u3000Anna\u00A0\nAnna", {L"Anna", L"Anna"}, L"Anna", 0},
        {"😀 Nord\n*𝔄 Süd", {L"😀 Nord", L"𝔄 Süd"}, L"𝔄 Süd", 0},
        {"Zoë\r\n*J\xF6rg", {L"ZoÃ«", L"Jörg"}, L"Jörg", 1},
        {"\xC1\xBF", {L"Á¿"}, L"Á¿", 1},                                // overlong
        {"\xED\xA0\xBF", {L"í\u00A0¿"}, L"í\u00A0¿", 1},                // a surrogate
        {"\xF4\xBF\xBF\xBF", {L"ô¿¿¿"}, L"ô¿¿¿", 1},                    // beyond U+10FFFF
        {"Anna" + std::string(65536 - 4, '\n'), {L"Anna"}, L"Anna", 0}, // 64 KiB
        {text::toUtf8(kLongest), {kLongest}, kLongest, 0},
        {text::toUtf8(kLongestWide), {kLongestWide}, kLongestWide, 0},
        {"Jiří Dvořák = jdvorak, WERK2\\jd\n*Anna=anna\nBert\n",
         {L"Jiří Dvořák", L"Anna", L"Bert"},
         L"Anna",
         0},
        {text::toUtf8(kLongest + L" = jd"), {kLongest}, kLongest, 0},
    };
    for (const auto &[bytes, names, standard, ansiCalls] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 40)));
        int calls = 0;
        const auto result = parse(bytes, calls);
        if (const auto *error = std::get_if<office::DesignerFileError>(&result)) {
            ADD_FAILURE() << "refused in line " << error->line;
            continue;
        }
        EXPECT_EQ(std::get<office::DesignerList>(result).names, names);
        EXPECT_EQ(std::get<office::DesignerList>(result).standard, standard);
        EXPECT_EQ(calls, ansiCalls);
    }
}

TEST(DesignerFileError, IsTheFirstFaultInTheFileWithItsLine) {
    const std::wstring control = L"Der Name enthält ein Steuerzeichen.";
    const std::wstring twoStars = L"Nur eine Zeile darf mit * beginnen.";
    const std::wstring tooLong = L"Der Name ist länger als 255 Zeichen.";
    const std::wstring notUtf8 = L"Die Zeile ist kein gültiges UTF-8.";
    const std::wstring notUtf16 = L"Die Zeile ist kein gültiges UTF-16.";
    const std::wstring noLogin = L"Nach = fehlt ein Windows-Anmeldename.";
    const struct {
        std::string bytes;
        int line;
        std::wstring problem;
        int ansiCalls;
    } cases[] = {
        {"", 0, L"Die Datei enthält keinen Namen.", 0},
        {kMark + "# nur Kommentar\r\n \t\r\n", 0, L"Die Datei enthält keinen Namen.", 0},
        {"Anna" + std::string(65537 - 4, '\n'), 0, L"Die Datei ist größer als 64\u00A0KiB.", 0},
        {"A\r\n*B\r\n*C", 3, twoStars, 0},
        {"A\r\r*B\r*C\n*D", 4, twoStars, 0},
        {"Anna\n\n# x\n*  \t\n", 4, L"Nach * steht kein Name.", 0},
        {"Anna\nBe\tate\n", 2, control, 0},
        {std::string("Anna\nB\0b", 8), 2, control, 0},
        {"Anna\n\x7F", 2, control, 0},
        {"Anna\nA\xC2\x85", 2, control, 0}, // U+0085, a C1 control
        {"Anna\nB\x85", 2, control, 1},
        {text::toUtf8(kLongest + L"a"), 1, tooLong, 0},
        {text::toUtf8(smiles(128)), 1, tooLong, 0},
        {kMark + "Anna\nB\xC3\n", 2, notUtf8, 0},
        {kMark + "\xE0\x80\xAF", 1, notUtf8, 0}, // an overlong "/"
        {kMark + "*A\n*B\nC\xC3", 2, twoStars, 0},
        {utf16(u"Anna\r\nB\rC\n\xD800x", false), 4, notUtf16, 0},
        {utf16(u"Anna\n\xDC00\xDC00", true), 2, notUtf16, 0},
        {utf16(u"Anna\n", false) + "x", 2, notUtf16, 0},
        {"Anna\n = jd\n", 2, L"Vor = steht kein Name.", 0},
        {"Anna\n* = jd\n", 2, L"Vor = steht kein Name.", 0},
        {"Anna\nBert =\n", 2, noLogin, 0},
        {"Anna = ab,, cd\n", 1, noLogin, 0},
        {"Anna = ab, cd ,\n", 1, noLogin, 0},
        {"Anna = WERK2\\\n", 1, noLogin, 0},
        {"Anna = a\tb\n", 1, control, 0},
        {text::toUtf8(kLongest + L"a = jd"), 1, tooLong, 0},
    };
    for (const auto &[bytes, line, problem, ansiCalls] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 40)));
        int calls = 0;
        const auto result = parse(bytes, calls);
        const auto *error = std::get_if<office::DesignerFileError>(&result);
        if (!error) {
            ADD_FAILURE() << "accepted";
            continue;
        }
        EXPECT_EQ(error->line, line);
        EXPECT_EQ(error->problem, problem);
        EXPECT_EQ(calls, ansiCalls);
    }
}

// Each designer's own name: the first line naming the login, whatever the case and with or
// without a domain on either side, before it or after an @; else the marked line's, else
// the first.
TEST(DesignerLogin, NamesTheLineOfTheUserElseTheStandardDesigner) {
    int calls = 0;
    const auto parsed = parse("Anna = anna\nJiří Dvořák = WERK2\\JDvorak , jd\n"
                              "*Zoë = zoe\nZweite = jdvorak\nCarl = ANDERES\\carl\n"
                              "Dora = dora@werk2.example\n",
                              calls);
    const auto &list = std::get<office::DesignerList>(parsed);
    EXPECT_EQ(list.names, (Names{L"Anna", L"Jiří Dvořák", L"Zoë", L"Zweite", L"Carl", L"Dora"}));
    // As Windows compares logins: here only ASCII letters differ in case.
    const auto same = [](std::wstring_view a, std::wstring_view b) {
        return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) {
            return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
        });
    };
    const struct {
        std::wstring user;
        std::wstring designer;
    } cases[] = {
        {L"jdvorak", L"Jiří Dvořák"},
        {L"JDVORAK", L"Jiří Dvořák"},
        {L"WERK3\\jd", L"Jiří Dvořák"},
        {L"anna", L"Anna"},
        {L"carl", L"Carl"},
        {L"carl@anderes.example", L"Carl"},
        {L"dora", L"Dora"},
        {L"WERK2\\Dora", L"Dora"},
        {L"niemand", L"Zoë"},
        {L"", L"Zoë"},
        {L"WERK2\\", L"Zoë"},
    };
    for (const auto &[user, designer] : cases)
        EXPECT_EQ(office::designerFor(list, user, same), designer)
            << testing::PrintToString(std::string(user.begin(), user.end()));
}

} // namespace
