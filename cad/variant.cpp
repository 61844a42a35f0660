#include "cad/variant.h"

#include "cad/com_error.h"
#include "text/number.h"

#include <cstdint>
#include <utility>

namespace cad::com {
namespace {

// A date as the user writes one, which is what automation makes of it as text.
std::wstring dateText(VARIANT &date) {
    Variant text;
    if (FAILED(VariantChangeTypeEx(text.get(), &date, LOCALE_USER_DEFAULT, 0, VT_BSTR)))
        return {};
    return Bstr::adopt(std::exchange(text.get()->bstrVal, nullptr)).str();
}

} // namespace

Variant toVariant(const Value &value, std::wstring_view member) {
    Variant v;
    VARIANT *out = v.get();
    if (const auto *text = std::get_if<std::wstring>(&value)) {
        out->vt = VT_BSTR;
        out->bstrVal = Bstr(*text).release();
        if (!out->bstrVal)
            fail(E_OUTOFMEMORY, member);
    } else if (const auto *flag = std::get_if<bool>(&value)) {
        out->vt = VT_BOOL;
        out->boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const auto *integer = std::get_if<std::int64_t>(&value)) {
        out->vt = VT_I8;
        out->llVal = *integer;
    } else if (const auto *real = std::get_if<double>(&value)) {
        out->vt = VT_R8;
        out->dblVal = *real;
    } else if (std::holds_alternative<Null>(value)) {
        out->vt = VT_NULL;
    } else if (!std::holds_alternative<Empty>(value)) {
        fail(E_INVALIDARG, member, L"Nur Texte, Zahlen und Wahrheitswerte können übergeben werden");
    }
    return v;
}

Value fromVariant(VARIANT &v, const std::function<Object(IDispatch *)> &wrap) {
    if (v.vt & VT_BYREF) {
        Variant direct;
        if (FAILED(VariantCopyInd(direct.get(), &v)))
            return Unsupported{L"ein Verweis"};
        return fromVariant(*direct.get(), wrap);
    }
    if (v.vt & VT_ARRAY)
        return Unsupported{L"ein Datenfeld"};
    switch (v.vt) {
    case VT_EMPTY:
        return Empty{};
    case VT_NULL:
        return Null{};
    case VT_BOOL:
        return v.boolVal != VARIANT_FALSE;
    case VT_I1:
        return std::int64_t{v.cVal};
    case VT_I2:
        return std::int64_t{v.iVal};
    case VT_I4:
        return std::int64_t{v.lVal};
    case VT_INT:
        return std::int64_t{v.intVal};
    case VT_I8:
        return std::int64_t{v.llVal};
    case VT_UI1:
        return std::int64_t{v.bVal};
    case VT_UI2:
        return std::int64_t{v.uiVal};
    case VT_UI4:
        return std::int64_t{v.ulVal};
    case VT_UINT:
        return std::int64_t{v.uintVal};
    case VT_UI8:
        if (v.ullVal <= static_cast<ULONGLONG>(INT64_MAX))
            return static_cast<std::int64_t>(v.ullVal);
        return static_cast<double>(v.ullVal);
    case VT_R4:
        return double{v.fltVal};
    case VT_R8:
        return v.dblVal;
    case VT_CY:
    case VT_DECIMAL: {
        Variant real;
        if (FAILED(VariantChangeType(real.get(), &v, 0, VT_R8)))
            return Unsupported{L"eine Zahl außerhalb des Bereichs"};
        return real.get()->dblVal;
    }
    case VT_DATE:
        return Date{v.date, dateText(v)};
    case VT_BSTR:
        return std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
    case VT_DISPATCH:
        if (!v.pdispVal)
            return Nothing{};
        return wrap(v.pdispVal);
    case VT_UNKNOWN:
        return Unsupported{L"ein Objekt ohne Automatisierung"};
    case VT_ERROR:
        return Unsupported{L"ein Fehlerwert"};
    default:
        return Unsupported{L"ein Wert vom Variant-Typ " + text::decimal(v.vt)};
    }
}

} // namespace cad::com
