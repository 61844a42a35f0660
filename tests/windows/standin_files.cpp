#include "standin_files.h"

#include "journal.h"
#include "standin/shared_file.h"
#include "standin/standin_identity.h"
#include "text/utf8.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace test {

// The same files for every test of a prefix, so that whichever server is running
// serves the test at hand.
StandinFiles::StandinFiles() {
    const std::wstring base =
        std::filesystem::temp_directory_path().wstring() + L"blattkopf-standin";
    state_ = base + L".state";
    journal_ = base + L".journal";
    // For a server started by hand from here, and for one that COM starts.
    SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_STATE", state_.c_str());
    SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_JOURNAL", journal_.c_str());
    for (const auto &[name, value] :
         {std::pair{L"State", &state_}, std::pair{L"Journal", &journal_}})
        RegSetKeyValueW(HKEY_CURRENT_USER, standin::kSettingsKey, name, REG_SZ, value->c_str(),
                        static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    write(demoDrawing());
    clearJournal();
}

StandinFiles::~StandinFiles() {
    DeleteFileW(state_.c_str());
    DeleteFileW(journal_.c_str());
}

void StandinFiles::write(const standin::State &state) const {
    standin::replaceShared(state_, standin::formatState(state));
}

void StandinFiles::writeRaw(const std::string &bytes) const {
    standin::replaceShared(state_, bytes);
}

standin::State StandinFiles::state() const {
    return standin::parseState(standin::readShared(state_), state_);
}

std::vector<std::wstring> StandinFiles::journal() const {
    std::vector<std::wstring> lines;
    std::istringstream in(standin::readShared(journal_));
    for (std::string line; std::getline(in, line);)
        lines.push_back(text::fromUtf8(line).value_or(L"<not UTF-8>"));
    return lines;
}

void StandinFiles::clearJournal() const {
    standin::replaceShared(journal_, {});
}

int StandinFiles::liveObjects() const {
    return test::liveObjects(journal());
}

int StandinFiles::count(const std::wstring &line) const {
    const auto lines = journal();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

std::vector<std::wstring> StandinFiles::serverStarts() const {
    std::vector<std::wstring> starts = journal();
    std::erase_if(starts,
                  [](const std::wstring &line) { return !line.starts_with(L"start process "); });
    return starts;
}

} // namespace test
