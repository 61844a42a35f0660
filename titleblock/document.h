#pragma once

#include "cad/value.h"
#include "titleblock/form.h"

#include <functional>
#include <optional>

namespace titleblock {

inline constexpr std::wstring_view kApplicationProgId = L"SldWorks.Application";

// Yields a fresh application handle; in the program that is cad::createObject.
using Connect = std::function<cad::Object()>;

// Held for one operation. Members are destroyed in reverse, so the document is
// released before the application.
struct ActiveDocument {
    cad::Object application;
    cad::Object document;
};

// Connects, shows the CAD window and takes the document in front. With none open
// it tells the user and yields nothing; the caller then stops.
std::optional<ActiveDocument> openActiveDocument(Form &form, const Connect &connect);

} // namespace titleblock
