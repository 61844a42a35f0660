#include "titleblock/operations.h"

#include "cad/convert.h"

namespace titleblock {

namespace {
constexpr std::int32_t kDrawing = 3;
}

void fillStandardValues(Form &form, const Connect &connect) {
    const auto active = openActiveDocument(form, connect);
    if (!active)
        return;
    const cad::Object &document = active->document;

    if (cad::toInt32(document.call(L"gettype"), L"gettype") == kDrawing) {
        form.setFieldText(Field::Benennung, cad::toText(document.call(L"GetTitle"), L"GetTitle"));
        form.setFieldText(Field::Zeichnungsnummer, L"Drawing DocName");
    } else {
        form.setFieldText(Field::Benennung, L"no drawing");
        form.setFieldText(Field::Zeichnungsnummer, L"Model (Part or Assembly)");
    }
    form.setFieldText(Field::Konstrukteur, L"John Doe");
    form.setFieldText(Field::Datum, form.today());
}

} // namespace titleblock
