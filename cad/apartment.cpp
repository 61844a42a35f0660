#include "cad/com.h"

#include "cad/waiting.h"

namespace cad {
namespace {

// The thread's message filter. Rejected calls go straight back to the gateway,
// which repeats them itself (Wine never asks a client's filter about them); a call
// that goes unanswered is the business of the connection that made it.
class MessageFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IMessageFilter) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMessageFilter *>(this);
        return S_OK;
    }
    // A static object; its lifetime is the program's.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed, DWORD) override {
        com::Waiting *const waiting = com::Waiting::current();
        return waiting ? waiting->pending(elapsed) : DWORD{PENDINGMSG_WAITDEFPROCESS};
    }
};

MessageFilter g_filter;

} // namespace

ComApartment::ComApartment() {
    initialised_ =
        SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    if (initialised_)
        CoRegisterMessageFilter(&g_filter, &previous_);
}

ComApartment::~ComApartment() {
    if (!initialised_)
        return;
    CoRegisterMessageFilter(previous_, nullptr);
    if (previous_)
        previous_->Release();
    CoUninitialize();
}

} // namespace cad
