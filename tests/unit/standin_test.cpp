#include "model_dispatch.h"

#include "standin/state.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using standin::Fault;
using standin::State;

// The demo drawing, its date a Null.
State drawing() {
    State s = test::demoDrawing();
    s.properties[3].value.reset();
    return s;
}

Fault faultOf(std::string_view text) {
    try {
        standin::parseState(text, L"C:\\state.txt");
    } catch (const Fault &f) {
        return f;
    }
    ADD_FAILURE() << "parsed: " << text;
    return {};
}

TEST(StateFile, RoundTripsEveryFieldAndAwkwardTexts) {
    State s = drawing();
    s.visible = true;
    s.rebuilds = 7;
    s.properties.push_back(
        {L"Quote \"and\" \\ back", L"Text", std::wstring(L"line\nbreak\ttab\0nul 😀", 21)});
    s.properties.push_back({L"Leer", L"Text", L""});
    s.failures.push_back({L"AddCustomInfo", static_cast<std::int32_t>(0x80004005), L"Platte voll",
                          2, standin::FaultStyle::Bare});
    s.refuseCreate = Fault{static_cast<std::int32_t>(0x80040154), L"nicht registriert"};
    s.titleBlock = {{L"Benennung", L"vor dem Rebuild"}};
    s.busyMs = 2000;
    s.crash = standin::Crash{L"AddCustomInfo", 2};
    s.silence = standin::Silence{L"EditRebuild", 4000};
    s.slowStartMs = 3000;
    s.kept = {L"Datum"};
    s.rebuildFails = true;
    s.path = L"C:\\Konstruktion\\Welle.drw";

    const State back = standin::parseState(standin::formatState(s), L"state");
    EXPECT_EQ(standin::formatState(back), standin::formatState(s)); // read as written
    // ... and all was written: a field left out would be lost on both sides.
    EXPECT_EQ(
        std::tie(back.visible, back.documentType, back.rebuilds, back.busyMs, back.slowStartMs),
        std::make_tuple(true, std::optional<std::int32_t>{3}, 7, 2000, 3000));
    EXPECT_EQ(back.properties.at(4).value, s.properties[4].value);
    EXPECT_EQ(back.failures.at(0).after, 2);
    EXPECT_EQ(back.failures.at(0).style, standin::FaultStyle::Bare);
    EXPECT_EQ(back.refuseCreate.value().description, L"nicht registriert");
    EXPECT_EQ(back.titleBlock.at(0).value, L"vor dem Rebuild");
    EXPECT_EQ(back.crash.value().call, 2);
    EXPECT_EQ(back.silence.value().ms, 4000);
    EXPECT_EQ(back.kept, std::vector<std::wstring>{L"Datum"});
    EXPECT_TRUE(back.rebuildFails);
    EXPECT_EQ(back.path, s.path);
}

TEST(StateFile, AcceptsWhatPeopleWrite) {
    const State s = standin::parseState("# demo\n\ndocument part   # a part\r\nvisible true\n"
                                        "property \"Benennung\" \"Text\" \"Welle\"\n",
                                        L"state");
    EXPECT_EQ(s.documentType, 1);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.properties.at(0).value, L"Welle");
    EXPECT_FALSE(standin::parseState("document none\n", L"state").documentType);
}

TEST(StateFile, MalformedTextNamesTheFileAndLine) {
    const char *cases[] = {
        "visible true\nbogus 1\n",
        "visible true\nvisible maybe\n",
        "visible true\ntitle \"open\n",
        "visible true\nproperty \"A\" \"Text\"\n",
        "visible true\ndocument 3x\n",
        "visible true\ntitle \"\xC3\x28\"\n",
        "visible true\nfail \"X\" 1 \"d\" later 2\n",
        "visible true\ntitle \"bad \\q escape\"\n",
    };
    for (const char *text : cases) {
        const Fault f = faultOf(text);
        EXPECT_NE(f.description.find(L"C:\\state.txt line 2: "), std::wstring::npos) << text;
        EXPECT_LT(f.hresult, 0);
    }
}

class StandinModel : public ::testing::Test {
protected:
    test::CadInMemory cad{drawing()};
};

TEST_F(StandinModel, BehavesLikeTheCadProgramWhereTheToolReliesOnIt) {
    {
        const cad::Object app = cad.connect();
        const cad::Object doc = std::get<cad::Object>(app.get(L"ActiveDoc"));
        EXPECT_EQ(doc.get(L"CustomInfo", {std::wstring(L"Fehlt")}), cad::Value(std::wstring()));
        EXPECT_TRUE(
            std::holds_alternative<cad::Null>(doc.get(L"CustomInfo", {std::wstring(L"Datum")})));
        doc.put(L"CustomInfo", {std::wstring(L"Fehlt"), std::wstring(L"x")});
        doc.put(L"CustomInfo", {std::wstring(L"Benennung"), std::wstring(L"Welle")});
        EXPECT_EQ(cad.state().titleBlock.at(0).value,
                  L"Getriebegehäuse"); // shown as of the last rebuild
        EXPECT_EQ(doc.call(L"AddCustomInfo", {std::wstring(L"Benennung"), std::wstring(L"Text"),
                                              std::wstring(L"neu")}),
                  cad::Value(false));
        EXPECT_EQ(doc.call(L"DeleteCustomInfo", {std::wstring(L"Fehlt")}), cad::Value(false));
        EXPECT_EQ(doc.call(L"DeleteCustomInfo", {std::wstring(L"Datum")}), cad::Value(true));
        EXPECT_EQ(doc.call(L"gettype"), cad::Value(std::int64_t{3}));
        EXPECT_EQ(doc.call(L"GetTitle"), cad::Value(std::wstring(L"Getriebegehäuse - Blatt1")));
        EXPECT_EQ(doc.call(L"GetPathName"), cad::Value(cad.state().path));
        EXPECT_EQ(doc.call(L"EditRebuild"), cad::Value(true));
    }
    const State after = cad.state();
    ASSERT_EQ(after.properties.size(), 3u);
    EXPECT_EQ(after.properties[0].value, L"Welle"); // the add did not overwrite
    EXPECT_EQ(after.rebuilds, 1);
    EXPECT_EQ(after.titleBlock.at(0).value, L"Welle");
    EXPECT_EQ(cad.liveObjects(), 0);
}

} // namespace
