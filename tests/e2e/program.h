#pragma once

// blattkopf.exe running in its own process, seen and driven from outside
// through window messages only, as a user's keyboard and eyes would.

#include "layout.h"
#include "process_windows.h"

#include <windows.h>

#include <string>

namespace test {

class Program {
public:
    Program();  // starts blattkopf.exe from beside this test program
    ~Program(); // ends it if it is still running
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    HWND window() const;        // the main window, once it is visible
    HWND messageBox() const;    // the program's open message box, if any
    HWND control(ui::ControlId id) const { return GetDlgItem(window(), static_cast<int>(id)); }
    HWND focus() const;

    std::wstring text(ui::ControlId id) const { return windowText(control(id)); }

    void key(UINT virtualKey) const; // pressed and released where the focus is, a message box too
    void altKey(wchar_t letter) const;
    void type(const std::wstring &characters) const; // into the main window's focused control
    void click(ui::ControlId id) const;

    bool exited(DWORD *exitCode = nullptr) const;

private:
    HWND focusedControl() const;

    PROCESS_INFORMATION process_{};
};

std::wstring today();

} // namespace test
