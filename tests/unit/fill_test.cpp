#include "text/fill.h"

#include <gtest/gtest.h>

namespace {

// Each place takes its value, however often it comes; what is no place stays.
TEST(Fill, PutsEachValueInItsPlacesAndLeavesTheRest) {
    EXPECT_EQ(text::fill(L"In \u201E%2\u201C statt \u201E%1\u201C, wirklich \u201E%2\u201C?",
                         {L"A", L"B"}),
              L"In \u201EB\u201C statt \u201EA\u201C, wirklich \u201EB\u201C?");
    EXPECT_EQ(text::fill(L"%1", {L"100%2"}), L"100%2"); // a value is not filled again
    EXPECT_EQ(text::fill(L"50% %0 %3 %", {L"x", L"y"}), L"50% %0 %3 %");
}

} // namespace
