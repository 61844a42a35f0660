#include "ui/designers.h"

#include "text/fill.h"
#include "titleblock/designer_file.h"
#include "win32/owners.h"
#include "win32/system_message.h"

#include <optional>
#include <string_view>

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

// A path of any length: Windows takes one over MAX_PATH only in this form.
std::wstring anyLength(const std::wstring &path) {
    if (path.starts_with(L"\\\\?\\"))
        return path;
    if (path.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

// Why the file cannot be read, in Windows' words.
std::wstring unreadable(DWORD code) {
    return text::fill(L"Die Datei kann nicht gelesen werden: %1.", {win32::systemMessage(code)});
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

struct FileRead {
    std::optional<std::string> bytes; // none: no such file
    std::wstring problem;             // why it could not be read
};

FileRead readFile(const std::wstring &path) {
    const std::wstring name = anyLength(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {};
        return {std::string(), unreadable(error)};
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {std::string(), L"Das ist ein Ordner, keine Datei."};
    const win32::UniqueHandle file(CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!win32::valid(file) || !GetFileSizeEx(file.get(), &size))
        return {std::string(), unreadable(GetLastError())};
    if (size.QuadPart > kMostBytes)
        return {std::string(), L"Die Datei ist größer als 64 KiB."};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {std::string(), unreadable(GetLastError())};
    bytes.resize(read);
    return {std::move(bytes), L""};
}

Designers builtIn(std::wstring warning = {}) {
    return {{std::begin(kBuiltIn), std::end(kBuiltIn)}, kBuiltInStandard, std::move(warning)};
}

std::wstring warning(const std::wstring &path, int line, const std::wstring &problem) {
    return text::fill(
        L"Die Liste der Konstrukteure wird nicht verwendet:\n\n%1\n%2\n\nDie "
        L"Auswahl zeigt die eingebauten Namen, bis die Datei berichtigt ist.",
        {path, line > 0 ? text::fill(L"Zeile %1: %2", {std::to_wstring(line), problem}) : problem});
}

} // namespace

Designers loadDesigners(HMODULE program) {
    const std::wstring folder = folderOf(program);
    if (folder.empty())
        return builtIn(); // the system cannot say where the program is
    const std::wstring path = folder + kFileName;
    const FileRead file = readFile(path);
    if (!file.problem.empty())
        return builtIn(warning(path, 0, file.problem));
    if (!file.bytes)
        return builtIn();
    const auto parsed = titleblock::parseDesignerFile(*file.bytes, &fromAnsi);
    if (const auto *error = std::get_if<titleblock::DesignerFileError>(&parsed))
        return builtIn(warning(path, error->line, error->problem));
    const auto &list = std::get<titleblock::DesignerList>(parsed);
    return {list.names, list.standard, L""};
}

} // namespace ui
