#include "cad/com.h"

#include "cad/waiting.h"
#include "win32/static_com_object.h"

namespace cad {
namespace {

// The thread's message filter. Rejected calls go straight back to the gateway,
// which repeats them itself (Wine never asks a client's filter about them); a call
// that goes unanswered is the business of the connection that made it.
class MessageFilter final : public win32::StaticComObject<IMessageFilter> {
public:
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD,
                                               LPINTERFACEINFO) noexcept override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) noexcept override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed, DWORD) noexcept override {
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
