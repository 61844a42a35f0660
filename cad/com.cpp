#include "cad/com.h"

#include "cad/com_owners.h"
#include "cad/error.h"
#include "cad/waiting.h"

#include <objbase.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace cad {
namespace {

using Microsoft::WRL::ComPtr;
using com::Bstr;
using com::Variant;

std::wstring systemMessage(HRESULT hr) {
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"Unknown error";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    return message;
}

[[noreturn]] void fail(HRESULT hr, std::wstring_view member, std::wstring description = {}) {
    throw Error(hr, std::wstring(member), description.empty() ? systemMessage(hr) : description);
}

// The exception a server reported through EXCEPINFO; frees the strings in any case.
class ExcepInfo {
public:
    ExcepInfo() = default;
    ExcepInfo(const ExcepInfo &) = delete;
    ExcepInfo &operator=(const ExcepInfo &) = delete;
    ~ExcepInfo() {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
    }
    EXCEPINFO *get() noexcept { return &info_; }

    [[noreturn]] void raise(HRESULT hr, std::wstring_view member) {
        if (hr != DISP_E_EXCEPTION)
            fail(hr, member);
        if (info_.pfnDeferredFillIn)
            info_.pfnDeferredFillIn(&info_);
        HRESULT code = info_.scode;
        if (code == S_OK)
            code = info_.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x200 + info_.wCode)
                               : DISP_E_EXCEPTION;
        const std::wstring description =
            info_.bstrDescription ? Bstr::adopt(std::exchange(info_.bstrDescription, nullptr)).str()
                                  : std::wstring();
        fail(code, member, description);
    }

private:
    EXCEPINFO info_{};
};

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
        fail(E_INVALIDARG, member, L"Only texts, numbers and Booleans can be passed");
    }
    return v;
}

using Connection = std::shared_ptr<com::Waiting>;

Value fromVariant(Variant &variant, const Connection &connection);

class ComDispatch final : public Dispatch {
public:
    ComDispatch(ComPtr<IDispatch> dispatch, Connection connection)
        : connection_(std::move(connection)), dispatch_(std::move(dispatch)) {}
    ~ComDispatch() override { connection_->release(dispatch_); }

    Value invoke(std::wstring_view member, Access access, std::span<const Value> args) override {
        const DISPID id = idOf(member);
        // Automation passes arguments last to first.
        std::vector<Variant> reversed;
        reversed.reserve(args.size());
        for (auto it = args.rbegin(); it != args.rend(); ++it)
            reversed.push_back(toVariant(*it, member));
        static_assert(sizeof(Variant) == sizeof(VARIANT));

        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{};
        params.rgvarg = reversed.empty() ? nullptr : reversed.front().get();
        params.cArgs = static_cast<UINT>(reversed.size());
        const bool put = access == Access::Put;
        if (put) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        const WORD flags = put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
        Variant result;
        ExcepInfo exception;
        UINT badArgument = 0;
        const HRESULT hr = connection_->call([&] {
            return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                     put ? nullptr : result.receive(), exception.get(), &badArgument);
        });
        if (FAILED(hr))
            exception.raise(hr, member);
        return fromVariant(result, connection_);
    }

private:
    DISPID idOf(std::wstring_view member) {
        if (const auto found = ids_.find(member); found != ids_.end())
            return found->second;
        std::wstring name(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr =
            connection_->call([&] { return dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); });
        if (FAILED(hr))
            fail(hr, member);
        ids_.emplace(std::move(name), id);
        return id;
    }

    Connection connection_;
    ComPtr<IDispatch> dispatch_;
    std::map<std::wstring, DISPID, std::less<>> ids_; // one lookup per member name
};

std::wstring coercedText(Variant &variant) {
    Variant text;
    if (FAILED(VariantChangeTypeEx(text.get(), variant.get(), LOCALE_USER_DEFAULT, 0, VT_BSTR)))
        return {};
    return Bstr::adopt(std::exchange(text.get()->bstrVal, nullptr)).str();
}

Value fromVariant(Variant &variant, const Connection &connection) {
    VARIANT &v = *variant.get();
    if (v.vt & VT_BYREF) {
        Variant direct;
        if (FAILED(VariantCopyInd(direct.get(), &v)))
            return Unsupported{L"a reference"};
        return fromVariant(direct, connection);
    }
    if (v.vt & VT_ARRAY)
        return Unsupported{L"an array"};
    switch (v.vt) {
    case VT_EMPTY: return Empty{};
    case VT_NULL: return Null{};
    case VT_BOOL: return v.boolVal != VARIANT_FALSE;
    case VT_I1: return std::int64_t{v.cVal};
    case VT_I2: return std::int64_t{v.iVal};
    case VT_I4: return std::int64_t{v.lVal};
    case VT_INT: return std::int64_t{v.intVal};
    case VT_I8: return std::int64_t{v.llVal};
    case VT_UI1: return std::int64_t{v.bVal};
    case VT_UI2: return std::int64_t{v.uiVal};
    case VT_UI4: return std::int64_t{v.ulVal};
    case VT_UINT: return std::int64_t{v.uintVal};
    case VT_UI8:
        if (v.ullVal <= static_cast<ULONGLONG>(INT64_MAX))
            return static_cast<std::int64_t>(v.ullVal);
        return static_cast<double>(v.ullVal);
    case VT_R4: return double{v.fltVal};
    case VT_R8: return v.dblVal;
    case VT_CY:
    case VT_DECIMAL: {
        Variant real;
        if (FAILED(VariantChangeType(real.get(), &v, 0, VT_R8)))
            return Unsupported{L"a number out of range"};
        return real.get()->dblVal;
    }
    case VT_DATE: return coercedText(variant);
    case VT_BSTR: return std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
    case VT_DISPATCH:
        if (!v.pdispVal)
            return Nothing{};
        return Object(std::make_shared<ComDispatch>(ComPtr<IDispatch>(v.pdispVal), connection));
    case VT_UNKNOWN: return Unsupported{L"an object without automation"};
    case VT_ERROR: return Unsupported{L"an error value"};
    default: return Unsupported{L"a value of variant type " + std::to_wstring(v.vt)};
    }
}

} // namespace

Object createObject(std::wstring_view progId, Patience patience) {
    const std::wstring name(progId);
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(hr))
        fail(hr, progId);
    // A busy server refuses the activation as readily as any other call.
    auto connection = std::make_shared<com::Waiting>(std::move(patience));
    ComPtr<IDispatch> dispatch;
    hr = connection->call([&] { return CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&dispatch)); });
    if (FAILED(hr))
        fail(hr, progId);
    return Object(std::make_shared<ComDispatch>(std::move(dispatch), std::move(connection)));
}

} // namespace cad
