#pragma once

#include <windows.h>
#include <wrl/client.h>

namespace standin {

// Creates an application object per call: a new connection, which starts from the
// state as the process has it, read again whenever the file changed. The class
// object lives as long as the process.
IClassFactory &classFactory();

// The application a program the user started offers to every client in the running object
// table, as the CAD program does, with a connection of its own.
Microsoft::WRL::ComPtr<IDispatch> offeredApplication();

} // namespace standin
