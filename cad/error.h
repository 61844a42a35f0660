#pragma once

#include "win32/automation_errors.h"

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

    // The server is gone (it ended or crashed): the call may not have run, and
    // nothing more can be asked of this connection.
    bool connectionLost() const noexcept {
        switch (static_cast<std::uint32_t>(code_)) {
        case 0x800706BA: // RPC_S_SERVER_UNAVAILABLE
        case 0x800706BE: // RPC_S_CALL_FAILED
        case 0x800706BF: // RPC_S_CALL_FAILED_DNE
        case 0x80010007: // RPC_E_SERVER_DIED
        case 0x80010012: // RPC_E_SERVER_DIED_DNE
        case 0x80010108: // RPC_E_DISCONNECTED
        case 0x800401FD: // CO_E_OBJNOTCONNECTED
            return true;
        default:
            return false;
        }
    }

private:
    std::int32_t code_;
    std::wstring member_;
    std::wstring description_;
};

// The user chose to stop waiting for the server: the operation ends quietly. A call
// given up while the server had it may still be carried out later; one the server
// rejected, or that was never sent, was not.
class Cancelled : public std::exception {
public:
    explicit Cancelled(bool callMayStillRun = false) : callMayStillRun_(callMayStillRun) {}
    bool callMayStillRun() const noexcept { return callMayStillRun_; }
    const char *what() const noexcept override { return "cad::Cancelled"; }

private:
    bool callMayStillRun_;
};

// Only a CAD program that runs may be used, and none runs: nothing was asked of it.
class NotRunning : public std::exception {
public:
    const char *what() const noexcept override { return "cad::NotRunning"; }
};

// Codes the portable conversions raise.
using win32::kOverflow;
using win32::kTypeMismatch;

} // namespace cad
