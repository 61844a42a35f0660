#include "standin/file_host.h"

#include "standin/server.h"
#include "standin/shared_file.h"

#include <windows.h>

namespace standin {

std::string readState(const std::wstring &path) {
    if (path.empty())
        throw Fault{E_FAIL, L"BLATTKOPF_STANDIN_STATE names no state file"};
    return readShared(path);
}

std::string FileHost::load() { return readState(server::statePath()); }

void FileHost::save(const std::string &utf8) {
    replaceShared(server::statePath(), utf8);
    server::saved(utf8);
}

void FileHost::journal(const std::string &utf8Line) { server::journal(utf8Line); }

std::wstring FileHost::name() const { return server::statePath(); }

void FileHost::madeVisible() { server::madeVisible(); }

// Sleeps without pumping messages: a program busy on its own thread.
void FileHost::stall(int ms) { Sleep(static_cast<DWORD>(ms)); }

// As a crashed program ends; unlike TerminateProcess this leaves Wine's COM able
// to start the server again.
void FileHost::crash() {
    server::journal("exit process");
    ExitProcess(3);
}

} // namespace standin
