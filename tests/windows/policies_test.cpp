// The office's settings for every desk, as the window takes them at load: its policies, read
// from the tests' own key, and each designer's own name by Windows login.

#include "window_fixture.h"

#include <lmcons.h>

#include <filesystem>

namespace {

using ui::ControlId;
using Window = test::WindowTest;
using Place = test::TestPolicies::Place;

bool checked(HWND box) {
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string utf8(const std::wstring &text) {
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                                                   static_cast<int>(text.size()),
                                                                   nullptr, 0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
}

// The check boxes start as the policies say, the machine's value before the user's, value
// by value; without any, both checked.
TEST_F(Window, PoliciesSetTheCheckBoxesFirstStateTheMachinesBeforeTheUsers) {
    open();
    EXPECT_TRUE(checked(control(ControlId::chkGenProp)));
    EXPECT_TRUE(checked(control(ControlId::chkRebuild)));

    policies.setNumber(Place::Machine, L"AttributeErzeugen", 0);
    policies.setNumber(Place::User, L"AttributeErzeugen", 1);
    policies.setNumber(Place::User, L"AutomatischesRebuild", 0);
    form.reset();
    open();
    EXPECT_FALSE(checked(control(ControlId::chkGenProp)));
    EXPECT_FALSE(checked(control(ControlId::chkRebuild)));
    EXPECT_TRUE(boxes.seen.empty());

    // What the user changes then is what a write does.
    click(ControlId::chkRebuild);
    EXPECT_TRUE(checked(control(ControlId::chkRebuild)));
}

// A value of another type or out of range is not used: one warning before the window names
// the key, the value and what it holds, and its default stands. The machine's value decides,
// also when it cannot be used.
TEST_F(Window, APolicyValueThatCannotBeUsedGivesOneWarningAndItsDefaultStands) {
    const std::wstring machine = test::TestPolicies::place(Place::Machine).name;
    const DWORD two = 2;
    const ULONGLONG one = 1;
    const struct {
        const char *name;
        const wchar_t *value;
        DWORD type;
        const void *data;
        DWORD size;
        std::wstring says;
    } cases[] = {
        {"text", L"AttributeErzeugen", REG_SZ, L"1", 4,
         L"Die Richtlinie „AttributeErzeugen“ unter " + machine +
             L" wird nicht verwendet. Sie enthält REG_SZ „1“, erwartet ist REG_DWORD 0 oder 1."},
        {"out of range", L"AttributeErzeugen", REG_DWORD, &two, 4, L"Sie enthält REG_DWORD 2,"},
        {"eight bytes", L"AutomatischesRebuild", REG_QWORD, &one, 8,
         L"Sie enthält REG_QWORD mit 8\u00A0Byte,"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const test::TestPolicies fresh; // each case alone
        policies.set(Place::Machine, c.value, c.type, c.data, c.size);
        policies.setNumber(Place::User, c.value, 0); // not asked: the machine has the value
        form.reset();
        boxes.seen.clear();
        open();
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].title, L"blattkopf");
        EXPECT_FALSE(boxes.seen[0].windowVisible);
        EXPECT_NE(boxes.seen[0].text.find(c.says), std::wstring::npos) << utf8(boxes.seen[0].text);
        EXPECT_NE(boxes.seen[0].text.find(L"beim Start angehakt"), std::wstring::npos);
        EXPECT_TRUE(checked(control(ControlId::chkGenProp)));
        EXPECT_TRUE(checked(control(ControlId::chkRebuild)));
        EXPECT_EQ(designers().size(), 8u); // no list is configured
    }
}

// The list a policy names replaces the one beside the program, its variables expanded.
TEST_F(Window, TheListAPolicyNamesReplacesTheOneBesideTheProgram) {
    const test::DesignerFile beside("Bernd\n");
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const test::DesignerFile office("Anna\n*Carl\n", false,
                                    (folder / L"blattkopf-liste.txt").wstring());
    SetEnvironmentVariableW(L"BLATTKOPF_TEST_FOLDER", folder.c_str());
    policies.setText(Place::User, L"Konstrukteure", L"%BLATTKOPF_TEST_FOLDER%\\blattkopf-liste.txt",
                     REG_EXPAND_SZ);
    open();
    EXPECT_EQ(designers(), (std::vector<std::wstring>{L"Anna", L"Carl"}));
    click(ControlId::cmdSfDefaultWerte);
    EXPECT_EQ(text(ControlId::cmbSfKonstrukteur), L"Carl");
    EXPECT_TRUE(boxes.seen.empty());
    SetEnvironmentVariableW(L"BLATTKOPF_TEST_FOLDER", nullptr);
}

// A list that is configured and cannot be used leaves the list empty and the designer field
// empty after the standard values: the built-in names stand only where no list is configured.
TEST_F(Window, AConfiguredListThatCannotBeUsedLeavesTheListEmpty) {
    const test::DesignerFile beside("Bernd\n"); // not taken in its place
    const std::wstring folder = std::filesystem::temp_directory_path().wstring();
    const test::DesignerFile faulty("Anna\n = jd\n", false, folder + L"blattkopf-fehler.txt");
    const DWORD one = 1;
    const struct {
        const char *name;
        DWORD type;
        std::wstring path;
        std::wstring says;
    } cases[] = {
        {"missing", REG_SZ, folder + L"blattkopf-fehlt.txt",
         L"Die Datei wurde nicht gefunden.\n\nDie Auswahlliste „Konstrukteur“ bleibt leer, bis die "
         L"Datei vorhanden ist."},
        {"faulty", REG_SZ, faulty.path(), L"Zeile 2: Vor = steht kein Name."},
        {"not a full path", REG_SZ, L"Konstrukteure.txt",
         L"Sie enthält REG_SZ „Konstrukteure.txt“, erwartet ist REG_SZ oder REG_EXPAND_SZ mit dem "
         L"vollständigen Pfad einer Datei.\n\nDie Auswahlliste „Konstrukteur“ bleibt leer."},
        {"a number", REG_DWORD, L"", L"Sie enthält REG_DWORD 1,"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.type == REG_DWORD)
            policies.set(Place::Machine, L"Konstrukteure", REG_DWORD, &one, sizeof(one));
        else
            policies.setText(Place::Machine, L"Konstrukteure", c.path);
        form.reset();
        boxes.seen.clear();
        open();
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_NE(boxes.seen[0].text.find(c.says), std::wstring::npos) << utf8(boxes.seen[0].text);
        EXPECT_EQ(designers(), std::vector<std::wstring>{});
        click(ControlId::cmdSfDefaultWerte);
        EXPECT_EQ(text(ControlId::cmbSfKonstrukteur), L"");
    }
}

// An office that never lets the tool start the CAD program (network licences): where none
// runs, the load and each operation say so in one box and change nothing, and none is
// started; one the user started is used, and stays the only one.
TEST_F(Window, UnderThePolicyNeverToStartTheCadProgramOnlyARunningOneIsUsed) {
    policies.setNumber(Place::User, L"CADProgrammStarten", 0);
    files.write(test::demoDrawing());
    ASSERT_TRUE(test::closeServers());
    files.clearJournal();
    form = std::make_unique<ui::frmSfInfo>(GetModuleHandleW(nullptr), std::chrono::seconds(1),
                                           std::chrono::seconds(10), policies.places());
    form->show(SW_SHOWNORMAL);
    pump();
    const std::wstring notRunning = L"Das CAD-Programm läuft nicht. Starten Sie es, öffnen Sie "
                                    L"dort Ihr Dokument und lesen Sie dann die Werte.";
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text, notRunning);
    EXPECT_EQ(fields(), (std::vector<std::wstring>{L"Text1", L"Text1", L"Combo1", L"Text1"}));
    click(ControlId::cmdSfEintragen);
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(boxes.seen[1].text, notRunning);
    EXPECT_TRUE(test::runningPrograms(L"cadstandin.exe").empty()) << "a CAD program was started";

    ASSERT_TRUE(test::ensureServer()); // the user starts it
    click(ControlId::cmdSfAuslesen);
    EXPECT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(fields(), test::values(test::demoDrawing()));
    EXPECT_EQ(test::runningPrograms(L"cadstandin.exe").size(), 1u);
    EXPECT_EQ(files.serverStarts().size(), 1u);
}

// Each designer's own name: the line naming the Windows login this test runs as, whatever
// its case and with another domain before it; the drop-down shows names only.
TEST_F(Window, TheStandardValuesNameTheLineOfTheLoggedInUser) {
    wchar_t user[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    ASSERT_TRUE(GetUserNameW(user, &size));
    std::wstring shouted = user;
    CharUpperBuffW(shouted.data(), static_cast<DWORD>(shouted.size()));
    const test::DesignerFile list("Anna = anna-nicht\n*Zoë\nJiří Dvořák = jd, ANDERSWO\\" +
                                  utf8(shouted) + "\n");
    open();
    EXPECT_EQ(designers(), (std::vector<std::wstring>{L"Anna", L"Zoë", L"Jiří Dvořák"}));
    click(ControlId::cmdSfDefaultWerte);
    EXPECT_EQ(text(ControlId::cmbSfKonstrukteur), L"Jiří Dvořák");
    EXPECT_TRUE(boxes.seen.empty());
}

} // namespace
