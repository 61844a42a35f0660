// The stand-in as an in-process automation server, registered under the CAD
// program's ProgID, so the tool's real COM code path is what talks to it.

#include "standin/model.h"
#include "standin/utf8.h"

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

using namespace standin;

// {6E3C1F0A-5B7D-4C2E-9A41-3D8B2F6C7E15}
constexpr CLSID kClsid = {0x6e3c1f0a, 0x5b7d, 0x4c2e, {0x9a, 0x41, 0x3d, 0x8b, 0x2f, 0x6c, 0x7e, 0x15}};
constexpr wchar_t kClsidText[] = L"{6E3C1F0A-5B7D-4C2E-9A41-3D8B2F6C7E15}";
constexpr wchar_t kProgId[] = L"SldWorks.Application";

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};
HMODULE g_module = nullptr;

std::wstring environment(const wchar_t *name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    // Tests and scripts on Linux hand over Unix paths; Wine serves them on drive Z:.
    if (!value.empty() && value.front() == L'/')
        value = L"Z:" + value;
    return value;
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() {
        if (valid())
            CloseHandle(h_);
    }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

bool writeAll(HANDLE file, const std::string &bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

class FileStorage final : public Storage {
public:
    FileStorage()
        : state_(environment(L"BLATTKOPF_STANDIN_STATE")),
          journal_(environment(L"BLATTKOPF_STANDIN_JOURNAL")) {}

    std::string load() override {
        if (state_.empty())
            throw Fault{E_FAIL, L"BLATTKOPF_STANDIN_STATE names no state file"};
        Handle file(CreateFileW(state_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        if (!file.valid() || !GetFileSizeEx(file.get(), &size))
            throw Fault{HRESULT_FROM_WIN32(GetLastError()), state_ + L": cannot be read"};
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
            throw Fault{HRESULT_FROM_WIN32(GetLastError()), state_ + L": cannot be read"};
        bytes.resize(read);
        return bytes;
    }

    // Write beside, then replace: a reader never sees half a state.
    void save(const std::string &utf8) override {
        const std::wstring temporary = state_ + L".new";
        {
            Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file.valid() || !writeAll(file.get(), utf8))
                throw Fault{HRESULT_FROM_WIN32(GetLastError()), temporary + L": cannot be written"};
        }
        // A reader without delete sharing (an editor, a script) blocks the replace
        // while it holds the file: try again for about a second before failing.
        for (int attempt = 1;
             !MoveFileExW(temporary.c_str(), state_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
             ++attempt) {
            const DWORD error = GetLastError();
            if (attempt == 20 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
                throw Fault{HRESULT_FROM_WIN32(error), state_ + L": cannot be replaced"};
            Sleep(50);
        }
    }

    void journal(const std::string &utf8Line) override {
        if (journal_.empty())
            return;
        Handle file(CreateFileW(journal_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid())
            writeAll(file.get(), utf8Line + "\n");
    }

    std::wstring name() const override { return state_; }

private:
    std::wstring state_;
    std::wstring journal_;
};

// One connection to the stand-in: the files and the model they feed.
struct Server {
    FileStorage storage;
    Model model{storage};
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
        ++g_liveObjects;
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
    virtual ~JournaledObject() { --g_liveObjects; }

    std::shared_ptr<Server> server_;

private:
    std::wstring name_;
    bool dispatchable_;
    std::atomic<ULONG> references_{0};
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
        BSTR description = SysAllocStringLen(fault.description.data(), static_cast<UINT>(fault.description.size()));
        if (fault.style == FaultStyle::Deferred) {
            // The description waits in pvReserved until the client asks for it.
            exception->pvReserved = description;
            exception->pfnDeferredFillIn = &fillIn;
        } else {
            exception->bstrDescription = description;
        }
        return DISP_E_EXCEPTION;
    }

    static HRESULT STDAPICALLTYPE fillIn(EXCEPINFO *exception) {
        exception->bstrDescription = static_cast<BSTR>(exception->pvReserved);
        exception->pvReserved = nullptr;
        exception->pfnDeferredFillIn = nullptr;
        return S_OK;
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

// Reports a start-up failure the way automation servers do: through IErrorInfo.
HRESULT refuse(const Fault &fault) {
    ICreateErrorInfo *create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetDescription(const_cast<LPOLESTR>(fault.description.c_str()));
        create->SetSource(const_cast<LPOLESTR>(L"cadstandin"));
        IErrorInfo *info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void **>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return fault.hresult;
}

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
    // The factory is a static object; its lifetime is the module's.
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
            return refuse(fault);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ++g_serverLocks;
        else
            --g_serverLocks;
        return S_OK;
    }
};

Factory g_factory;

LSTATUS setKey(const std::wstring &key, const wchar_t *name, const std::wstring &value) {
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void **object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != kClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return HRESULT_FROM_WIN32(GetLastError());
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
    for (const LSTATUS status : {
             setKey(kProgId, nullptr, L"Stand-in CAD automation server"),
             setKey(std::wstring(kProgId) + L"\\CLSID", nullptr, kClsidText),
             setKey(clsidKey, nullptr, L"Stand-in CAD automation server"),
             setKey(clsidKey + L"\\ProgID", nullptr, kProgId),
             setKey(clsidKey + L"\\InprocServer32", nullptr, path),
             setKey(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
         })
        if (status != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(status);
    return S_OK;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsidText).c_str());
    return S_OK;
}

} // extern "C"
