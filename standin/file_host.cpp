#include "standin/file_host.h"

#include "standin/process.h"

namespace standin {

State FileHost::load() {
    return process::state();
}

void FileHost::save(const State &state) {
    process::save(state);
}

void FileHost::journal(const std::string &utf8Line) {
    process::journal(utf8Line);
}

void FileHost::madeVisible() {
    process::ownedByUser();
}

// Sleeps without pumping messages, as a program busy on its own thread; a test that
// has seen enough changes the state.
void FileHost::stall(int ms) {
    for (const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
         GetTickCount64() < end;) {
        if (process::changed())
            return;
        Sleep(20);
    }
}

// As a crashed program ends; unlike TerminateProcess this leaves Wine's COM able
// to start the server again.
void FileHost::crash() {
    process::journal("exit process");
    ExitProcess(3);
}

} // namespace standin
