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

    const bool drawing = cad::toInt32(document.call(L"gettype"), L"gettype") == kDrawing;
    const Source source = identify(document); // a drawing's title is also its designation
    if (drawing) {
        form.setFieldText(Field::Benennung, source.title);
        form.setFieldText(Field::Zeichnungsnummer, L"Drawing DocName");
    } else {
        form.setFieldText(Field::Benennung, L"no drawing");
        form.setFieldText(Field::Zeichnungsnummer, L"Model (Part or Assembly)");
    }
    form.setFieldText(Field::Konstrukteur, form.standardDesigner());
    form.setFieldText(Field::Datum, form.today());
    form.setFieldsSource(source);
}

} // namespace titleblock
