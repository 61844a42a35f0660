#include "cad/com_error.h"

#include "cad/com_owners.h"
#include "cad/error.h"
#include "win32/system_message.h"

#include <utility>

namespace cad::com {

void fail(HRESULT hr, std::wstring_view member, std::wstring_view description) {
    throw Error(hr, std::wstring(member),
                description.empty() ? win32::systemMessage(static_cast<DWORD>(hr))
                                    : std::wstring(description));
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
