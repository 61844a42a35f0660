#pragma once

#include "cad/value.h"

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

// Starts (or attaches to) the automation server registered under `progId`.
Object createObject(std::wstring_view progId);

} // namespace cad
