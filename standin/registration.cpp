#include "standin/registration.h"

#include <objbase.h>

namespace standin {
namespace {

constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

struct Classes {
    HKEY root;
    const wchar_t *path;
};
const Classes kUser{HKEY_CURRENT_USER, L"Software\\Classes\\"};
const Classes kMerged{HKEY_CLASSES_ROOT, L""};

std::wstring text(const CLSID &clsid) {
    wchar_t buffer[40];
    StringFromGUID2(clsid, buffer, 40);
    return buffer;
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
            remove(progId);
        }
        remove(L"CLSID\\" + clsid + L"\\LocalServer32");
        remove(L"CLSID\\" + clsid);
        remove(L"CLSID"); // where registering made it: a key goes only when empty
    }
}

} // namespace

bool registerClass(const std::wstring &progId, const CLSID &clsid, const std::wstring &server) {
    const std::wstring id = text(clsid);
    if (!write(kUser, progId, id, server))
        return false;
    if (getDefault(kMerged, KEY_WOW64_64KEY, progId + L"\\CLSID") == id)
        return true;
    unregisterClass(progId, clsid);
    return write(kMerged, progId, id, server);
}

void unregisterClass(const std::wstring &progId, const CLSID &clsid) {
    const std::wstring id = text(clsid);
    erase(kUser, progId, id);
    erase(kMerged, progId, id);
    for (const REGSAM view : kViews) // where registering made it, and nothing else is in it
        RegDeleteKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", view, 0);
}

} // namespace standin
