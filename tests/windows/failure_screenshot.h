#pragma once

#include <gtest/gtest.h>

namespace test {

// At a test's first failure, the desktop as it is then, into the folder
// BLATTKOPF_SCREENSHOTS names, or else the folder "screenshots" beside the test
// program: a build runner's desktop is seen only this way.
class ScreenshotOnFailure final : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo &) override { taken_ = false; }
    void OnTestPartResult(const ::testing::TestPartResult &result) override;

private:
    bool taken_ = false;
};
inline const bool kScreenshotOnFailure = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    return true;
}();

} // namespace test
