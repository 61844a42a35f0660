#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Registers `progId` for the class `clsid`, and `server` as its local server unless
// empty, for the current user only: under HKCU\Software\Classes, in both registry
// views so that 32-bit and 64-bit clients find it. Where COM does not look at a
// user's own classes it refuses rather than write for the machine: on Windows for
// an elevated process, or one without the user's merged view. Wine never looks at
// them; there it registers for the machine, unless the ProgID there already names
// another class. Gives what is wrong, or nothing.
std::wstring registerClass(const std::wstring &progId, const CLSID &clsid,
                           const std::wstring &server);

// Removes what registerClass wrote, and nothing else: keys of the class `clsid`,
// and the ProgID only while it names that class.
void unregisterClass(const std::wstring &progId, const CLSID &clsid);

} // namespace standin
