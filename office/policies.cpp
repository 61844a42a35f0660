#include "office/policies.h"

#include "office/policy_table.h"
#include "text/fill.h"
#include "text/number.h"
#include "win32/system_message.h"

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>

namespace office {
namespace {

struct KeyCloser {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// Group Policy writes the 64-bit view; the policy key is shared by both views on every
// 64-bit Windows, and the flag makes sure of it for the 32-bit release.
constexpr REGSAM kRead = KEY_QUERY_VALUE | KEY_WOW64_64KEY;

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

LSTATUS query(HKEY key, std::wstring_view name, RegistryValue &value) {
    const std::wstring valueName(name);
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, valueName.c_str(), nullptr, &value.type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        value.data.resize(size);
        status = RegQueryValueExW(key, valueName.c_str(), nullptr, &value.type, value.data.data(),
                                  &size);
        if (status == ERROR_SUCCESS)
            value.data.resize(size);
        if (status != ERROR_MORE_DATA)
            break;
    }
    return status;
}

// A string value's text, up to its first NUL.
std::wstring textOf(const RegistryValue &value) {
    std::wstring text(value.data.size() / sizeof(wchar_t), L'\0');
    std::copy_n(value.data.data(), text.size() * sizeof(wchar_t),
                reinterpret_cast<BYTE *>(text.data()));
    return text.substr(0, text.find(L'\0'));
}

DWORD numberOf(const RegistryValue &value) {
    DWORD number = 0;
    std::copy_n(value.data.data(), sizeof(number), reinterpret_cast<BYTE *>(&number));
    return number;
}

// What a value holds, as an administrator reads it in the registry editor.
std::wstring described(const RegistryValue &value) {
    constexpr std::pair<DWORD, const wchar_t *> kTypes[] = {
        {REG_NONE, L"REG_NONE"},           {REG_SZ, L"REG_SZ"},
        {REG_EXPAND_SZ, L"REG_EXPAND_SZ"}, {REG_BINARY, L"REG_BINARY"},
        {REG_DWORD, L"REG_DWORD"},         {REG_DWORD_BIG_ENDIAN, L"REG_DWORD_BIG_ENDIAN"},
        {REG_LINK, L"REG_LINK"},           {REG_MULTI_SZ, L"REG_MULTI_SZ"},
        {REG_QWORD, L"REG_QWORD"},
    };
    std::wstring type = L"den Typ " + text::decimal(value.type);
    for (const auto &[code, name] : kTypes)
        if (code == value.type)
            type = name;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ)
        return text::fill(L"%1 „%2“", {type, textOf(value)});
    if (value.type == REG_DWORD && value.data.size() == sizeof(DWORD))
        return text::fill(L"%1 %2", {type, text::decimal(numberOf(value))});
    return text::fill(L"%1 mit %2\u00A0Byte", {type, text::decimal(value.data.size())});
}

std::wstring expanded(const std::wstring &text) {
    std::wstring out(text.size() + 1, L'\0');
    for (;;) {
        const DWORD length =
            ExpandEnvironmentStringsW(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
        if (length == 0)
            return text;
        if (length <= out.size()) {
            out.resize(length - 1);
            return out;
        }
        out.resize(length);
    }
}

bool isFullPath(std::wstring_view path) {
    return path.starts_with(L"\\\\") || (path.size() >= 3 && std::iswalpha(path[0]) &&
                                         path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'));
}

// A full path, after the variables in it are expanded; nothing when the value holds none.
std::optional<std::wstring> pathOf(const RegistryValue &value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return std::nullopt;
    std::wstring path = expanded(textOf(value));
    if (!isFullPath(path))
        return std::nullopt;
    return path;
}

std::optional<bool> switchOf(const RegistryValue &value) {
    if (value.type != REG_DWORD || value.data.size() != sizeof(DWORD) || numberOf(value) > 1)
        return std::nullopt;
    return numberOf(value) == 1;
}

std::wstring expected(PolicyKind kind) {
    return kind == PolicyKind::Path
               ? L"REG_SZ oder REG_EXPAND_SZ mit dem vollständigen Pfad einer Datei"
               : L"REG_DWORD 0 oder 1";
}

// Takes the value one place holds for `policy`, or says why it is not used.
void take(Policies &policies, const Policy &policy, const PolicyPlace &place, LSTATUS status,
          const RegistryValue &value) {
    std::optional<std::wstring> path;
    std::optional<bool> on;
    if (status == ERROR_SUCCESS) {
        path = policy.kind == PolicyKind::Path ? pathOf(value) : std::nullopt;
        on = policy.kind == PolicyKind::Switch ? switchOf(value) : std::nullopt;
    }
    if (!path && !on) {
        const std::wstring holds =
            status == ERROR_SUCCESS
                ? text::fill(L"Sie enthält %1, erwartet ist %2.",
                             {described(value), expected(policy.kind)})
                : text::fill(L"Sie kann nicht gelesen werden: %1.",
                             {win32::systemMessage(static_cast<DWORD>(status))});
        policies.warnings.push_back(text::fill(
            L"Die Richtlinie „%1“ unter %2 wird nicht verwendet. %3\n\n%4\n\nBitte geben Sie "
            L"diese Meldung an Ihre IT weiter.",
            {policy.valueName, place.name, holds, policy.unused}));
    }
    switch (policy.id) {
    case PolicyId::DesignerList:
        policies.designerList = path.value_or(L""); // named, so no other list stands in
        break;
    case PolicyId::GenProp:
        policies.genProp = on;
        break;
    case PolicyId::Rebuild:
        policies.rebuild = on;
        break;
    case PolicyId::StartCad:
        policies.startCad = on;
        break;
    }
}

} // namespace

PolicyPlaces systemPolicies() {
    const std::wstring key(kPolicyKey);
    return {{HKEY_LOCAL_MACHINE, key, L"HKEY_LOCAL_MACHINE\\" + key},
            {HKEY_CURRENT_USER, key, L"HKEY_CURRENT_USER\\" + key}};
}

Policies readPolicies(const PolicyPlaces &places) {
    Policies policies;
    std::vector<std::pair<UniqueKey, const PolicyPlace *>> opened;
    for (const PolicyPlace *place : {&places.machine, &places.user}) {
        HKEY key = nullptr;
        const LSTATUS status = RegOpenKeyExW(place->root, place->key.c_str(), 0, kRead, &key);
        if (status == ERROR_SUCCESS)
            opened.emplace_back(UniqueKey(key), place);
        else if (status != ERROR_FILE_NOT_FOUND)
            policies.warnings.push_back(text::fill(
                L"Die Richtlinien unter %1 können nicht gelesen werden: %2. Bitte geben Sie "
                L"diese Meldung an Ihre IT weiter.",
                {place->name, win32::systemMessage(static_cast<DWORD>(status))}));
    }
    // The first place that has a value decides it, the machine's before the user's.
    for (const Policy &policy : kPolicies) {
        for (const auto &[key, place] : opened) {
            RegistryValue value;
            const LSTATUS status = query(key.get(), policy.valueName, value);
            if (status == ERROR_FILE_NOT_FOUND)
                continue;
            take(policies, policy, *place, status, value);
            break;
        }
    }
    return policies;
}

} // namespace office
