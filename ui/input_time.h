#pragma once

#include <cstdint>

namespace ui {

// When an operation ran, in the times the system stamps on messages: milliseconds
// since start-up as a 32-bit count, which wraps after 49.7 days.
struct Stretch {
    std::uint32_t start;
    std::uint32_t end;
};

// Whether input stamped `time` was made while the operation ran. Unsigned
// differences stay right across the wrap, and input made after the end is
// taken however long after the last operation it comes.
constexpr bool madeDuring(std::uint32_t time, Stretch stretch) {
    return time - stretch.start <= stretch.end - stretch.start;
}

} // namespace ui
