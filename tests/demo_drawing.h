#pragma once

#include "standin/state.h"

#include <string>
#include <vector>

namespace test {

// A drawing with four distinct title-block values.
inline standin::State demoDrawing() {
    standin::State s;
    s.documentType = 3;
    s.title = L"Getriebegehäuse - Blatt1";
    s.properties = {{L"Benennung", L"Text", L"Getriebegehäuse"},
                    {L"Zeichnungsnummer", L"Text", L"GZ-4711-01"},
                    {L"Konstrukteur", L"Text", L"Jonas Weidlich"},
                    {L"Datum", L"Text", L"03.12.2026"}};
    return s;
}

// The values of a state's properties in their order, a Null as "<null>".
inline std::vector<std::wstring> values(const standin::State &state) {
    std::vector<std::wstring> values;
    for (const standin::Property &p : state.properties)
        values.push_back(p.value.value_or(L"<null>"));
    return values;
}

} // namespace test
