#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

namespace cad::com {

// Raises cad::Error for a failed call of `member`: in the server's words when it
// gave any, else in the system's words for the code.
[[noreturn]] void fail(HRESULT hr, std::wstring_view member, std::wstring_view description = {});

// The exception a server reported through EXCEPINFO; frees its strings in any case.
class ExcepInfo {
public:
    ExcepInfo() = default;
    ExcepInfo(const ExcepInfo &) = delete;
    ExcepInfo &operator=(const ExcepInfo &) = delete;
    ~ExcepInfo();

    EXCEPINFO *get() noexcept { return &info_; }
    // Raises the failure `hr` of `member`, with the server's own code and words
    // when `hr` says it gave them here.
    [[noreturn]] void raise(HRESULT hr, std::wstring_view member);

private:
    EXCEPINFO info_{};
};

} // namespace cad::com
