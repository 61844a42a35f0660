#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

// Owners for the two automation resources that have no smart pointer of their own.
namespace cad::com {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text)
        : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr &) = delete;
    Bstr &operator=(const Bstr &) = delete;
    Bstr(Bstr &&other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    ~Bstr() { SysFreeString(bstr_); }

    // Takes over a BSTR someone else allocated.
    static Bstr adopt(BSTR bstr) {
        Bstr owner;
        owner.bstr_ = bstr;
        return owner;
    }
    BSTR release() noexcept { return std::exchange(bstr_, nullptr); }
    // Embedded NULs survive: the length is the BSTR's own.
    std::wstring str() const {
        return bstr_ ? std::wstring(bstr_, SysStringLen(bstr_)) : std::wstring();
    }

private:
    BSTR bstr_ = nullptr;
};

class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
    Variant(Variant &&other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    Variant &operator=(Variant &&other) noexcept {
        if (this != &other) {
            VariantClear(&v_);
            v_ = other.v_;
            VariantInit(&other.v_);
        }
        return *this;
    }
    ~Variant() { VariantClear(&v_); }

    VARIANT *get() noexcept { return &v_; }
    // For out-parameters: clears what was held first.
    VARIANT *receive() noexcept {
        VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

} // namespace cad::com
