#pragma once

// The one running stand-in process: what all its connections share, and what its
// window shows. Used by the automation objects, each connection's files and the window.

#include "standin/model.h"
#include "standin/state.h"

#include <windows.h>

#include <string>

namespace standin::process {

// Where the state and the journal are, whether each journal line begins with the
// time it was written (the performance counter, the same in every process), and the
// window that shows the title block.
void start(std::wstring statePath, std::wstring journalPath, bool clocked, HWND window);

// The state as this process last read or saved it, read again only when the file
// has changed since. Throws Fault when it cannot be read.
const State &state();
void save(const State &state);
// The file changed since this process last read or saved it.
bool changed();

// Looked at before every call the process takes: after someone else changed the
// state, its busy fault rejects calls for its time or until the next change.
bool busy();

// Appends one line to the journal, if there is one.
void journal(const std::string &utf8Line);

// The process as the model's host: its state file, journal and window. A stall
// sleeps without pumping messages, as a program busy on its own thread, until the
// time is up or someone changes the state.
Host &host();

// Automation objects alive in the process. The process ends with the last one,
// unless it belongs to the user: started by hand, or made visible by a client.
// A client's Visible shows the window without taking the focus from the client,
// as Windows does for a program that is not in the foreground.
void objectCreated();
void objectReleased();
void ownedByUser(int showCommand = SW_SHOWNOACTIVATE);

} // namespace standin::process
