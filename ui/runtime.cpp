// What the exe takes in place of parts of libstdc++ that would be most of it: its
// reports of exceptions on a console the window program does not have, and the texts
// its containers' errors carry, whose string code is a third of the program. The
// window catches every exception at its command boundary and says the same of each.

#include <cstdlib>
#include <exception>
#include <new>

namespace {

// A container misused: a fault of the program, told the user as any unexpected one.
struct ContainerMisused : std::exception {
    const char *what() const noexcept override { return "container misused"; }
};

} // namespace

namespace __gnu_cxx {

// Prints the uncaught exception's type, demangled, and aborts: what remains is the abort.
void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

[[noreturn]] void __throw_bad_alloc() {
    throw bad_alloc();
}
[[noreturn]] void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
[[noreturn]] void __throw_length_error(const char *) {
    throw bad_alloc(); // more than a container can hold is more than memory can
}
[[noreturn]] void __throw_logic_error(const char *) {
    throw ContainerMisused();
}
[[noreturn]] void __throw_out_of_range_fmt(const char *, ...) {
    throw ContainerMisused();
}

} // namespace std
