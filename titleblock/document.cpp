#include "titleblock/document.h"

#include "cad/convert.h"
#include "identity.h"
#include "text/fill.h"

namespace titleblock {
namespace {

std::wstring textOf(const cad::Object &document, std::wstring_view method) {
    return cad::toText(document.call(method), method);
}

} // namespace

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

Source identify(const cad::Object &document) {
    return {textOf(document, L"GetPathName"), textOf(document, L"GetTitle")}; // in this order
}

bool mayWriteInto(Form &form, const cad::Object &document) {
    const std::optional<Source> from = form.fieldsSource();
    std::wstring path = textOf(document, L"GetPathName");
    if (from && !path.empty() && path == from->path)
        return true; // the same saved document, whose title is known
    const Source into{std::move(path), textOf(document, L"GetTitle")};
    if (from && !sameDocument(*from, into) &&
        !form.ask(text::fill(L"Die Werte im Fenster stammen aus \u201E%1\u201C. Im CAD-Programm "
                             L"ist jetzt \u201E%2\u201C aktiv.\n\nIn \u201E%2\u201C eintragen?",
                             {from->title, into.title})))
        return false;
    form.setFieldsSource(into);
    return true;
}

} // namespace titleblock
