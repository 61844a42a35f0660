#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Whose classes a registration goes to.
enum class Scope {
    User,    // the current user's: where the CAD program may be used, the only choice
    Machine, // the machine's: only where it is not, such as a build runner or a Wine
             // prefix, whose COM reads no user's classes
};

// Registers `progId` for the class `clsid`, and `server` as its local server unless
// empty, in both registry views so that 32-bit and 64-bit clients find it, in
// `scope`'s classes. Refuses, writing nothing, where the ProgID already names another class in the
// user's, the machine's or the merged classes, or where COM would not read what it
// writes (a user's classes for an elevated process, or one without the user's
// merged view). Gives what is wrong, or nothing.
std::wstring registerClass(const std::wstring &progId, const CLSID &clsid,
                           const std::wstring &server, Scope scope);

// The program COM starts for `clsid`, as this process's classes name it, without its
// quotes; empty where none is registered.
std::wstring registeredServer(const CLSID &clsid);

// Empty when COM, asked for `progId`, makes the class `clsid` with the program `server`;
// else where it leads instead, for a refusal.
std::wstring leadsElsewhere(const std::wstring &progId, const CLSID &clsid,
                            const std::wstring &server);

// Removes what registerClass wrote for `scope`, and nothing else: keys of the class
// `clsid`, and the ProgID only while it names that class. Gives the keys it could not
// remove and why, each on a line of its own, or nothing.
std::wstring unregisterClass(const std::wstring &progId, const CLSID &clsid, Scope scope);

} // namespace standin
