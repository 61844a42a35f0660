#pragma once

#include <string>

namespace test {

// Whether the CAD program's ProgID leads to this build's stand-in: its class, and that
// class's program, this build's cadstandin.exe. Empty when it does; else why not, for
// a refusal. Where the real CAD program is installed, a registration gone wrong would
// start it, and a first connection would already show it and read the user's document.
std::wstring standinProblem();

} // namespace test
