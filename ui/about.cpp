#include "ui/about.h"

#include "commit.h"
#include "identity.h"
#include "text/fill.h"

namespace ui {

// From what the version record is made of, so that nothing needs the version library.
std::wstring aboutText(const std::wstring &listSource) {
    return text::fill(L"blattkopf %1\n%2\n\n%3\n%4\n\nListe der Konstrukteure: %5",
                      {identity::kVersionText, identity::kDescription, L"" BLATTKOPF_COMMENTS,
                       identity::kCopyright,
                       listSource.empty() ? L"eingebaute Liste" : listSource});
}

} // namespace ui
