#pragma once

#include <windows.h>

#include <array>

namespace ui {

enum class ControlId : int {
    Label1 = 100,
    txtSfBenennung,
    Label2,
    txtSfZeichnungsnummer,
    Label3,
    cmbSfKonstrukteur,
    Label4,
    txtSfDatum,
    cmdSfEintragen,
    cmdExit,
    cmdSfDefaultWerte,
    Label6,
    cmdSfAuslesen,
    chkGenProp,
    chkRebuild,
    cmdAutoDate,
};

struct ControlSpec {
    ControlId id;
    const wchar_t *className;
    DWORD style;
    RECT twips; // left, top, right, bottom: 1440 twips to the inch
    const wchar_t *text;
    const wchar_t *tooltip;
};

// The client area, in twips.
inline constexpr SIZE kClientTwips{6150, 4530};

constexpr RECT box(LONG left, LONG top, LONG width, LONG height) {
    return {left, top, left + width, top + height};
}

inline constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
inline constexpr DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;
inline constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
inline constexpr DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;

// In tab order: the order of creation is the order the keyboard visits.
inline constexpr std::array<ControlSpec, 16> kControls{{
    {ControlId::Label1, L"STATIC", kLabel, box(120, 720, 1185, 195), L"Benennung", nullptr},
    {ControlId::txtSfBenennung, L"EDIT", kEdit, box(1560, 720, 4455, 285), L"Text1", nullptr},
    {ControlId::Label2, L"STATIC", kLabel, box(120, 1080, 1395, 195), L"Zeichnungsnummer", nullptr},
    {ControlId::txtSfZeichnungsnummer, L"EDIT", kEdit, box(1560, 1080, 4455, 285), L"Text1", nullptr},
    {ControlId::Label3, L"STATIC", kLabel, box(120, 1440, 900, 195), L"Konstrukteur", nullptr},
    {ControlId::cmbSfKonstrukteur, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
     box(1560, 1440, 4455, 315), L"Combo1", nullptr},
    {ControlId::Label4, L"STATIC", kLabel, box(120, 1800, 465, 195), L"Datum", nullptr},
    {ControlId::txtSfDatum, L"EDIT", kEdit, box(1560, 1800, 1215, 285), L"Text1", nullptr},
    {ControlId::cmdSfEintragen, L"BUTTON", kButton, box(3240, 2400, 2775, 615), L"Werte &eintragen",
     L"writes back values in active SW document"},
    {ControlId::cmdExit, L"BUTTON", kButton, box(5160, 3960, 855, 495), L"Exit", L"Exit the program"},
    {ControlId::cmdSfDefaultWerte, L"BUTTON", kButton, box(120, 2400, 2895, 615),
     L"&Standardwerte in Felder füllen", L"fill EDIT-fields with standard values"},
    {ControlId::Label6, L"STATIC", kLabel, box(120, 120, 5895, 495), L"Blattkopf ausfüllen", nullptr},
    {ControlId::cmdSfAuslesen, L"BUTTON", kButton, box(120, 3120, 2895, 615),
     L"vorhandene &Werte aus aktiven SW-Dokument lesen", L"reads original values from active SW document"},
    {ControlId::chkGenProp, L"BUTTON", kCheck, box(3240, 3000, 2775, 375), L"Attribute erzeugen", nullptr},
    {ControlId::chkRebuild, L"BUTTON", kCheck, box(3240, 3360, 2775, 375), L"automatisches Rebuild", nullptr},
    {ControlId::cmdAutoDate, L"BUTTON", kButton, box(2880, 1800, 3135, 285), L"aktuelles Datum eintragen",
     nullptr},
}};

inline int twipsToPixels(LONG twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

} // namespace ui
