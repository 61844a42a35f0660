// Any automation value, coerced to text and to a 32-bit integer: either a
// result or a cad::Error, never undefined behaviour.

#include "cad/convert.h"
#include "cad/error.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t kind = data[0] % 7;
    ++data;
    --size;
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    std::int64_t integer = 0;
    double real = 0;
    std::memcpy(&integer, data, size < sizeof integer ? size : sizeof integer);
    std::memcpy(&real, data, size < sizeof real ? size : sizeof real);

    cad::Value value;
    switch (kind) {
    case 0: value = cad::Empty{}; break;
    case 1: value = cad::Null{}; break;
    case 2: value = (integer & 1) != 0; break;
    case 3: value = integer; break;
    case 4: value = real; break;
    case 5: value = text; break;
    default: value = cad::Unsupported{text}; break;
    }
    try {
        cad::toText(value, L"CustomInfo");
    } catch (const cad::Error &) {
    }
    try {
        cad::toInt32(value, L"EditRebuild");
    } catch (const cad::Error &) {
    }
    return 0;
}
