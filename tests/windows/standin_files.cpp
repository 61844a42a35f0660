#include "standin_files.h"

#include "standin/utf8.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace test {
namespace {

std::string readFile(const std::wstring &path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

StandinFiles::StandinFiles(const std::wstring &name) {
    const std::wstring base = std::filesystem::temp_directory_path().wstring() + L"blattkopf-" + name + L"-" +
                              std::to_wstring(GetCurrentProcessId());
    state_ = base + L".state";
    journal_ = base + L".journal";
    SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_STATE", state_.c_str());
    SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_JOURNAL", journal_.c_str());
    write(demoDrawing());
    clearJournal();
}

StandinFiles::~StandinFiles() {
    DeleteFileW(state_.c_str());
    DeleteFileW(journal_.c_str());
}

void StandinFiles::write(const standin::State &state) const {
    std::ofstream(std::filesystem::path(state_), std::ios::binary | std::ios::trunc) << standin::formatState(state);
}

standin::State StandinFiles::state() const { return standin::parseState(readFile(state_), state_); }

std::vector<std::wstring> StandinFiles::journal() const {
    std::vector<std::wstring> lines;
    std::istringstream in(readFile(journal_));
    for (std::string line; std::getline(in, line);)
        lines.push_back(standin::fromUtf8(line).value_or(L"<not UTF-8>"));
    return lines;
}

void StandinFiles::clearJournal() const { std::ofstream(std::filesystem::path(journal_), std::ios::trunc); }

int StandinFiles::liveObjects() const {
    int live = 0;
    for (const auto &line : journal()) {
        live += line.starts_with(L"create ");
        live -= line.starts_with(L"release ");
    }
    return live;
}

int StandinFiles::count(const std::wstring &line) const {
    const auto lines = journal();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

standin::State demoDrawing() {
    standin::State s;
    s.documentType = 3;
    s.title = L"Getriebegehäuse - Blatt1";
    s.properties = {{L"Benennung", L"Text", L"Getriebegehäuse"},
                    {L"Zeichnungsnummer", L"Text", L"GZ-4711-01"},
                    {L"Konstrukteur", L"Text", L"Jonas Weidlich"},
                    {L"Datum", L"Text", L"03.12.2026"}};
    return s;
}

} // namespace test
