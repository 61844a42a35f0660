// libstdc++'s handler for an exception that nobody catches prints the exception's
// type, demangled, on a console that a window program does not have, and aborts.
// Its demangler and the printf it brings are a fifth of the program. The window
// catches every exception at its command boundary, so what remains is the abort.

#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
