#include "text/fill.h"

#include <gtest/gtest.h>

namespace {

// What is no place stays, in the pattern and in a value (a document may be called
// "100%2"); the messages' tests show each place filled.
TEST(Fill, LeavesWhatIsNoPlace) {
    EXPECT_EQ(text::fill(L"%1", {L"100%2"}), L"100%2"); // a value is not filled again
    EXPECT_EQ(text::fill(L"50% %0 %3 %", {L"x", L"y"}), L"50% %0 %3 %");
}

} // namespace
