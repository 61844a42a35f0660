#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace office {

// Where policies are read: a key under a root, and the name a warning gives it.
struct PolicyPlace {
    HKEY root;
    std::wstring key;
    std::wstring name;
};

// The machine's place, whose values win, and the user's.
struct PolicyPlaces {
    PolicyPlace machine;
    PolicyPlace user;
};

// Group Policy's: the policy key under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
PolicyPlaces systemPolicies();

// What the policies say; nothing where they say nothing.
struct Policies {
    // The designer list's path, expanded; empty where a policy names one that cannot be used.
    std::optional<std::wstring> designerList;
    std::optional<bool> genProp; // the check boxes' first state
    std::optional<bool> rebuild;
    std::optional<bool> startCad; // false: never start the CAD program, only use one that runs
    std::vector<std::wstring> warnings; // one for each value that is not used, for the user
};

// Reads, never writes. A value of another type or out of range is not used: its default
// stands, and a warning names the key, the value and what it holds.
Policies readPolicies(const PolicyPlaces &places);

} // namespace office
