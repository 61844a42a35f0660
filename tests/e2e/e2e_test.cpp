// The real program, started as a user starts it, against the stand-in CAD
// program, driven from this second process with keys and clicks.

#include "designed.h"
#include "process_windows.h"
#include "program.h"
#include "standin_files.h"
#include "standin_guard.h"
#include "standin_server.h"
#include "ui/single_instance.h"
#include "ui/start_window_controls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cwchar>
#include <vector>

namespace {

using test::Program;
using ui::ControlId;

class EndToEnd : public ::testing::Test {
protected:
    void TearDown() override {
        program.reset();
        EXPECT_TRUE(test::closeServers());
        EXPECT_EQ(files.liveObjects(), 0) << "an automation object was not released";
    }

    // The demo drawing open in the stand-in, then the program started.
    void start() {
        EXPECT_TRUE(test::ensureServer());
        files.clearJournal();
        program = std::make_unique<Program>();
    }
    // Shown, with the focus in one of its fields, where typing goes; and loaded from
    // the stand-in, not from whatever else the ProgID might lead to, before a test writes.
    ::testing::AssertionResult windowShown() const {
        if (!test::waitUntil(
                [&] { return program->window() && IsChild(program->window(), program->focus()); }))
            return ::testing::AssertionFailure() << "the window did not show";
        return test::reachedStandin(files);
    }
    // Shown without a document's values: the load was stopped.
    bool windowShownEmpty() const {
        return test::waitUntil([&] { return program->window() != nullptr; }) &&
               fields() == std::vector<std::wstring>{L"Text1", L"Text1", L"Combo1", L"Text1"};
    }
    std::vector<std::wstring> fields() const { return test::fieldTexts(program->window()); }
    // The program started, as a shortcut with `show` would start it, while the CAD
    // program keeps the load waiting, silent until the state changes: by default in its
    // start, not running yet. Its start window, once it shows.
    HWND startHanging(standin::Silence silence = {L"CreateInstance", 600'000},
                      std::optional<WORD> show = {}) {
        EXPECT_TRUE(test::closeServers());
        standin::State hanging = test::demoDrawing();
        hanging.silence = silence;
        files.write(hanging);
        files.clearJournal();
        program = std::make_unique<Program>(show);
        HWND start = nullptr;
        test::waitUntil([&] { return (start = program->startWindow()) != nullptr; });
        return start;
    }
    // Tab, and wait until the focus has arrived, so what is typed next goes there.
    bool tabTo(ControlId id) const {
        test::press({VK_TAB});
        return test::waitUntil([&] {
            const HWND focus = program->focus();
            return focus == program->control(id) || GetParent(focus) == program->control(id);
        });
    }
    // Waits until `count` operations have ended, each releasing its application, and
    // the window takes input again.
    bool operationsDone(int count) const {
        return test::waitUntil([&] { return files.count(L"release Application") == count; }) &&
               program->idle();
    }
    // Waits for the program's message box, notes its text and answers it with Enter.
    std::wstring answerMessageBox() const {
        HWND box = nullptr;
        if (!test::waitUntil([&] { return (box = program->messageBox()) != nullptr; }) ||
            !test::toFront(box))
            return L"<no message box>";
        const std::wstring message = test::windowText(GetDlgItem(box, 0xFFFF));
        test::press({VK_RETURN});
        test::waitUntil([&] { return !IsWindow(box); });
        return message;
    }

    test::StandinFiles files;
    std::unique_ptr<Program> program;
};

// A designer's session: the document shows; typed values are written with a
// rebuild, then with the notice; Alt+W reads again; Exit ends at once.
TEST_F(EndToEnd, ASessionShowsWritesRereadsAndExits) {
    start();
    ASSERT_TRUE(windowShown());
    EXPECT_EQ(fields(), test::values(test::demoDrawing()));
    ASSERT_TRUE(test::toFront(program->window()));
    test::type(
        L"Lagerbock für Welle ∅40"); // each field's text is selected whole, so typing replaces it
    ASSERT_TRUE(tabTo(ControlId::txtSfZeichnungsnummer));
    test::type(L"LB-0815");
    ASSERT_TRUE(tabTo(ControlId::cmbSfKonstrukteur));
    test::type(L"Counselor Mira Holm");
    ASSERT_TRUE(tabTo(ControlId::txtSfDatum));
    test::type(L"07.12.2026");
    test::press({VK_MENU, 'E'});
    ASSERT_TRUE(operationsDone(2)); // the load, then this write
    EXPECT_EQ(test::values(files.state()),
              (std::vector<std::wstring>{L"Lagerbock für Welle ∅40", L"LB-0815",
                                         L"Counselor Mira Holm", L"07.12.2026"}));
    EXPECT_FALSE(program->messageBox());

    test::click(program->control(ControlId::chkRebuild));
    ASSERT_TRUE(test::waitUntil([&] {
        return SendMessageW(program->control(ControlId::chkRebuild), BM_GETCHECK, 0, 0) ==
               BST_UNCHECKED;
    }));
    test::press({VK_MENU, 'E'});
    EXPECT_EQ(answerMessageBox(),
              L"Werte werden erst nach dem nächsten Rebuild im Blattkopf eingetragen");
    ASSERT_TRUE(operationsDone(3)); // the box comes before the write's handles are released
    EXPECT_FALSE(program->messageBox()) << "a second message box";
    EXPECT_EQ(files.state().rebuilds, 1);
    EXPECT_EQ(files.count(L"call Document AddCustomInfo \"Datum\" \"Text\" \"07.12.2026\""), 2);

    standin::State changed = test::demoDrawing();
    changed.properties[1].value = L"GZ-4711-02 Ä";
    files.write(changed);
    ASSERT_TRUE(
        test::toFront(program->window())); // after a message box, as a user clicks into the window
    test::press({VK_MENU, 'W'});
    ASSERT_TRUE(operationsDone(4));
    EXPECT_EQ(program->text(ControlId::txtSfZeichnungsnummer), L"GZ-4711-02 Ä");

    test::click(program->control(ControlId::cmdExit));
    DWORD exitCode = 1;
    ASSERT_TRUE(program->process().waitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(files.count(L"create Application"), 4); // load, two writes, Alt+W; nothing at exit
}

TEST_F(EndToEnd, ACrashMidWriteIsReportedAsALostConnectionAndTheNextReadStartsTheServerAgain) {
    start();
    ASSERT_TRUE(windowShown());
    standin::State crashing = test::demoDrawing();
    crashing.crash = standin::Crash{L"AddCustomInfo", 2};
    files.write(crashing);
    ASSERT_TRUE(test::toFront(program->window()));
    test::press({VK_MENU, 'E'});
    const std::wstring report = answerMessageBox();
    EXPECT_NE(report.find(L"Die Verbindung zum CAD-Programm ist abgebrochen."), std::wstring::npos)
        << std::string(report.begin(), report.end());
    EXPECT_NE(report.find(L"\u201EAddCustomInfo\u201C"), std::wstring::npos);
    EXPECT_NE(report.find(L"Fehlercode: 0x800706"), std::wstring::npos);
    ASSERT_TRUE(program->idle());
    EXPECT_FALSE(program->messageBox()) << "a second report";

    // The server died after deleting all four and adding the first: that is what it left.
    ASSERT_TRUE(test::toFront(program->window()));
    test::press({VK_MENU, 'W'});
    ASSERT_TRUE(operationsDone(2));
    EXPECT_EQ(fields(), (std::vector<std::wstring>{L"Getriebegehäuse", L"", L"", L""}));
    const std::vector<std::wstring> starts = files.serverStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(starts[0].ends_with(L" by COM"));
}

// Keys and clicks made while the CAD program keeps an operation waiting, first busy
// (rejecting calls) then silent (not answering one), are dropped when it ends:
// nothing runs twice and nothing is typed into a field late. Each fault lasts until
// the state changes again, so the input surely comes while it lasts.
TEST_F(EndToEnd, InputMadeWhileAnOperationWaitsForTheCadProgramIsDropped) {
    start();
    ASSERT_TRUE(windowShown());
    ASSERT_TRUE(test::toFront(program->window()));
    const auto meanwhile = [&] {
        test::click(program->control(ControlId::cmdSfEintragen));
        test::press({VK_MENU, 'E'});
        test::type(L"spät");
        test::click(program->control(ControlId::cmdSfAuslesen));
    };
    standin::State waiting = test::demoDrawing();
    waiting.busyMs = 600'000;
    files.write(waiting);
    test::press({VK_MENU, 'E'});
    ASSERT_TRUE(test::waitUntil([&] { return files.count(L"reject CreateInstance") > 0; }));
    meanwhile();
    waiting.busyMs = 0;
    waiting.silence = standin::Silence{L"EditRebuild", 600'000};
    files.write(waiting);
    ASSERT_TRUE(test::waitUntil([&] { return files.count(L"silent in EditRebuild") > 0; }));
    meanwhile();
    files.write(test::demoDrawing());
    ASSERT_TRUE(operationsDone(2)); // the load, then this write
    EXPECT_EQ(files.count(L"create Application"), 2) << "an operation ran again";
    EXPECT_EQ(program->text(ControlId::txtSfBenennung), L"Getriebegehäuse") << "typed late";
    EXPECT_EQ(files.state().rebuilds, 1);
}

// Another program may press a button by sending the click, as accessibility tools
// do: the click comes back at once, the read runs whole after it, and a click sent
// while the read waits for the CAD program starts nothing, then or later.
TEST_F(EndToEnd, AClickSentByAnotherProgramComesBackAtOnceAndRunsOnce) {
    start();
    ASSERT_TRUE(windowShown());
    standin::State silent = test::demoDrawing();
    silent.properties[0].value = L"neu gelesen";
    silent.silence = standin::Silence{L"CustomInfo", 600'000}; // until the state changes
    files.write(silent);
    const auto sendClick = [&](ControlId button) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(program->control(button), BM_CLICK, 0, 0, SMTO_NORMAL, 30'000,
                                   &result) != 0;
    };
    ASSERT_TRUE(sendClick(ControlId::cmdSfAuslesen)) << "the sender was held";
    ASSERT_TRUE(test::waitUntil([&] { return files.count(L"silent in CustomInfo") == 1; }));
    EXPECT_TRUE(sendClick(ControlId::cmdSfAuslesen));
    silent.silence.reset();
    files.write(silent);
    ASSERT_TRUE(operationsDone(2)); // the load, then this read
    EXPECT_EQ(program->text(ControlId::txtSfBenennung), L"neu gelesen");
    // The next operation to run is the next one asked for, not the click sent meanwhile.
    ASSERT_TRUE(sendClick(ControlId::cmdSfDefaultWerte));
    ASSERT_TRUE(operationsDone(3));
    EXPECT_EQ(files.count(L"call Document gettype"), 1) << "the second click ran an operation";
    EXPECT_EQ(files.count(L"create Application"), 3);
}

// A CAD program that hangs while it starts: after a moment the start window shows
// what the tool is doing; it makes way for the question about the silent program, also
// with its system menu open, and comes back after "Ja"; its "Abbrechen" opens the
// window at once, empty, while the CAD program still hangs. Closed then, the tool lets
// that start finish and release what it hands out before it ends, answering meanwhile
// what other programs send it.
TEST_F(EndToEnd, ASlowStartShowsTheStartWindowWhoseAbbrechenOpensTheWindowAtOnce) {
    const HWND start = startHanging();
    ASSERT_TRUE(start);
    EXPECT_EQ(test::windowText(start), L"blattkopf");
    EXPECT_EQ(test::windowText(GetDlgItem(start, ui::kStartText)), ui::kConnecting);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(start, ui::kStartMarquee), GWL_STYLE) & PBS_MARQUEE);
    const HWND abbrechen = GetDlgItem(start, IDCANCEL);
    EXPECT_EQ(test::windowText(abbrechen), L"Abbrechen");
    EXPECT_FALSE(program->window());

    ASSERT_TRUE(test::toFront(start));
    test::press({VK_MENU, VK_SPACE});
    EXPECT_TRUE(test::waitUntil([&] {
        return test::visibleWindowOf(program->process().id(), L"#32768") != nullptr;
    })) << "the system menu did not open";
    // The question takes the foreground from the start window, which then gives way.
    HWND box = nullptr;
    ASSERT_TRUE(test::waitUntil([&] { return (box = program->messageBox()) != nullptr; }));
    EXPECT_TRUE(test::waitUntil([&] { return !IsWindowVisible(start); }));
    EXPECT_TRUE(test::waitUntil([&] { return GetForegroundWindow() == box; }));
    ASSERT_TRUE(test::toFront(box));
    test::press({VK_RETURN}); // "Ja", weiter warten
    ASSERT_TRUE(test::waitUntil([&] { return program->startWindow() == start; }));

    ASSERT_TRUE(test::toFront(start));
    test::click(abbrechen);
    ASSERT_TRUE(windowShownEmpty());
    EXPECT_TRUE(test::waitUntil([&] { return !program->startWindow(); }));
    EXPECT_FALSE(program->messageBox());
    EXPECT_EQ(files.count(L"silence ends in CreateInstance"), 0) << "the window waited for it";

    const HWND window = program->window();
    test::click(program->control(ControlId::cmdExit));
    ASSERT_TRUE(test::waitUntil([&] { return !IsWindow(window); }));
    // While it waits for that start, a program that sends to its windows is answered.
    const HWND apartment = program->apartmentWindow();
    ASSERT_TRUE(apartment);
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(apartment, WM_NULL, 0, 0, SMTO_NORMAL, 60'000, &answer) != 0);
    files.write(test::demoDrawing()); // the CAD program comes to
    DWORD exitCode = 1;
    ASSERT_TRUE(program->process().waitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(test::waitUntil([&] { return files.count(L"release Application") == 1; }))
        << "the stand-in holds an object for a tool that is gone";
}

// A value of the exe's version record, as the file's properties show it to support.
std::wstring versionRecord(const wchar_t *name) {
    std::wstring exe = test::besideThisProgram(L"blattkopf.exe");
    exe = exe.substr(1, exe.size() - 2); // unquoted
    std::vector<BYTE> record(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    void *value = nullptr;
    UINT length = 0;
    if (record.empty() ||
        !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(record.size()), record.data()) ||
        !VerQueryValueW(record.data(),
                        (L"\\StringFileInfo\\040704B0\\" + std::wstring(name)).c_str(), &value,
                        &length))
        return L"<none>";
    return static_cast<const wchar_t *>(value);
}

// Alt+Space, then the last item of the system menu: support reads the version and
// commit of the exe's own record, its licence and where the designer list came from.
TEST_F(EndToEnd, TheSystemMenuSaysWhichVersionAndCommitRuns) {
    start();
    ASSERT_TRUE(windowShown());
    ASSERT_TRUE(test::toFront(program->window()));
    test::press({VK_MENU, VK_SPACE});
    ASSERT_TRUE(test::waitUntil(
        [&] { return test::visibleWindowOf(program->process().id(), L"#32768") != nullptr; }));
    test::press({VK_UP});
    test::press({VK_RETURN});
    HWND box = nullptr;
    ASSERT_TRUE(test::waitUntil([&] { return (box = program->messageBox()) != nullptr; }));
    EXPECT_EQ(test::windowText(box), L"Über blattkopf");
    const std::wstring about = test::windowText(GetDlgItem(box, 0xFFFF));
    for (const wchar_t *name : {L"ProductVersion", L"Comments", L"LegalCopyright"})
        EXPECT_NE(about.find(versionRecord(name)), std::wstring::npos)
            << std::string(name, name + std::wcslen(name));
    EXPECT_TRUE(about.starts_with(L"blattkopf " + versionRecord(L"ProductVersion") + L"\n"));
    EXPECT_TRUE(about.ends_with(L"Liste der Konstrukteure: eingebaute Liste"));
    ASSERT_TRUE(test::toFront(box));
    test::press({VK_RETURN});
    EXPECT_TRUE(test::waitUntil([&] { return !IsWindow(box); }));
}

// Started as a shortcut set to "Minimiert" starts it: the start window shows as it
// is, and the window, for which the setting is meant, opens minimized.
TEST_F(EndToEnd, TheShortcutsShowStateIsTheWindowsNotTheStartWindows) {
    const HWND start = startHanging({L"CreateInstance", 600'000}, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(start);
    EXPECT_FALSE(IsIconic(start));
    files.write(test::demoDrawing()); // the CAD program comes to
    ASSERT_TRUE(test::waitUntil([&] { return program->window() != nullptr; }));
    EXPECT_TRUE(IsIconic(program->window()));
    EXPECT_EQ(fields(), test::values(test::demoDrawing()));
}

// Another program holds the tool's name for an object of another kind, as it may to
// keep the tool from starting: the tool starts all the same and reads.
TEST_F(EndToEnd, ANameHeldByAnotherKindOfObjectDoesNotKeepTheToolFromStarting) {
    const win32::UniqueHandle squatter(
        CreateEventW(nullptr, TRUE, FALSE, ui::kInstanceName.c_str()));
    ASSERT_TRUE(squatter);
    start();
    ASSERT_TRUE(windowShown());
    EXPECT_EQ(fields(), test::values(test::demoDrawing()));
}

// Started again while it loads, the tool brings the one that runs to the front and
// ends, while the first still waits: one window, and the CAD program asked nothing.
// Stopped in the third of the four reads, the first shows none of the document's
// values: not the first two beside the start texts.
TEST_F(EndToEnd, ASecondStartBringsTheFirstToTheFrontAndEndsAtOnce) {
    const HWND start = startHanging({L"CustomInfo", 600'000, 3});
    ASSERT_TRUE(start);
    // The user went on working elsewhere meanwhile.
    const HWND elsewhere =
        CreateWindowExW(0, L"STATIC", L"elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                        100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(test::toFront(elsewhere));

    const test::Process second(test::besideThisProgram(L"blattkopf.exe"));
    DWORD exitCode = 1;
    ASSERT_TRUE(second.waitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(test::waitUntil([&] { return GetForegroundWindow() == start; }));
    EXPECT_EQ(program->startWindow(), start) << "the first stopped waiting";
    EXPECT_EQ(files.serverStarts().size(), 1u);
    EXPECT_EQ(files.count(L"create Application"), 1) << "the second connected";
    EXPECT_EQ(files.count(L"silent in CustomInfo"), 1);

    test::click(GetDlgItem(start, IDCANCEL));
    // Taken, the click hides the start window; only then may the CAD program answer.
    ASSERT_TRUE(test::waitUntil([&] { return !IsWindowVisible(start); }));
    // Windows returns the stopped call at once; Wine only once the CAD program answers.
    files.write(test::demoDrawing());
    ASSERT_TRUE(windowShownEmpty());
    EXPECT_TRUE(test::waitUntil([&] { return files.count(L"release Application") == 1; }));
    DestroyWindow(elsewhere);
}

} // namespace
