#pragma once

#include "cad/error.h"

#include <gtest/gtest.h>

namespace test {

// The cad::Error that `call` raises; a test failure when it raises none.
inline cad::Error errorOf(auto &&call) {
    try {
        call();
    } catch (const cad::Error &e) {
        return e;
    }
    ADD_FAILURE() << "no cad::Error raised";
    return cad::Error(0, L"", L"");
}

} // namespace test
