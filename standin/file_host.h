#pragma once

#include "standin/model.h"

namespace standin {

// The model's host in the server: the state file, the journal, and the process.
class FileHost final : public Host {
public:
    std::string load() override;
    void save(const std::string &utf8) override;
    void journal(const std::string &utf8Line) override;
    std::wstring name() const override;
    void madeVisible() override;
    void stall(int ms) override;
    [[noreturn]] void crash() override;
};

// The state file's bytes; throws Fault when it cannot be read.
std::string readState(const std::wstring &path);

} // namespace standin
