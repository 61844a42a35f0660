#pragma once

// The one running stand-in process: what all its connections share. Defined in
// cadstandin.cpp; used by the automation objects and the files of each connection.

#include <string>

namespace standin::server {

const std::wstring &statePath();

// Appends one line to the journal, if there is one.
void journal(const std::string &utf8Line);
// A connection saved this state.
void saved(const std::string &utf8);
// A client put Visible to True: the user now owns the program.
void madeVisible();

// Automation objects alive in the process; the server ends with the last one
// unless the user owns it.
void objectCreated();
void objectReleased();

} // namespace standin::server
