#pragma once

// Automation's error codes (DISP_E_...), for code that also builds where the
// Windows headers are not: the gateway's conversions and the stand-in's model.

#include <cstdint>

namespace win32 {

inline constexpr auto kMemberNotFound = static_cast<std::int32_t>(0x80020003);
inline constexpr auto kTypeMismatch = static_cast<std::int32_t>(0x80020005);
inline constexpr auto kUnknownName = static_cast<std::int32_t>(0x80020006);
inline constexpr auto kOverflow = static_cast<std::int32_t>(0x8002000A);
inline constexpr auto kBadParamCount = static_cast<std::int32_t>(0x8002000E);

} // namespace win32
