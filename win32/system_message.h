#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

// Windows' own words for an error code, in the user's language, without the line
// end and full stop it adds.
inline std::wstring systemMessage(DWORD code) {
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"Unbekannter Fehler";
    LocalFree(text);
    while (!message.empty() &&
           std::wstring_view(L"\r\n .").find(message.back()) != std::wstring_view::npos)
        message.pop_back();
    return message;
}

} // namespace win32
