#include "titleblock/operations.h"

#include "cad/convert.h"

namespace titleblock {

void read(Form &form, const Connect &connect) {
    const auto active = openActiveDocument(form, connect);
    if (!active)
        return;
    const Source source = identify(active->document);
    // Field by field: each value is shown before the next one is asked for.
    for (const FieldInfo &info : kFields) {
        const cad::Value value = active->document.get(L"CustomInfo", {std::wstring(info.property)});
        form.setFieldText(info.field, cad::toText(value, L"CustomInfo"));
    }
    form.setFieldsSource(source); // all four are the document's now
}

} // namespace titleblock
