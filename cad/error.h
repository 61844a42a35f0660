#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace cad {

// A failed automation call: what failed, why in the server's words, and the code.
class Error : public std::exception {
public:
    Error(std::int32_t code, std::wstring member, std::wstring description)
        : code_(code), member_(std::move(member)), description_(std::move(description)) {}

    std::int32_t code() const noexcept { return code_; }
    const std::wstring &member() const noexcept { return member_; }
    const std::wstring &description() const noexcept { return description_; }
    const char *what() const noexcept override { return "cad::Error"; }

private:
    std::int32_t code_;
    std::wstring member_;
    std::wstring description_;
};

// Codes the portable conversions raise; they match the automation ones.
inline constexpr std::int32_t kTypeMismatch = static_cast<std::int32_t>(0x80020005); // DISP_E_TYPEMISMATCH
inline constexpr std::int32_t kOverflow = static_cast<std::int32_t>(0x8002000A);     // DISP_E_OVERFLOW

} // namespace cad
