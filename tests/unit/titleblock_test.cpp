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
// Which document it is; a write into the one the fields came from asks only the path.
const Lines kIdentify{L"call Document GetPathName", L"call Document GetTitle"};
const Lines kSameDocument{L"call Document GetPathName"};

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The demo drawing as a read notes it.
titleblock::Source demoSource() {
    const standin::State demo = test::demoDrawing();
    return {demo.path, demo.title};
}

class Operations : public ::testing::Test {
protected:
    Operations() { form.source = demoSource(); } // the fields came from the demo drawing

    test::CadInMemory cad{test::demoDrawing()};
    test::FakeForm form{cad};
    titleblock::Connect connect = [this](std::wstring_view progId) {
        EXPECT_EQ(progId, L"SldWorks.Application");
        return cad.connect();
    };
};

// Each property lands in its own field, all four once the last is read; a read that
// fails halfway shows none of them and leaves the fields' document as it was.
TEST_F(Operations, ReadShowsEachPropertyInItsOwnFieldAllFourOrNone) {
    form.source.reset();
    titleblock::read(form, connect);
    EXPECT_EQ(
        cad.calls(),
        concat({kOpen,
                kIdentify,
                {L"get Document CustomInfo \"Benennung\"",
                 L"get Document CustomInfo \"Zeichnungsnummer\"",
                 L"get Document CustomInfo \"Konstrukteur\"", L"get Document CustomInfo \"Datum\"",
                 L"form shows Benennung \"Getriebegehäuse\"",
                 L"form shows Zeichnungsnummer \"GZ-4711-01\"",
                 L"form shows Konstrukteur \"Jonas Weidlich\"", L"form shows Datum \"03.12.2026\""},
                kClose}));
    EXPECT_TRUE(form.messages.empty());
    ASSERT_TRUE(form.source);
    EXPECT_EQ(form.source->path, demoSource().path);
    EXPECT_EQ(form.source->title, demoSource().title);

    standin::State failing = test::demoDrawing();
    failing.failures.push_back(
        {L"CustomInfo", static_cast<std::int32_t>(0x80004005), L"kaputt", 2});
    cad.setState(failing);
    form.fields = {L"a", L"b", L"c", L"d"};
    form.source.reset();
    EXPECT_THROW(titleblock::read(form, connect), cad::Error);
    EXPECT_EQ(form.fields, (Lines{L"a", L"b", L"c", L"d"}));
    EXPECT_FALSE(form.source);
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
                    kSameDocument,
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
                    kSameDocument,
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
    const auto gone = [](const std::wstring &property) {
        return L"\u201E" + property +
               L"\u201C: gelöscht und nicht wieder angelegt. Die Eigenschaft fehlt dem Dokument "
               L"jetzt.";
    };
    const std::wstring allGone = gone(L"Benennung") + L"\n" + gone(L"Zeichnungsnummer") + L"\n" +
                                 gone(L"Konstrukteur") + L"\n" + gone(L"Datum");
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
         L"Nicht alle Werte sind im Dokument angekommen:\n\n\u201EZeichnungsnummer\u201C: Das "
         L"Dokument hat diese Eigenschaft nicht. Mit \u201EAttribute erzeugen\u201C wird sie "
         L"angelegt." +
             again},
        {"create mode, a property the document keeps",
         [](standin::State &s) { s.kept = {L"Benennung"}; }, 1, 0, concat({deletes, adds}),
         L"Nicht alle Werte sind im Dokument angekommen:\n\n\u201EBenennung\u201C: Das Dokument "
         L"hat die Eigenschaft nicht neu angelegt.\n\n" +
             notice + again},
        {"a rebuild that fails", [](standin::State &s) { s.rebuildFails = true; }, 0, 1,
         concat({puts, rebuild}), L"Das Dokument konnte nicht neu aufgebaut werden.\n\n" + notice},
        {"a rebuild answering the number 0",
         [](standin::State &s) {
             s.overrides = {{L"EditRebuild", L"i8", L"0"}};
         },
         0, 1, concat({puts, rebuild}),
         L"Das Dokument konnte nicht neu aufgebaut werden.\n\n" + notice},
        {"a rebuild answering Empty, which automation reads as False",
         [](standin::State &s) {
             s.overrides = {{L"EditRebuild", L"empty", L""}};
         },
         0, 1, concat({puts, rebuild}),
         L"Das Dokument konnte nicht neu aufgebaut werden.\n\n" + notice},
        // Refused after the deletions, the properties are gone, not kept.
        {"create mode, additions answering the text \"0\"",
         [](standin::State &s) {
             s.overrides = {{L"AddCustomInfo", L"text", L"0"}};
         },
         1, 1, concat({deletes, adds, rebuild}),
         L"Nicht alle Werte sind im Dokument angekommen:\n\n" + allGone + again},
        {"create mode, additions answering Empty",
         [](standin::State &s) {
             s.overrides = {{L"AddCustomInfo", L"empty", L""}};
         },
         1, 0, concat({deletes, adds}),
         L"Nicht alle Werte sind im Dokument angekommen:\n\n" + allGone + L"\n\n" + notice + again},
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
            return (!l.starts_with(L"put Document") && !l.starts_with(L"call Document")) ||
                   l == kSameDocument[0];
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
            L"\u201EZeichnungsnummer\u201C: gelöscht und nicht wieder angelegt. Die Eigenschaft "
            L"fehlt dem Dokument jetzt.\n"
            L"\u201EKonstrukteur\u201C: gelöscht und nicht wieder angelegt. Die Eigenschaft fehlt "
            L"dem Dokument jetzt.\n"
            L"\u201EDatum\u201C: gelöscht und nicht wieder angelegt. Die Eigenschaft fehlt dem "
            L"Dokument jetzt.\n\n"
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
                  L"\u201EBenennung\u201C: Das Dokument hat diese Eigenschaft nicht. Mit "
                  L"\u201EAttribute erzeugen\u201C wird sie angelegt.\n"
                  L"\u201EZeichnungsnummer\u201C: geschrieben, aber nicht zurückgelesen. Ob das "
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
        // The title names the document, and is a drawing's designation.
        EXPECT_EQ(std::count(calls.begin(), calls.end(), L"call Document GetTitle"), 1);
        for (const auto &line : calls)
            EXPECT_EQ(line.find(L"CustomInfo"), std::wstring::npos) << line;
        EXPECT_EQ(cad.state().properties.size(), 4u);
        EXPECT_EQ(cad.liveObjects(), 0);
    }
}

// Values read from (or filled for) one document and written while another is in
// front: the user is asked before the other is touched, "Nein" leaves it and the
// window alone, and after a write the fields belong to the document written to.
TEST_F(Operations, AWriteIntoAnotherDocumentThanTheFieldsCameFromIsAskedAboutFirst) {
    standin::State other = test::demoDrawing();
    other.title = L"Welle - Blatt1";
    other.path = L"C:\\Konstruktion\\Welle.drw";
    for (auto &p : other.properties)
        p.value = L"alt";
    const std::wstring question =
        L"Die Werte im Fenster stammen aus \u201EGetriebegehäuse - "
        L"Blatt1\u201C. Im CAD-Programm ist jetzt \u201EWelle - "
        L"Blatt1\u201C aktiv.\n\nIn \u201EWelle - Blatt1\u201C eintragen?";
    const Lines asked = concat({kOpen, kIdentify, {L"form asks"}});
    struct Case {
        const char *name;
        void (*fill)(titleblock::Form &, const titleblock::Connect &);
        std::int16_t genProp;
    };
    for (const Case &c : {Case{"read, update mode", &titleblock::read, 0},
                          Case{"read, create mode", &titleblock::read, 1},
                          Case{"standard values", &titleblock::fillStandardValues, 1}}) {
        SCOPED_TRACE(c.name);
        cad.setState(test::demoDrawing());
        c.fill(form, connect);
        const Lines filled = form.fields;
        form.options = {{Option::GenProp, c.genProp}, {Option::Rebuild, 1}};
        cad.setState(other); // the user looked something up in another document

        form.answer = false;
        cad.clearJournal();
        titleblock::write(form, connect);
        EXPECT_EQ(cad.calls(), concat({asked, kClose})); // nothing beyond the question's
        EXPECT_EQ(form.questions, Lines{question});
        EXPECT_EQ(test::values(cad.state()), Lines(4, L"alt"));
        EXPECT_EQ(form.fields, filled);
        EXPECT_EQ(form.source->title, L"Getriebegehäuse - Blatt1");

        form.answer = true; // copying on purpose
        titleblock::write(form, connect);
        EXPECT_EQ(test::values(cad.state()), filled);
        EXPECT_EQ(form.source->path, other.path);
        form.questions.clear();
        titleblock::write(form, connect); // now they belong to it
        EXPECT_TRUE(form.questions.empty());
    }

    // Typed by hand, never read: written without a question, and then they belong.
    form.source.reset();
    cad.setState(other);
    cad.clearJournal();
    titleblock::write(form, connect);
    EXPECT_TRUE(form.questions.empty());
    const Lines calls = cad.calls();
    EXPECT_EQ(Lines(calls.begin() + 4, calls.begin() + 6), kIdentify);
    EXPECT_EQ(form.source->path, other.path);

    // Never saved, two documents are told apart by their titles.
    for (const auto &[title, asks] : {std::pair{L"Teil2", true}, std::pair{L"Teil1", false}}) {
        form.source = titleblock::Source{L"", L"Teil1"};
        form.questions.clear();
        other.path.clear();
        other.title = title;
        cad.setState(other);
        titleblock::write(form, connect);
        EXPECT_EQ(form.questions.size(), asks ? 1u : 0u) << std::wstring(title).size();
    }
    EXPECT_EQ(cad.liveObjects(), 0);
}

} // namespace
