#pragma once

#include "titleblock/fields.h"

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

// What a control is for, which decides how the window treats it.
enum class Role {
    Heading, // the red title
    Label,   // a field's caption, exactly as wide as its text
    Field,   // shows and takes one title-block value
    Option,  // a check box that steers writing
    Button,
};

// The Win32 control that plays a role.
struct Kind {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle = 0;
    UINT limitText = 0;    // the message that lifts its limit on typed text, if it has one
    bool dropDown = false; // its window's height is the open list's
};

struct ControlSpec {
    ControlId id;
    Role role;
    Kind kind;
    RECT twips; // left, top, right, bottom: 1440 twips to the inch
    const wchar_t *text;
    const wchar_t *tooltip = nullptr;
    titleblock::Field field = {}; // the value a Field shows
};

// The client area, in twips.
inline constexpr SIZE kClientTwips{6150, 4530};

// In tab order: the order of creation is the order the keyboard visits. Defined
// once, in layout.cpp, so that the captions are in the program once.
extern const std::array<ControlSpec, 16> kControls;

// The control's row, or none for an id that is no control's (IDOK from Enter, say).
const ControlSpec *find(int id);

// The control that shows a title-block field.
ControlId fieldControl(titleblock::Field field);

inline int twipsToPixels(LONG twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

} // namespace ui
