#pragma once

#include "cad/value.h"

#include <chrono>
#include <functional>
#include <string_view>

namespace cad {

// COM for the calling thread, apartment-threaded, for this object's lifetime.
// Uninitialises only what it initialised.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

private:
    bool initialised_ = false;
};

// How long a busy server is waited for before the user is asked: about ten
// seconds, as automation clients do.
inline constexpr std::chrono::milliseconds kPatience{10'000};

// What the gateway does when the server rejects a call because it is busy (a
// dialog open, a rebuild running): such a call was not executed, so it is repeated
// after a pause that grows, for `patience`; then `retryAgain` decides whether to
// wait another round or to give up, which raises cad::Cancelled.
struct BusyPolicy {
    std::chrono::milliseconds patience = kPatience;
    std::function<bool()> retryAgain;
};

// Starts (or attaches to) the automation server registered under `progId`. The
// objects it hands out, and theirs, follow `busy`.
Object createObject(std::wstring_view progId, BusyPolicy busy = {});

} // namespace cad
