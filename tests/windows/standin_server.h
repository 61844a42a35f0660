#pragma once

// The stand-in CAD program in a process of its own: the registered local server.

namespace test {

// Starts the stand-in by hand, as a user has the CAD program open before the tool,
// unless one is running; waits until it serves. Start it after the stand-in's
// files are set, and close it before the test ends. False when it never served.
bool ensureServer();

// Asks every running stand-in to close, as a user would close its window, and
// waits until all have ended. False when one would not.
bool closeServers();

} // namespace test
