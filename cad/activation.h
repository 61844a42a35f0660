#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <memory>

namespace cad::com {

// Creates a local server's object (a program) on a thread of its own, so that the
// calling thread only waits, pumping, for as long as it chooses. Whether Windows
// pumps the caller's messages during an activation, and asks its message filter,
// is not documented; a server starting for a minute, or hanging in its class
// factory, must not freeze the window either way.
class Activation {
public:
    explicit Activation(const CLSID &clsid); // starts the thread
    // Gives up unless the object was taken: whatever arrives later is released on
    // the activation's own thread, which then ends.
    ~Activation();
    Activation(const Activation &) = delete;
    Activation &operator=(const Activation &) = delete;

    // Signalled once the activation has its answer.
    HANDLE done() const;
    // Once done: the answer, and the object in the calling thread's apartment.
    HRESULT take(Microsoft::WRL::ComPtr<IDispatch> &object);

    // Gives the activations that were given up, and may still be waiting on their
    // server, up to `grace` to take what it hands out and release it.
    static void letGivenUpEnd(DWORD graceMs);

private:
    struct Shared;
    static DWORD WINAPI run(void *shared);

    std::shared_ptr<Shared> shared_;
};

} // namespace cad::com
