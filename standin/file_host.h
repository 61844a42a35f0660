#pragma once

#include "standin/model.h"

namespace standin {

// The model's host in the server: the process's state file, journal and window.
class FileHost final : public Host {
public:
    State load() override;
    void save(const State &state) override;
    void journal(const std::string &utf8Line) override;
    void madeVisible() override;
    void stall(int ms) override;
    [[noreturn]] void crash() override;
};

} // namespace standin
