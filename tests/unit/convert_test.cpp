#include "cad/convert.h"
#include "cad/error.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct NoopDispatch final : cad::Dispatch {
    cad::Value invoke(std::wstring_view, cad::Access, std::span<const cad::Value>) override { return {}; }
};

cad::Error errorOf(auto &&convert) {
    try {
        convert();
    } catch (const cad::Error &e) {
        return e;
    }
    ADD_FAILURE() << "no cad::Error raised";
    return cad::Error(0, L"", L"");
}

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
        {0.1, L"0.1"},
        {1e20, L"1E+20"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(cad::toText(value, L"CustomInfo"), text);
}

TEST(ToText, RefusesWhatHasNoTextAndNamesTheMember) {
    const cad::Object object(std::make_shared<NoopDispatch>());
    for (const cad::Value &value : {cad::Value(cad::Null{}), cad::Value(cad::Nothing{}), cad::Value(object),
                                    cad::Value(cad::Unsupported{L"an array"})}) {
        const cad::Error e = errorOf([&] { cad::toText(value, L"CustomInfo"); });
        EXPECT_EQ(e.member(), L"CustomInfo");
        EXPECT_EQ(e.code(), cad::kTypeMismatch);
        EXPECT_FALSE(e.description().empty());
    }
}

TEST(ToInt32, CoercesNumbersTextsAndBooleans) {
    const std::pair<cad::Value, std::int32_t> cases[] = {
        {cad::Empty{}, 0},
        {true, -1},
        {false, 0},
        {std::int64_t{3}, 3},
        {std::int64_t{std::numeric_limits<std::int32_t>::min()}, std::numeric_limits<std::int32_t>::min()},
        {2.5, 2}, // halves round to even
        {3.5, 4},
        {-2.5, -2},
        {std::wstring(L"17"), 17},
        {std::wstring(L" -8 "), -8},
        {std::wstring(L"2.5"), 2},
        {std::wstring(L"1e3"), 1000},
    };
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(cad::toInt32(value, L"EditRebuild"), expected);
}

TEST(ToInt32, RefusesNonNumbersAndOverflow) {
    const cad::Object object(std::make_shared<NoopDispatch>());
    const std::pair<cad::Value, std::int32_t> cases[] = {
        {std::wstring(L"abc"), cad::kTypeMismatch},
        {std::wstring(L""), cad::kTypeMismatch},
        {std::wstring(L"12abc"), cad::kTypeMismatch},
        {std::wstring(L"-"), cad::kTypeMismatch},
        {cad::Null{}, cad::kTypeMismatch},
        {object, cad::kTypeMismatch},
        {cad::Unsupported{L"an error value"}, cad::kTypeMismatch},
        {std::int64_t{1} << 31, cad::kOverflow},
        {std::wstring(L"99999999999"), cad::kOverflow},
        {1e300, cad::kOverflow},
        {std::numeric_limits<double>::quiet_NaN(), cad::kOverflow},
    };
    for (const auto &[value, code] : cases) {
        const cad::Error e = errorOf([&] { cad::toInt32(value, L"EditRebuild"); });
        EXPECT_EQ(e.code(), code);
        EXPECT_EQ(e.member(), L"EditRebuild");
    }
}

TEST(ToObject, EmptyAndNothingMeanNoObject) {
    const cad::Object object(std::make_shared<NoopDispatch>());
    EXPECT_FALSE(cad::toObject(cad::Empty{}, L"ActiveDoc"));
    EXPECT_FALSE(cad::toObject(cad::Nothing{}, L"ActiveDoc"));
    EXPECT_EQ(cad::toObject(object, L"ActiveDoc"), object);
    EXPECT_EQ(errorOf([&] { cad::toObject(std::wstring(L"Doc"), L"ActiveDoc"); }).member(), L"ActiveDoc");
}

} // namespace
