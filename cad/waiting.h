#pragma once

#include "cad/patience.h"

#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <optional>

namespace cad::com {

class Activation;

// One connection's patience with its server, shared by every object the
// connection hands out and ended with the last of them.
//
// While it lives, a thread-pool timer posts an empty message to the connection's
// thread every tenth of a second: COM's wait for an answer consults the thread's
// message filter only when a message arrives, and the filter is what notices a
// call that has gone unanswered for too long.
class Waiting {
public:
    explicit Waiting(Patience patience);
    ~Waiting();
    Waiting(const Waiting &) = delete;
    Waiting &operator=(const Waiting &) = delete;

    // Makes the call `attempt` until the server takes it and returns its result. A
    // rejected call was not executed, so repeating it is safe. Throws cad::Cancelled
    // when the user gives up on a busy server, or gave up on a silent one while this
    // call waited.
    HRESULT call(const std::function<HRESULT()> &attempt);

    // Creates a local server's object, with the same patience, on a thread of its
    // own: stopping frees the window at once, however long the server takes. A
    // server that failed to start is started again only when the user says so.
    // An activation begun ahead (`started`) is the first one waited for.
    HRESULT activate(const CLSID &clsid, Microsoft::WRL::ComPtr<IDispatch> &object,
                     std::unique_ptr<Activation> started = nullptr);

    // Releases an object of this connection, which is a call to the server too.
    void release(Microsoft::WRL::ComPtr<IDispatch> &object);

    // For the thread's message filter: the connection whose call is under way on
    // this thread, if any, and what to do about that call `elapsed` ms after it was made.
    static Waiting *current();
    DWORD pending(DWORD elapsed) noexcept;

private:
    class Outgoing;
    HRESULT repeat(const std::function<HRESULT()> &attempt);
    HRESULT awaitActivation(const CLSID &clsid, Microsoft::WRL::ComPtr<IDispatch> &object,
                            std::unique_ptr<Activation> activation);
    void pause(std::chrono::milliseconds length) const;
    // The user stopped waiting, by an answer or from elsewhere.
    bool stopping() noexcept;

    Patience patience_;
    DWORD thread_;
    PTP_TIMER heartbeat_;
    HANDLE never_;                      // what a pause waits on: it only ever times out
    std::optional<ULONGLONG> answered_; // when the user last said to go on waiting
    bool asking_ = false;
    bool stopped_ = false; // the user stopped waiting: everything else is cancelled at once
};

} // namespace cad::com
