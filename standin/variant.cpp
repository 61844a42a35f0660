#include "standin/variant.h"

#include <cstdio>
#include <cwchar>

namespace standin {
namespace {

HRESULT text(std::wstring_view value, VARIANT &out) {
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return out.bstrVal ? S_OK : E_OUTOFMEMORY;
}

// How real servers surprise their clients: a value of the kind the state file asked for.
HRESULT odd(const Override &answer, VARIANT &out, const std::function<IUnknown *(Made)> &make) {
    const std::wstring &kind = answer.kind, &value = answer.text;
    const double number = std::wcstod(value.c_str(), nullptr);
    if (kind == L"null") {
        out.vt = VT_NULL;
    } else if (kind == L"bool") {
        out.vt = VT_BOOL;
        out.boolVal = value == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (kind == L"i8") {
        out.vt = VT_I8;
        out.llVal = std::wcstoll(value.c_str(), nullptr, 10);
    } else if (kind == L"r8") {
        out.vt = VT_R8;
        out.dblVal = number;
    } else if (kind == L"date") {
        SYSTEMTIME day{};
        swscanf(value.c_str(), L"%hu-%hu-%hu", &day.wYear, &day.wMonth, &day.wDay);
        out.vt = VT_DATE;
        return SystemTimeToVariantTime(&day, &out.date) ? S_OK : E_INVALIDARG;
    } else if (kind == L"currency") {
        out.vt = VT_CY;
        return VarCyFromR8(number, &out.cyVal);
    } else if (kind == L"decimal") {
        const HRESULT hr = VarDecFromR8(number, &out.decVal);
        out.vt = VT_DECIMAL; // the DECIMAL overlays the type field
        return hr;
    } else if (kind == L"text") {
        return text(value, out);
    } else if (kind == L"array") {
        out.vt = VT_ARRAY | VT_VARIANT;
        out.parray = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    } else if (kind == L"error") {
        out.vt = VT_ERROR;
        out.scode = static_cast<SCODE>(std::wcstoul(value.c_str(), nullptr, 16));
    } else if (kind == L"object") {
        out.vt = VT_DISPATCH;
        out.pdispVal = static_cast<IDispatch *>(make(Made::Stranger));
    } else if (kind == L"unknown") {
        out.vt = VT_UNKNOWN;
        out.punkVal = make(Made::StrangerWithoutDispatch);
    }
    return S_OK;
}

} // namespace

HRESULT toValue(const VARIANT &in, Value &out) {
    VARIANT direct;
    VariantInit(&direct);
    if (FAILED(VariantCopyInd(&direct, const_cast<VARIANT *>(&in))))
        return DISP_E_TYPEMISMATCH;
    HRESULT hr = S_OK;
    switch (direct.vt) {
    case VT_EMPTY:
        out = std::monostate{};
        break;
    case VT_NULL:
        out = Null{};
        break;
    case VT_BOOL:
        out = direct.boolVal != VARIANT_FALSE;
        break;
    case VT_I2:
        out = std::int64_t{direct.iVal};
        break;
    case VT_I4:
        out = std::int64_t{direct.lVal};
        break;
    case VT_I8:
        out = std::int64_t{direct.llVal};
        break;
    case VT_BSTR:
        out = std::wstring(direct.bstrVal, SysStringLen(direct.bstrVal));
        break;
    default:
        hr = DISP_E_TYPEMISMATCH;
    }
    VariantClear(&direct);
    return hr;
}

HRESULT toVariant(const Value &value, VARIANT &out, const std::function<IUnknown *(Made)> &make) {
    if (const auto *answer = std::get_if<Override>(&value))
        return odd(*answer, out, make);
    if (const auto *s = std::get_if<std::wstring>(&value))
        return text(*s, out);
    if (const auto *b = std::get_if<bool>(&value)) {
        out.vt = VT_BOOL;
        out.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const auto *i = std::get_if<std::int64_t>(&value)) {
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(*i);
    } else if (std::holds_alternative<Null>(value)) {
        out.vt = VT_NULL;
    } else if (std::holds_alternative<Document>(value)) {
        out.vt = VT_DISPATCH;
        out.pdispVal = static_cast<IDispatch *>(make(Made::Document));
    } else if (std::holds_alternative<NoDocument>(value)) {
        out.vt = VT_DISPATCH;
        out.pdispVal = nullptr;
    }
    return S_OK;
}

} // namespace standin
