#pragma once

// The window as designed, written down here from the design and not taken from
// the program's own table, so that a mistake in that table shows.

#include "process_windows.h"
#include "ui/layout.h"

#include <string>
#include <vector>

namespace test {

// The controls of the four title-block fields, in field order.
inline constexpr ui::ControlId kFieldControls[] = {
    ui::ControlId::txtSfBenennung, ui::ControlId::txtSfZeichnungsnummer,
    ui::ControlId::cmbSfKonstrukteur, ui::ControlId::txtSfDatum};

// The texts of the four fields of `window`, this process's or another's.
inline std::vector<std::wstring> fieldTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (const ui::ControlId id : kFieldControls)
        texts.push_back(windowText(GetDlgItem(window, static_cast<int>(id))));
    return texts;
}

// Each control's place in twips (left, top, width, height) and its caption.
struct Designed {
    ui::ControlId id;
    LONG left, top, width, height;
    const wchar_t *caption; // null for the fields
};
inline constexpr Designed kDesigned[] = {
    {ui::ControlId::Label6, 120, 120, 5895, 495, L"Blattkopf ausfüllen"},
    {ui::ControlId::Label1, 120, 720, 1185, 195, L"Benennung"},
    {ui::ControlId::txtSfBenennung, 1560, 720, 4455, 285, nullptr},
    {ui::ControlId::Label2, 120, 1080, 1395, 195, L"Zeichnungsnummer"},
    {ui::ControlId::txtSfZeichnungsnummer, 1560, 1080, 4455, 285, nullptr},
    {ui::ControlId::Label3, 120, 1440, 900, 195, L"Konstrukteur"},
    {ui::ControlId::cmbSfKonstrukteur, 1560, 1440, 4455, 315, nullptr},
    {ui::ControlId::Label4, 120, 1800, 465, 195, L"Datum"},
    {ui::ControlId::txtSfDatum, 1560, 1800, 1215, 285, nullptr},
    {ui::ControlId::cmdAutoDate, 2880, 1800, 3135, 285, L"aktuelles Datum eintragen"},
    {ui::ControlId::cmdSfDefaultWerte, 120, 2400, 2895, 615, L"&Standardwerte in Felder füllen"},
    {ui::ControlId::cmdSfEintragen, 3240, 2400, 2775, 615, L"Werte &eintragen"},
    {ui::ControlId::chkGenProp, 3240, 3000, 2775, 375, L"Attribute erzeugen"},
    {ui::ControlId::cmdSfAuslesen, 120, 3120, 2895, 615,
     L"vorhandene &Werte aus aktiven SW-Dokument lesen"},
    {ui::ControlId::chkRebuild, 3240, 3360, 2775, 375, L"automatisches Rebuild"},
    {ui::ControlId::cmdExit, 5160, 3960, 855, 495, L"Exit"},
};

} // namespace test
