#include "ui/designers.h"

#include "text/fill.h"
#include "titleblock/designer_file.h"
#include "ui/list_file.h"

#include <lmcons.h>

namespace ui {
namespace {

constexpr const wchar_t *kBuiltIn[] = {
    L"Jonas Weidlich",
    L"Captain Anne-Marie Kessler",
    L"Commander Robert J. Hanlon",
    L"Lieutenant Commander Orbit",
    L"Chief D'Arcy",
    L"Counselor Mira Holm",
    L"Lieutenant Nora Lind",
    L"Z",
};
constexpr wchar_t kBuiltInStandard[] = L"John Doe";
constexpr wchar_t kFileName[] = L"Konstrukteure.txt";
constexpr DWORD kMostBytes = 64 * 1024; // what the parser takes; a larger file is refused unread

// What the user can do about a list that is not used.
constexpr wchar_t kMend[] =
    L"Die Auswahl der Konstrukteure bleibt leer, bis die Datei berichtigt ist.";
constexpr wchar_t kLater[] =
    L"Die Auswahl der Konstrukteure bleibt leer. Starten Sie blattkopf später noch einmal.";
constexpr wchar_t kMissing[] = L"Die Auswahl der Konstrukteure bleibt leer, bis es die Datei gibt.";

// The module's folder, however long its path.
std::wstring folderOf(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path.substr(0, path.find_last_of(L'\\') + 1);
        }
        path.resize(path.size() * 2);
    }
}

// Where the system's code page is UTF-8 (a setting of Windows 10 and later), a file
// that is not UTF-8 was saved by an older Windows in Western Europe's page.
std::wstring fromAnsi(std::string_view bytes) {
    const UINT page = GetACP() == CP_UTF8 ? 1252 : CP_ACP;
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(page, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// As Windows compares user names: without regard to case.
bool sameLogin(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

Designers builtIn() {
    return {{std::begin(kBuiltIn), std::end(kBuiltIn)}, kBuiltInStandard, L""};
}

// No names and no standard designer, and why.
Designers unused(const std::wstring &path, int line, const std::wstring &problem,
                 const wchar_t *advice) {
    return {{},
            L"",
            text::fill(
                L"Die Liste der Konstrukteure wird nicht verwendet:\n\n%1\n%2\n\n%3",
                {path,
                 line > 0 ? text::fill(L"Zeile %1: %2", {std::to_wstring(line), problem}) : problem,
                 advice}),
            path};
}

} // namespace

Designers loadDesigners(HMODULE program, const std::optional<std::wstring> &configured,
                        std::wstring_view user) {
    if (configured && configured->empty())
        return {
            {}, L"", L"", L"keine, die Richtlinie ist nicht verwendbar"}; // its warning said why
    const std::wstring folder = configured ? L"" : folderOf(program);
    if (!configured && folder.empty())
        return builtIn(); // the system cannot say where the program is
    const std::wstring path = configured ? *configured : folder + kFileName;
    const ListFile file = readListFile(path, kMostBytes);
    switch (file.outcome) {
    case ListFile::Outcome::Missing:
        return configured ? unused(path, 0, file.problem, kMissing) : builtIn();
    case ListFile::Outcome::Unreadable:
        return unused(path, 0, file.problem, kMend);
    case ListFile::Outcome::Locked:
    case ListFile::Outcome::Unreachable:
        return unused(path, 0, file.problem, kLater);
    case ListFile::Outcome::Read:
        break;
    }
    const auto parsed = titleblock::parseDesignerFile(file.bytes, &fromAnsi);
    if (const auto *error = std::get_if<titleblock::DesignerFileError>(&parsed))
        return unused(path, error->line, error->problem, kMend);
    const auto &list = std::get<titleblock::DesignerList>(parsed);
    return {list.names, titleblock::designerFor(list, user, &sameLogin), L"", path};
}

std::wstring loggedInUser() {
    std::wstring user(UNLEN + 1, L'\0');
    DWORD size = static_cast<DWORD>(user.size());
    if (!GetUserNameW(user.data(), &size))
        return L""; // then only the marked line names the standard designer
    user.resize(size - 1);
    return user;
}

} // namespace ui
