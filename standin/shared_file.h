#pragma once

// Files one process reads while another replaces them: the stand-in's state,
// which the server, its window, the tests and people with an editor share.

#include <string>

namespace standin {

// The file's bytes, read with every sharing right so that a writer can replace it
// meanwhile; throws Fault when it cannot be read.
std::string readShared(const std::wstring &path);

// Writes beside the file and renames into place, so that no reader sees half of
// it. A reader that holds the file blocks the rename (on Windows one without
// delete sharing, such as an editor; under Wine any reader): it is tried again
// for about a second before this throws Fault.
void replaceShared(const std::wstring &path, const std::string &bytes);

} // namespace standin
