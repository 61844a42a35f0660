#include "cad/com_error.h"

#include "cad/com_owners.h"
#include "cad/error.h"

#include <utility>

namespace cad::com {
namespace {

std::wstring systemMessage(HRESULT hr) {
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"Unknown error";
    LocalFree(text);
    while (!message.empty() &&
           std::wstring_view(L"\r\n .").find(message.back()) != std::wstring_view::npos)
        message.pop_back();
    return message;
}

} // namespace

void fail(HRESULT hr, std::wstring_view member, std::wstring_view description) {
    throw Error(hr, std::wstring(member),
                description.empty() ? systemMessage(hr) : std::wstring(description));
}

ExcepInfo::~ExcepInfo() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
}

void ExcepInfo::raise(HRESULT hr, std::wstring_view member) {
    if (hr != DISP_E_EXCEPTION)
        fail(hr, member);
    if (info_.pfnDeferredFillIn)
        info_.pfnDeferredFillIn(&info_);
    HRESULT code = info_.scode;
    if (code == S_OK)
        code = info_.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x200 + info_.wCode)
                           : DISP_E_EXCEPTION;
    const Bstr description = Bstr::adopt(std::exchange(info_.bstrDescription, nullptr));
    fail(code, member, description.str());
}

} // namespace cad::com
