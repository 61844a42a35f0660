// Late binding: every member called by name through IDispatch, with one lookup per
// name and object.

#include "cad/com.h"

#include "cad/activation.h"
#include "cad/com_error.h"
#include "cad/error.h"
#include "cad/variant.h"
#include "cad/waiting.h"

#include <wrl/client.h>

#include <map>
#include <memory>
#include <vector>

namespace cad {
namespace {

using Microsoft::WRL::ComPtr;
using Connection = std::shared_ptr<com::Waiting>;

class ComDispatch final : public Dispatch {
public:
    ComDispatch(ComPtr<IDispatch> dispatch, Connection connection)
        : connection_(std::move(connection)), dispatch_(std::move(dispatch)) {}
    ~ComDispatch() override { connection_->release(dispatch_); }

    Value invoke(std::wstring_view member, Access access, std::span<const Value> args) override {
        const DISPID id = idOf(member);
        // Automation passes arguments last to first.
        std::vector<com::Variant> reversed;
        reversed.reserve(args.size());
        for (auto it = args.rbegin(); it != args.rend(); ++it)
            reversed.push_back(com::toVariant(*it, member));
        static_assert(sizeof(com::Variant) == sizeof(VARIANT));

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
        com::Variant result;
        com::ExcepInfo exception;
        UINT badArgument = 0;
        const HRESULT hr = connection_->call([&] {
            return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                     put ? nullptr : result.receive(), exception.get(),
                                     &badArgument);
        });
        if (FAILED(hr))
            exception.raise(hr, member);
        return com::fromVariant(*result.get(), [this](IDispatch *object) {
            return Object(std::make_shared<ComDispatch>(ComPtr<IDispatch>(object), connection_));
        });
    }

private:
    DISPID idOf(std::wstring_view member) {
        if (const auto found = ids_.find(member); found != ids_.end())
            return found->second;
        std::wstring name(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = connection_->call(
            [&] { return dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); });
        if (FAILED(hr))
            com::fail(hr, member);
        ids_.emplace(std::move(name), id);
        return id;
    }

    Connection connection_; // outlives the object, whose release is a call too
    ComPtr<IDispatch> dispatch_;
    std::map<std::wstring, DISPID, std::less<>> ids_;
};

// The class a ProgID names, from the registry.
CLSID classOf(std::wstring_view progId) {
    const std::wstring name(progId);
    CLSID clsid{};
    if (const HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid); FAILED(hr))
        com::fail(hr, progId);
    return clsid;
}

} // namespace

HeadStart::HeadStart() = default;
HeadStart::HeadStart(HeadStart &&) noexcept = default;
HeadStart &HeadStart::operator=(HeadStart &&) noexcept = default;
HeadStart::~HeadStart() = default;

HeadStart::HeadStart(std::wstring_view progId) {
    const std::wstring name(progId);
    CLSID clsid{};
    if (SUCCEEDED(CLSIDFromProgID(name.c_str(), &clsid)))
        activation_ = std::make_unique<com::Activation>(clsid);
}

Object createObject(std::wstring_view progId, Patience patience, HeadStart headStart) {
    const CLSID clsid = classOf(progId);
    // A busy server refuses the activation as readily as any other call.
    auto connection = std::make_shared<com::Waiting>(std::move(patience));
    ComPtr<IDispatch> dispatch;
    HRESULT hr = connection->activate(clsid, dispatch, std::move(headStart.activation_));
    // A class in a DLL lives in this apartment, where its calls are made: no thread
    // of its own, no host apartment between it and its caller. Windows says a class
    // has no local server with the first code, Wine with the second.
    if (hr == REGDB_E_CLASSNOTREG || hr == REGDB_E_KEYMISSING)
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dispatch));
    if (FAILED(hr))
        com::fail(hr, progId);
    return Object(std::make_shared<ComDispatch>(std::move(dispatch), std::move(connection)));
}

Object runningObject(std::wstring_view progId, Patience patience) {
    const CLSID clsid = classOf(progId);
    auto connection = std::make_shared<com::Waiting>(std::move(patience));
    ComPtr<IUnknown> running;
    ComPtr<IDispatch> dispatch;
    // Asking the running program for its object is a call to it too.
    HRESULT hr = connection->call([&] { return GetActiveObject(clsid, nullptr, &running); });
    if (hr == MK_E_UNAVAILABLE)
        throw NotRunning();
    if (SUCCEEDED(hr))
        hr = connection->call([&] { return running.As(&dispatch); });
    if (FAILED(hr))
        com::fail(hr, progId);
    return Object(std::make_shared<ComDispatch>(std::move(dispatch), std::move(connection)));
}

void letStoppedStartsEnd(std::chrono::milliseconds grace) {
    com::Activation::letGivenUpEnd(static_cast<DWORD>(grace.count()));
}

Object adopt(IDispatch *object, Patience patience) {
    return Object(std::make_shared<ComDispatch>(
        ComPtr<IDispatch>(object), std::make_shared<com::Waiting>(std::move(patience))));
}

} // namespace cad
