// The stand-in's automation objects: the application, its document, and the
// strangers some faults hand out; and the class object clients create them from.

#include "standin/automation.h"

#include "standin/process.h"
#include "standin/variant.h"
#include "text/utf8.h"
#include "win32/static_com_object.h"

#include <memory>
#include <utility>
#include <vector>

namespace standin {
namespace {

// One client's connection: the model over the process's files, shared by the
// objects it hands out.
struct Connection {
    Model model{process::host()};
};

// Reference counting, and the journal of when each object came and went, which
// tests read to prove nothing leaks.
class JournaledObject : public IDispatch {
public:
    // An object offered to all (the running application) is held by no client: it keeps
    // no process alive, and the journal tells it from the clients' objects.
    JournaledObject(std::shared_ptr<Connection> connection, std::wstring name, bool dispatchable,
                    bool offered = false)
        : connection_(std::move(connection)), name_(std::move(name)), dispatchable_(dispatchable),
          offered_(offered) {
        if (offered_) {
            process::journal(text::toUtf8(L"offer " + name_));
            return;
        }
        process::objectCreated();
        connection_->model.created(name_);
    }
    JournaledObject(const JournaledObject &) = delete;
    JournaledObject &operator=(const JournaledObject &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        if (riid != IID_IUnknown && (!dispatchable_ || riid != IID_IDispatch)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            if (offered_)
                process::journal(text::toUtf8(L"withdraw " + name_));
            else
                connection_->model.released(name_);
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override {
        return count ? (*count = 0, S_OK) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    // No members, unless a subclass has some.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT count, LCID,
                                            DISPID *ids) override {
        for (UINT i = 0; ids && i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *, UINT *) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    // One more object of this connection, referenced once.
    IUnknown *make(Made made);

protected:
    virtual ~JournaledObject() {
        if (!offered_)
            process::objectReleased();
    }

    std::shared_ptr<Connection> connection_;

private:
    std::wstring name_;
    bool dispatchable_;
    bool offered_;
    ULONG references_ = 0; // one apartment: no other thread touches it
};

// The application, or its active document.
class StandinObject final : public JournaledObject {
public:
    StandinObject(std::shared_ptr<Connection> connection, Target target, bool offered = false)
        : JournaledObject(std::move(connection), targetName(target), true, offered),
          target_(target) {}

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID locale,
                                            DISPID *ids) override {
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        JournaledObject::GetIDsOfNames(riid, names, count, locale, ids);
        try {
            const auto id = connection_->model.lookup(target_, names[0]);
            if (!id || count > 1)
                return DISP_E_UNKNOWNNAME;
            ids[0] = *id + 1; // 0 is the default member, which the stand-in has not
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS *params,
                                     VARIANT *result, EXCEPINFO *exception,
                                     UINT *badArgument) override {
        if (riid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        DISPPARAMS none{};
        const DISPPARAMS &p = params ? *params : none;
        if (put ? p.cNamedArgs != 1 || p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT
                : p.cNamedArgs != 0)
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
            const Value answer =
                connection_->model.invoke(target_, id - 1, put ? unsigned{kPut} : flags, args);
            if (!result)
                return S_OK;
            VariantInit(result);
            return toVariant(answer, *result, [this](Made made) { return make(made); });
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
        exception->bstrDescription = SysAllocStringLen(fault.description.data(),
                                                       static_cast<UINT>(fault.description.size()));
        return DISP_E_EXCEPTION;
    }

    Target target_;
};

IUnknown *JournaledObject::make(Made made) {
    JournaledObject *object = nullptr;
    if (made == Made::Document)
        object = new StandinObject(connection_, Target::Document);
    else // what a member hands out when told to answer with an object that is no document
        object = new JournaledObject(connection_, L"Stranger", made == Made::Stranger);
    object->AddRef();
    return object;
}

class Factory final : public win32::StaticComObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            if (std::exchange(first_, false))
                stallIfSilent();
            auto *application =
                new StandinObject(std::make_shared<Connection>(), Target::Application);
            application->AddRef();
            const HRESULT hr = application->QueryInterface(riid, object);
            application->Release();
            return hr;
        } catch (const Fault &fault) {
            // The program cannot start; COM carries no more than the code. Each start
            // counts: a client that retries launches the program again each time.
            process::journal("refuse CreateInstance");
            return fault.hresult;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        (lock ? process::objectCreated : process::objectReleased)();
        return S_OK;
    }

private:
    // A program that hangs while it starts: `silent "CreateInstance"` holds the
    // process's first activation.
    static void stallIfSilent() {
        int ms = 0;
        try {
            const State &state = process::state();
            if (!state.silence || state.silence->member != L"CreateInstance")
                return;
            ms = state.silence->ms;
        } catch (const Fault &) {
            return; // the connection's first call says what is wrong with the state
        }
        process::journal("silent in CreateInstance");
        process::host().stall(ms);
        process::journal("silence ends in CreateInstance");
    }

    bool first_ = true;
};

} // namespace

IClassFactory &classFactory() {
    static Factory factory;
    return factory;
}

Microsoft::WRL::ComPtr<IDispatch> offeredApplication() {
    return new StandinObject(std::make_shared<Connection>(), Target::Application, true);
}

} // namespace standin
