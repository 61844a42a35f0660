#pragma once

#include "titleblock/document.h"
#include "titleblock/form.h"
#include "ui/fonts.h"
#include "ui/input_time.h"
#include "ui/layout.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace ui {

// The program's one window. It owns the controls and runs the title-block
// operations on the clicks; every failure is reported here and the window stays.
class frmSfInfo final : public titleblock::Form {
public:
    static constexpr const wchar_t *kClassName = L"blattkopf.frmSfInfo";

    // Connects to the automation server registered under `progId`, bearing with a
    // busy or silent one for `patience` before asking the user.
    frmSfInfo(HINSTANCE instance, std::wstring progId, std::chrono::milliseconds patience);
    frmSfInfo(const frmSfInfo &) = delete;
    frmSfInfo &operator=(const frmSfInfo &) = delete;
    ~frmSfInfo();

    // Creates the window, runs its load event while it is still hidden, then shows it.
    void show(int showCommand);

    HWND hwnd() const { return hwnd_; }
    // For the message loop, before it translates and dispatches a message: true when
    // the window took care of it. Keys and clicks made while an operation ran are
    // dropped here, whenever they turn up; the dialog manager takes the keyboard.
    bool preTranslate(MSG &message);
    HWND control(ControlId id) const { return GetDlgItem(hwnd_, static_cast<int>(id)); }

    void barSfAuslesen();
    void barSfEintragen();
    void barSfStandardwerteAusfüllen();
    void berTxtSelAll();

    // titleblock::Form
    std::wstring fieldText(titleblock::Field field) const override;
    void setFieldText(titleblock::Field field, const std::wstring &text) override;
    std::int16_t optionValue(titleblock::Option option) const override;
    void inform(const std::wstring &message) override;
    void warn(const std::wstring &message) override;
    std::wstring today() const override;

private:
    static constexpr UINT kOperationEnded = WM_APP;
    static constexpr UINT kRunOperation = WM_APP + 1; // the button's id; operations run before

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void load();
    void layout(UINT dpi);
    void onCommand(int id, UINT code);
    void runCommand(ControlId id);

    // operation.cpp: one operation at a time, and what the window says meanwhile.
    void run(void (*operation)(titleblock::Form &, const titleblock::Connect &));
    void report(const std::wstring &message);
    bool askToRetry();
    bool askToKeepWaiting();
    int messageBox(const std::wstring &text, const wchar_t *title, UINT style);

    HINSTANCE instance_;
    titleblock::Connect connect_;
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;   // restored when the window is activated again
    bool running_ = false;       // an operation is under way
    unsigned operationsRun_ = 0; // operations started so far
    DWORD operationStart_ = 0;   // when the one under way was asked for, as input is timed
    std::optional<Stretch> lastOperation_; // input made during it is dropped
    Faces faces_;
};

} // namespace ui
