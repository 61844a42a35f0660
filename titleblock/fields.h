#pragma once

#include <array>
#include <string_view>

namespace titleblock {

enum class Field { Benennung, Zeichnungsnummer, Konstrukteur, Datum };

struct FieldInfo {
    Field field;
    std::wstring_view property; // the custom property, also the caption of the field's label
};

// Every operation handles the fields in exactly this order.
inline constexpr std::array<FieldInfo, 4> kFields{{
    {Field::Benennung, L"Benennung"},
    {Field::Zeichnungsnummer, L"Zeichnungsnummer"},
    {Field::Konstrukteur, L"Konstrukteur"},
    {Field::Datum, L"Datum"},
}};

} // namespace titleblock
