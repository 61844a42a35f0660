#include "model_dispatch.h"

#include "titleblock/operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using titleblock::Option;
using Lines = std::vector<std::wstring>;

const Lines kOpen{L"create Application", L"put Application Visible True",
                  L"get Application ActiveDoc", L"create Document"};
const Lines kNoDocument{L"create Application", L"put Application Visible True",
                        L"get Application ActiveDoc", L"form informs Keine Datei geöffnet",
                        L"release Application"};
const Lines kClose{L"release Document", L"release Application"};

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class Operations : public ::testing::Test {
protected:
    test::CadInMemory cad{test::demoDrawing()};
    test::FakeForm form{cad};
    titleblock::Connect connect = [this](std::wstring_view progId) {
        EXPECT_EQ(progId, L"SldWorks.Application");
        return cad.connect();
    };
};

TEST_F(Operations, ReadShowsEachPropertyInItsOwnFieldOneAfterTheOther) {
    titleblock::read(form, connect);
    EXPECT_EQ(cad.calls(),
              concat({kOpen,
                      {L"get Document CustomInfo \"Benennung\"",
                       L"form shows Benennung \"Getriebegehäuse\"",
                       L"get Document CustomInfo \"Zeichnungsnummer\"",
                       L"form shows Zeichnungsnummer \"GZ-4711-01\"",
                       L"get Document CustomInfo \"Konstrukteur\"",
                       L"form shows Konstrukteur \"Jonas Weidlich\"",
                       L"get Document CustomInfo \"Datum\"", L"form shows Datum \"03.12.2026\""},
                      kClose}));
    EXPECT_TRUE(form.messages.empty());
}

TEST_F(Operations, EveryOperationWithNoDocumentOnlyTellsTheUser) {
    cad.setState(standin::State{}); // no document open
    for (const auto operation :
         {&titleblock::read, &titleblock::write, &titleblock::fillStandardValues}) {
        cad.clearJournal();
        form.messages.clear();
        operation(form, connect);
        EXPECT_EQ(cad.calls(), kNoDocument); // the check boxes are not even read
        EXPECT_EQ(form.messages, Lines{L"Keine Datei geöffnet"});
        EXPECT_EQ(form.fields, (Lines{L"Text1", L"Text1", L"Combo1", L"Text1"}));
    }
}

// Checked, chkRebuild rebuilds; unchecked or grayed, one notice comes after all writes.
TEST_F(Operations, UpdateModePutsEachFieldJustAfterReadingItThenRebuildsOrTellsWhenItWill) {
    const Lines rebuilds{L"call Document EditRebuild"};
    const Lines notice{
        L"form informs Werte werden erst nach dem nächsten Rebuild im Blattkopf eingetragen"};
    for (const std::int16_t rebuild : {1, 0, 2}) {
        cad.setState(test::demoDrawing());
        cad.clearJournal();
        form.fields = {L"Welle", L"W-1", L"Z", L""};
        form.options = {{Option::GenProp, 0}, {Option::Rebuild, rebuild}};
        titleblock::write(form, connect);
        EXPECT_EQ(
            cad.calls(),
            concat({kOpen,
                    // each value that is not empty is read back right after its put
                    {L"form reads chkGenProp", L"form reads Benennung",
                     L"put Document CustomInfo \"Benennung\" \"Welle\"",
                     L"get Document CustomInfo \"Benennung\"", L"form reads Zeichnungsnummer",
                     L"put Document CustomInfo \"Zeichnungsnummer\" \"W-1\"",
                     L"get Document CustomInfo \"Zeichnungsnummer\"", L"form reads Konstrukteur",
                     L"put Document CustomInfo \"Konstrukteur\" \"Z\"",
                     L"get Document CustomInfo \"Konstrukteur\"", L"form reads Datum",
                     L"put Document CustomInfo \"Datum\" \"\"", L"form reads chkRebuild"},
                    rebuild == 1 ? rebuilds : notice,
                    kClose}))
            << "chkRebuild " << rebuild;
        EXPECT_EQ(test::values(cad.state()),
                  (Lines{L"Welle", L"W-1", L"Z", L""})); // an empty text is written too
        EXPECT_EQ(cad.state().rebuilds, rebuild == 1 ? 1 : 0);
    }
}

TEST_F(Operations, CreateModeDeletesAllFourBeforeAddingAnyCheckedOrGrayed) {
    for (const std::int16_t genProp : {1, 2}) {
        cad.setState(test::demoDrawing());
        cad.clearJournal();
        form.fields = {L"Flansch", L"", L"Chief D'Arcy", L"1.1.2027"};
        form.options = {{Option::GenProp, genProp}, {Option::Rebuild, 1}};
        titleblock::write(form, connect);
        EXPECT_EQ(
            cad.calls(),
            concat({kOpen,
                    {L"form reads chkGenProp", L"call Document DeleteCustomInfo \"Benennung\"",
                     L"call Document DeleteCustomInfo \"Zeichnungsnummer\"",
                     L"call Document DeleteCustomInfo \"Konstrukteur\"",
                     L"call Document DeleteCustomInfo \"Datum\"", L"form reads Benennung",
                     L"call Document AddCustomInfo \"Benennung\" \"Text\" \"Flansch\"",
                     L"form reads Zeichnungsnummer",
                     L"call Document AddCustomInfo \"Zeichnungsnummer\" \"Text\" \"\"",
                     L"form reads Konstrukteur",
                     L"call Document AddCustomInfo \"Konstrukteur\" \"Text\" \"Chief D'Arcy\"",
                     L"form reads Datum",
                     L"call Document AddCustomInfo \"Datum\" \"Text\" \"1.1.2027\"",
                     L"form reads chkRebuild", L"call Document EditRebuild"},
                    kClose}))
            << "chkGenProp " << genProp;
        EXPECT_EQ(test::values(cad.state()),
                  (Lines{L"Flansch", L"", L"Chief D'Arcy", L"1.1.2027"}));
    }
}

// Whatever the document did not take is named in one warning, the fields keep what
// was typed, and the calls that write are the same as when all goes well.
TEST_F(Operations, WhatTheDocumentDidNotTakeIsNamedInOneWarning) {
    const std::wstring again = L"\n\nIhre Eingaben stehen weiter im Fenster: \u201EWerte "
                               L"eintragen\u201C schreibt sie erneut.";
    const std::wstring notice =
        L"Werte werden erst nach dem nächsten Rebuild im Blattkopf eingetragen";
    const Lines puts{L"put Document CustomInfo \"Benennung\" \"Welle\"",
                     L"put Document CustomInfo \"Zeichnungsnummer\" \"W-1\"",
                     L"put Document CustomInfo \"Konstrukteur\" \"Z\"",
                     L"put Document CustomInfo \"Datum\" \"7.12.2026\""};
    const Lines deletes{L"call Document DeleteCustomInfo \"Benennung\"",
                        L"call Document DeleteCustomInfo \"Zeichnungsnummer\"",
                        L"call Document DeleteCustomInfo \"Konstrukteur\"",
                        L"call Document DeleteCustomInfo \"Datum\""};
    const Lines adds{L"call Document AddCustomInfo \"Benennung\" \"Text\" \"Welle\"",
                     L"call Document AddCustomInfo \"Zeichnungsnummer\" \"Text\" \"W-1\"",
                     L"call Document AddCustomInfo \"Konstrukteur\" \"Text\" \"Z\"",
                     L"call Document AddCustomInfo \"Datum\" \"Text\" \"7.12.2026\""};
    const Lines rebuild{L"call Document EditRebuild"};
    const auto notCreated = [](const std::wstring &property) {
        return L"\u201E" + property + L"\u201C: das Dokument hat sie nicht neu angelegt.";
    };
    struct Case {
        const char *name;
        std::function<void(standin::State &)> fault;
        std::int16_t genProp, rebuild;
        Lines writes;
        std::wstring warning;
    };
    const Case cases[] = {
        {"update mode, a property the document lacks",
         [](standin::State &s) {
             std::erase_if(s.properties, [](auto &p) { return p.name == L"Zeichnungsnummer"; });
         },
         0, 1, concat({puts, rebuild}),
         L"Nicht alle Werte sind im Dokument angekommen:\n\n\u201EZeichnungsnummer\u201C: das "
         L"Dokument hat diese Eigenschaft nicht. Mit \u201EAttribute erzeugen\u201C wird sie "
         L"angelegt." +
             again},
        {"create mode, a property the document keeps",
         [](standin::State &s) { s.kept = {L"Benennung"}; }, 1, 0, concat({deletes, adds}),
         L"Nicht alle Werte sind im Dokument angekommen:\n\n\u201EBenennung\u201C: das Dokument "
         L"hat sie nicht neu angelegt.\n\n" +
             notice + again},
        {"a rebuild that fails", [](standin::State &s) { s.rebuildFails = true; }, 0, 1,
         concat({puts, rebuild}), L"Das Dokument konnte nicht neu aufgebaut werden.\n\n" + notice},
        {"a rebuild answering the number 0",
         [](standin::State &s) {
             s.overrides = {{L"EditRebuild", L"i8", L"0"}};
         },
         0, 1, concat({puts, rebuild}),
         L"Das Dokument konnte nicht neu aufgebaut werden.\n\n" + notice},
        {"create mode, additions answering the text \"0\"",
         [](standin::State &s) {
             s.overrides = {{L"AddCustomInfo", L"text", L"0"}};
         },
         1, 1, concat({deletes, adds, rebuild}),
         L"Nicht alle Werte sind im Dokument angekommen:\n\n" + notCreated(L"Benennung") + L"\n" +
             notCreated(L"Zeichnungsnummer") + L"\n" + notCreated(L"Konstrukteur") + L"\n" +
             notCreated(L"Datum") + again},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::State s = test::demoDrawing();
        c.fault(s);
        cad.setState(s);
        cad.clearJournal();
        form.warnings.clear();
        form.fields = {L"Welle", L"W-1", L"Z", L"7.12.2026"};
        form.options = {{Option::GenProp, c.genProp}, {Option::Rebuild, c.rebuild}};
        titleblock::write(form, connect);
        Lines writes = cad.calls();
        std::erase_if(writes, [](const std::wstring &l) {
            return !l.starts_with(L"put Document") && !l.starts_with(L"call Document");
        });
        EXPECT_EQ(writes, c.writes);
        EXPECT_EQ(form.warnings, Lines{c.warning});
        EXPECT_TRUE(form.messages.empty()); // the notice, where due, is part of the warning
        EXPECT_EQ(form.fields, (Lines{L"Welle", L"W-1", L"Z", L"7.12.2026"}));
        EXPECT_EQ(cad.liveObjects(), 0);
    }
}

// A write that fails between the deletions and the additions names what the document
// lost with the failure, and still releases every handle.
TEST_F(Operations, AWriteThatFailsHalfwayNamesWhatTheDocumentNowLacks) {
    standin::State s = test::demoDrawing();
    s.failures.push_back(
        {L"AddCustomInfo", static_cast<std::int32_t>(0x80004005), L"Platte voll", 1});
    cad.setState(s);
    form.fields = {L"Welle", L"W-1", L"Z", L"7.12.2026"};
    try {
        titleblock::write(form, connect);
        ADD_FAILURE() << "the failure was not raised";
    } catch (const titleblock::Unfinished &unfinished) {
        EXPECT_EQ(
            unfinished.report(),
            L"Der Vorgang wurde abgebrochen, bevor alle Werte im Dokument waren:\n\n"
            L"\u201EZeichnungsnummer\u201C: gelöscht und nicht wieder angelegt: sie fehlt dem "
            L"Dokument jetzt.\n"
            L"\u201EKonstrukteur\u201C: gelöscht und nicht wieder angelegt: sie fehlt dem "
            L"Dokument jetzt.\n"
            L"\u201EDatum\u201C: gelöscht und nicht wieder angelegt: sie fehlt dem Dokument "
            L"jetzt.\n\n"
            L"Ihre Eingaben stehen weiter im Fenster: \u201EWerte eintragen\u201C schreibt sie "
            L"erneut.");
        try {
            std::rethrow_exception(unfinished.cause());
        } catch (const cad::Error &error) {
            EXPECT_EQ(error.member(), L"AddCustomInfo");
            EXPECT_EQ(error.description(), L"Platte voll");
        }
    }
    EXPECT_EQ(test::values(cad.state()), Lines{L"Welle"});       // three deleted, one added
    EXPECT_TRUE(form.warnings.empty() && form.messages.empty()); // the window says it, once
    EXPECT_EQ(cad.liveObjects(), 0);
}

// Update mode reads each value back right after its put: a value that comes back in
// another form (a date) arrived; a write that ends later still tells which of the
// values before it arrived, which it could not check, and which it never wrote.
TEST_F(Operations, AnUpdateKnowsOfEachValueBeforeItGoesOnToTheNext) {
    standin::State dated = test::demoDrawing();
    dated.overrides = {{L"CustomInfo", L"date", L"2026-12-07"}};
    cad.setState(dated);
    form.fields = {L"Welle", L"W-1", L"Z", L"7.12.2026"};
    form.options = {{Option::GenProp, 0}, {Option::Rebuild, 1}};
    titleblock::write(form, connect);
    EXPECT_TRUE(form.warnings.empty() && form.messages.empty());

    standin::State s = test::demoDrawing();
    std::erase_if(s.properties, [](auto &p) { return p.name == L"Benennung"; });
    // The put of "Zeichnungsnummer" is the third CustomInfo call, its read-back the fourth.
    s.failures.push_back({L"CustomInfo", static_cast<std::int32_t>(0x80004005), L"weg", 3});
    cad.setState(s);
    try {
        titleblock::write(form, connect);
        ADD_FAILURE() << "the failure was not raised";
    } catch (const titleblock::Unfinished &unfinished) {
        EXPECT_EQ(unfinished.report(),
                  L"Der Vorgang wurde abgebrochen, bevor alle Werte im Dokument waren:\n\n"
                  L"\u201EBenennung\u201C: das Dokument hat diese Eigenschaft nicht. Mit "
                  L"\u201EAttribute erzeugen\u201C wird sie angelegt.\n"
                  L"\u201EZeichnungsnummer\u201C: geschrieben, aber nicht nachgelesen: ob das "
                  L"Dokument den Wert hat, zeigt erst erneutes Lesen.\n"
                  L"\u201EKonstrukteur\u201C: nicht geschrieben.\n"
                  L"\u201EDatum\u201C: nicht geschrieben.\n\n"
                  L"Ihre Eingaben stehen weiter im Fenster: \u201EWerte eintragen\u201C schreibt "
                  L"sie erneut.");
    }
    EXPECT_EQ(cad.liveObjects(), 0);
}

TEST_F(Operations, StandardValuesDependOnlyOnWhetherTheDocumentIsADrawing) {
    struct Case {
        std::int32_t type;
        std::wstring benennung, nummer;
    };
    const Case cases[] = {{3, L"Getriebegehäuse - Blatt1", L"Drawing DocName"},
                          {1, L"no drawing", L"Model (Part or Assembly)"},
                          {2, L"no drawing", L"Model (Part or Assembly)"},
                          {0, L"no drawing", L"Model (Part or Assembly)"}};
    for (const Case &c : cases) {
        standin::State s = test::demoDrawing();
        s.documentType = c.type;
        cad.setState(s);
        cad.clearJournal();
        titleblock::fillStandardValues(form, connect);
        EXPECT_EQ(form.fields, (Lines{c.benennung, c.nummer, L"John Doe", L"06.12.2026"}))
            << c.type;
        const Lines calls = cad.calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), L"call Document GetTitle"),
                  c.type == 3 ? 1 : 0);
        for (const auto &line : calls)
            EXPECT_EQ(line.find(L"CustomInfo"), std::wstring::npos) << line;
        EXPECT_EQ(cad.state().properties.size(), 4u);
        EXPECT_EQ(cad.liveObjects(), 0);
    }
}

} // namespace
