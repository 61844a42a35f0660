#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Registers `progId` for the class `clsid`, and `server` as its local server unless
// empty, in both registry views so that 32-bit and 64-bit clients find it: for the
// current user under HKCU\Software\Classes, where Windows' COM reads a user's own
// classes, and for the machine under Wine, whose COM reads no others. Refuses,
// writing nothing, where the ProgID already names another class in the user's, the
// machine's or the merged classes, where COM would not read what it writes (an
// elevated process, one without the user's merged view). Gives what is wrong, or
// nothing.
std::wstring registerClass(const std::wstring &progId, const CLSID &clsid,
                           const std::wstring &server);

// Removes what registerClass wrote, and nothing else: keys of the class `clsid`,
// and the ProgID only while it names that class.
void unregisterClass(const std::wstring &progId, const CLSID &clsid);

} // namespace standin
