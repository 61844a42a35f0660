#include "ui/operation_runner.h"

#include "cad/com.h"
#include "cad/error.h"
#include "identity.h"
#include "text/fill.h"
#include "text/number.h"
#include "titleblock/operations.h"

#include <exception>
#include <string_view>
#include <utility>

namespace ui {
namespace {

std::wstring errorReport(const cad::Error &error) {
    const std::wstring code = L"0x" + text::hex(static_cast<std::uint32_t>(error.code()), 8);
    const std::wstring failure =
        text::fill(L"Der Aufruf \u201E%1\u201C ist fehlgeschlagen:\n\n%2\n\nFehlercode: %3",
                   {error.member(), error.description(), code});
    return error.connectionLost()
               ? text::fill(L"Die Verbindung zum CAD-Programm ist abgebrochen.\n\n%1\n\nIhre "
                            L"Eingaben bleiben im Fenster. Der nächste Vorgang verbindet sich "
                            L"neu mit dem CAD-Programm.",
                            {failure})
               : failure + L"\n\nIhre Eingaben bleiben im Fenster.";
}

// Keys, the mouse, and touch and pen: on Windows 8 and later these come as pointer,
// touch and gesture messages, which become mouse messages only when processed,
// stamped then.
bool isInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
           (message >= WM_TOUCH && message <= WM_POINTERHWHEEL) || message == WM_GESTURE;
}

// Whoever takes a touch or gesture message closes its handle, and dropping it is
// taking it; the process's memory would leak otherwise.
void discard(const MSG &input) {
    if (input.message == WM_TOUCH)
        CloseTouchInputHandle(reinterpret_cast<HTOUCHINPUT>(input.lParam));
    else if (input.message == WM_GESTURE)
        CloseGestureInfoHandle(reinterpret_cast<HGESTUREINFO>(input.lParam));
}

} // namespace

OperationRunner::OperationRunner(std::chrono::milliseconds patience)
    : patience_{patience, [this] { return askToRetry(); }, [this] { return askToKeepWaiting(); },
                [this] { return askToStartAgain(); },
                [this] { return start_ && start_->cancelled(); }},
      connect_([this](std::wstring_view progId) {
          return startsCad_ ? cad::createObject(progId, patience_, std::move(headStart_))
                            : cad::runningObject(progId, patience_);
      }) {}

void OperationRunner::setStartsCad(bool starts) {
    startsCad_ = starts;
    headStart_ = starts ? cad::HeadStart(identity::kProgId) : cad::HeadStart();
}

void OperationRunner::attach(HWND window, std::function<void(int)> runCommand) {
    window_ = window;
    runCommand_ = std::move(runCommand);
}

void OperationRunner::request(int command) {
    PostMessageW(window_, kRequest, static_cast<WPARAM>(command), operationsRun_);
}

// Nothing unwinds through the window procedure: a failure is reported and the
// window, with everything the user typed, stays.
void OperationRunner::run(Operation operation, titleblock::Form &form) {
    running_ = true;
    ++operationsRun_;
    operationStart_ = static_cast<DWORD>(GetMessageTime()); // the click's, or its request's
    const HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    try {
        operation(form, connect_);
    } catch (const titleblock::Unfinished &unfinished) {
        // One message: why the write ended, if it failed, and what the document lacks.
        try {
            std::rethrow_exception(unfinished.cause());
        } catch (const cad::Error &error) {
            messageBox(errorReport(error) + L"\n\n" + unfinished.report(), L"blattkopf",
                       MB_OK | MB_ICONERROR);
        } catch (...) {
            messageBox(unfinished.report(), L"blattkopf", MB_OK | MB_ICONWARNING);
        }
    } catch (const cad::NotRunning &) {
        messageBox(L"Das CAD-Programm l\u00E4uft nicht. Starten Sie es, \u00F6ffnen Sie dort Ihr "
                   L"Dokument und lesen Sie dann die Werte.",
                   L"blattkopf", MB_OK | MB_ICONINFORMATION);
    } catch (const cad::Cancelled &) {
        // the user gave up on the CAD program: nothing more to say
    } catch (const cad::Error &error) {
        messageBox(errorReport(error), L"blattkopf", MB_OK | MB_ICONERROR);
    } catch (const std::exception &) { // out of memory, in practice
        messageBox(L"Unerwarteter Fehler: Der Vorgang wurde abgebrochen.", L"blattkopf",
                   MB_OK | MB_ICONERROR);
    }
    // Timed by the system that also times keys and clicks, whichever process made them.
    PostMessageW(window_, kEnded, 0, 0);
    running_ = false;
    SetCursor(cursor);
}

bool OperationRunner::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kRequest:
        // A click taken before another operation ran starts nothing.
        if (static_cast<unsigned>(lParam) == operationsRun_)
            runCommand_(static_cast<int>(wParam));
        return true;
    case kEnded:
        lastOperation_ = Stretch{operationStart_, static_cast<DWORD>(GetMessageTime())};
        return true;
    case WM_SETCURSOR:
        if (!running_)
            return false;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return true;
    default:
        return false;
    }
}

// Keys and clicks made while an operation runs wait in the queue: every wait for
// the CAD program lets only painting through. Run later, they would start an
// operation again or type into a field late. The wait cursor said "not now".
bool OperationRunner::dropInput(const MSG &message) {
    if (!isInput(message.message) || !lastOperation_ || !madeDuring(message.time, *lastOperation_))
        return false;
    discard(message);
    return true;
}

bool OperationRunner::askToRetry() {
    return askGoingOn(L"Das CAD-Programm nimmt gerade keine Aufrufe an, zum Beispiel weil es noch "
                      L"startet oder dort ein Dialog ge\u00F6ffnet ist. Schlie\u00DFen Sie offene "
                      L"Dialoge im CAD-Programm.\n\nErneut versuchen?",
                      MB_RETRYCANCEL, IDRETRY);
}

bool OperationRunner::askToKeepWaiting() {
    return askGoingOn(
        L"Das CAD-Programm antwortet nicht, zum Beispiel weil es noch startet oder gerade ein "
        L"Dokument neu aufbaut.\n\nWeiter warten?\n\nWenn Sie nicht weiter warten, kann das "
        L"CAD-Programm den Aufruf trotzdem noch ausf\u00FChren: Werte, die gerade geschrieben "
        L"werden, k\u00F6nnen also sp\u00E4ter noch im Dokument ankommen.",
        MB_YESNO, IDYES);
}

bool OperationRunner::askToStartAgain() {
    return askGoingOn(L"Das CAD-Programm wurde gestartet, hat sich aber nicht rechtzeitig "
                      L"gemeldet oder ist beim Start abgest\u00FCrzt.\n\nErneut starten?",
                      MB_RETRYCANCEL, IDRETRY);
}

bool OperationRunner::askGoingOn(const std::wstring &question, UINT style, int goOn) {
    const bool going = messageBox(question, L"blattkopf", style | MB_ICONWARNING) == goOn;
    if (going && start_)
        start_->resume();
    return going;
}

// Every box comes while an operation runs, and its loop is not the program's: the
// keys and clicks queued meanwhile would answer it unread, so they go now. While the
// window loads it is hidden, and a box it owned then would have no taskbar entry; the
// start window gives way to the box once the box is in front. Each box takes the
// foreground, which the program has while the user works with it.
int OperationRunner::messageBox(const std::wstring &text, const wchar_t *title, UINT style) {
    MSG input;
    while (PeekMessageW(&input, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT))
        discard(input);
    if (start_)
        start_->giveWay();
    return MessageBoxW(IsWindowVisible(window_) ? window_ : nullptr, text.c_str(), title,
                       style | MB_SETFOREGROUND);
}

} // namespace ui
