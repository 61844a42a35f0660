#pragma once

#include "cad/value.h"
#include "titleblock/form.h"

#include <functional>
#include <optional>

namespace titleblock {

// Yields a fresh application handle of the automation server registered under
// `progId`; in the program that is cad::createObject.
using Connect = std::function<cad::Object(std::wstring_view progId)>;

// Held for one operation. Members are destroyed in reverse, so the document is
// released before the application.
struct ActiveDocument {
    cad::Object application;
    cad::Object document;
};

// Connects to the CAD program, shows its window and takes the document in front. With none open
// it tells the user and yields nothing; the caller then stops.
std::optional<ActiveDocument> openActiveDocument(Form &form, const Connect &connect);

// The document's path (empty when it was never saved), then its title.
Source identify(const cad::Object &document);

// Whether the fields may go into `document`: yes when they came from it or from no
// document at all; otherwise the user is asked, before anything is written. Then the
// fields belong to it. Asks the document no more than it takes to tell it apart.
bool mayWriteInto(Form &form, const cad::Object &document);

} // namespace titleblock
