#include "cad/waiting.h"

#include "cad/activation.h"
#include "cad/error.h"

#include <objbase.h>

#include <algorithm>
#include <new>
#include <utility>

namespace cad::com {
namespace {

thread_local Waiting *t_current = nullptr;

constexpr DWORD kHeartbeatMs = 100;

void CALLBACK beat(PTP_CALLBACK_INSTANCE, PVOID thread, PTP_TIMER) {
    PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(thread)), WM_NULL, 0, 0);
}

// Not executed, and worth another try: a server busy with a dialog.
bool rejected(HRESULT hr) {
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER;
}

} // namespace

// Marks a call of this connection as the one under way on the thread.
class Waiting::Outgoing {
public:
    explicit Outgoing(Waiting &waiting) : previous_(std::exchange(t_current, &waiting)) {}
    ~Outgoing() { t_current = previous_; }
    Outgoing(const Outgoing &) = delete;
    Outgoing &operator=(const Outgoing &) = delete;

private:
    Waiting *previous_;
};

Waiting::Waiting(Patience patience)
    : patience_(std::move(patience)), thread_(GetCurrentThreadId()),
      heartbeat_(CreateThreadpoolTimer(
          &beat, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(thread_)), nullptr)),
      never_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!heartbeat_ || !never_) { // the system is out of resources
        if (heartbeat_)
            CloseThreadpoolTimer(heartbeat_);
        if (never_)
            CloseHandle(never_);
        throw std::bad_alloc();
    }
    FILETIME due{};
    ULARGE_INTEGER relative{};
    relative.QuadPart = static_cast<ULONGLONG>(-static_cast<LONGLONG>(kHeartbeatMs) * 10'000);
    due.dwLowDateTime = relative.LowPart;
    due.dwHighDateTime = relative.HighPart;
    SetThreadpoolTimer(heartbeat_, &due, kHeartbeatMs, 0);
}

Waiting::~Waiting() {
    SetThreadpoolTimer(heartbeat_, nullptr, 0, 0);
    WaitForThreadpoolTimerCallbacks(heartbeat_, TRUE);
    CloseThreadpoolTimer(heartbeat_);
    CloseHandle(never_);
}

HRESULT Waiting::call(const std::function<HRESULT()> &attempt) {
    return repeat([&] {
        const Outgoing outgoing(*this);
        return attempt();
    });
}

HRESULT Waiting::activate(const CLSID &clsid, Microsoft::WRL::ComPtr<IDispatch> &object,
                          std::unique_ptr<Activation> started) {
    for (;;) {
        const HRESULT hr =
            repeat([&] { return awaitActivation(clsid, object, std::move(started)); });
        // The program was started and did not come up: another try starts it again.
        if (hr != CO_E_SERVER_EXEC_FAILURE)
            return hr;
        if (!patience_.retryStart || !patience_.retryStart())
            throw Cancelled();
    }
}

// The activation's thread waits on the server; this one pumps meanwhile and asks
// the user, as during a call, when the server keeps it waiting.
HRESULT Waiting::awaitActivation(const CLSID &clsid, Microsoft::WRL::ComPtr<IDispatch> &object,
                                 std::unique_ptr<Activation> activation) {
    if (!activation)
        activation = std::make_unique<Activation>(clsid);
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        HANDLE done = activation->done();
        DWORD index = 0;
        const HRESULT hr = CoWaitForMultipleHandles(0, kHeartbeatMs, 1, &done, &index);
        if (hr == S_OK)
            return activation->take(object);
        if (hr != RPC_S_CALLPENDING)
            return hr;
        if (pending(static_cast<DWORD>(GetTickCount64() - start)) == PENDINGMSG_CANCELCALL)
            return RPC_E_CALL_CANCELED; // stopped: whatever arrives is the activation's to release
    }
}

HRESULT Waiting::repeat(const std::function<HRESULT()> &attempt) {
    for (;;) {
        std::chrono::milliseconds waited{0}, pause{50};
        for (;;) {
            if (stopping())
                throw Cancelled();
            const HRESULT hr = attempt();
            // Whatever the server said, the user has let this operation go, also when the
            // answer came before the wait noticed; the call may still be carried out there.
            if (stopping())
                throw Cancelled(true);
            if (!rejected(hr))
                return hr;
            if (waited >= patience_.length)
                break;
            this->pause(pause);
            waited += pause;
            pause = std::min(pause * 2, std::chrono::milliseconds{500});
        }
        if (!patience_.retryBusy || !patience_.retryBusy())
            throw Cancelled();
    }
}

void Waiting::release(Microsoft::WRL::ComPtr<IDispatch> &object) {
    const Outgoing outgoing(*this);
    object.Reset();
}

Waiting *Waiting::current() {
    return t_current;
}

bool Waiting::stopping() noexcept {
    try {
        stopped_ = stopped_ || (patience_.stopped && patience_.stopped());
    } catch (...) {
        stopped_ = true; // nothing may unwind through COM: what cannot tell stops the call
    }
    return stopped_;
}

DWORD Waiting::pending(DWORD elapsed) noexcept {
    if (stopping())
        return PENDINGMSG_CANCELCALL; // releasing the handles too: nothing more is waited for
    std::optional<std::chrono::milliseconds> sinceAnswer;
    if (answered_)
        sinceAnswer = std::chrono::milliseconds(GetTickCount64() - *answered_);
    if (asking_ || !patience_.keepWaiting ||
        !timeToAsk(std::chrono::milliseconds(elapsed), sinceAnswer, patience_.length))
        return PENDINGMSG_WAITDEFPROCESS;
    asking_ = true;
    bool wait = false;
    try {
        wait = patience_.keepWaiting();
    } catch (...) {
        // Nothing may unwind through COM: a question that cannot be asked stops the call.
    }
    asking_ = false;
    answered_ = GetTickCount64();
    stopped_ = !wait;
    return wait ? PENDINGMSG_WAITDEFPROCESS : PENDINGMSG_CANCELCALL;
}

// COM's own wait: the thread's windows go on painting and answering what is sent to
// them, while keys and clicks stay queued, as during any call.
void Waiting::pause(std::chrono::milliseconds length) const {
    HANDLE handle = never_;
    DWORD index = 0;
    CoWaitForMultipleHandles(0, static_cast<DWORD>(length.count()), 1, &handle, &index);
}

} // namespace cad::com
