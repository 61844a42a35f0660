#pragma once

#include "failure_screenshot.h"
#include "standin_check.h"
#include "standin_files.h"

#include <gtest/gtest.h>

#include <string>

namespace test {

// Before the first test of every program that includes this: the CAD program's
// ProgID leads to this build's stand-in, or no test runs.
class LeadsToStandin final : public ::testing::Environment {
public:
    void SetUp() override {
        if (const std::wstring problem = standinProblem(); !problem.empty())
            GTEST_FAIL() << std::string(problem.begin(), problem.end()) << " No test connects.";
    }
};
inline ::testing::Environment *const kLeadsToStandin =
    ::testing::AddGlobalTestEnvironment(new LeadsToStandin);

// What a test that writes makes sure of first, once more: the connection it made
// since the journal was last cleared reached the stand-in, not a program the
// ProgID came to name meanwhile.
inline ::testing::AssertionResult reachedStandin(const StandinFiles &files) {
    if (files.count(L"create Application") > 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the connection did not reach the stand-in, so nothing is written";
}

} // namespace test
