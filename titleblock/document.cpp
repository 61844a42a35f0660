#include "titleblock/document.h"

#include "cad/convert.h"
#include "identity.h"

namespace titleblock {

std::optional<ActiveDocument> openActiveDocument(Form &form, const Connect &connect) {
    cad::Object application = connect(identity::kProgId);
    application.put(L"Visible", {true});
    std::optional<cad::Object> document =
        cad::toObject(application.get(L"ActiveDoc"), L"ActiveDoc");
    if (!document) {
        form.inform(L"Keine Datei geöffnet");
        return std::nullopt;
    }
    return ActiveDocument{std::move(application), std::move(*document)};
}

} // namespace titleblock
