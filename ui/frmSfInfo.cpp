#include "ui/frmSfInfo.h"

#include "identity.h"
#include "titleblock/operations.h"
#include "ui/about.h"
#include "win32/owners.h"

#include <commctrl.h>

#include <utility>

namespace ui {
namespace {

void registerClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{sizeof(wc)};
    if (GetClassInfoExW(instance, identity::kWindowClass, &wc))
        return;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = identity::kWindowClass;
    RegisterClassExW(&wc);
}

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

using Procedure = void (frmSfInfo::*)();

// The buttons that start an operation, and the window's procedure for each; none
// for any other control.
Procedure procedureOf(int id) {
    constexpr std::pair<ControlId, Procedure> kOperations[] = {
        {ControlId::cmdSfAuslesen, &frmSfInfo::barSfAuslesen},
        {ControlId::cmdSfEintragen, &frmSfInfo::barSfEintragen},
        {ControlId::cmdSfDefaultWerte, &frmSfInfo::barSfStandardwerteAusfüllen},
    };
    for (const auto &[button, procedure] : kOperations)
        if (static_cast<int>(button) == id)
            return procedure;
    return nullptr;
}

} // namespace

frmSfInfo::frmSfInfo(HINSTANCE instance, std::chrono::milliseconds patience,
                     std::chrono::milliseconds startDelay, office::PolicyPlaces policies)
    : instance_(instance), startDelay_(startDelay), policies_(std::move(policies)),
      runner_(patience) {
    registerClass(instance_, &frmSfInfo::windowProc);
}

frmSfInfo::~frmSfInfo() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void frmSfInfo::show(int showCommand) {
    // The office's list is read from the very start, beside everything else the load
    // does: a share may keep it a moment.
    office::ConfigurationReading reading(instance_, policies_);
    // And the CAD program is asked for its object while the window is made.
    runner_.setStartsCad(reading.startsCad());
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CreateWindowExW(WS_EX_CONTROLPARENT, identity::kWindowClass, identity::kTitle, kWindowStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                    instance_, this);
    if (!hwnd_)
        return;
    // It gives way to every message of the load, and goes once this window has taken
    // the foreground from it.
    StartWindow start(instance_, startDelay_);
    runner_.setStartWindow(&start);
    load(start, reading);
    // Activation may come later than ShowWindow returns; it then restores this.
    lastFocus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    // As the user's shortcut says: the start window leaves the show state to this one.
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(lastFocus_);
    // Taken from the start window while it still shows, which the foreground rules allow;
    // once it went, the system would have given the foreground to another program.
    if (!IsIconic(hwnd_))
        SetForegroundWindow(hwnd_);
    runner_.setStartWindow(nullptr);
}

bool frmSfInfo::preTranslate(MSG &message) {
    return runner_.dropInput(message) || IsDialogMessageW(hwnd_, &message);
}

LRESULT CALLBACK frmSfInfo::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *self = reinterpret_cast<frmSfInfo *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<frmSfInfo *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        self->runner_.attach(hwnd, [self](int id) { self->runCommand(id); });
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT frmSfInfo::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (runner_.handle(message, wParam, lParam))
        return message == WM_SETCURSOR;
    switch (message) {
    case WM_CREATE:
        createControls();
        layout(GetDpiForWindow(hwnd_));
        // Alt+Space: who the program is, for support, without a change to the layout.
        if (const HMENU system = GetSystemMenu(hwnd_, FALSE)) {
            AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(system, MF_STRING, kAboutCommand, kAboutItem);
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != kAboutCommand)
            break;
        MessageBoxW(hwnd_, aboutText(designers_.source).c_str(), L"\u00DCber blattkopf",
                    MB_OK | MB_ICONINFORMATION);
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        if (runner_.running())
            return 0; // the operation ends first; its questions offer a way out
        break;
    case WM_CTLCOLORSTATIC:
        if (const ControlSpec *spec = find(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            spec && spec->role == Role::Heading) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(255, 0, 0));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_ACTIVATE:
        // A plain window must keep its own focus across message boxes and task switches.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
        } else if (lastFocus_ && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DPICHANGED:
        win32::moveToSuggested(hwnd_, lParam);
        layout(HIWORD(wParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void frmSfInfo::load(StartWindow &start, office::ConfigurationReading &reading) {
    barSfAuslesen();
    if (!reading.done())
        start.resume(); // after a box of the read, while the list still keeps the load
    const office::Configuration configuration = reading.take();
    designers_ = configuration.designers;
    start.finish();
    for (const std::wstring &warning : configuration.warnings)
        warn(warning);
    const HWND combo = control(ControlId::cmbSfKonstrukteur);
    for (const std::wstring &designer : designers_.names)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(designer.c_str()));
    // The office may choose the boxes' first state; without a policy they stay checked.
    for (const auto &[box, checked] : {std::pair{ControlId::chkGenProp, configuration.genProp},
                                       std::pair{ControlId::chkRebuild, configuration.rebuild}})
        if (checked)
            SendMessageW(control(box), BM_SETCHECK, *checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void frmSfInfo::onCommand(int id, UINT code) {
    const ControlSpec *spec = find(id);
    if (spec && spec->role == Role::Field && (code == EN_SETFOCUS || code == CBN_SETFOCUS)) {
        berTxtSelAll();
        return;
    }
    // One operation at a time: while one runs (waiting on the server, or with its
    // message box open) the window paints but starts nothing.
    if (!spec || code != BN_CLICKED || runner_.running())
        return; // Enter and Esc arrive as IDOK and IDCANCEL: no button answers them
    if (procedureOf(id)) {
        runner_.request(id); // not inside this message, which another program may have sent
        return;
    }
    switch (spec->id) {
    case ControlId::cmdAutoDate:
        setFieldText(titleblock::Field::Datum, today());
        break;
    case ControlId::cmdExit:
        DestroyWindow(hwnd_);
        break;
    default:
        break;
    }
}

void frmSfInfo::runCommand(int id) {
    if (const Procedure procedure = procedureOf(id))
        (this->*procedure)();
}

void frmSfInfo::barSfAuslesen() {
    runner_.run(&titleblock::read, *this);
}

void frmSfInfo::barSfEintragen() {
    runner_.run(&titleblock::write, *this);
}

void frmSfInfo::barSfStandardwerteAusfüllen() {
    runner_.run(&titleblock::fillStandardValues, *this);
}

void frmSfInfo::berTxtSelAll() {
    const HWND focused = GetFocus();
    SendMessageW(focused, EM_SETSEL, 0, 0);
    SendMessageW(focused, EM_SETSEL, 0, GetWindowTextLengthW(focused));
}

} // namespace ui
