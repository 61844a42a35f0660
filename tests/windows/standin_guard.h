#pragma once

#include "standin/identity.h"
#include "standin_files.h"

#include <objbase.h>

#include <gtest/gtest.h>

namespace test {

// Before the first test of every program that includes this: the CAD program's
// ProgID leads to the stand-in, or no test runs. Where the real CAD program is
// installed, a registration gone wrong (refused, or a run elevated that COM then
// reads no user's classes for) would start it, and the first connection would
// already make it visible and read the user's document.
class LeadsToStandin final : public ::testing::Environment {
public:
    void SetUp() override {
        const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        CLSID named{};
        const HRESULT hr = CLSIDFromProgID(standin::kProgId, &named);
        if (initialised)
            CoUninitialize();
        if (FAILED(hr) || named != standin::kClsid)
            GTEST_FAIL()
                << "The CAD program's ProgID does not lead to the stand-in here, so no test "
                   "connects: register it first (cadstandin /RegServer says why it "
                   "cannot).";
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
