#include "cad/convert.h"
#include "cad/error.h"
#include "error_of.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

struct NoopDispatch final : cad::Dispatch {
    cad::Value invoke(std::wstring_view, cad::Access, std::span<const cad::Value>) override {
        return {};
    }
};

TEST(ToText, CoercesEachKindAsAutomationDoes) {
    const std::pair<cad::Value, std::wstring> cases[] = {
        {cad::Empty{}, L""},
        {std::wstring(L"Getriebegehäuse 😀"), L"Getriebegehäuse 😀"},
        {std::wstring(L"a\0b", 3), std::wstring(L"a\0b", 3)},
        {std::wstring(L"  padded  "), L"  padded  "},
        {true, L"True"},
        {false, L"False"},
        {std::int64_t{-42}, L"-42"},
        {std::int64_t{1} << 40, L"1099511627776"},
        {1.5, L"1.5"},
        {1234567.5, L"1234567.5"},
        {0.1, L"0.1"},
        {1e20, L"1E+20"},
        {-1.234e-5, L"-1.234E-05"},
        {1e15, L"1E+15"},
        {123456789012345.0, L"123456789012345"},
        {0.0001, L"0.0001"},
        {1.0 / 3, L"0.333333333333333"},
        {2.0 / 3 * 1e300, L"6.66666666666667E+299"},
        {0.0, L"0"},
        {std::numeric_limits<std::int64_t>::min(), L"-9223372036854775808"},
        {cad::Date{46365.5, L"09.12.2026 12:00:00"}, L"09.12.2026 12:00:00"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(cad::toText(value, L"CustomInfo"), text);
}

TEST(ToInt32, CoercesNumbersTextsAndBooleans) {
    const std::pair<cad::Value, std::int32_t> cases[] = {
        {cad::Empty{}, 0},
        {true, -1},
        {false, 0},
        {std::int64_t{3}, 3},
        {std::int64_t{std::numeric_limits<std::int32_t>::min()},
         std::numeric_limits<std::int32_t>::min()},
        {2.5, 2}, // halves round to even
        {3.5, 4},
        {std::wstring(L"17"), 17},
        {std::wstring(L" -8 "), -8},
        {std::wstring(L"2.5"), 2},
        {std::wstring(L"1e3"), 1000},
        {std::wstring(L"+.5E1"), 5},
        {std::wstring(L"7."), 7},
        {cad::Date{46365.5, L"09.12.2026 12:00:00"}, 46366}, // the day number, rounded
    };
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(cad::toInt32(value, L"EditRebuild"), expected);
}

// What has no text or no number is refused, naming the member that produced it.
TEST(Conversions, RefuseWhatTheyCannotConvertAndNameTheMember) {
    const cad::Object object(std::make_shared<NoopDispatch>());
    using Convert = void (*)(const cad::Value &);
    const Convert text = [](const cad::Value &v) { cad::toText(v, L"CustomInfo"); };
    const Convert number = [](const cad::Value &v) { cad::toInt32(v, L"CustomInfo"); };
    const std::tuple<cad::Value, Convert, std::int32_t> cases[] = {
        {cad::Null{}, text, cad::kTypeMismatch},
        {cad::Nothing{}, text, cad::kTypeMismatch},
        {object, text, cad::kTypeMismatch},
        {cad::Unsupported{L"an array"}, text, cad::kTypeMismatch},
        {std::wstring(L"abc"), number, cad::kTypeMismatch},
        {std::wstring(L""), number, cad::kTypeMismatch},
        {std::wstring(L"12abc"), number, cad::kTypeMismatch},
        {std::wstring(L"-"), number, cad::kTypeMismatch},
        {std::wstring(L"."), number, cad::kTypeMismatch},
        {std::wstring(L"1e"), number, cad::kTypeMismatch},
        {std::wstring(L"1.2.3"), number, cad::kTypeMismatch},
        {std::wstring(L"0x10"), number, cad::kTypeMismatch},
        {cad::Null{}, number, cad::kTypeMismatch},
        {object, number, cad::kTypeMismatch},
        {cad::Unsupported{L"an error value"}, number, cad::kTypeMismatch},
        {std::int64_t{1} << 31, number, cad::kOverflow},
        {std::wstring(L"99999999999"), number, cad::kOverflow},
        {1e300, number, cad::kOverflow},
        {std::numeric_limits<double>::quiet_NaN(), number, cad::kOverflow},
    };
    for (const auto &[value, convert, code] : cases) {
        const cad::Error e = test::errorOf([&] { convert(value); });
        EXPECT_EQ(e.code(), code);
        EXPECT_EQ(e.member(), L"CustomInfo");
        EXPECT_TRUE(e.description().starts_with(code == cad::kOverflow ? L"Überlauf: "
                                                                       : L"Typen unverträglich: "));
    }
}

} // namespace
