#pragma once

#include "cad/patience.h"
#include "cad/value.h"

#include <objbase.h>

#include <chrono>
#include <memory>
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

namespace com {
class Activation;
}

// The program's object asked for ahead of time, on a thread of its own, while the
// caller does other work (makes its window); createObject takes it over. Empty where
// the ProgID names no class: createObject then says why.
class HeadStart {
public:
    HeadStart();
    explicit HeadStart(std::wstring_view progId);
    HeadStart(HeadStart &&) noexcept;
    HeadStart &operator=(HeadStart &&) noexcept;
    ~HeadStart(); // gives up what was not taken over

private:
    friend Object createObject(std::wstring_view, Patience, HeadStart);
    std::unique_ptr<com::Activation> activation_;
};

// Starts (or attaches to) the automation server registered under `progId`, taking over
// `headStart` where it was begun. The connecting and every call of the objects it hands
// out, and theirs, bear with a busy or silent server as `patience` says. The ProgID may
// name a program (a local server) or a class in a DLL; either works.
Object createObject(std::wstring_view progId, Patience patience = {}, HeadStart headStart = {});

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
