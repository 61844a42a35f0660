#pragma once

#include "titleblock/document.h"
#include "titleblock/form.h"

// The three operations on the title block of the active document. Each one opens
// the document afresh and releases it before returning; failures raise cad::Error.
namespace titleblock {

// Shows the document's four title-block properties in the form's fields.
void read(Form &form, const Connect &connect);

// Writes the form's fields into the document's properties, then rebuilds the
// document or tells the user when the title block will show them.
void write(Form &form, const Connect &connect);

// Fills the form's fields with the standard values for the document's type.
void fillStandardValues(Form &form, const Connect &connect);

} // namespace titleblock
