// What real installations throw at the program: values of every automation type,
// objects that are not documents, and members that fail in each way a server can.
// Each case ends in either the value automation's coercion gives or one error
// report naming the member; never a crash, hang or leak.

#include "window_fixture.h"

namespace {

using test::ControlId;
using Hostile = test::WindowTest;

enum class Run { Read, Write, StandardValues };

struct Case {
    const char *name;
    std::vector<standin::Override> overrides;
    std::vector<standin::Failure> failures;
    Run run;
    std::wstring shows;     // the designation field afterwards, when no error is expected
    std::wstring reportsOn; // the member the error report names, when one is expected
    std::wstring saying = {};
};

constexpr auto kFailed = static_cast<std::int32_t>(0x80004005);
constexpr auto kLicence = static_cast<std::int32_t>(0x80041001); // a code of the server's own
constexpr SYSTEMTIME kSixthOfDecember{2026, 12, 0, 6};

const Case kCases[] = {
    {"currency", {{L"CustomInfo", L"currency", L"12.34"}}, {}, Run::Read, L"12.34", L""},
    {"64-bit integer", {{L"CustomInfo", L"i8", L"9999999999"}}, {}, Run::Read, L"9999999999", L""},
    {"large double", {{L"CustomInfo", L"r8", L"1.5e20"}}, {}, Run::Read, L"1.5E+20", L""},
    {"small double", {{L"CustomInfo", L"r8", L"-0.00001234"}}, {}, Run::Read, L"-1.234E-05", L""},
    {"gettype as a number in words",
     {{L"gettype", L"text", L" 3.0e0 "}},
     {},
     Run::StandardValues,
     L"Getriebegehäuse - Blatt1",
     L""},
    {"Boolean", {{L"CustomInfo", L"bool", L"true"}}, {}, Run::Read, L"True", L""},
    {"date",
     {{L"CustomInfo", L"date", L"2026-12-06"}},
     {},
     Run::Read,
     test::usersDate(&kSixthOfDecember),
     L""},
    {"empty", {{L"CustomInfo", L"empty", L""}}, {}, Run::Read, L"", L""},
    {"embedded NUL",
     {{L"CustomInfo", L"text", std::wstring(L"vor\0nach", 8)}},
     {},
     Run::Read,
     L"vor",
     L""},
    {"Null", {{L"CustomInfo", L"null", L""}}, {}, Run::Read, L"", L"CustomInfo"},
    {"array", {{L"CustomInfo", L"array", L""}}, {}, Run::Read, L"", L"CustomInfo"},
    {"error value", {{L"CustomInfo", L"error", L"80020004"}}, {}, Run::Read, L"", L"CustomInfo"},
    {"IUnknown only", {{L"CustomInfo", L"unknown", L""}}, {}, Run::Read, L"", L"CustomInfo"},
    {"ActiveDoc without members",
     {{L"ActiveDoc", L"object", L""}},
     {},
     Run::Read,
     L"",
     L"GetPathName"}, // a read asks which document it is first
    {"ActiveDoc a text", {{L"ActiveDoc", L"text", L"Teil1"}}, {}, Run::Read, L"", L"ActiveDoc"},
    {"EditRebuild a word",
     {{L"EditRebuild", L"text", L"fertig"}},
     {},
     Run::Write,
     L"",
     L"EditRebuild"},
    {"gettype as text",
     {{L"gettype", L"text", L"3"}},
     {},
     Run::StandardValues,
     L"Getriebegehäuse - Blatt1",
     L""},
    {"failure with EXCEPINFO",
     {},
     {{L"CustomInfo", kLicence, L"Lizenz abgelaufen"}},
     Run::Read,
     L"",
     L"CustomInfo",
     L"Lizenz abgelaufen\n\nFehlercode: 0x80041001"}, // the server's own words and code
    {"failure without EXCEPINFO",
     {},
     {{L"CustomInfo", kFailed, L"", 0, standin::FaultStyle::Bare}},
     Run::Read,
     L"",
     L"CustomInfo",
     L"0x80004005"},
};

TEST_F(Hostile, EveryOddAnswerGivesItsValueOrOneReportNamingTheMember) {
    open();
    ASSERT_TRUE(test::reachedStandin(files));
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        standin::State state = test::demoDrawing();
        state.overrides = c.overrides;
        state.failures = c.failures;
        files.write(state);
        boxes.seen.clear();
        setText(ControlId::txtSfBenennung, L"Getriebegehäuse");
        click(c.run == Run::Read    ? ControlId::cmdSfAuslesen
              : c.run == Run::Write ? ControlId::cmdSfEintragen
                                    : ControlId::cmdSfDefaultWerte);
        if (c.reportsOn.empty()) {
            EXPECT_TRUE(boxes.seen.empty())
                << (boxes.seen.empty()
                        ? ""
                        : std::string(boxes.seen[0].text.begin(), boxes.seen[0].text.end()));
            EXPECT_EQ(text(ControlId::txtSfBenennung), c.shows);
        } else {
            ASSERT_EQ(boxes.seen.size(), 1u);
            EXPECT_EQ(boxes.seen[0].title, L"blattkopf");
            EXPECT_TRUE(boxes.seen[0].icon);
            EXPECT_NE(boxes.seen[0].text.find(L"\u201E" + c.reportsOn + L"\u201C"),
                      std::wstring::npos);
            EXPECT_NE(boxes.seen[0].text.find(c.saying), std::wstring::npos);
            EXPECT_EQ(text(ControlId::txtSfBenennung), L"Getriebegehäuse")
                << "what the user typed stays";
        }
        EXPECT_TRUE(IsWindow(form->hwnd()));
        EXPECT_EQ(files.liveObjects(), 0);
    }
}

} // namespace
