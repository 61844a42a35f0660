#include "ui/layout.h"

#include <algorithm>

namespace ui {
namespace {

constexpr Kind kStatic{L"STATIC", SS_LEFT | SS_NOPREFIX};
constexpr Kind kEdit{L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, EM_SETLIMITTEXT};
constexpr Kind kCombo{L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                      CB_LIMITTEXT, true};
constexpr Kind kButton{L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE};
constexpr Kind kCheck{L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX};

constexpr RECT box(LONG left, LONG top, LONG width, LONG height) {
    return {left, top, left + width, top + height};
}

using titleblock::Field;

// A field's label shows the field's property name.
constexpr const wchar_t *caption(Field field) {
    return titleblock::kFields[static_cast<std::size_t>(field)].property.data();
}

} // namespace

const std::array<ControlSpec, 16> kControls{{
    {ControlId::Label1, Role::Label, kStatic, box(120, 720, 1185, 195), caption(Field::Benennung)},
    {ControlId::txtSfBenennung, Role::Field, kEdit, box(1560, 720, 4455, 285), L"Text1", nullptr,
     Field::Benennung},
    {ControlId::Label2, Role::Label, kStatic, box(120, 1080, 1395, 195),
     caption(Field::Zeichnungsnummer)},
    {ControlId::txtSfZeichnungsnummer, Role::Field, kEdit, box(1560, 1080, 4455, 285), L"Text1",
     nullptr, Field::Zeichnungsnummer},
    {ControlId::Label3, Role::Label, kStatic, box(120, 1440, 900, 195),
     caption(Field::Konstrukteur)},
    {ControlId::cmbSfKonstrukteur, Role::Field, kCombo, box(1560, 1440, 4455, 315), L"Combo1",
     nullptr, Field::Konstrukteur},
    {ControlId::Label4, Role::Label, kStatic, box(120, 1800, 465, 195), caption(Field::Datum)},
    {ControlId::txtSfDatum, Role::Field, kEdit, box(1560, 1800, 1215, 285), L"Text1", nullptr,
     Field::Datum},
    {ControlId::cmdSfEintragen, Role::Button, kButton, box(3240, 2400, 2775, 615),
     L"Werte &eintragen", L"writes back values in active SW document"},
    {ControlId::cmdExit, Role::Button, kButton, box(5160, 3960, 855, 495), L"Exit",
     L"Exit the program"},
    {ControlId::cmdSfDefaultWerte, Role::Button, kButton, box(120, 2400, 2895, 615),
     L"&Standardwerte in Felder füllen", L"fill EDIT-fields with standard values"},
    {ControlId::Label6, Role::Heading, kStatic, box(120, 120, 5895, 495), L"Blattkopf ausfüllen"},
    {ControlId::cmdSfAuslesen, Role::Button, kButton, box(120, 3120, 2895, 615),
     L"vorhandene &Werte aus aktiven SW-Dokument lesen",
     L"reads original values from active SW document"},
    {ControlId::chkGenProp, Role::Option, kCheck, box(3240, 3000, 2775, 375),
     L"Attribute erzeugen"},
    {ControlId::chkRebuild, Role::Option, kCheck, box(3240, 3360, 2775, 375),
     L"automatisches Rebuild"},
    {ControlId::cmdAutoDate, Role::Button, kButton, box(2880, 1800, 3135, 285),
     L"aktuelles Datum eintragen"},
}};

const ControlSpec *find(int id) {
    const auto row = std::find_if(kControls.begin(), kControls.end(), [id](const ControlSpec &s) {
        return static_cast<int>(s.id) == id;
    });
    return row == kControls.end() ? nullptr : &*row;
}

ControlId fieldControl(titleblock::Field field) {
    return std::find_if(
               kControls.begin(), kControls.end(),
               [field](const ControlSpec &s) { return s.role == Role::Field && s.field == field; })
        ->id;
}

} // namespace ui
