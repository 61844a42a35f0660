// The stand-in's automation objects: the application, its document, and the
// strangers some faults hand out; and the class object clients create them from.

#include "standin/automation.h"

#include "standin/file_host.h"
#include "standin/server.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace standin {
namespace {

// One connection to the stand-in: the files and the model they feed.
struct Server {
    FileHost host;
    Model model{host};
};

HRESULT toValue(const VARIANT &in, Value &out) {
    VARIANT direct;
    VariantInit(&direct);
    if (FAILED(VariantCopyInd(&direct, const_cast<VARIANT *>(&in))))
        return DISP_E_TYPEMISMATCH;
    HRESULT hr = S_OK;
    switch (direct.vt) {
    case VT_EMPTY: out = std::monostate{}; break;
    case VT_NULL: out = Null{}; break;
    case VT_BOOL: out = direct.boolVal != VARIANT_FALSE; break;
    case VT_I2: out = std::int64_t{direct.iVal}; break;
    case VT_I4: out = std::int64_t{direct.lVal}; break;
    case VT_I8: out = std::int64_t{direct.llVal}; break;
    case VT_BSTR: out = std::wstring(direct.bstrVal, SysStringLen(direct.bstrVal)); break;
    default: hr = DISP_E_TYPEMISMATCH;
    }
    VariantClear(&direct);
    return hr;
}

// What every object of the stand-in shares: reference counting, and the
// journal of when it came and went, which tests read to prove nothing leaks.
class JournaledObject : public IDispatch {
public:
    JournaledObject(std::shared_ptr<Server> server, std::wstring name, bool dispatchable)
        : server_(std::move(server)), name_(std::move(name)), dispatchable_(dispatchable) {
        server::objectCreated();
        server_->model.created(name_);
    }
    JournaledObject(const JournaledObject &) = delete;
    JournaledObject &operator=(const JournaledObject &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || (dispatchable_ && riid == IID_IDispatch)) {
            *object = static_cast<IDispatch *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            server_->model.released(name_);
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }

protected:
    virtual ~JournaledObject() { server::objectReleased(); }

    std::shared_ptr<Server> server_;

private:
    std::wstring name_;
    bool dispatchable_;
    ULONG references_ = 0; // one apartment: no other thread touches it
};

// What a member hands out when told to answer with an object that is not a
// document: no members at all, and for `unknown` not even IDispatch.
class Stranger final : public JournaledObject {
public:
    Stranger(std::shared_ptr<Server> server, bool dispatchable)
        : JournaledObject(std::move(server), L"Stranger", dispatchable) {}

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT count, LCID, DISPID *ids) override {
        for (UINT i = 0; ids && i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                                     UINT *) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

// The application, or its active document.
class StandinObject final : public JournaledObject {
public:
    StandinObject(std::shared_ptr<Server> server, Target target)
        : JournaledObject(std::move(server), targetName(target), true), target_(target) {}

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override {
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        try {
            for (UINT i = 0; i < count; ++i)
                ids[i] = DISPID_UNKNOWN;
            const auto id = server_->model.lookup(target_, names[0]);
            if (!id || count > 1)
                return DISP_E_UNKNOWNNAME;
            ids[0] = *id + 1; // 0 is the default member, which the stand-in has not
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS *params,
                                     VARIANT *result, EXCEPINFO *exception, UINT *badArgument) override {
        if (riid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        if (id < 1 || id > 8)
            return DISP_E_MEMBERNOTFOUND;
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        DISPPARAMS none{};
        const DISPPARAMS &p = params ? *params : none;
        if (put ? p.cNamedArgs != 1 || p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT : p.cNamedArgs != 0)
            return DISP_E_PARAMNOTFOUND;
        try {
            std::vector<Value> args(p.cArgs);
            for (UINT i = 0; i < p.cArgs; ++i) {
                // Automation passes arguments last to first.
                if (FAILED(toValue(p.rgvarg[p.cArgs - 1 - i], args[i]))) {
                    if (badArgument)
                        *badArgument = p.cArgs - 1 - i;
                    return DISP_E_TYPEMISMATCH;
                }
            }
            const Value answer = server_->model.invoke(target_, id - 1, put ? unsigned{kPut} : flags, args);
            if (result) {
                VariantInit(result);
                return fromValue(answer, *result);
            }
            return S_OK;
        } catch (const Fault &fault) {
            return raise(fault, exception);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

private:
    static HRESULT raise(const Fault &fault, EXCEPINFO *exception) {
        if (!exception || fault.style == FaultStyle::Bare)
            return fault.hresult;
        *exception = EXCEPINFO{};
        exception->scode = fault.hresult;
        exception->bstrSource = SysAllocString(L"cadstandin");
        exception->bstrDescription =
            SysAllocStringLen(fault.description.data(), static_cast<UINT>(fault.description.size()));
        return DISP_E_EXCEPTION;
    }

    // A value of the kind the state file asked for.
    HRESULT fromOverride(const Override &answer, VARIANT &out) {
        const std::wstring &text = answer.text;
        const double number = std::wcstod(text.c_str(), nullptr);
        if (answer.kind == L"null") {
            out.vt = VT_NULL;
        } else if (answer.kind == L"bool") {
            out.vt = VT_BOOL;
            out.boolVal = text == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (answer.kind == L"i8") {
            out.vt = VT_I8;
            out.llVal = std::wcstoll(text.c_str(), nullptr, 10);
        } else if (answer.kind == L"r8") {
            out.vt = VT_R8;
            out.dblVal = number;
        } else if (answer.kind == L"date") {
            SYSTEMTIME day{};
            swscanf(text.c_str(), L"%hu-%hu-%hu", &day.wYear, &day.wMonth, &day.wDay);
            out.vt = VT_DATE;
            if (!SystemTimeToVariantTime(&day, &out.date))
                return E_INVALIDARG;
        } else if (answer.kind == L"currency") {
            out.vt = VT_CY;
            return VarCyFromR8(number, &out.cyVal);
        } else if (answer.kind == L"decimal") {
            out.vt = VT_DECIMAL;
            const HRESULT hr = VarDecFromR8(number, &out.decVal);
            out.vt = VT_DECIMAL; // the DECIMAL overlays the type field
            return hr;
        } else if (answer.kind == L"text") {
            out.vt = VT_BSTR;
            out.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        } else if (answer.kind == L"array") {
            out.vt = VT_ARRAY | VT_VARIANT;
            out.parray = SafeArrayCreateVector(VT_VARIANT, 0, 1);
        } else if (answer.kind == L"error") {
            out.vt = VT_ERROR;
            out.scode = static_cast<SCODE>(std::wcstoul(text.c_str(), nullptr, 16));
        } else if (answer.kind == L"unknown" || answer.kind == L"object") {
            auto *stranger = new Stranger(server_, answer.kind == L"object");
            stranger->AddRef();
            out.vt = answer.kind == L"object" ? VT_DISPATCH : VT_UNKNOWN;
            out.pdispVal = stranger;
        }
        return S_OK;
    }

    HRESULT fromValue(const Value &value, VARIANT &out) {
        if (const auto *answer = std::get_if<Override>(&value))
            return fromOverride(*answer, out);
        if (const auto *s = std::get_if<std::wstring>(&value)) {
            out.vt = VT_BSTR;
            out.bstrVal = SysAllocStringLen(s->data(), static_cast<UINT>(s->size()));
            return out.bstrVal ? S_OK : E_OUTOFMEMORY;
        }
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
            out.pdispVal = new StandinObject(server_, Target::Document);
            out.pdispVal->AddRef();
        } else if (std::holds_alternative<NoDocument>(value)) {
            out.vt = VT_DISPATCH;
            out.pdispVal = nullptr;
        }
        return S_OK;
    }

    Target target_;
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = static_cast<IClassFactory *>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object; its lifetime is the process's.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            auto *application = new StandinObject(std::make_shared<Server>(), Target::Application);
            application->AddRef();
            const HRESULT hr = application->QueryInterface(riid, object);
            application->Release();
            return hr;
        } catch (const Fault &fault) {
            return fault.hresult; // the server cannot start; COM carries no more than the code
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        (lock ? server::objectCreated : server::objectReleased)();
        return S_OK;
    }
};

} // namespace

IClassFactory &classFactory() {
    static Factory factory;
    return factory;
}

} // namespace standin
