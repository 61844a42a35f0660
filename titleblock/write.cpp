#include "titleblock/operations.h"

#include "cad/convert.h"

namespace titleblock {

void write(Form &form, const Connect &connect) {
    const auto active = openActiveDocument(form, connect);
    if (!active)
        return;
    const cad::Object &document = active->document;

    if (form.optionValue(Option::GenProp) == 0) {
        // Update the properties the document already has.
        for (const FieldInfo &info : kFields)
            document.put(L"CustomInfo", {std::wstring(info.property), form.fieldText(info.field)});
    } else {
        // Create them anew; checked and grayed alike. All deletions come first.
        for (const FieldInfo &info : kFields)
            document.call(L"DeleteCustomInfo", {std::wstring(info.property)});
        for (const FieldInfo &info : kFields)
            document.call(L"AddCustomInfo", {std::wstring(info.property), std::wstring(L"Text"),
                                             form.fieldText(info.field)});
    }

    if (form.optionValue(Option::Rebuild) == 1)
        cad::toInt32(document.call(L"EditRebuild"), L"EditRebuild");
    else
        form.inform(L"Werte werden erst nach dem nächsten Rebuild im Blattkopf eingetragen");
}

} // namespace titleblock
