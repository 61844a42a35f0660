// The two rules of time the window lives by, against a clock the test sets.

#include "cad/patience.h"
#include "ui/input_time.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using std::chrono::milliseconds;

TEST(InputTime, OnlyInputMadeWhileTheOperationRanIsDroppedAcrossTheWrapAndWeeksLater) {
    constexpr std::uint32_t kWrap = 0xFFFF'FFFF;
    const ui::Stretch acrossWrap{kWrap - 1000, 2000}; // began before the count wrapped
    EXPECT_TRUE(ui::madeDuring(kWrap - 1000, acrossWrap));
    EXPECT_TRUE(ui::madeDuring(kWrap, acrossWrap));
    EXPECT_TRUE(ui::madeDuring(0, acrossWrap));
    EXPECT_TRUE(ui::madeDuring(2000, acrossWrap));
    EXPECT_FALSE(ui::madeDuring(2001, acrossWrap));
    EXPECT_FALSE(ui::madeDuring(kWrap - 1001, acrossWrap)); // before it began

    // Input made 24.9 days and more after the last operation is taken.
    const ui::Stretch last{5000, 6000};
    for (const std::uint32_t later : {6001u, 6000u + 0x7FFF'FFFFu, 6000u + 0x8000'0001u, kWrap})
        EXPECT_FALSE(ui::madeDuring(later, last)) << later;
}

TEST(Patience, AskedOnceTheCallHasWaitedItThenAgainOnlyAWholePatienceAfterEachAnswer) {
    const milliseconds length{10'000};
    EXPECT_FALSE(cad::timeToAsk(milliseconds{9'999}, std::nullopt, length));
    EXPECT_TRUE(cad::timeToAsk(milliseconds{10'000}, std::nullopt, length));
    // "go on waiting" was answered: the call waits on, the next question waits its turn
    EXPECT_FALSE(cad::timeToAsk(milliseconds{25'000}, milliseconds{0}, length));
    EXPECT_FALSE(cad::timeToAsk(milliseconds{25'000}, milliseconds{9'999}, length));
    EXPECT_TRUE(cad::timeToAsk(milliseconds{25'000}, milliseconds{10'000}, length));
}

} // namespace
