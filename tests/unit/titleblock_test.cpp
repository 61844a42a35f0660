#include "model_dispatch.h"

#include "titleblock/operations.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    titleblock::Connect connect = [this] { return cad.connect(); };
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
        EXPECT_EQ(cad.calls(),
                  concat({kOpen,
                          {L"form reads chkGenProp", L"form reads Benennung",
                           L"put Document CustomInfo \"Benennung\" \"Welle\"",
                           L"form reads Zeichnungsnummer",
                           L"put Document CustomInfo \"Zeichnungsnummer\" \"W-1\"",
                           L"form reads Konstrukteur",
                           L"put Document CustomInfo \"Konstrukteur\" \"Z\"", L"form reads Datum",
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
