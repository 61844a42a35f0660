#pragma once

#include <windows.h>

namespace standin {

// Creates an application object per call: a new connection, which reads the
// state afresh. The object lives as long as the process.
IClassFactory &classFactory();

} // namespace standin
