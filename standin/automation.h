#pragma once

#include <windows.h>

namespace standin {

// Creates an application object per call: a new connection, which starts from the
// state as the process has it, read again whenever the file changed. The class
// object lives as long as the process.
IClassFactory &classFactory();

} // namespace standin
