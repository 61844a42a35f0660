#pragma once

#include <windows.h>

namespace standin {

// The application's class, registered under the CAD program's ProgID.
// {6E3C1F0A-5B7D-4C2E-9A41-3D8B2F6C7E15}
inline constexpr CLSID kApplicationClsid = {0x6e3c1f0a, 0x5b7d, 0x4c2e, {0x9a, 0x41, 0x3d, 0x8b, 0x2f, 0x6c, 0x7e, 0x15}};

// Creates an application object per call: a new connection, which reads the
// state afresh. The object lives as long as the process.
IClassFactory &classFactory();

} // namespace standin
