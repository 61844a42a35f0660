#pragma once

// The real window in this process, against the stand-in server through real COM,
// with every message box answered and noted.

#include "cad/com.h"
#include "designed.h"
#include "identity.h"
#include "message_boxes.h"
#include "office_files.h"
#include "process_windows.h"
#include "real_input.h"
#include "standin_files.h"
#include "standin_guard.h"
#include "standin_server.h"
#include "ui/frmSfInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace test {

using ui::ControlId;

// The day, today unless given, as the user writes a short date.
inline std::wstring usersDate(const SYSTEMTIME *day = nullptr) {
    wchar_t date[64];
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, day, nullptr, date, 64, nullptr);
    return date;
}

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        form.reset();
        EXPECT_TRUE(test::closeServers());
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(files.liveObjects(), 0) << "an automation object was not released";
    }

    void open(const standin::State &state = test::demoDrawing()) {
        files.write(state);
        EXPECT_TRUE(test::ensureServer());
        // A second of patience with a busy or silent server, where the program has ten;
        // a load that has not ended in ten seconds has not ended in time.
        form = std::make_unique<ui::frmSfInfo>(GetModuleHandleW(nullptr), std::chrono::seconds(1),
                                               std::chrono::seconds(10), policies.places());
        form->show(SW_SHOWNORMAL);
        EXPECT_TRUE(test::toFront(form->hwnd()));
        pump();
    }

    // What the program's message loop does with whatever is queued.
    void pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                quit = true;
            else if (!form || !form->hwnd() || !form->preTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    HWND control(ControlId id) const { return form->control(id); }
    std::wstring text(ControlId id) const { return test::windowText(control(id)); }
    void setText(ControlId id, const std::wstring &s) { SetWindowTextW(control(id), s.c_str()); }
    void click(ControlId id) {
        SendMessageW(control(id), BM_CLICK, 0, 0);
        pump();
    }
    std::vector<std::wstring> designers() const {
        std::vector<std::wstring> items;
        const HWND combo = control(ControlId::cmbSfKonstrukteur);
        for (LRESULT i = 0, n = SendMessageW(combo, CB_GETCOUNT, 0, 0); i < n; ++i) {
            std::wstring item(
                static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
            item.resize(static_cast<std::size_t>(
                SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
            items.push_back(item);
        }
        return items;
    }
    std::pair<DWORD, DWORD> selection(HWND edit) const {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    std::vector<std::wstring> fields() const { return test::fieldTexts(form->hwnd()); }

    cad::ComApartment apartment;
    test::TestPolicies policies; // none, unless a test sets them
    test::StandinFiles files;
    test::MessageBoxes boxes{identity::kWindowClass};
    std::unique_ptr<ui::frmSfInfo> form;
    bool quit = false;
};

} // namespace test
