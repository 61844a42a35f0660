#pragma once

#include "titleblock/document.h"
#include "titleblock/form.h"

#include <exception>
#include <string>

// The three operations on the title block of the active document. Each one opens
// the document afresh and releases it before returning; failures raise cad::Error.
namespace titleblock {

// Shows the document's four title-block properties in the form's fields.
void read(Form &form, const Connect &connect);

// Writes the form's fields into the document's properties, then rebuilds the
// document or tells the user when the title block will show them. Whatever the
// document did not take, the user is told in one warning.
void write(Form &form, const Connect &connect);

// A write that ended early after it had changed the document: `cause` is why it
// ended (cad::Error or cad::Cancelled), `report` what the document did not take,
// in the words for the user.
class Unfinished : public std::exception {
public:
    Unfinished(std::wstring report, std::exception_ptr cause)
        : report_(std::move(report)), cause_(std::move(cause)) {}
    const std::wstring &report() const noexcept { return report_; }
    const std::exception_ptr &cause() const noexcept { return cause_; }
    const char *what() const noexcept override { return "titleblock::Unfinished"; }

private:
    std::wstring report_;
    std::exception_ptr cause_;
};

// Fills the form's fields with the standard values for the document's type.
void fillStandardValues(Form &form, const Connect &connect);

} // namespace titleblock
