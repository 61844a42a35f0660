// The real window in this process, against the stand-in server through real COM.

#include "window_fixture.h"

#include <commctrl.h>

#include <cstdlib>
#include <algorithm>
#include <map>
#include <string_view>

namespace {

using ui::ControlId;
using test::today;
using Window = test::WindowTest;
using namespace std::string_literals;

const std::vector<std::wstring> kDemoFields{L"Getriebegehäuse", L"GZ-4711-01", L"Jonas Weidlich", L"03.12.2026"};

// Every control at its twips place and the fonts at their point sizes, for `dpi`.
void expectLayout(const ui::frmSfInfo &form, UINT dpi) {
    const auto pixels = [dpi](LONG twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    RECT client;
    GetClientRect(form.hwnd(), &client);
    EXPECT_NEAR(client.right, pixels(ui::kClientTwips.cx), 1);
    EXPECT_NEAR(client.bottom, pixels(ui::kClientTwips.cy), 1);
    for (const ui::ControlSpec &spec : ui::kControls) {
        RECT r;
        GetWindowRect(form.control(spec.id), &r);
        MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT *>(&r), 2);
        SCOPED_TRACE(static_cast<int>(spec.id));
        EXPECT_NEAR(r.left, pixels(spec.twips.left), 1);
        EXPECT_NEAR(r.top, pixels(spec.twips.top), 1);
        EXPECT_NEAR(r.right, pixels(spec.twips.right), 1);
        EXPECT_NEAR(r.bottom, pixels(spec.twips.bottom), 1);
    }
    const auto fontOf = [&](ControlId id) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form.control(id), WM_GETFONT, 0, 0)), sizeof(font), &font);
        return font;
    };
    EXPECT_EQ(fontOf(ControlId::Label6).lfHeight, -MulDiv(1425, static_cast<int>(dpi), 7200)); // 14.25 pt
    NONCLIENTMETRICSW metrics{sizeof(metrics)};
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    EXPECT_EQ(fontOf(ControlId::txtSfDatum).lfHeight, metrics.lfMessageFont.lfHeight);
    EXPECT_EQ(std::wstring(fontOf(ControlId::cmdExit).lfFaceName), metrics.lfMessageFont.lfFaceName);
}

// Run again by ctest in a prefix whose screen has 144 dpi; BLATTKOPF_EXPECT_DPI says so.
TEST_F(Window, LaysOutEveryControlAtItsTwipsPlaceForTheScreensDpi) {
    open();
    const UINT dpi = GetDpiForWindow(form->hwnd());
    const char *expected = std::getenv("BLATTKOPF_EXPECT_DPI");
    ASSERT_EQ(dpi, expected ? static_cast<UINT>(std::atoi(expected)) : 96u);
    expectLayout(*form, dpi);
}

TEST_F(Window, RescalesEverythingWhenMovedToAScreenOfAnotherDpi) {
    open();
    RECT suggested{100, 100, 100 + 620, 100 + 480};
    SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    expectLayout(*form, 144);
    RECT back{100, 100, 100 + 420, 100 + 330};
    SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    expectLayout(*form, 96);
}

TEST_F(Window, ShowsCaptionsFontsAndTooltipsAsDesigned) {
    open();
    EXPECT_EQ(GetWindowTextLengthW(form->hwnd()), 22);
    wchar_t caption[64];
    GetWindowTextW(form->hwnd(), caption, 64);
    EXPECT_EQ(caption, L"Blatkopf Informationen"s);
    for (const ui::ControlSpec &spec : ui::kControls) {
        if (std::wstring_view(spec.className) != L"EDIT" && spec.id != ControlId::cmbSfKonstrukteur) {
            EXPECT_EQ(text(spec.id), spec.text);
        }
    }

    LOGFONTW heading{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control(ControlId::Label6), WM_GETFONT, 0, 0)), sizeof(heading), &heading);
    EXPECT_EQ(heading.lfFaceName, L"Tahoma"s);
    EXPECT_EQ(heading.lfWeight, FW_BOLD);
    EXPECT_TRUE(heading.lfItalic);
    const HDC dc = GetDC(form->hwnd());
    SendMessageW(form->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control(ControlId::Label6)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    ReleaseDC(form->hwnd(), dc);

    const HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    ASSERT_TRUE(tips);
    std::map<HWND, std::wstring> tooltips;
    for (LRESULT i = 0, n = SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0); i < n; ++i) {
        wchar_t buffer[128] = {};
        TTTOOLINFOW tool{sizeof(tool)};
        tool.lpszText = buffer;
        SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool));
        tooltips[reinterpret_cast<HWND>(tool.uId)] = buffer;
    }
    const std::map<HWND, std::wstring> expected{
        {control(ControlId::cmdSfDefaultWerte), L"fill EDIT-fields with standard values"},
        {control(ControlId::cmdSfEintragen), L"writes back values in active SW document"},
        {control(ControlId::cmdSfAuslesen), L"reads original values from active SW document"},
        {control(ControlId::cmdExit), L"Exit the program"}};
    EXPECT_EQ(tooltips, expected);
}

TEST_F(Window, KeyboardVisitsTheControlsInTabIndexOrder) {
    open();
    const ControlId order[] = {ControlId::txtSfBenennung, ControlId::txtSfZeichnungsnummer,
                               ControlId::cmbSfKonstrukteur, ControlId::txtSfDatum, ControlId::cmdSfEintragen,
                               ControlId::cmdExit, ControlId::cmdSfDefaultWerte, ControlId::cmdSfAuslesen,
                               ControlId::chkGenProp, ControlId::chkRebuild, ControlId::cmdAutoDate,
                               ControlId::txtSfBenennung};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        const HWND next = GetNextDlgTabItem(form->hwnd(), control(order[i]), FALSE);
        EXPECT_EQ(next, control(order[i + 1])) << "after control " << static_cast<int>(order[i]);
    }
}

TEST_F(Window, LoadShowsTheDocumentThenListsTheDesignersOnce) {
    open();
    EXPECT_EQ(fields(), kDemoFields);
    const std::vector<std::wstring> expected{L"Jonas Weidlich", L"Captain Anne-Marie Kessler",
                                             L"Commander Robert J. Hanlon", L"Lieutenant Commander Orbit",
                                             L"Chief D'Arcy", L"Counselor Mira Holm", L"Lieutenant Nora Lind", L"Z"};
    EXPECT_EQ(designers(), expected);
    EXPECT_EQ(GetFocus(), control(ControlId::txtSfBenennung));
    EXPECT_EQ(selection(control(ControlId::txtSfBenennung)), std::make_pair(DWORD{0}, DWORD{15}));
    click(ControlId::cmdSfAuslesen);
    click(ControlId::cmdSfAuslesen);
    EXPECT_EQ(designers(), expected);
    EXPECT_EQ(files.count(L"create Application"), 3);
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(Window, WithNoDocumentTheNoticeComesBeforeTheWindowShows) {
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
}

TEST_F(Window, ShowsADesignerWhoIsNotInTheListAndValuesOfAnyLength) {
    standin::State state = test::demoDrawing();
    state.properties[2].value = L"Fremder Zeichner";
    state.properties[0].value = std::wstring(100'000, L'ä');
    open(state);
    EXPECT_EQ(text(ControlId::cmbSfKonstrukteur), L"Fremder Zeichner");
    EXPECT_EQ(text(ControlId::txtSfBenennung), std::wstring(100'000, L'ä'));
}

TEST_F(Window, FocusSelectsTheWholeTextOfTheField) {
    open();
    setText(ControlId::txtSfZeichnungsnummer, L"4711-01");
    SetFocus(control(ControlId::txtSfZeichnungsnummer));
    EXPECT_EQ(selection(control(ControlId::txtSfZeichnungsnummer)), std::make_pair(DWORD{0}, DWORD{7}));
    setText(ControlId::txtSfDatum, L"");
    SetFocus(control(ControlId::txtSfDatum));
    EXPECT_EQ(selection(control(ControlId::txtSfDatum)), std::make_pair(DWORD{0}, DWORD{0}));
    SetFocus(control(ControlId::cmbSfKonstrukteur));
    const LRESULT combo = SendMessageW(control(ControlId::cmbSfKonstrukteur), CB_GETEDITSEL, 0, 0);
    EXPECT_EQ(LOWORD(combo), 0);
    EXPECT_EQ(HIWORD(combo), 14); // "Jonas Weidlich"
}

TEST_F(Window, DateButtonStampsOnlyTheDateField) {
    open();
    files.clearJournal();
    click(ControlId::cmdAutoDate);
    EXPECT_EQ(fields(), (std::vector<std::wstring>{kDemoFields[0], kDemoFields[1], kDemoFields[2], today()}));
    EXPECT_TRUE(files.journal().empty());
}

// Run by ctest under a German and an English user locale (BLATTKOPF_LOCALE).
TEST_F(Window, DatesAreWrittenInTheUsersShortDateFormat) {
    const char *locale = std::getenv("BLATTKOPF_LOCALE");
    if (!locale)
        GTEST_SKIP() << "needs BLATTKOPF_LOCALE";
    const bool german = std::string_view(locale).starts_with("de_");
    open();
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring day = std::to_wstring(now.wDay), month = std::to_wstring(now.wMonth);
    const std::wstring year = std::to_wstring(now.wYear);
    const auto pad = [](const std::wstring &s) { return s.size() == 1 ? L"0" + s : s; };
    // Day first with dots in German, month first with slashes in American English;
    // leading zeros as the locale has it.
    const std::vector<std::wstring> expected =
        german ? std::vector<std::wstring>{pad(day) + L"." + pad(month) + L"." + year, day + L"." + month + L"." + year}
               : std::vector<std::wstring>{month + L"/" + day + L"/" + year};
    click(ControlId::cmdAutoDate);
    const std::wstring stamped = text(ControlId::txtSfDatum);
    EXPECT_NE(std::find(expected.begin(), expected.end(), stamped), expected.end())
        << std::string(stamped.begin(), stamped.end());
    setText(ControlId::txtSfDatum, L"");
    click(ControlId::cmdSfDefaultWerte);
    EXPECT_EQ(text(ControlId::txtSfDatum), stamped);
}

TEST_F(Window, AServerFailureIsReportedAndTheTypedValuesStay) {
    open();
    standin::State failing = test::demoDrawing();
    failing.failures.push_back({L"CustomInfo", static_cast<std::int32_t>(0x80010001), L"Aufruf vom Server abgelehnt", 1});
    files.write(failing);
    setText(ControlId::txtSfBenennung, L"getippt");
    click(ControlId::cmdSfAuslesen);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].title, L"blattkopf");
    EXPECT_TRUE(boxes.seen[0].icon);
    EXPECT_NE(boxes.seen[0].text.find(L"CustomInfo"), std::wstring::npos);
    EXPECT_NE(boxes.seen[0].text.find(L"Aufruf vom Server abgelehnt"), std::wstring::npos);
    EXPECT_NE(boxes.seen[0].text.find(L"0x80010001"), std::wstring::npos);
    EXPECT_TRUE(IsWindow(form->hwnd()));
    // The first property was read before the failure; the rest stay as typed.
    EXPECT_EQ(fields(), (std::vector<std::wstring>{kDemoFields[0], kDemoFields[1], kDemoFields[2], kDemoFields[3]}));
}

TEST_F(Window, AccessKeysRunTheOperationsAndEnterAndEscPressNothing) {
    open();
    files.clearJournal();
    SetFocus(control(ControlId::txtSfZeichnungsnummer));
    press(WM_KEYDOWN, VK_RETURN, 1);
    press(WM_KEYDOWN, VK_ESCAPE, 1);
    SetFocus(control(ControlId::chkGenProp));
    press(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(files.journal().empty());
    EXPECT_TRUE(IsWindow(form->hwnd()));
    EXPECT_FALSE(quit);

    standin::State changed = test::demoDrawing();
    changed.properties[0].value = L"Neue Benennung";
    files.write(changed);
    press(WM_SYSCHAR, L'w', 0x20000001);
    EXPECT_EQ(text(ControlId::txtSfBenennung), L"Neue Benennung");
    EXPECT_EQ(files.count(L"create Application"), 1);
}

TEST_F(Window, FocusReturnsToItsControlAfterAMessageBox) {
    open();
    standin::State none = test::demoDrawing();
    none.documentType.reset();
    files.write(none);
    SetFocus(control(ControlId::txtSfDatum));
    form->barSfAuslesen();
    pump();
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(GetFocus(), control(ControlId::txtSfDatum));
}

TEST_F(Window, WritesInBothModesAndReadsBackExactlyTheSameTexts) {
    open();
    const std::vector<std::wstring> typed{L"Lagerbock Ø40 – geölt", L"𝔸-0815-😀", L"Chief D'Arcy", L""};
    for (const int genProp : {BST_UNCHECKED, BST_CHECKED}) {
        SendMessageW(control(ControlId::chkGenProp), BM_SETCHECK, genProp, 0);
        setText(ControlId::txtSfBenennung, typed[0]);
        setText(ControlId::txtSfZeichnungsnummer, typed[1]);
        setText(ControlId::cmbSfKonstrukteur, typed[2]);
        setText(ControlId::txtSfDatum, typed[3]);
        click(ControlId::cmdSfEintragen);
        EXPECT_EQ(fields(), typed); // writing leaves the fields alone
        for (const ControlId id : {ControlId::txtSfBenennung, ControlId::txtSfZeichnungsnummer,
                                   ControlId::cmbSfKonstrukteur, ControlId::txtSfDatum})
            setText(id, L"overwritten");
        click(ControlId::cmdSfAuslesen);
        EXPECT_EQ(fields(), typed) << "chkGenProp " << genProp;
    }
    EXPECT_TRUE(boxes.seen.empty());
    EXPECT_EQ(files.state().rebuilds, 2);
    EXPECT_EQ(files.count(L"call Document DeleteCustomInfo \"Benennung\""), 1);
}

TEST_F(Window, WithoutAutomaticRebuildTheNoticeSaysWhenTheTitleBlockShowsTheValues) {
    open();
    SendMessageW(control(ControlId::chkRebuild), BM_SETCHECK, BST_UNCHECKED, 0);
    click(ControlId::cmdSfEintragen);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text, L"Werte werden erst nach dem nächsten Rebuild im Blattkopf eingetragen");
    EXPECT_EQ(boxes.seen[0].title, L"Information");
    EXPECT_EQ(boxes.seen[0].buttons, 1);
    EXPECT_FALSE(boxes.seen[0].icon);
    EXPECT_EQ(files.state().rebuilds, 0);
    EXPECT_EQ(files.count(L"call Document EditRebuild"), 0);
}

TEST_F(Window, ExitEndsAtOnceWithoutContactingTheCadProgram) {
    open();
    files.clearJournal();
    click(ControlId::cmdExit);
    EXPECT_FALSE(form->hwnd());
    EXPECT_TRUE(quit);
    EXPECT_TRUE(files.journal().empty());
}

} // namespace
