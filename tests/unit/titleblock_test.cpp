#include "model_dispatch.h"

#include "cad/error.h"
#include "titleblock/operations.h"

#include <gtest/gtest.h>

namespace {

using titleblock::Field;
using titleblock::Option;
using Lines = std::vector<std::wstring>;

standin::State drawing() {
    standin::State s;
    s.documentType = 3;
    s.title = L"Getriebe-Zusammenbau.SLDDRW";
    s.properties = {{L"Benennung", L"Text", L"Getriebegehäuse"},
                    {L"Zeichnungsnummer", L"Text", L"GZ-4711-01"},
                    {L"Konstrukteur", L"Text", L"Hans Müller"},
                    {L"Datum", L"Text", L"03.12.2026"}};
    return s;
}

const Lines kOpen{L"create Application", L"put Application Visible True", L"get Application ActiveDoc",
                  L"create Document"};
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
    test::CadInMemory cad{drawing()};
    test::FakeForm form{cad};
    titleblock::Connect connect = [this] { return cad.connect(); };

    void typeFields(const std::wstring &a, const std::wstring &b, const std::wstring &c, const std::wstring &d) {
        form.fields = {{Field::Benennung, a}, {Field::Zeichnungsnummer, b}, {Field::Konstrukteur, c}, {Field::Datum, d}};
    }
    std::wstring property(const std::wstring &name) const {
        for (const auto &p : cad.state().properties)
            if (p.name == name)
                return p.value.value_or(L"<null>");
        return L"<missing>";
    }
};

TEST_F(Operations, ReadShowsEachPropertyInItsOwnFieldOneAfterTheOther) {
    titleblock::read(form, connect);
    EXPECT_EQ(cad.calls(), concat({kOpen,
                                   {L"get Document CustomInfo \"Benennung\"",
                                    L"form shows Benennung \"Getriebegehäuse\"",
                                    L"get Document CustomInfo \"Zeichnungsnummer\"",
                                    L"form shows Zeichnungsnummer \"GZ-4711-01\"",
                                    L"get Document CustomInfo \"Konstrukteur\"",
                                    L"form shows Konstrukteur \"Hans Müller\"",
                                    L"get Document CustomInfo \"Datum\"",
                                    L"form shows Datum \"03.12.2026\""},
                                   kClose}));
    EXPECT_TRUE(form.messages.empty());
}

TEST_F(Operations, EveryOperationWithNoDocumentOnlyTellsTheUser) {
    cad.setState(standin::State{}); // no document open
    for (const auto operation : {&titleblock::read, &titleblock::write, &titleblock::fillStandardValues}) {
        cad.clearJournal();
        form.messages.clear();
        operation(form, connect);
        EXPECT_EQ(cad.calls(), kNoDocument); // the check boxes are not even read
        EXPECT_EQ(form.messages, Lines{L"Keine Datei geöffnet"});
        EXPECT_EQ(form.fields.at(Field::Benennung), L"Text1");
        EXPECT_EQ(form.fields.at(Field::Konstrukteur), L"Combo1");
        EXPECT_EQ(form.fields.at(Field::Datum), L"Text1");
    }
}

// Checked, chkRebuild rebuilds; unchecked or grayed, one notice comes after all writes.
TEST_F(Operations, UpdateModePutsEachFieldJustAfterReadingItThenRebuildsOrTellsWhenItWill) {
    const Lines rebuilds{L"call Document EditRebuild"};
    const Lines notice{L"form informs Werte werden erst nach dem nächsten Rebuild im Blattkopf eingetragen"};
    for (const std::int16_t rebuild : {1, 0, 2}) {
        cad.setState(drawing());
        cad.clearJournal();
        typeFields(L"Welle", L"W-1", L"Z", L"");
        form.options = {{Option::GenProp, 0}, {Option::Rebuild, rebuild}};
        titleblock::write(form, connect);
        EXPECT_EQ(cad.calls(), concat({kOpen,
                                       {L"form reads chkGenProp",
                                        L"form reads Benennung", L"put Document CustomInfo \"Benennung\" \"Welle\"",
                                        L"form reads Zeichnungsnummer", L"put Document CustomInfo \"Zeichnungsnummer\" \"W-1\"",
                                        L"form reads Konstrukteur", L"put Document CustomInfo \"Konstrukteur\" \"Z\"",
                                        L"form reads Datum", L"put Document CustomInfo \"Datum\" \"\"",
                                        L"form reads chkRebuild"},
                                       rebuild == 1 ? rebuilds : notice, kClose}))
            << "chkRebuild " << rebuild;
        EXPECT_EQ(property(L"Benennung"), L"Welle");
        EXPECT_EQ(property(L"Datum"), L""); // an empty text is written, not skipped or deleted
        EXPECT_EQ(cad.state().rebuilds, rebuild == 1 ? 1 : 0);
    }
}

TEST_F(Operations, CreateModeDeletesAllFourBeforeAddingAnyCheckedOrGrayed) {
    for (const std::int16_t genProp : {1, 2}) {
        cad.setState(drawing());
        cad.clearJournal();
        typeFields(L"Flansch", L"", L"Chief D'Arcy", L"1.1.2027");
        form.options = {{Option::GenProp, genProp}, {Option::Rebuild, 1}};
        titleblock::write(form, connect);
        EXPECT_EQ(cad.calls(),
                  concat({kOpen,
                          {L"form reads chkGenProp",
                           L"call Document DeleteCustomInfo \"Benennung\"",
                           L"call Document DeleteCustomInfo \"Zeichnungsnummer\"",
                           L"call Document DeleteCustomInfo \"Konstrukteur\"",
                           L"call Document DeleteCustomInfo \"Datum\"",
                           L"form reads Benennung", L"call Document AddCustomInfo \"Benennung\" \"Text\" \"Flansch\"",
                           L"form reads Zeichnungsnummer", L"call Document AddCustomInfo \"Zeichnungsnummer\" \"Text\" \"\"",
                           L"form reads Konstrukteur", L"call Document AddCustomInfo \"Konstrukteur\" \"Text\" \"Chief D'Arcy\"",
                           L"form reads Datum", L"call Document AddCustomInfo \"Datum\" \"Text\" \"1.1.2027\"",
                           L"form reads chkRebuild", L"call Document EditRebuild"},
                          kClose}))
            << "chkGenProp " << genProp;
        EXPECT_EQ(property(L"Konstrukteur"), L"Chief D'Arcy");
        EXPECT_EQ(property(L"Zeichnungsnummer"), L"");
    }
}

TEST_F(Operations, StandardValuesDependOnlyOnWhetherTheDocumentIsADrawing) {
    struct Case {
        std::int32_t type;
        std::wstring benennung, nummer;
    };
    const Case cases[] = {{3, L"Getriebe-Zusammenbau.SLDDRW", L"Drawing DocName"},
                          {1, L"no drawing", L"Model (Part or Assembly)"},
                          {2, L"no drawing", L"Model (Part or Assembly)"},
                          {0, L"no drawing", L"Model (Part or Assembly)"}};
    for (const Case &c : cases) {
        standin::State s = drawing();
        s.documentType = c.type;
        cad.setState(s);
        cad.clearJournal();
        titleblock::fillStandardValues(form, connect);
        EXPECT_EQ(form.fields.at(Field::Benennung), c.benennung) << c.type;
        EXPECT_EQ(form.fields.at(Field::Zeichnungsnummer), c.nummer);
        EXPECT_EQ(form.fields.at(Field::Konstrukteur), L"John Doe");
        EXPECT_EQ(form.fields.at(Field::Datum), L"06.12.2026");
        const Lines calls = cad.calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), L"call Document GetTitle"), c.type == 3 ? 1 : 0);
        for (const auto &line : calls)
            EXPECT_EQ(line.find(L"CustomInfo"), std::wstring::npos) << line;
        EXPECT_EQ(cad.state().properties.size(), 4u);
        EXPECT_EQ(cad.liveObjects(), 0);
    }
}

} // namespace
