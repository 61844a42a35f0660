#pragma once

// The stand-in CAD program's two files: its state, which a test sets and
// inspects, and its journal of calls. The paths go to the stand-in through the
// environment (started by hand from the test) and the registry (started by COM).
// Both are read and replaced as the server does, so no one sees half a file; one
// that cannot be read or replaced throws standin::Fault.

#include "demo_drawing.h"
#include "standin/state.h"

#include <string>
#include <vector>

namespace test {

class StandinFiles {
public:
    StandinFiles(); // the demo drawing open, the journal empty
    ~StandinFiles();
    StandinFiles(const StandinFiles &) = delete;
    StandinFiles &operator=(const StandinFiles &) = delete;

    void write(const standin::State &state) const;
    void writeRaw(const std::string &bytes) const; // any bytes, for broken states
    standin::State state() const;

    std::vector<std::wstring> journal() const;
    void clearJournal() const;
    // Application and document objects created and not yet released.
    int liveObjects() const;
    int count(const std::wstring &line) const;
    // The stand-in processes started: "start process <id> by hand|by COM".
    std::vector<std::wstring> serverStarts() const;

    const std::wstring &statePath() const { return state_; }
    const std::wstring &journalPath() const { return journal_; }

private:
    std::wstring state_;
    std::wstring journal_;
};

} // namespace test
