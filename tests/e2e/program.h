#pragma once

// blattkopf.exe running in its own process, seen from outside through window
// messages and driven with real input, as a user's eyes and hands would.

#include "identity.h"
#include "process_windows.h"
#include "real_input.h"
#include "ui/layout.h"
#include "ui/start_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

namespace test {

class Program {
public:
    // Starts blattkopf.exe from beside this test program, as a shortcut with the show
    // command, if given, would.
    explicit Program(std::optional<WORD> showCommand = {})
        : process_(besideThisProgram(L"blattkopf.exe"), showCommand) {
        EXPECT_TRUE(process_.started()) << "blattkopf.exe did not start: " << GetLastError();
    }
    ~Program() { process_.terminate(); }
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The main window, once it is visible; the program's open message box, if any.
    HWND window() const { return visibleWindowOf(process_.id(), identity::kWindowClass); }
    HWND messageBox() const { return visibleWindowOf(process_.id(), L"#32770"); }
    // The window that shows while a slow start holds up the load.
    HWND startWindow() const { return visibleWindowOf(process_.id(), ui::kStartWindowClass); }
    HWND control(ui::ControlId id) const { return GetDlgItem(window(), static_cast<int>(id)); }
    std::wstring text(ui::ControlId id) const { return windowText(control(id)); }
    HWND focus() const {
        GUITHREADINFO info{sizeof(info)};
        GetGUIThreadInfo(process_.threadId(), &info);
        return info.hwndFocus;
    }

    // Once an operation has made its last call, waits until the window takes commands
    // again: it ignores them while an operation runs, and drops the input that came
    // meanwhile before it takes the next. Probed with the date button's command; the
    // date field is put back as it was.
    bool idle() const {
        const HWND date = control(ui::ControlId::txtSfDatum);
        const std::wstring before = windowText(date);
        SendMessageW(date, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        const bool taken = waitUntil([&] {
            SendMessageW(window(), WM_COMMAND,
                         MAKEWPARAM(static_cast<int>(ui::ControlId::cmdAutoDate), BN_CLICKED),
                         reinterpret_cast<LPARAM>(control(ui::ControlId::cmdAutoDate)));
            return !windowText(date).empty();
        });
        SendMessageW(date, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
        return taken;
    }

    // The hidden window through which COM reaches its window's thread, which stays
    // until the program ends.
    HWND apartmentWindow() const {
        for (HWND w = nullptr;
             (w = FindWindowExW(HWND_MESSAGE, w, L"OleMainThreadWndClass", nullptr)) != nullptr;) {
            DWORD owner = 0;
            if (GetWindowThreadProcessId(w, &owner) == process_.threadId())
                return w;
        }
        return nullptr;
    }

    const Process &process() const { return process_; }

private:
    Process process_;
};

} // namespace test
