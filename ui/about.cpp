#include "ui/about.h"

#include "text/fill.h"

#include <cwchar>
#include <vector>

namespace ui {

std::wstring versionValue(HMODULE module, const wchar_t *name) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void *record = loaded ? LockResource(loaded) : nullptr;
    if (!record)
        return {};
    // The version functions work on a copy they may write to, as GetFileVersionInfo makes.
    const auto *bytes = static_cast<const BYTE *>(record);
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
    void *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return {};
    const auto *language = static_cast<const WORD *>(value);
    wchar_t path[64];
    std::swprintf(path, std::size(path), L"\\StringFileInfo\\%04X%04X\\%ls", language[0],
                  language[1], name);
    if (!VerQueryValueW(copy.data(), path, &value, &length) || length == 0)
        return {};
    return static_cast<const wchar_t *>(value);
}

std::wstring aboutText(HMODULE module, const std::wstring &listSource) {
    return text::fill(L"blattkopf %1\n%2\n\n%3\n%4\n\nListe der Konstrukteure: %5",
                      {versionValue(module, L"ProductVersion"),
                       versionValue(module, L"FileDescription"), versionValue(module, L"Comments"),
                       versionValue(module, L"LegalCopyright"),
                       listSource.empty() ? L"eingebaute Liste" : listSource});
}

} // namespace ui
