// Running the title-block operations: one at a time, every failure reported and
// the window kept, and whatever the window asks or says while one runs.

#include "ui/frmSfInfo.h"

#include "cad/error.h"
#include "titleblock/operations.h"

#include <cwchar>
#include <exception>

namespace ui {
namespace {

std::wstring errorReport(const cad::Error &error) {
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"0x%08X", static_cast<unsigned>(error.code()));
    const std::wstring failure = L"Der Aufruf \u201E" + error.member() +
                                 L"\u201C ist fehlgeschlagen:\n\n" + error.description() +
                                 L"\n\nFehlercode: " + code;
    return error.connectionLost()
               ? L"Die Verbindung zum CAD-Programm ist abgebrochen.\n\n" + failure
               : failure;
}

// Keys and clicks made while an operation runs wait in the queue: every wait for
// the CAD program lets only painting through. Run later, they would start an
// operation again, type into a field late or answer a question unread. The wait
// cursor said "not now".
void dropQueuedInput() {
    MSG input;
    while (PeekMessageW(&input, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
    }
}

} // namespace

void frmSfInfo::barSfAuslesen() {
    run(&titleblock::read);
}

void frmSfInfo::barSfEintragen() {
    run(&titleblock::write);
}

void frmSfInfo::barSfStandardwerteAusfüllen() {
    run(&titleblock::fillStandardValues);
}

// Nothing unwinds through the window procedure: a failure is reported and the
// window, with everything the user typed, stays.
void frmSfInfo::run(void (*operation)(titleblock::Form &, const titleblock::Connect &)) {
    running_ = true;
    ++operationsRun_;
    operationStart_ = static_cast<DWORD>(GetMessageTime()); // the click's, or its request's
    const HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    try {
        operation(*this, connect_);
    } catch (const titleblock::Unfinished &unfinished) {
        // One message: why the write ended, if it failed, and what the document lacks.
        try {
            std::rethrow_exception(unfinished.cause());
        } catch (const cad::Error &error) {
            report(errorReport(error) + L"\n\n" + unfinished.report());
        } catch (...) {
            warn(unfinished.report());
        }
    } catch (const cad::Cancelled &) {
        // the user gave up on the CAD program: nothing more to say
    } catch (const cad::Error &error) {
        report(errorReport(error));
    } catch (const std::exception &) { // out of memory, in practice
        report(L"Unerwarteter Fehler: der Vorgang wurde abgebrochen.");
    }
    // Timed by the system that also times keys and clicks, whichever process made them.
    PostMessageW(hwnd_, kOperationEnded, 0, 0);
    running_ = false;
    SetCursor(cursor);
}

bool frmSfInfo::askToRetry() {
    return messageBox(L"Das CAD-Programm nimmt gerade keine Aufrufe an, zum Beispiel weil es noch "
                      L"startet oder dort ein Dialog ge\u00F6ffnet ist.\n\nErneut versuchen?",
                      L"blattkopf", MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}

bool frmSfInfo::askToKeepWaiting() {
    return messageBox(
               L"Das CAD-Programm antwortet nicht, zum Beispiel weil es noch startet oder "
               L"gerade ein Dokument neu aufbaut.\n\nWeiter warten?\n\nWenn Sie nicht weiter "
               L"warten, kann das "
               L"CAD-Programm den Aufruf trotzdem noch ausf\u00FChren: Werte, die gerade "
               L"geschrieben werden, k\u00F6nnen also sp\u00E4ter noch im Dokument ankommen.",
               L"blattkopf", MB_YESNO | MB_ICONWARNING) == IDYES;
}

void frmSfInfo::report(const std::wstring &message) {
    messageBox(message, L"blattkopf", MB_OK | MB_ICONERROR);
}

void frmSfInfo::inform(const std::wstring &message) {
    messageBox(message, L"Information", MB_OK);
}

void frmSfInfo::warn(const std::wstring &message) {
    messageBox(message, L"blattkopf", MB_OK | MB_ICONWARNING);
}

// Every box comes while an operation runs: keys made before it came up were not
// meant for it and must not answer it, a report least of all. Its loop is not the
// program's, so what is queued goes now. While the window loads it is hidden; a
// box it owned then would have no taskbar entry.
int frmSfInfo::messageBox(const std::wstring &text, const wchar_t *title, UINT style) {
    dropQueuedInput();
    return MessageBoxW(IsWindowVisible(hwnd_) ? hwnd_ : nullptr, text.c_str(), title, style);
}

} // namespace ui
