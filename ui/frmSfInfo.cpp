#include "ui/frmSfInfo.h"

#include "cad/com.h"
#include "cad/error.h"
#include "titleblock/operations.h"
#include "ui/designers.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <exception>

namespace ui {
namespace {

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring errorReport(const cad::Error &error) {
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"0x%08X", static_cast<unsigned>(error.code()));
    const std::wstring failure = L"Der Aufruf \u201E" + error.member() + L"\u201C ist fehlgeschlagen:\n\n" +
                                 error.description() + L"\n\nFehlercode: " + code;
    return error.connectionLost() ? L"Die Verbindung zum CAD-Programm ist abgebrochen.\n\n" + failure : failure;
}

void registerClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{sizeof(wc)};
    if (GetClassInfoExW(instance, frmSfInfo::kClassName, &wc))
        return;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = frmSfInfo::kClassName;
    RegisterClassExW(&wc);
}

// Keys and clicks made while an operation runs wait in the queue: every wait for
// the CAD program lets only painting through. Run later, they would start an
// operation again, type into a field late or answer a question unread. The wait
// cursor said "not now".
void dropInput() {
    MSG input;
    while (PeekMessageW(&input, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
    }
}

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

} // namespace

frmSfInfo::frmSfInfo(HINSTANCE instance, std::wstring progId, std::chrono::milliseconds patience)
    : instance_(instance), connect_([this, progId = std::move(progId), patience] {
          return cad::createObject(progId, {patience, [this] { return askToRetry(); },
                                            [this] { return askToKeepWaiting(); }});
      }) {
    registerClass(instance_, &frmSfInfo::windowProc);
}

frmSfInfo::~frmSfInfo() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void frmSfInfo::show(int showCommand) {
    CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Blatkopf Informationen", kWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    if (!hwnd_)
        return;
    load();
    // Activation may come later than ShowWindow returns; it then restores this.
    lastFocus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(lastFocus_);
}

LRESULT CALLBACK frmSfInfo::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *self = reinterpret_cast<frmSfInfo *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<frmSfInfo *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
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
    switch (message) {
    case WM_CREATE:
        createControls();
        layout(GetDpiForWindow(hwnd_));
        return 0;
    case WM_COMMAND:
        onCommand(static_cast<ControlId>(LOWORD(wParam)), HIWORD(wParam));
        return 0;
    case WM_SETCURSOR:
        if (running_) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        if (running_)
            return 0; // the operation ends first; a busy server's box offers Cancel
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == control(ControlId::Label6)) {
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
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        layout(HIWORD(wParam));
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void frmSfInfo::createControls() {
    const HWND tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                               0, hwnd_, nullptr, instance_, nullptr);
    for (const ControlSpec &spec : kControls) {
        const DWORD exStyle = spec.className == std::wstring_view(L"EDIT") ? WS_EX_CLIENTEDGE : 0;
        const HWND child = CreateWindowExW(exStyle, spec.className, spec.text, WS_CHILD | WS_VISIBLE | spec.style,
                                           0, 0, 0, 0, hwnd_,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_,
                                           nullptr);
        if (spec.tooltip) {
            TTTOOLINFOW tool{sizeof(tool)};
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = hwnd_;
            tool.uId = reinterpret_cast<UINT_PTR>(child);
            tool.lpszText = const_cast<wchar_t *>(spec.tooltip);
            SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    // A drop-down combo box ignores its creation text.
    SetWindowTextW(control(ControlId::cmbSfKonstrukteur), L"Combo1");
    // Values of any length are shown whole and written back unchanged.
    for (const ControlId id : {ControlId::txtSfBenennung, ControlId::txtSfZeichnungsnummer, ControlId::txtSfDatum})
        SendMessageW(control(id), EM_SETLIMITTEXT, 0, 0);
    SendMessageW(control(ControlId::cmbSfKonstrukteur), CB_LIMITTEXT, 0, 0);
    // Create mode and automatic rebuild work on any document: the safe defaults.
    for (const ControlId id : {ControlId::chkGenProp, ControlId::chkRebuild})
        SendMessageW(control(id), BM_SETCHECK, BST_CHECKED, 0);
}

void frmSfInfo::layout(UINT dpi) {
    font_ = dialogFont(dpi);
    // Tahoma 14.25 pt, bold italic.
    headingFont_.reset(CreateFontW(-MulDiv(1425, static_cast<int>(dpi), 7200), 0, 0, 0, FW_BOLD, TRUE, FALSE,
                                   FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));

    // The frame as it is now, whatever DPI the system drew it for.
    RECT frame, client;
    GetWindowRect(hwnd_, &frame);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, 0, 0,
                 twipsToPixels(kClientTwips.cx, dpi) + (frame.right - frame.left) - client.right,
                 twipsToPixels(kClientTwips.cy, dpi) + (frame.bottom - frame.top) - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (const ControlSpec &spec : kControls) {
        const HWND child = control(spec.id);
        const HFONT font = spec.id == ControlId::Label6 ? headingFont_.get() : font_.get();
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const int left = twipsToPixels(spec.twips.left, dpi);
        const int top = twipsToPixels(spec.twips.top, dpi);
        const int width = twipsToPixels(spec.twips.right, dpi) - left;
        int height = twipsToPixels(spec.twips.bottom, dpi) - top;
        if (spec.id == ControlId::cmbSfKonstrukteur) {
            // The closed box keeps the table's height; the window height is the open list's.
            const int border = GetSystemMetricsForDpi(SM_CYEDGE, dpi) + GetSystemMetricsForDpi(SM_CYBORDER, dpi);
            SendMessageW(child, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - 2 * border);
            height *= 1 + static_cast<int>(kDesigners.size());
        }
        SetWindowPos(child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// The twips table was drawn for the classic dialog face at 8 pt, and its labels are
// exactly as wide as their captions in it; the message font of the day (Segoe UI
// 9 pt on Windows 10 and 11) would cut them off. The face comes in bitmap sizes,
// one set for the system's resolution: where the size nearest 8 pt runs wider or
// taller at this resolution, the next smaller is taken, and where none fits (a
// window moved to a screen of far lower resolution) the face's scalable cousin.
UniqueFont frmSfInfo::dialogFont(UINT dpi) const {
    const HDC dc = GetDC(hwnd_);
    const HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
    const auto fits = [&] {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        return std::all_of(kControls.begin(), kControls.end(), [&](const ControlSpec &spec) {
            SIZE size{};
            const bool label = spec.className == std::wstring_view(L"STATIC") && spec.id != ControlId::Label6;
            return !label || (GetTextExtentPoint32W(dc, spec.text, static_cast<int>(std::wcslen(spec.text)), &size) &&
                              size.cx <= twipsToPixels(spec.twips.right, dpi) - twipsToPixels(spec.twips.left, dpi) &&
                              metrics.tmHeight <= twipsToPixels(spec.twips.bottom, dpi) - twipsToPixels(spec.twips.top, dpi));
        });
    };
    UniqueFont font;
    const auto choose = [&] {
        for (const wchar_t *face : {L"MS Sans Serif", L"Microsoft Sans Serif"})
            for (int height = MulDiv(8, static_cast<int>(dpi), 72); height >= MulDiv(6, static_cast<int>(dpi), 72);
                 --height) {
                font.reset(CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_SWISS, face));
                SelectObject(dc, font.get());
                if (fits())
                    return;
            }
    };
    choose();
    SelectObject(dc, original);
    ReleaseDC(hwnd_, dc);
    return font;
}

void frmSfInfo::load() {
    barSfAuslesen();
    const HWND combo = control(ControlId::cmbSfKonstrukteur);
    for (const wchar_t *designer : kDesigners)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(designer));
}

void frmSfInfo::onCommand(ControlId id, UINT code) {
    const bool editGotFocus = code == EN_SETFOCUS && (id == ControlId::txtSfBenennung ||
                                                      id == ControlId::txtSfZeichnungsnummer ||
                                                      id == ControlId::txtSfDatum);
    if (editGotFocus || (code == CBN_SETFOCUS && id == ControlId::cmbSfKonstrukteur)) {
        berTxtSelAll();
        return;
    }
    // One operation at a time: while one runs (waiting on the server, or with its
    // message box open) the window paints but starts nothing.
    if (code != BN_CLICKED || running_)
        return;
    switch (id) {
    case ControlId::cmdSfAuslesen: barSfAuslesen(); break;
    case ControlId::cmdSfEintragen: barSfEintragen(); break;
    case ControlId::cmdSfDefaultWerte: barSfStandardwerteAusfüllen(); break;
    case ControlId::cmdAutoDate: setFieldText(titleblock::Field::Datum, today()); break;
    case ControlId::cmdExit: DestroyWindow(hwnd_); break;
    default: break; // Enter and Esc arrive as IDOK and IDCANCEL: no button answers them
    }
}

void frmSfInfo::barSfAuslesen() { run(&titleblock::read); }

void frmSfInfo::barSfEintragen() { run(&titleblock::write); }

void frmSfInfo::barSfStandardwerteAusfüllen() { run(&titleblock::fillStandardValues); }

void frmSfInfo::berTxtSelAll() {
    const HWND focused = GetFocus();
    SendMessageW(focused, EM_SETSEL, 0, 0);
    SendMessageW(focused, EM_SETSEL, 0, GetWindowTextLengthW(focused));
}

// Nothing unwinds through the window procedure: a failure is reported and the
// window, with everything the user typed, stays.
void frmSfInfo::run(void (*operation)(titleblock::Form &, const titleblock::Connect &)) {
    running_ = true;
    const HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    try {
        operation(*this, connect_);
    } catch (const cad::Cancelled &) {
        // the user gave up on a busy server: nothing more to say
    } catch (const cad::Error &error) {
        report(errorReport(error));
    } catch (const std::exception &) { // out of memory, in practice
        report(L"Unerwarteter Fehler: der Vorgang wurde abgebrochen.");
    }
    dropInput();
    running_ = false;
    SetCursor(cursor);
}

bool frmSfInfo::askToRetry() {
    return messageBox(L"Das CAD-Programm nimmt gerade keine Aufrufe an, zum Beispiel weil dort ein Dialog "
                      L"ge\u00F6ffnet ist.\n\nErneut versuchen?",
                      L"blattkopf", MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}

bool frmSfInfo::askToKeepWaiting() {
    return messageBox(L"Das CAD-Programm antwortet nicht, zum Beispiel weil es gerade ein Dokument neu "
                      L"aufbaut.\n\nWeiter warten?\n\nWenn Sie nicht weiter warten, kann das CAD-Programm den "
                      L"Aufruf trotzdem noch ausf\u00FChren: Werte, die gerade geschrieben werden, k\u00F6nnen "
                      L"also sp\u00E4ter noch im Dokument ankommen.",
                      L"blattkopf", MB_YESNO | MB_ICONWARNING) == IDYES;
}

void frmSfInfo::report(const std::wstring &message) { messageBox(message, L"blattkopf", MB_OK | MB_ICONERROR); }

void frmSfInfo::inform(const std::wstring &message) { messageBox(message, L"Information", MB_OK); }

// Every box comes while an operation runs: keys made before it came up were not
// meant for it and must not answer it, a report least of all. While the window
// loads it is hidden; a box it owned then would have no taskbar entry.
int frmSfInfo::messageBox(const std::wstring &text, const wchar_t *title, UINT style) {
    dropInput();
    return MessageBoxW(IsWindowVisible(hwnd_) ? hwnd_ : nullptr, text.c_str(), title, style);
}

HWND frmSfInfo::fieldControl(titleblock::Field field) const {
    switch (field) {
    case titleblock::Field::Benennung: return control(ControlId::txtSfBenennung);
    case titleblock::Field::Zeichnungsnummer: return control(ControlId::txtSfZeichnungsnummer);
    case titleblock::Field::Konstrukteur: return control(ControlId::cmbSfKonstrukteur);
    case titleblock::Field::Datum: return control(ControlId::txtSfDatum);
    }
    return nullptr;
}

std::wstring frmSfInfo::fieldText(titleblock::Field field) const { return windowText(fieldControl(field)); }

void frmSfInfo::setFieldText(titleblock::Field field, const std::wstring &text) {
    SetWindowTextW(fieldControl(field), text.c_str());
}

std::int16_t frmSfInfo::optionValue(titleblock::Option option) const {
    const HWND box = control(option == titleblock::Option::GenProp ? ControlId::chkGenProp : ControlId::chkRebuild);
    return static_cast<std::int16_t>(SendMessageW(box, BM_GETCHECK, 0, 0));
}

std::wstring frmSfInfo::today() const {
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, nullptr, 0, nullptr);
    std::wstring date(static_cast<std::size_t>(length), L'\0');
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), length, nullptr);
    date.resize(static_cast<std::size_t>(length > 0 ? length - 1 : 0));
    return date;
}

} // namespace ui
