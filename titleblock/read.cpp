#include "titleblock/operations.h"

#include "cad/convert.h"

#include <array>

namespace titleblock {

void read(Form &form, const Connect &connect) {
    const auto active = openActiveDocument(form, connect);
    if (!active)
        return;
    const Source source = identify(active->document);
    // All four, or none: a read stopped or failed halfway leaves the fields as they were,
    // not half of them the document's beside what was there.
    std::array<std::wstring, std::size(kFields)> values;
    for (std::size_t i = 0; i < std::size(kFields); ++i)
        values[i] =
            cad::toText(active->document.get(L"CustomInfo", {std::wstring(kFields[i].property)}),
                        L"CustomInfo");
    for (std::size_t i = 0; i < std::size(kFields); ++i)
        form.setFieldText(kFields[i].field, values[i]);
    form.setFieldsSource(source); // all four are the document's now
}

} // namespace titleblock
