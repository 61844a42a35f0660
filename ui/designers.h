#pragma once

#include <array>

namespace ui {

// The designer list of the combo box, in this order.
inline constexpr std::array<const wchar_t *, 8> kDesigners{
    L"Jonas Weidlich",
    L"Captain Anne-Marie Kessler",
    L"Commander Robert J. Hanlon",
    L"Lieutenant Commander Orbit",
    L"Chief D'Arcy",
    L"Counselor Mira Holm",
    L"Lieutenant Nora Lind",
    L"Z",
};

} // namespace ui
