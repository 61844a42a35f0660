#include "standin/registration.h"

#include "win32/owners.h"

#include <objbase.h>

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

bool underWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// COM ignores per-user classes for an elevated process: the CAD program's own
// class would answer the tests.
bool elevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    const win32::UniqueHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
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

std::wstring getDefault(const Classes &classes, REGSAM view, const std::wstring &key) {
    wchar_t value[64] = {};
    DWORD bytes = sizeof(value);
    const DWORD flags = view == KEY_WOW64_32KEY ? RRF_SUBKEY_WOW6432KEY : RRF_SUBKEY_WOW6464KEY;
    RegGetValueW(classes.root, (classes.path + key).c_str(), nullptr, RRF_RT_REG_SZ | flags,
                 nullptr, value, &bytes);
    return value;
}

// The class another program's ProgID names in `classes`, if it names one.
std::wstring otherClass(const Classes &classes, const std::wstring &progId,
                        const std::wstring &clsid) {
    for (const REGSAM view : kViews)
        if (const std::wstring named = getDefault(classes, view, progId + L"\\CLSID");
            !named.empty() && named != clsid)
            return named;
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

void erase(const Classes &classes, const std::wstring &progId, const std::wstring &clsid) {
    for (const REGSAM view : kViews) {
        const auto remove = [&](const std::wstring &key) {
            RegDeleteKeyExW(classes.root, (classes.path + key).c_str(), view, 0);
        };
        if (getDefault(classes, view, progId + L"\\CLSID") == clsid) {
            remove(progId + L"\\CLSID");
            remove(progId); // only when nothing else is in it
        }
        remove(L"CLSID\\" + clsid + L"\\LocalServer32");
        remove(L"CLSID\\" + clsid);
    }
}

} // namespace

std::wstring registerClass(const std::wstring &progId, const CLSID &clsid,
                           const std::wstring &server) {
    const std::wstring id = text(clsid);
    if (underWine()) {
        // Wine 8 reads only the machine's classes, which hold the real program's
        // ProgID where it is installed: that one is never replaced.
        if (const std::wstring other = otherClass(kMachine, progId, id); !other.empty())
            return progId + L" already names the class " + other +
                   L" for this machine; it is left as it is and nothing was registered.";
        return write(kMachine, progId, id, server) ? L""
                                                   : L"The machine's classes cannot be written.";
    }
    if (elevated())
        return L"This process runs elevated, and COM ignores a user's own classes for "
               L"elevated processes: the CAD program's own class would answer. Nothing was "
               L"registered; run it without administrator rights.";
    if (!write(kUser, progId, id, server)) {
        erase(kUser, progId, id);
        return L"The user's classes (HKCU\\Software\\Classes) cannot be written.";
    }
    if (getDefault(kMerged, KEY_WOW64_64KEY, progId + L"\\CLSID") != id) {
        erase(kUser, progId, id);
        return L"COM does not see this user's own classes here (for example in a service "
               L"whose user profile is not loaded): " +
               progId + L" would lead elsewhere. Nothing was registered.";
    }
    return {};
}

void unregisterClass(const std::wstring &progId, const CLSID &clsid) {
    const bool wine = underWine();
    const Classes &ours = wine ? kMachine : kUser;
    erase(ours, progId, text(clsid));
    for (const REGSAM view : kViews) { // where registering made them: each goes only when empty
        RegDeleteKeyExW(ours.root, (std::wstring(ours.path) + L"CLSID").c_str(), view, 0);
        if (!wine)
            RegDeleteKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", view, 0);
    }
}

} // namespace standin
