#include "standin/registration.h"

#include "win32/owners.h"
#include "win32/system_message.h"

#include <objbase.h>

#include <optional>
#include <utility>

namespace standin {
namespace {

constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

struct Classes {
    HKEY root;
    const wchar_t *path;
};
const Classes kUser{HKEY_CURRENT_USER, L"Software\\Classes\\"};
const Classes kMachine{HKEY_LOCAL_MACHINE, L"Software\\Classes\\"};
const Classes kMerged{HKEY_CLASSES_ROOT, L""}; // what COM reads for this process

std::wstring text(const CLSID &clsid) {
    wchar_t buffer[40];
    StringFromGUID2(clsid, buffer, 40);
    return buffer;
}

const Classes &target(Scope scope) {
    return scope == Scope::Machine ? kMachine : kUser;
}

// COM ignores a user's own classes for an elevated process: the CAD program's own
// class would answer the tests. A token that cannot be read counts as elevated.
bool elevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return true;
    const win32::UniqueHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return !GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) ||
           elevation.TokenIsElevated;
}

bool setDefault(const Classes &classes, REGSAM view, const std::wstring &key,
                const std::wstring &value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(classes.root, (classes.path + key).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | view, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const bool set =
        RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                       bytes) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return set;
}

// The key's default text, whatever its length: empty where there is none, nothing
// where there is one that cannot be read.
std::optional<std::wstring> getDefault(const Classes &classes, REGSAM view,
                                       const std::wstring &key) {
    const std::wstring path = classes.path + key;
    const DWORD flags =
        RRF_RT_REG_SZ | (view == KEY_WOW64_32KEY ? RRF_SUBKEY_WOW6432KEY : RRF_SUBKEY_WOW6464KEY);
    DWORD bytes = 0;
    const LSTATUS sized =
        RegGetValueW(classes.root, path.c_str(), nullptr, flags, nullptr, nullptr, &bytes);
    if (sized == ERROR_FILE_NOT_FOUND)
        return std::wstring();
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (sized != ERROR_SUCCESS || RegGetValueW(classes.root, path.c_str(), nullptr, flags, nullptr,
                                               value.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(value.find(L'\0'));
    return value;
}

// The class another program's ProgID names in `classes`, if it names one: its own
// CLSID, or that of the version its CurVer names, which COM follows where the ProgID
// has no CLSID of its own. A value that cannot be read may name one, so it counts as
// another's.
std::wstring otherClass(const Classes &classes, const std::wstring &progId,
                        const std::wstring &clsid) {
    constexpr wchar_t kUnreadable[] = L"(a value that cannot be read)";
    for (const REGSAM view : kViews) {
        const std::optional<std::wstring> version = getDefault(classes, view, progId + L"\\CurVer");
        if (!version)
            return kUnreadable;
        for (const std::wstring &name : {progId, *version}) {
            const std::optional<std::wstring> named =
                name.empty() ? std::wstring() : getDefault(classes, view, name + L"\\CLSID");
            if (!named)
                return kUnreadable;
            if (!named->empty() && *named != clsid)
                return *named;
        }
    }
    return {};
}

bool write(const Classes &classes, const std::wstring &progId, const std::wstring &clsid,
           const std::wstring &server) {
    for (const REGSAM view : kViews) {
        if (!setDefault(classes, view, progId + L"\\CLSID", clsid) ||
            (!server.empty() &&
             !setDefault(classes, view, L"CLSID\\" + clsid + L"\\LocalServer32", server)))
            return false;
    }
    return true;
}

bool holdsMore(const Classes &classes, REGSAM view, const std::wstring &key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(classes.root, (classes.path + key).c_str(), 0, KEY_READ | view, &handle) !=
        ERROR_SUCCESS)
        return false;
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    return subkeys > 0 || values > 0;
}

// Removes what `write` wrote; gives the keys it could not remove, each on a line of
// its own.
std::wstring erase(const Classes &classes, const std::wstring &progId, const std::wstring &clsid) {
    std::wstring failures;
    for (const REGSAM view : kViews) {
        const auto remove = [&](const std::wstring &key) {
            const LSTATUS status =
                RegDeleteKeyExW(classes.root, (classes.path + key).c_str(), view, 0);
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
                failures.append(classes.root == HKEY_LOCAL_MACHINE ? L"\nHKLM\\" : L"\nHKCU\\")
                    .append(classes.path + key)
                    .append(view == KEY_WOW64_32KEY ? L" (32-bit view): " : L" (64-bit view): ")
                    .append(win32::systemMessage(static_cast<DWORD>(status)));
        };
        if (getDefault(classes, view, progId + L"\\CLSID") == clsid) {
            remove(progId + L"\\CLSID");
            if (!holdsMore(classes, view, progId)) // another program's keys or values keep it
                remove(progId);
        }
        remove(L"CLSID\\" + clsid + L"\\LocalServer32");
        remove(L"CLSID\\" + clsid);
    }
    return failures;
}

} // namespace

std::wstring registerClass(const std::wstring &progId, const CLSID &clsid,
                           const std::wstring &server, Scope scope) {
    const std::wstring id = text(clsid);
    // Wherever COM may look, the real program's registration is never replaced.
    for (const auto &[classes, where] :
         {std::pair{&kUser, L"the user's classes"}, std::pair{&kMachine, L"the machine's classes"},
          std::pair{&kMerged, L"HKEY_CLASSES_ROOT"}})
        if (const std::wstring other = otherClass(*classes, progId, id); !other.empty())
            return progId + L" already names the class " + other + L" in " + where +
                   L"; it is left as it is and nothing was registered.";
    const Classes &ours = target(scope);
    if (&ours == &kUser && elevated())
        return L"This process runs elevated, or its elevation cannot be read, and COM ignores "
               L"a user's own classes for elevated processes: the CAD program's own class "
               L"would answer. Nothing was registered; run it without administrator rights.";
    if (!write(ours, progId, id, server)) {
        erase(ours, progId, id);
        return &ours == &kUser ? L"The user's classes (HKCU\\Software\\Classes) cannot be written."
                               : L"The machine's classes (HKLM\\Software\\Classes) cannot be "
                                 L"written: that takes administrator rights.";
    }
    if (getDefault(kMerged, KEY_WOW64_64KEY, progId + L"\\CLSID") != id) {
        erase(ours, progId, id);
        return L"COM does not see the classes written here (for example in a service whose "
               L"user profile is not loaded): " +
               progId + L" would lead elsewhere. Nothing was registered.";
    }
    return {};
}

std::wstring registeredServer(const CLSID &clsid) {
    const std::wstring command =
        getDefault(kMerged, KEY_WOW64_64KEY, L"CLSID\\" + text(clsid) + L"\\LocalServer32")
            .value_or(L"");
    return command.starts_with(L'"') ? command.substr(1, command.find(L'"', 1) - 1) : command;
}

std::wstring leadsElsewhere(const std::wstring &progId, const CLSID &clsid,
                            const std::wstring &server) {
    const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CLSID named{};
    const HRESULT hr = CLSIDFromProgID(progId.c_str(), &named);
    if (initialised)
        CoUninitialize();
    if (FAILED(hr) || named != clsid)
        return progId + L" does not lead to the stand-in's class here: register it first "
                        L"(cadstandin /RegServer says why it cannot).";
    const std::wstring registered = registeredServer(clsid);
    if (CompareStringOrdinal(registered.c_str(), -1, server.c_str(), -1, TRUE) != CSTR_EQUAL)
        return L"The stand-in's class leads to the program \"" + registered + L"\", not to " +
               server + L".";
    return {};
}

std::wstring unregisterClass(const std::wstring &progId, const CLSID &clsid, Scope scope) {
    return erase(target(scope), progId, text(clsid));
}

} // namespace standin
