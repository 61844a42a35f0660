// The real window in this process, against the stand-in server through real COM.

#include "ui/start_window.h"
#include "window_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string_view>

namespace {

using ui::ControlId;
using Window = test::WindowTest;

// Every control at its designed place, every caption whole inside its control,
// for `dpi`; on the screen's own resolution in the faces the window was designed for.
void expectLayout(const ui::frmSfInfo &form, UINT dpi, bool designedFaces) {
    const auto pixels = [dpi](LONG twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    RECT client;
    GetClientRect(form.hwnd(), &client);
    EXPECT_NEAR(client.right, pixels(6150), 1);
    EXPECT_NEAR(client.bottom, pixels(4530), 1);
    for (const test::Designed &d : test::kDesigned) {
        const HWND control = form.control(d.id);
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT *>(&r), 2);
        SCOPED_TRACE(static_cast<int>(d.id));
        EXPECT_NEAR(r.left, pixels(d.left), 1);
        EXPECT_NEAR(r.top, pixels(d.top), 1);
        EXPECT_NEAR(r.right, pixels(d.left + d.width), 1);
        EXPECT_NEAR(r.bottom, pixels(d.top + d.height), 1);
        const HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face); // the face really drawn with, not just asked for
        if (!d.caption) {
            // A field draws every name it is given: Czech, Polish, Greek, Cyrillic (what
            // font linking adds, CJK, this cannot see).
            const std::wstring_view names = L"Jiří Dvořák, Łukasz Żółć, Ωμέγα, Иванов № –";
            std::vector<WORD> glyphs(names.size());
            GetGlyphIndicesW(dc, names.data(), static_cast<int>(names.size()), glyphs.data(),
                             GGI_MARK_NONEXISTING_GLYPHS);
            EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), 0xFFFF), 0) << "missing in " << face;
        } else if (designedFaces || d.id == ControlId::Label6) {
            EXPECT_STREQ(face, d.id == ControlId::Label6 ? L"Tahoma" : L"MS Sans Serif");
        }

        // The room for the text: a button loses its border and focus frame, a
        // check box its box and the gap after it.
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        wchar_t kind[16] = {};
        GetClassNameW(control, kind, 16);
        const bool label = std::wstring_view(kind) == L"Static";
        const bool checkBox = !label && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        RECT room{0, 0, r.right - r.left, r.bottom - r.top};
        if (checkBox)
            room.left += GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) +
                         GetSystemMetricsForDpi(SM_CXEDGE, dpi);
        else if (!label)
            InflateRect(&room, -GetSystemMetricsForDpi(SM_CXEDGE, dpi) - 1,
                        -GetSystemMetricsForDpi(SM_CYEDGE, dpi) - 1);
        RECT text = room;
        if (d.caption) {
            EXPECT_EQ(test::windowText(control), d.caption);
            DrawTextW(dc, d.caption, -1, &text,
                      DT_CALCRECT |
                          (style & BS_MULTILINE && !label ? DT_WORDBREAK : DT_SINGLELINE));
        }
        ReleaseDC(control, dc);
        EXPECT_LE(text.right - text.left, room.right - room.left) << "too narrow";
        EXPECT_LE(text.bottom - text.top, room.bottom - room.top) << "too low";
    }
    LOGFONTW heading{};
    GetObjectW(
        reinterpret_cast<HFONT>(SendMessageW(form.control(ControlId::Label6), WM_GETFONT, 0, 0)),
        sizeof(heading), &heading);
    EXPECT_EQ(heading.lfHeight, -MulDiv(1425, static_cast<int>(dpi), 7200)); // 14.25 pt
    EXPECT_EQ(heading.lfWeight, FW_BOLD);
    EXPECT_TRUE(heading.lfItalic);
}

// Run again by ctest in a prefix whose screen has 144 dpi, and in one whose message
// font is as wide as Windows 10's; BLATTKOPF_EXPECT_DPI names the screen's dpi.
TEST_F(Window, LaysOutEveryControlAtItsDesignedPlaceWithItsCaptionWholeAtAnyDpi) {
    open();
    const UINT dpi = GetDpiForWindow(form->hwnd());
    const char *expected = std::getenv("BLATTKOPF_EXPECT_DPI");
    ASSERT_EQ(dpi, expected ? static_cast<UINT>(std::atoi(expected)) : 96u);
    expectLayout(*form, dpi, true);

    // Moved to a screen of another resolution, everything is laid out for it; the
    // face's bitmaps are made for the system's resolution, so it may be another face.
    const UINT other = dpi == 96 ? 144 : 96;
    RECT suggested{100, 100, 100 + MulDiv(420, static_cast<int>(other), 96),
                   100 + MulDiv(330, static_cast<int>(other), 96)};
    SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    expectLayout(*form, other, false);
}

TEST_F(Window, ShowsTheTitleTheRedHeadingAndTheTooltips) {
    open();
    EXPECT_EQ(test::windowText(form->hwnd()), L"Blatkopf Informationen");

    const HDC dc = GetDC(form->hwnd());
    SendMessageW(form->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control(ControlId::Label6)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    ReleaseDC(form->hwnd(), dc);

    const HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    ASSERT_TRUE(tips);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 4);
    for (const auto &[id, tip] :
         {std::pair{ControlId::cmdSfDefaultWerte, L"fill EDIT-fields with standard values"},
          std::pair{ControlId::cmdSfEintragen, L"writes back values in active SW document"},
          std::pair{ControlId::cmdSfAuslesen, L"reads original values from active SW document"},
          std::pair{ControlId::cmdExit, L"Exit the program"}}) {
        wchar_t buffer[128] = {};
        TTTOOLINFOW tool{sizeof(tool), 0, form->hwnd(), reinterpret_cast<UINT_PTR>(control(id))};
        tool.lpszText = buffer;
        SendMessageW(tips, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(buffer, tip);
    }
}

TEST_F(Window, KeyboardVisitsTheControlsInTabIndexOrder) {
    open();
    const ControlId order[] = {ControlId::txtSfBenennung,    ControlId::txtSfZeichnungsnummer,
                               ControlId::cmbSfKonstrukteur, ControlId::txtSfDatum,
                               ControlId::cmdSfEintragen,    ControlId::cmdExit,
                               ControlId::cmdSfDefaultWerte, ControlId::cmdSfAuslesen,
                               ControlId::chkGenProp,        ControlId::chkRebuild,
                               ControlId::cmdAutoDate,       ControlId::txtSfBenennung};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        const HWND next = GetNextDlgTabItem(form->hwnd(), control(order[i]), FALSE);
        EXPECT_EQ(next, control(order[i + 1])) << "after control " << static_cast<int>(order[i]);
    }
}

TEST_F(Window, LoadShowsTheDocumentListsTheDesignersOnceAndFocusSelectsTheWholeText) {
    standin::State state = test::demoDrawing();
    state.properties[0].value = std::wstring(100'000, L'ä');
    state.properties[2].value = L"Fremder Zeichner"; // not in the list, shown all the same
    open(state);
    EXPECT_EQ(fields(), (std::vector<std::wstring>{std::wstring(100'000, L'ä'), L"GZ-4711-01",
                                                   L"Fremder Zeichner", L"03.12.2026"}));
    const std::vector<std::wstring> expected{L"Jonas Weidlich",
                                             L"Captain Anne-Marie Kessler",
                                             L"Commander Robert J. Hanlon",
                                             L"Lieutenant Commander Orbit",
                                             L"Chief D'Arcy",
                                             L"Counselor Mira Holm",
                                             L"Lieutenant Nora Lind",
                                             L"Z"};
    EXPECT_EQ(designers(), expected);
    EXPECT_EQ(GetFocus(), control(ControlId::txtSfBenennung));
    EXPECT_EQ(selection(control(ControlId::txtSfBenennung)),
              std::make_pair(DWORD{0}, DWORD{100'000}));
    SetFocus(control(ControlId::txtSfZeichnungsnummer));
    EXPECT_EQ(selection(control(ControlId::txtSfZeichnungsnummer)),
              std::make_pair(DWORD{0}, DWORD{10}));
    SetFocus(control(ControlId::cmbSfKonstrukteur));
    EXPECT_EQ(SendMessageW(control(ControlId::cmbSfKonstrukteur), CB_GETEDITSEL, 0, 0),
              MAKELRESULT(0, 16));

    // Typed or pasted, a field takes any length, as reading and writing carry any.
    const std::wstring pasted = std::wstring(40'000, L'Ł') + L" Ende";
    test::copyText(form->hwnd(), pasted);
    for (const ControlId field : test::kFieldControls) {
        SetFocus(control(field));
        test::press({VK_CONTROL, 'V'});
        pump();
        EXPECT_EQ(text(field), pasted) << static_cast<int>(field);
    }

    click(ControlId::cmdSfAuslesen);
    click(ControlId::cmdSfAuslesen);
    EXPECT_EQ(designers(), expected);
    EXPECT_EQ(files.count(L"create Application"), 3);
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(Window, WithNoDocumentTheNoticeComesFirstAndABoxLeavesFocusAndWindowInPlace) {
    standin::State none = test::demoDrawing();
    none.documentType.reset();
    open(none);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].title, L"Information");
    EXPECT_EQ(boxes.seen[0].text, L"Keine Datei geöffnet");
    EXPECT_EQ(boxes.seen[0].buttons, 1);
    EXPECT_FALSE(boxes.seen[0].icon);
    EXPECT_FALSE(boxes.seen[0].windowVisible);
    EXPECT_TRUE(IsWindowVisible(form->hwnd()));
    EXPECT_EQ(fields(), (std::vector<std::wstring>{L"Text1", L"Text1", L"Combo1", L"Text1"}));
    EXPECT_EQ(designers().size(), 8u);

    // After a box, the focus is back in its control. Asked to close meanwhile (Task
    // Manager's End task sends WM_CLOSE), the window stays while the operation runs.
    SetFocus(control(ControlId::txtSfDatum));
    boxes.answer = [&](const test::SeenBox &) {
        SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
        return IDOK;
    };
    form->barSfAuslesen();
    pump();
    EXPECT_EQ(boxes.seen.size(), 2u);
    ASSERT_TRUE(IsWindow(form->hwnd()));
    EXPECT_FALSE(quit);
    EXPECT_EQ(GetFocus(), control(ControlId::txtSfDatum));
}

TEST_F(Window, TheDateButtonAndTheStandardValuesStampTheUsersShortDate) {
    open();
    files.clearJournal();
    click(ControlId::cmdAutoDate);
    const std::wstring stamped = text(ControlId::txtSfDatum);
    std::vector<std::wstring> expected = test::values(test::demoDrawing());
    expected[3] = test::usersDate();
    EXPECT_EQ(fields(), expected);
    EXPECT_TRUE(files.journal().empty());
    setText(ControlId::txtSfDatum, L"");
    click(ControlId::cmdSfDefaultWerte);
    EXPECT_EQ(fields(), (std::vector<std::wstring>{L"Getriebegehäuse - Blatt1", L"Drawing DocName",
                                                   L"John Doe", stamped}));
}
// Two clicks sent in a row by another program (an automation tool's double click)
// ask for the operation twice before it runs: it runs once.
TEST_F(Window, TwoClicksSentBeforeTheOperationRunsRunItOnce) {
    open();
    files.clearJournal();
    SendMessageW(control(ControlId::cmdSfAuslesen), BM_CLICK, 0, 0);
    SendMessageW(control(ControlId::cmdSfAuslesen), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(files.count(L"create Application"), 1);
}

TEST_F(Window, EnterAndEscPressNothing) {
    open();
    files.clearJournal();
    SetFocus(control(ControlId::txtSfZeichnungsnummer));
    for (const WPARAM key : {VK_RETURN, VK_ESCAPE})
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    pump();
    SetFocus(control(ControlId::chkGenProp));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    pump();
    EXPECT_TRUE(files.journal().empty());
    EXPECT_TRUE(IsWindow(form->hwnd()));
    EXPECT_FALSE(quit);
}
// The window waits a second on a busy server here, as the program does ten.
TEST_F(Window, ABusyServerIsWaitedForFromTheActivationOnThenAskedAbout) {
    open();
    ASSERT_TRUE(test::reachedStandin(files));
    setText(ControlId::txtSfBenennung, L"getippt");
    const std::vector<std::wstring> typed = fields();
    standin::State busy = test::demoDrawing();
    busy.busyMs = 300;
    files.write(busy);
    files.clearJournal();
    click(ControlId::cmdSfEintragen);
    EXPECT_TRUE(boxes.seen.empty());
    // Even the activation is refused while the server is busy, and repeated until taken.
    const std::vector<std::wstring> journal = files.journal();
    const auto firstAccepted = std::find(journal.begin(), journal.end(), L"create Application");
    EXPECT_GT(std::count(journal.begin(), firstAccepted, L"reject CreateInstance"), 0);
    EXPECT_EQ(std::count_if(firstAccepted, journal.end(),
                            [](const std::wstring &l) { return l.starts_with(L"reject"); }),
              0);
    for (const wchar_t *once : {L"create Application", L"put Application Visible True",
                                L"call Document AddCustomInfo \"Benennung\" \"Text\" \"getippt\"",
                                L"call Document EditRebuild"})
        EXPECT_EQ(std::count(journal.begin(), journal.end(), once), 1)
            << std::string(once, once + std::wcslen(once));

    busy.busyMs = 600'000; // for good
    files.write(busy);
    files.clearJournal();
    boxes.answer = [](const test::SeenBox &) { return IDCANCEL; };
    click(ControlId::cmdSfEintragen);
    ASSERT_EQ(boxes.seen.size(), 1u); // the question; after Cancel nothing more
    EXPECT_EQ(boxes.seen[0].title, L"blattkopf");
    EXPECT_NE(boxes.seen[0].text.find(L"nimmt gerade keine Aufrufe an"), std::wstring::npos);
    EXPECT_EQ(boxes.seen[0].buttons, 2);
    EXPECT_TRUE(boxes.seen[0].icon);
    EXPECT_EQ(fields(), typed);
    EXPECT_EQ(files.count(L"create Application"), 0);

    files.write(busy);        // busy again from the next call
    test::press({VK_ESCAPE}); // made before the question came up, so not meant for it
    boxes.answer = [&](const test::SeenBox &) {
        files.write(test::demoDrawing()); // the dialog in the CAD program was closed
        test::press({VK_RETURN});         // Retry, the default button, behind the Esc in the queue
        return 0;
    };
    click(ControlId::cmdSfEintragen);
    EXPECT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(files.state().rebuilds, 1); // the demo drawing's first
    EXPECT_EQ(files.count(L"call Document AddCustomInfo \"Benennung\" \"Text\" \"getippt\""), 1);
}

// A server that takes a call and goes silent (a long rebuild) is asked about only
// once the call has gone unanswered for the patience (a second here); going on
// waiting asks again after another; stopping ends the operation without a report.
TEST_F(Window, ASilentServerIsAskedAboutAfterThePatienceAndCanBeLeft) {
    open();
    ASSERT_TRUE(test::reachedStandin(files));
    setText(ControlId::txtSfBenennung, L"getippt");
    const std::vector<std::wstring> typed = fields();
    standin::State silent = test::demoDrawing();
    silent.silence = standin::Silence{L"EditRebuild", 300}; // heard from three times meanwhile
    files.write(silent);
    click(ControlId::cmdSfEintragen);
    EXPECT_TRUE(boxes.seen.empty());
    EXPECT_EQ(files.state().rebuilds, 1);

    silent.silence->ms = 600'000; // until the state changes
    files.write(silent);
    boxes.answer = [&](const test::SeenBox &) {
        if (boxes.seen.size() == 1)
            return IDYES;
        files.write(test::demoDrawing()); // the rebuild ends after all
        return IDNO;
    };
    click(ControlId::cmdSfEintragen);
    ASSERT_EQ(boxes.seen.size(), 2u); // asked, asked again, stopped: no report follows
    for (const test::SeenBox &box : boxes.seen) {
        EXPECT_EQ(box.title, L"blattkopf");
        EXPECT_NE(box.text.find(L"antwortet nicht"), std::wstring::npos);
        EXPECT_NE(box.text.find(L"Weiter warten?"), std::wstring::npos);
        EXPECT_EQ(box.buttons, 2);
        EXPECT_TRUE(box.icon);
    }
    EXPECT_EQ(fields(), typed);
    // Wine lets a stopped call return only once the server answers, and the server
    // carried it out: the write landed after all, as the question warned.
    EXPECT_EQ(files.state().rebuilds, 1);

    files.write(test::demoDrawing());
    click(ControlId::cmdSfAuslesen);
    EXPECT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(fields(), test::values(test::demoDrawing()));

    // Stopped after the deletions, the write says what the document now lacks.
    setText(ControlId::txtSfBenennung, L"getippt");
    silent = test::demoDrawing();
    silent.silence = standin::Silence{L"AddCustomInfo", 600'000};
    files.write(silent);
    boxes.seen.clear();
    boxes.answer = [&](const test::SeenBox &) {
        if (boxes.seen.size() == 1)
            files.write(test::demoDrawing()); // lets Wine return the stopped call
        return boxes.seen.size() == 1 ? IDNO : IDOK;
    };
    click(ControlId::cmdSfEintragen);
    ASSERT_EQ(boxes.seen.size(), 2u); // the question, then one message
    EXPECT_EQ(boxes.seen[1].title, L"blattkopf");
    EXPECT_TRUE(boxes.seen[1].icon);
    const std::wstring &lacks = boxes.seen[1].text;
    EXPECT_TRUE(lacks.starts_with(L"Der Vorgang wurde abgebrochen"));
    EXPECT_NE(lacks.find(L"\u201EBenennung\u201C: offen"), std::wstring::npos);
    for (const wchar_t *deleted : {L"Zeichnungsnummer", L"Konstrukteur", L"Datum"})
        EXPECT_NE(lacks.find(L"\u201E" + std::wstring(deleted) +
                             L"\u201C: gelöscht und nicht wieder angelegt"),
                  std::wstring::npos)
            << std::string(lacks.begin(), lacks.end());
    EXPECT_EQ(fields()[0], L"getippt");
}

// Read from one drawing, written while another is in front: the user is asked first,
// naming both, and "Nein" writes nothing.
TEST_F(Window, AWriteIntoAnotherDocumentAsksFirstAndNoWritesNothing) {
    open();
    WNDCLASSEXW start{sizeof(start)};
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), ui::kStartWindowClass, &start))
        << "a load that ended in time made a start window";
    standin::State other = test::demoDrawing();
    other.title = L"Welle - Blatt1";
    other.path = L"C:\\Konstruktion\\Welle.drw";
    for (auto &p : other.properties)
        p.value = L"alt";
    const std::vector<std::wstring> read = fields();
    files.write(other);
    boxes.answer = [&](const test::SeenBox &) { return IDNO; };
    click(ControlId::cmdSfEintragen);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].title, L"blattkopf");
    EXPECT_TRUE(boxes.seen[0].text.ends_with(L"In \u201EWelle - Blatt1\u201C eintragen?"));
    EXPECT_EQ(boxes.seen[0].buttons, 2);
    EXPECT_TRUE(boxes.seen[0].icon);
    EXPECT_EQ(fields(), read);
    EXPECT_EQ(test::values(files.state()), std::vector<std::wstring>(4, L"alt"));
    EXPECT_EQ(files.state().rebuilds, 0);
}

using test::DesignerFile;

// The office's own designers, in the file's order and as written; the standard values
// name the marked one, else the first. Which forms an editor may save is the parser's
// to read (its unit tests); here, the file's way into the window, and the system's code
// page for a file that is not UTF-8, here Windows-1252.
TEST_F(Window, TheOfficesDesignersComeFromTheFileBesideTheProgram) {
    const struct {
        std::string bytes;
        std::vector<std::wstring> names;
        std::wstring standard;
    } cases[] = {
        {"# Werk 2\n Jiří Dvořák \n\n*  Ωμέγα 😀\n", {L"Jiří Dvořák", L"Ωμέγα 😀"}, L"Ωμέγα 😀"},
        {"M\xFCller\r\nJ\xF6rg Stra\xDF\x65\r\n", {L"Müller", L"Jörg Straße"}, L"Müller"},
    };
    for (const auto &[bytes, names, standard] : cases) {
        const DesignerFile file(bytes);
        form.reset();
        open();
        EXPECT_EQ(designers(), names);
        click(ControlId::cmdSfDefaultWerte);
        EXPECT_EQ(text(ControlId::cmbSfKonstrukteur), standard);
        EXPECT_TRUE(boxes.seen.empty());
    }
}

// Beside a program whose path is longer than MAX_PATH, the list is found all the same.
TEST(Designers, AreFoundBesideAProgramOfAnyPathLength) {
    std::wstring folder = L"\\\\?\\" + std::filesystem::temp_directory_path().wstring();
    std::vector<std::wstring> made;
    while (folder.size() <= MAX_PATH + 4) {
        made.push_back(folder += std::wstring(60, L'k') + L"\\");
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::wstring program = folder + L"blattkopf.exe";
    ASSERT_TRUE(
        CopyFileW(DesignerFile::unquoted(L"blattkopf.exe").c_str(), program.c_str(), FALSE));
    {
        const DesignerFile list("Anna\n*Bert\n", false, folder + L"Konstrukteure.txt");
        // Loaded as a module, it has that long path; its code does not run.
        const HMODULE deep = LoadLibraryExW(program.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_TRUE(deep) << GetLastError();
        const office::Designers designers = office::DesignerReading(deep, std::nullopt).take(L"");
        FreeLibrary(deep);
        EXPECT_EQ(designers.names, (std::vector<std::wstring>{L"Anna", L"Bert"}));
        EXPECT_EQ(designers.standard, L"Bert");
        EXPECT_EQ(designers.warning, L"");
    }
    DeleteFileW(program.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryW(it->c_str());
}

// A file that cannot be used is never used halfway: one warning naming it, the line
// and what is wrong, before the window shows; then no names at all and no standard
// designer, so that no built-in name reaches a drawing. Each fault of the text itself is
// the parser's (its unit tests); here one of them, and the faults of the file.
TEST_F(Window, ADesignerFileThatCannotBeUsedGivesOneWarningAndAnEmptyList) {
    struct Case {
        const char *name;
        std::string bytes;
        std::wstring says;
        bool folder = false;
    };
    const Case cases[] = {
        {"two marked", "*Anna\nBert\n* Carl\n", L"Zeile 3: Nur eine Zeile darf mit * beginnen."},
        {"too large", std::string(64 * 1024 + 1, 'x'), L"\nDie Datei ist größer als 64\u00A0KiB."},
        {"a folder", "", L"\nDas ist ein Ordner, keine Datei.", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const DesignerFile file(c.bytes, c.folder);
        form.reset();
        boxes.seen.clear();
        open();
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].title, L"blattkopf");
        EXPECT_TRUE(boxes.seen[0].icon);
        EXPECT_FALSE(boxes.seen[0].windowVisible);
        EXPECT_NE(boxes.seen[0].text.find(file.path() + L"\n"), std::wstring::npos);
        EXPECT_NE(boxes.seen[0].text.find(c.says), std::wstring::npos)
            << std::string(boxes.seen[0].text.begin(), boxes.seen[0].text.end());
        EXPECT_NE(boxes.seen[0].text.find(L"bis die Datei berichtigt ist"), std::wstring::npos);
        EXPECT_EQ(designers(), std::vector<std::wstring>{});
        click(ControlId::cmdSfDefaultWerte);
        EXPECT_EQ(text(ControlId::cmbSfKonstrukteur), L"");
    }
    // Held open by another program without sharing it: tried again for a moment, then
    // the warning says to start again later, not to mend a file that is fine.
    const DesignerFile locked("Anna\n");
    const win32::UniqueHandle holder(
        CreateFileW(locked.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    form.reset();
    boxes.seen.clear();
    open();
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_NE(boxes.seen[0].text.find(L"Die Datei ist gerade von einem anderen Programm gesperrt."),
              std::wstring::npos);
    EXPECT_NE(boxes.seen[0].text.find(L"Starten Sie blattkopf später noch einmal"),
              std::wstring::npos);
    EXPECT_EQ(boxes.seen[0].text.find(L"berichtigt"), std::wstring::npos);
    EXPECT_EQ(designers(), std::vector<std::wstring>{});
    click(ControlId::cmdSfDefaultWerte);
    EXPECT_EQ(text(ControlId::cmbSfKonstrukteur), L"");
}

// What the start window's thread saw when it hid the window, and the box to answer then.
struct GivingWay {
    HWND start = nullptr;
    HWND box = nullptr;
    std::atomic<HWND> inFront{nullptr}; // the foreground window as the start window hid
    std::atomic<bool> hid{false};
};
GivingWay g_givingWay;

LRESULT CALLBACK noteHiding(int code, WPARAM wParam, LPARAM lParam) {
    const auto &sent = *reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && sent.hwnd == g_givingWay.start &&
        sent.message == WM_WINDOWPOSCHANGING &&
        (reinterpret_cast<const WINDOWPOS *>(sent.lParam)->flags & SWP_HIDEWINDOW) &&
        !g_givingWay.hid) {
        g_givingWay.inFront = GetForegroundWindow();
        g_givingWay.hid = true;
        PostMessageW(g_givingWay.box, WM_COMMAND, IDNO, 0); // "Nein", nicht weiter warten
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The start window gives way to a question of the load only once the question is in
// front: hidden any earlier, it would hand the foreground to another program, and the
// question would open behind it.
TEST_F(Window, TheStartWindowGivesWayToAQuestionOnlyOnceTheQuestionIsInFront) {
    ASSERT_TRUE(test::closeServers()); // the load starts the CAD program, which hangs
    standin::State hanging = test::demoDrawing();
    hanging.silence = standin::Silence{L"CreateInstance", 600'000};
    files.write(hanging);
    files.clearJournal();
    HHOOK watch = nullptr;
    boxes.answer = [&](const test::SeenBox &) {
        g_givingWay.start = FindWindowW(ui::kStartWindowClass, nullptr);
        if (!IsWindowVisible(g_givingWay.start))
            return IDNO; // gone before the question came up
        g_givingWay.box = FindWindowW(L"#32770", nullptr);
        watch = SetWindowsHookExW(WH_CALLWNDPROC, &noteHiding, nullptr,
                                  GetWindowThreadProcessId(g_givingWay.start, nullptr));
        return 0; // answered once the start window gives way
    };
    form = std::make_unique<ui::frmSfInfo>(GetModuleHandleW(nullptr), std::chrono::seconds(1),
                                           std::chrono::milliseconds(0));
    form->show(SW_SHOWNORMAL);
    if (watch)
        UnhookWindowsHookEx(watch);
    ASSERT_EQ(boxes.seen.size(), 1u);
    ASSERT_TRUE(watch) << "the start window hid before the question came up";
    // Wine shows the foreground in passage then, on its way to the question.
    EXPECT_NE(g_givingWay.inFront, g_givingWay.start) << "the start window hid while in front";
    EXPECT_EQ(fields(), (std::vector<std::wstring>{L"Text1", L"Text1", L"Combo1", L"Text1"}));

    form.reset();
    pump();
    files.write(test::demoDrawing()); // the CAD program comes to; its object goes unseen
    cad::letStoppedStartsEnd(std::chrono::seconds(30));
}

// A CAD program that hangs while it starts is asked about like a silent call, and
// stopping frees the window while the program still hangs; a later read works.
TEST_F(Window, StoppingAHangingStartFreesTheWindowAtOnce) {
    open();
    ASSERT_TRUE(test::closeServers()); // the next click starts the CAD program
    standin::State hanging = test::demoDrawing();
    hanging.silence = standin::Silence{L"CreateInstance", 60'000};
    files.write(hanging);
    files.clearJournal();
    boxes.answer = [&](const test::SeenBox &) {
        // Starting takes a while: stop once the CAD program hangs in its start.
        EXPECT_TRUE(test::waitUntil([&] { return files.count(L"silent in CreateInstance") == 1; }));
        return IDNO;
    };
    click(ControlId::cmdSfAuslesen);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_NE(boxes.seen[0].text.find(L"antwortet nicht"), std::wstring::npos);
    EXPECT_EQ(files.count(L"silence ends in CreateInstance"), 0) << "the window waited for it";

    // Closed now, the tool lets the start it gave up finish before it ends: the CAD
    // program comes to, and what it hands out is released unseen.
    form.reset();
    pump(); // the quit message it posted
    standin::State after = test::demoDrawing();
    after.properties[1].value = L"GZ-4711-02";
    files.write(after);
    cad::letStoppedStartsEnd(std::chrono::seconds(30));
    EXPECT_EQ(files.count(L"release Application"), 1);
    EXPECT_EQ(files.liveObjects(), 0);
    ASSERT_TRUE(test::waitUntil([&] { return files.count(L"exit process") == 1; }));
    ASSERT_TRUE(test::closeServers()); // gone, not just going: then the CAD program is opened
    ASSERT_TRUE(test::ensureServer());
    form = std::make_unique<ui::frmSfInfo>(GetModuleHandleW(nullptr), std::chrono::seconds(1),
                                           ui::kStartWindowDelay, policies.places());
    form->show(SW_SHOWNORMAL);
    pump();
    EXPECT_EQ(fields(), test::values(after));
    EXPECT_EQ(boxes.seen.size(), 1u);
}

} // namespace
