#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Registers `progId` for the class `clsid`, and `server` as its local server unless
// empty, for the current user: under HKCU\Software\Classes, in both registry views
// so that 32-bit and 64-bit clients find it, as a local server registers itself
// without administrator rights. Where the system does not look at a user's own
// classes (Wine), under HKEY_CLASSES_ROOT instead. False when it could not.
bool registerClass(const std::wstring &progId, const CLSID &clsid, const std::wstring &server);

// Removes what registerClass wrote, wherever it is, and nothing else: a ProgID
// that now names another class stays.
void unregisterClass(const std::wstring &progId, const CLSID &clsid);

} // namespace standin
