#pragma once

// The stand-in CAD program in a process of its own, started by hand as a user
// starts the CAD program before the tool: the registered local server.

#include <windows.h>

namespace test {

class StandinServer {
public:
    StandinServer();  // starts it and waits until it serves
    ~StandinServer(); // asks it to close, as a user would, and waits until it has
    StandinServer(const StandinServer &) = delete;
    StandinServer &operator=(const StandinServer &) = delete;

    DWORD processId() const { return process_.dwProcessId; }
    bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION process_{};
};

// The server this test program's tests share (each start costs a second); started
// again when it has ended. Start it after the stand-in's files are set.
StandinServer &sharedServer();
// Ends the shared server, for a test that needs none running.
void endSharedServer();

} // namespace test
