#pragma once

#include "standin_files.h"

#include <gtest/gtest.h>

namespace test {

// What a test that writes makes sure of first: the connection it made since the
// journal was last cleared reached the stand-in. Where the real CAD program is
// installed, a registration gone wrong would lead there, to the user's documents.
inline ::testing::AssertionResult reachedStandin(const StandinFiles &files) {
    if (files.count(L"create Application") > 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the connection did not reach the stand-in, so nothing is written";
}

} // namespace test
