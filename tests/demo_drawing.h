#pragma once

#include "demo_state.h"
#include "standin/state.h"

#include <string>
#include <vector>

namespace test {

// The drawing `make run` opens, with four distinct title-block values.
inline standin::State demoDrawing() {
    return standin::parseState(kDemoState, L"standin/demo.state");
}

// The values of a state's properties in their order, a Null as "<null>".
inline std::vector<std::wstring> values(const standin::State &state) {
    std::vector<std::wstring> values;
    for (const standin::Property &p : state.properties)
        values.push_back(p.value.value_or(L"<null>"));
    return values;
}

} // namespace test
