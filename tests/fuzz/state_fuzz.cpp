// Any bytes as the stand-in's state file: either a clear error or a state that
// survives writing and reading back unchanged.

#include "standin/state.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    standin::State state;
    try {
        state = standin::parseState(text, L"fuzz");
    } catch (const standin::Fault &fault) {
        if (fault.description.empty() || fault.hresult >= 0)
            std::abort(); // an error must say what is wrong
        return 0;
    }
    const std::string once = standin::formatState(state);
    const std::string twice = standin::formatState(standin::parseState(once, L"fuzz"));
    if (once != twice)
        std::abort();
    return 0;
}
