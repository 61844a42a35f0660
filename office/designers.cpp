#include "office/designers.h"

#include "office/designer_file.h"
#include "text/fill.h"
#include "text/number.h"

#include <lmcons.h>

#include <utility>

namespace office {
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
    L"Die Auswahlliste \u201EKonstrukteur\u201C bleibt leer, bis die Datei berichtigt ist. "
    L"Bitte geben Sie diese Meldung an Ihre IT weiter.";
constexpr wchar_t kLater[] =
    L"Die Auswahlliste \u201EKonstrukteur\u201C bleibt leer. Starten Sie blattkopf später noch "
    L"einmal; erscheint die Meldung wieder, geben Sie sie bitte an Ihre IT weiter.";
constexpr wchar_t kMissing[] =
    L"Die Auswahlliste \u201EKonstrukteur\u201C bleibt leer, bis die Datei vorhanden ist. "
    L"Bitte geben Sie diese Meldung an Ihre IT weiter.";

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
    return {
        {},
        L"",
        text::fill(
            L"Die Liste der Konstrukteure wird nicht verwendet:\n\n%1\n%2\n\n%3",
            {path, line > 0 ? text::fill(L"Zeile %1: %2", {text::decimal(line), problem}) : problem,
             advice}),
        path};
}

} // namespace

DesignerReading::DesignerReading(HMODULE program, std::optional<std::wstring> configured)
    : configured_(std::move(configured)) {
    if (configured_ && configured_->empty())
        return; // the policy's warning said why
    const std::wstring folder = configured_ ? L"" : folderOf(program);
    if (!configured_ && folder.empty())
        return; // the system cannot say where the program is: the built-in list
    path_ = configured_ ? *configured_ : folder + kFileName;
    file_.emplace(path_, kMostBytes);
}

Designers DesignerReading::take(std::wstring_view user) {
    if (!file_)
        return configured_ ? Designers{{}, L"", L"", L"keine, die Richtlinie ist nicht verwendbar"}
                           : builtIn();
    const ListFile file = file_->take();
    switch (file.outcome) {
    case ListFile::Outcome::Missing:
        return configured_ ? unused(path_, 0, file.problem, kMissing) : builtIn();
    case ListFile::Outcome::Unreadable:
        return unused(path_, 0, file.problem, kMend);
    case ListFile::Outcome::Locked:
    case ListFile::Outcome::Unreachable:
        return unused(path_, 0, file.problem, kLater);
    case ListFile::Outcome::Read:
        break;
    }
    const auto parsed = parseDesignerFile(file.bytes, &fromAnsi);
    if (const auto *error = std::get_if<DesignerFileError>(&parsed))
        return unused(path_, error->line, error->problem, kMend);
    const auto &list = std::get<DesignerList>(parsed);
    return {list.names, designerFor(list, user, &sameLogin), L"", path_};
}

std::wstring loggedInUser() {
    std::wstring user(UNLEN + 1, L'\0');
    DWORD size = static_cast<DWORD>(user.size());
    if (!GetUserNameW(user.data(), &size))
        return L""; // then only the marked line names the standard designer
    user.resize(size - 1);
    return user;
}

} // namespace office
