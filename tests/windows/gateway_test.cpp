// The automation gateway through real COM, against the stand-in server
// registered under the CAD program's ProgID.

#include "cad/com.h"
#include "cad/convert.h"
#include "cad/error.h"
#include "cad/variant.h"
#include "cad/waiting.h"
#include "error_of.h"
#include "process_windows.h"
#include "standin/standin_identity.h"
#include "standin_files.h"
#include "standin_guard.h"
#include "standin_server.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <vector>

namespace {

using namespace std::string_literals;

class Gateway : public ::testing::Test {
protected:
    void SetUp() override {
        files.write(test::demoDrawing());
        EXPECT_TRUE(test::ensureServer());
        files.clearJournal();
    }
    void TearDown() override {
        EXPECT_TRUE(test::closeServers());
        EXPECT_EQ(files.liveObjects(), 0) << "an automation object was not released";
    }

    cad::Object document(const cad::Object &application) const {
        return *cad::toObject(application.get(L"ActiveDoc"), L"ActiveDoc");
    }

    cad::ComApartment apartment;
    test::StandinFiles files;
};

TEST_F(Gateway, CustomInfoRoundTripsAnyTextExactlyLookingUpEachMemberOncePerObject) {
    const std::wstring texts[] = {L""s, L"Keine Datei geöffnet – Größe ÄÖÜ ß"s, L"Zahnrad 😀 𝔸"s,
                                  std::wstring(100'000, L'x') + L"Ende"s,
                                  L"  leading and trailing  "s};
    for (const std::wstring &text : texts) {
        {
            const cad::Object app = cad::createObject(standin::kProgId);
            ASSERT_TRUE(test::reachedStandin(files));
            document(app).put(L"CustomInfo", {L"Benennung"s, text});
        }
        EXPECT_EQ(files.state().properties.at(0).value, text);
        const cad::Object app = cad::createObject(standin::kProgId);
        const cad::Object doc = document(app);
        EXPECT_EQ(cad::toText(doc.get(L"CustomInfo", {L"Benennung"s}), L"CustomInfo"), text);
        EXPECT_EQ(cad::toText(doc.get(L"CustomInfo", {L"Datum"s}), L"CustomInfo"), L"03.12.2026");
    }
    // A member is looked up once per object: once for each put, once for each pair of gets.
    EXPECT_EQ(files.count(L"lookup Document CustomInfo"), 2 * static_cast<int>(std::size(texts)));
}

TEST_F(Gateway, AServerThatCannotStartIsReportedByItsProgIdAndABrokenStateAtTheFirstCall) {
    standin::State state = test::demoDrawing();
    // The program's own answer, not what a class in a DLL would have said: access denied
    // tells an administrator that the CAD program runs elevated.
    for (const std::uint32_t code : {0x80040154u, 0x80070005u}) {
        state.refuseCreate = standin::Fault{static_cast<std::int32_t>(code), L"verweigert"};
        files.write(state);
        const cad::Error refused = test::errorOf([] { cad::createObject(standin::kProgId); });
        EXPECT_EQ(refused.member(), standin::kProgId);
        EXPECT_EQ(static_cast<std::uint32_t>(refused.code()), code);
    }

    files.writeRaw(standin::formatState(test::demoDrawing()) + "document maybe\n");
    const cad::Error broken =
        test::errorOf([] { cad::createObject(standin::kProgId).put(L"Visible", {true}); });
    EXPECT_EQ(broken.member(), L"Visible");
    EXPECT_NE(broken.description().find(files.statePath() + L" line "), std::wstring::npos)
        << std::string(broken.description().begin(), broken.description().end());

    const cad::Error missing = test::errorOf([] { cad::createObject(L"NoSuchCad.Application"); });
    EXPECT_EQ(missing.member(), L"NoSuchCad.Application");
}

// A ProgID may name a class in a DLL, apartment-threaded as most are: it is made in
// this apartment, where its calls are made, and works like the CAD program's.
// Asked for ahead of time too, as the window does while it is made.
TEST_F(Gateway, AClassInADllIsMadeWhereItIsCalled) {
    for (const bool ahead : {false, true}) {
        const cad::Object shell =
            cad::createObject(L"Shell.Application", {},
                              ahead ? cad::HeadStart(L"Shell.Application") : cad::HeadStart());
        const std::optional<cad::Object> folder =
            cad::toObject(shell.call(L"NameSpace", {L"C:\\"s}), L"NameSpace");
        ASSERT_TRUE(folder) << ahead;
        EXPECT_FALSE(cad::toText(folder->get(L"Title"), L"Title").empty());
    }
}

// A program that was started and did not come up is started again only when the
// user says so: once for "Wiederholen", never after "Abbrechen"; also when it was
// asked for ahead of time.
TEST_F(Gateway, AProgramThatFailsToStartIsStartedAgainOnlyWhenTheUserSaysSo) {
    standin::State failing = test::demoDrawing();
    failing.refuseCreate =
        standin::Fault{static_cast<std::int32_t>(0x80080005), L"Start fehlgeschlagen"};
    files.write(failing);
    for (const bool ahead : {false, true}) {
        files.clearJournal();
        int asked = 0;
        cad::Patience patience{std::chrono::seconds(1)};
        patience.retryStart = [&] { return ++asked == 1; };
        EXPECT_THROW(cad::createObject(standin::kProgId, patience,
                                       ahead ? cad::HeadStart(standin::kProgId) : cad::HeadStart()),
                     cad::Cancelled);
        EXPECT_EQ(asked, 2) << ahead;
        EXPECT_EQ(files.count(L"refuse CreateInstance"), 2) << ahead;
    }
}

// The question about a silent call comes a whole patience after the last answer,
// and one that cannot be asked stops the call rather than leave it waiting unasked.
TEST(Waiting, AsksAgainAPatienceAfterTheAnswerAndStopsWhenItCannotAsk) {
    const cad::ComApartment apartment;
    constexpr DWORD kHour = 3'600'000;
    int asked = 0;
    cad::com::Waiting waiting(
        cad::Patience{std::chrono::hours(1), {}, [&] { return ++asked > 0; }});
    EXPECT_EQ(waiting.pending(kHour), DWORD{PENDINGMSG_WAITDEFPROCESS});
    EXPECT_EQ(waiting.pending(kHour + 100), DWORD{PENDINGMSG_WAITDEFPROCESS});
    EXPECT_EQ(asked, 1) << "asked again right after the answer";

    cad::com::Waiting failing(cad::Patience{
        std::chrono::hours(1), {}, []() -> bool { throw std::runtime_error("no box"); }});
    EXPECT_EQ(failing.pending(kHour), DWORD{PENDINGMSG_CANCELCALL});
    EXPECT_THROW(failing.call([] { return S_OK; }), cad::Cancelled);
}

// Started by COM the stand-in stays hidden and ends with its last object; made
// visible it belongs to the user and stays until its window is closed. One that
// is slow to start is waited for, not started twice.
// The guard of every writing test: a connection that led to another program than
// the stand-in leaves its journal empty, and the test stops before it writes.
TEST_F(Gateway, AConnectionThatLedElsewhereIsToldApartFromOneToTheStandin) {
    const cad::Object elsewhere = cad::createObject(L"Scripting.Dictionary");
    EXPECT_FALSE(test::reachedStandin(files));
}

TEST_F(Gateway, AServerStartedByComIsWaitedForAndEndsWithItsLastObjectUnlessMadeVisible) {
    ASSERT_TRUE(test::closeServers());
    standin::State slow = test::demoDrawing();
    slow.slowStartMs = 3000;
    files.write(slow);
    files.clearJournal();
    cad::createObject(standin::kProgId).get(L"Visible");
    ASSERT_TRUE(test::waitUntil([&] { return files.count(L"exit process") == 1; }));
    EXPECT_EQ(files.serverStarts().size(), 1u);

    files.write(test::demoDrawing());
    cad::createObject(standin::kProgId).put(L"Visible", {true});
    cad::createObject(standin::kProgId).get(L"Visible");
    const std::vector<std::wstring> starts = files.serverStarts();
    ASSERT_EQ(starts.size(), 2u); // the visible one served the last client
    for (const std::wstring &line : starts) {
        EXPECT_TRUE(line.ends_with(L" by COM")) << std::string(line.begin(), line.end());
        EXPECT_NE(std::stoul(line.substr(14)), GetCurrentProcessId());
    }
    // Its own window: the first one's may still be there while that process ends.
    EXPECT_TRUE(test::visibleWindowOf(std::stoul(starts[1].substr(14)), standin::kWindowClass));
    EXPECT_EQ(files.count(L"exit process"), 1);
}

// An automation object of this thread, so that no marshalling stands between it
// and the gateway: it counts its references, and fails every call as a server that
// fills its error in only when asked (EXCEPINFO's deferred fill-in), which Wine
// cannot carry across processes.
class LateFailing final : public IDispatch {
public:
    static constexpr auto kCode = static_cast<HRESULT>(0x80041002);

    LONG references = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (riid != IID_IUnknown && riid != IID_IDispatch)
            return *object = nullptr, E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *ids) override {
        return ids[0] = 1, S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *exception, UINT *) override {
        if (!exception)
            return DISP_E_MEMBERNOTFOUND; // asked for its value, as a coercion does
        *exception = EXCEPINFO{};
        exception->pfnDeferredFillIn = &fillIn;
        return DISP_E_EXCEPTION;
    }
    static HRESULT STDAPICALLTYPE fillIn(EXCEPINFO *info) {
        info->scode = kCode;
        info->bstrDescription = SysAllocString(L"erst auf Nachfrage beschrieben");
        return S_OK;
    }
};

TEST(GatewayInProcess, AnErrorFilledInLateIsReportedInTheServersWordsAndEveryReferenceIsReturned) {
    const cad::ComApartment apartment;
    LateFailing server;
    const cad::Error late = test::errorOf([&] { cad::adopt(&server).put(L"Visible", {true}); });
    EXPECT_EQ(late.code(), LateFailing::kCode);
    EXPECT_EQ(late.description(), L"erst auf Nachfrage beschrieben");
    EXPECT_EQ(late.member(), L"Visible");
    EXPECT_EQ(server.references, 0) << "the gateway kept a reference";
}

// What the CAD program's answer is taken for, "done" or "not done", matches what
// automation itself makes of it as a Boolean, for every type an answer can have:
// the same truth, or none where automation refuses the coercion.
TEST(GatewayInProcess, AnAnswerCountsAsTrueOrFalseExactlyWhereAutomationSaysSo) {
    const cad::ComApartment apartment;
    LateFailing object; // an object whose value cannot be read
    const auto make = [](VARTYPE type, const auto &set) {
        cad::com::Variant v;
        v.get()->vt = type;
        set(*v.get());
        return v;
    };
    const auto text = [&](const wchar_t *s) {
        return make(VT_BSTR, [&](VARIANT &v) { v.bstrVal = SysAllocString(s); });
    };
    std::vector<std::pair<std::string, cad::com::Variant>> rows;
    rows.emplace_back("Empty", make(VT_EMPTY, [](VARIANT &) {}));
    rows.emplace_back("Null", make(VT_NULL, [](VARIANT &) {}));
    rows.emplace_back("True", make(VT_BOOL, [](VARIANT &v) { v.boolVal = VARIANT_TRUE; }));
    rows.emplace_back("False", make(VT_BOOL, [](VARIANT &v) { v.boolVal = VARIANT_FALSE; }));
    rows.emplace_back("short 0", make(VT_I2, [](VARIANT &v) { v.iVal = 0; }));
    rows.emplace_back("long -1", make(VT_I4, [](VARIANT &v) { v.lVal = -1; }));
    rows.emplace_back("byte 2", make(VT_UI1, [](VARIANT &v) { v.bVal = 2; }));
    rows.emplace_back("64 bits", make(VT_I8, [](VARIANT &v) { v.llVal = 1LL << 40; }));
    rows.emplace_back("float 0.25", make(VT_R4, [](VARIANT &v) { v.fltVal = 0.25f; }));
    rows.emplace_back("double 0", make(VT_R8, [](VARIANT &v) { v.dblVal = 0; }));
    rows.emplace_back("currency 0", make(VT_CY, [](VARIANT &v) { v.cyVal.int64 = 0; }));
    rows.emplace_back("currency 1.5", make(VT_CY, [](VARIANT &v) { v.cyVal.int64 = 15'000; }));
    rows.emplace_back("date 0", make(VT_DATE, [](VARIANT &v) { v.date = 0; }));
    rows.emplace_back("a date", make(VT_DATE, [](VARIANT &v) { v.date = 46365.5; }));
    for (const std::wstring s : {L"0", L" 1 ", L"0.4", L"1e3", L"True", L"false", L"fertig", L""})
        rows.emplace_back("text \"" + std::string(s.begin(), s.end()) + "\"", text(s.c_str()));
    rows.emplace_back("error", make(VT_ERROR, [](VARIANT &v) { v.scode = DISP_E_PARAMNOTFOUND; }));
    rows.emplace_back("no object", make(VT_DISPATCH, [](VARIANT &v) { v.pdispVal = nullptr; }));
    rows.emplace_back("object", make(VT_DISPATCH, [&](VARIANT &v) {
                          v.pdispVal = &object;
                          object.AddRef();
                      }));
    for (auto &[name, row] : rows) {
        cad::com::Variant coerced;
        const bool coerces = SUCCEEDED(VariantChangeType(coerced.get(), row.get(), 0, VT_BOOL));
        const std::optional<bool> automation =
            coerces ? std::optional(coerced.get()->boolVal != VARIANT_FALSE) : std::nullopt;
        const cad::Value value =
            cad::com::fromVariant(*row.get(), [](IDispatch *d) { return cad::adopt(d); });
        EXPECT_EQ(cad::toBoolean(value), automation) << name;
    }
}

} // namespace
