#pragma once

#include <string>
#include <vector>

namespace test {

// The application and document objects the stand-in's journal shows created and
// not yet released; an exited process took its own with it.
inline int liveObjects(const std::vector<std::wstring> &journal) {
    int live = 0;
    for (const std::wstring &line : journal) {
        live += line.starts_with(L"create ");
        live -= line.starts_with(L"release ");
        if (line == L"exit process")
            live = 0;
    }
    return live;
}

} // namespace test
