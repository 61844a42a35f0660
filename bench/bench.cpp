// Measures, in one run on one machine: the automation traffic of each operation
// against its minimum, the time of each operation through real COM against the
// stand-in running in its own process, as the CAD program does, and the start-up
// of blattkopf.exe with that server running against a floor program that makes the
// same automation calls and shows an empty window, with the steps of each start.
// Prints Markdown table rows. Usage: bench.exe [RUNS]

#include "cad/com.h"
#include "headless_form.h"
#include "process_windows.h"
#include "standin_check.h"
#include "standin_files.h"
#include "standin_server.h"
#include "titleblock/operations.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Operation {
    const char *name;
    std::int16_t genProp;
    void (*run)(titleblock::Form &, const titleblock::Connect &);
    int minimumLookups; // one per distinct member per object
    int minimumCalls;   // one per step of the algorithm
};

// Each operation tells which document it works on: a read or the standard values by
// its path and title, a write into the document the fields came from by its path.
// read: Visible, ActiveDoc + GetPathName, GetTitle, CustomInfo; 2 + 2 + 4 gets.
// update: Visible, ActiveDoc + GetPathName, CustomInfo, EditRebuild; 2 + 1 + 4 puts + 4 gets
// to read back + 1.
// create: Visible, ActiveDoc + GetPathName, DeleteCustomInfo, AddCustomInfo, EditRebuild;
// 2 + 1 + 4 + 4 + 1.
// standard values on a drawing: Visible, ActiveDoc + gettype, GetPathName, GetTitle; 2 + 3.
const Operation kOperations[] = {
    {"read", 0, &titleblock::read, 5, 8},
    {"write, update mode", 0, &titleblock::write, 5, 12},
    {"write, create mode", 1, &titleblock::write, 6, 12},
    {"standard values", 0, &titleblock::fillStandardValues, 5, 5},
};

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

// From process start until it waits for input with its window shown (for
// blattkopf.exe: filled from the document), in milliseconds.
double startUp(const wchar_t *program) {
    const auto start = Clock::now();
    const test::Process process(test::besideThisProgram(program));
    HWND window = nullptr;
    const bool shown =
        process.started() && process.waitForInputIdle() &&
        test::waitUntil([&] { return (window = test::visibleWindowOf(process.id())) != nullptr; },
                        std::chrono::milliseconds(0));
    const double elapsed = microseconds(Clock::now() - start) / 1000;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return shown && process.waitForExit() ? elapsed : -1;
}

// The steps of one start, in milliseconds from process start: the stand-in's clocked
// journal tells when the program reached it and when the read's last call came.
struct Steps {
    double reached = -1, read = -1, waiting = -1;
};

double millisecondsBetween(LONGLONG from, LONGLONG to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to - from) * 1000 / static_cast<double>(frequency.QuadPart);
}

Steps stepsOfAStart(const wchar_t *program, const test::StandinFiles &files) {
    files.clearJournal();
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    Steps steps;
    steps.waiting = startUp(program);
    for (const std::wstring &line : files.journal()) {
        wchar_t *what = nullptr;
        const LONGLONG counter = std::wcstoll(line.c_str(), &what, 10);
        if (*what != L' ')
            continue; // a line without the clock
        const double at = millisecondsBetween(start.QuadPart, counter);
        const std::wstring_view step(what + 1);
        if (step == L"create Application" && steps.reached < 0)
            steps.reached = at;
        if (step.starts_with(L"get ") || step.starts_with(L"put ") || step.starts_with(L"call "))
            steps.read = at;
    }
    return steps;
}

} // namespace

int main(int argc, char **argv) {
    // It connects, writes and rebuilds: only ever to this build's stand-in.
    if (const std::wstring problem = test::standinProblem(); !problem.empty()) {
        std::fprintf(stderr, "bench: %ls Nothing was measured.\n", problem.c_str());
        return 2;
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 1000;
    const cad::ComApartment apartment;
    const test::StandinFiles files;
    const titleblock::Connect connect = [](std::wstring_view progId) {
        return cad::createObject(progId);
    };

    std::printf("| operation | member lookups (minimum) | calls (minimum) | median time | "
                "10th-90th percentile |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Operation &op : kOperations) {
        HeadlessForm form;
        form.genProp = op.genProp;
        const standin::State demo = test::demoDrawing();
        form.source = titleblock::Source{demo.path, demo.title}; // read when the window loaded
        files.write(demo);
        SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_JOURNAL", files.journalPath().c_str());
        if (!test::closeServers() || !test::ensureServer())
            return 1;
        files.clearJournal();
        op.run(form, connect);
        int lookups = 0, calls = 0;
        for (const std::wstring &line : files.journal()) {
            lookups += line.starts_with(L"lookup ");
            calls += line.starts_with(L"get ") || line.starts_with(L"put ") ||
                     line.starts_with(L"call ");
        }
        // Timed against a server without the journal, which only the tests need.
        SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_JOURNAL", nullptr);
        if (!test::closeServers() || !test::ensureServer())
            return 1;
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            op.run(form, connect);
            times.push_back(microseconds(Clock::now() - start));
        }
        std::printf("| %s | %d (%d) | %d (%d) | %.0f µs | %.0f-%.0f µs |\n", op.name, lookups,
                    op.minimumLookups, calls, op.minimumCalls, percentile(times, 0.5),
                    percentile(times, 0.1), percentile(times, 0.9));
    }

    files.write(test::demoDrawing());
    if (!test::ensureServer())
        return 1;
    std::vector<double> program, minimal;
    for (int i = 0; i < 20; ++i) {
        program.push_back(startUp(L"blattkopf.exe"));
        minimal.push_back(startUp(L"floor.exe"));
    }
    const double ours = percentile(program, 0.5), baseline = percentile(minimal, 0.5);
    std::printf("\n| start-up, median of 20, the stand-in running | blattkopf.exe (window shown, "
                "fields filled) | floor.exe (same calls, empty window) | ratio |\n");
    std::printf("|---|---|---|---|\n");
    std::printf("| process start to waiting for input | %.0f ms | %.0f ms | %.2f |\n", ours,
                baseline, ours / baseline);

    // Apart from the runs above, since the journal costs the server a file write a call.
    SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_JOURNAL", files.journalPath().c_str());
    SetEnvironmentVariableW(L"BLATTKOPF_STANDIN_CLOCK", L"1");
    if (!test::closeServers() || !test::ensureServer())
        return 1;
    std::vector<Steps> timeline[2];
    for (int i = 0; i < 20; ++i)
        for (int p = 0; p < 2; ++p)
            timeline[p].push_back(stepsOfAStart(p == 0 ? L"blattkopf.exe" : L"floor.exe", files));
    std::printf("\n| start-up timeline, median of 20, the stand-in keeping its journal | "
                "blattkopf.exe | floor.exe |\n");
    std::printf("|---|---|---|\n");
    for (const auto &[step, member] :
         {std::pair{"the stand-in reached (its Application made)", &Steps::reached},
          std::pair{"the document read (the last call answered)", &Steps::read},
          std::pair{"waiting for input, the window shown", &Steps::waiting}}) {
        std::vector<double> at[2];
        for (int p = 0; p < 2; ++p)
            for (const Steps &steps : timeline[p])
                at[p].push_back(steps.*member);
        std::printf("| %s | %.0f ms | %.0f ms |\n", step, percentile(at[0], 0.5),
                    percentile(at[1], 0.5));
    }
    return test::closeServers() ? 0 : 1;
}
