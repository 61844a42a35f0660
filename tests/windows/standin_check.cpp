#include "standin_check.h"

#include "standin/identity.h"
#include "standin_server_path.h"

#include <windows.h>
#include <objbase.h>

namespace test {
namespace {

// The program registered for the stand-in's class, without its quotes.
std::wstring registeredProgram() {
    wchar_t clsid[40];
    StringFromGUID2(standin::kClsid, clsid, 40);
    const std::wstring key = L"CLSID\\" + std::wstring(clsid) + L"\\LocalServer32";
    DWORD bytes = 0;
    RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
    std::wstring command(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(command.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                     command.data(), &bytes) != ERROR_SUCCESS)
        return {};
    command.resize(command.find(L'\0'));
    if (command.starts_with(L'"'))
        return command.substr(1, command.find(L'"', 1) - 1);
    return command;
}

// The build names its stand-in as CMake writes paths; a cross build's is a Linux path,
// which Wine serves on drive Z:.
std::wstring expectedProgram() {
    std::wstring path = kStandinServerPath;
    for (wchar_t &c : path)
        if (c == L'/')
            c = L'\\';
    return path.starts_with(L'\\') ? L"Z:" + path : path;
}

} // namespace

std::wstring standinProblem() {
    const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CLSID named{};
    const HRESULT hr = CLSIDFromProgID(standin::kProgId, &named);
    if (initialised)
        CoUninitialize();
    if (FAILED(hr) || named != standin::kClsid)
        return L"The CAD program's ProgID does not lead to the stand-in here: register it first "
               L"(cadstandin /RegServer says why it cannot).";
    const std::wstring registered = registeredProgram(), expected = expectedProgram();
    if (CompareStringOrdinal(registered.c_str(), -1, expected.c_str(), -1, TRUE) != CSTR_EQUAL)
        return L"The stand-in's class leads to the program \"" + registered +
               L"\", not to this build's " + expected + L".";
    return {};
}

} // namespace test
