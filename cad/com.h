#pragma once

#include "cad/patience.h"
#include "cad/value.h"

#include <objbase.h>

#include <chrono>
#include <string_view>

namespace cad {

// COM for the calling thread, apartment-threaded, with the gateway's message filter,
// for this object's lifetime. Uninitialises only what it initialised.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

private:
    bool initialised_ = false;
    IMessageFilter *previous_ = nullptr;
};

// Starts (or attaches to) the automation server registered under `progId`. The
// connecting and every call of the objects it hands out, and theirs, bear with a
// busy or silent server as `patience` says. The ProgID may name a program (a local
// server) or a class in a DLL; either works.
Object createObject(std::wstring_view progId, Patience patience = {});

// The automation server registered under `progId` that runs already, as a program the
// user started registers itself; none is started. Throws NotRunning where none runs.
Object runningObject(std::wstring_view progId, Patience patience = {});

// Closing down: gives the starts the user stopped waiting for up to `grace` to take
// what their CAD program hands out after all and release it, so that it is not
// left holding an object for a client that is gone.
void letStoppedStartsEnd(std::chrono::milliseconds grace);

// An automation object this thread already holds, called by name and borne with
// as `patience` says, like the objects createObject hands out.
Object adopt(IDispatch *object, Patience patience = {});

} // namespace cad
