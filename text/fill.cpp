#include "text/fill.h"

namespace text {

std::wstring fill(std::wstring_view pattern, std::initializer_list<std::wstring_view> values) {
    std::wstring out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t place = i + 1 < pattern.size() && pattern[i] == L'%'
                                      ? static_cast<std::size_t>(pattern[i + 1] - L'1')
                                      : values.size();
        if (place < values.size()) {
            out += values.begin()[place];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace text
