#pragma once

#include "cad/patience.h"
#include "office/configuration.h"
#include "office/designers.h"
#include "office/policies.h"
#include "titleblock/form.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/operation_runner.h"
#include "ui/start_window.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace ui {

// The program's one window. It owns the controls and runs the title-block
// operations on the clicks; every failure is reported and the window stays.
class frmSfInfo final : public titleblock::Form {
public:
    // Bears with a busy or silent CAD program for `patience` before asking the user;
    // a load that has taken `startDelay` shows the start window. The load reads the
    // office's policies from `policies`.
    explicit frmSfInfo(HINSTANCE instance, std::chrono::milliseconds patience = cad::kPatience,
                       std::chrono::milliseconds startDelay = kStartWindowDelay,
                       office::PolicyPlaces policies = office::systemPolicies());
    frmSfInfo(const frmSfInfo &) = delete;
    frmSfInfo &operator=(const frmSfInfo &) = delete;
    ~frmSfInfo();

    // Creates the window, runs its load event while it is still hidden, then shows it.
    void show(int showCommand);

    HWND hwnd() const { return hwnd_; }
    // For the message loop, before it translates and dispatches a message: true when
    // the window took care of it. Input made while an operation ran is dropped here;
    // the dialog manager takes the keyboard.
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
    bool ask(const std::wstring &question) override;
    std::wstring today() const override;
    std::wstring standardDesigner() const override;
    std::optional<titleblock::Source> fieldsSource() const override;
    void setFieldsSource(const titleblock::Source &source) override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void load(StartWindow &start, office::ConfigurationReading &reading);
    void layout(UINT dpi);
    void onCommand(int id, UINT code);
    void runCommand(int id);

    HINSTANCE instance_;
    std::chrono::milliseconds startDelay_;
    office::PolicyPlaces policies_;
    HWND hwnd_ = nullptr;
    std::optional<titleblock::Source> fieldsSource_;
    office::Designers designers_; // read once, at load
    HWND lastFocus_ = nullptr;    // restored when the window is activated again
    OperationRunner runner_;
    Faces faces_;
};

} // namespace ui
