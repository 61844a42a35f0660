#include "titleblock/operations.h"

#include "cad/convert.h"
#include "cad/error.h"
#include "text/fill.h"

#include <array>

namespace titleblock {
namespace {

// What one write did to one property, as far as the CAD program's answers tell.
enum class Step {
    Untouched,      // not written (yet): whatever the document had stands
    Written,        // the document took the value
    Deleted,        // create mode: deleted, not (yet) created again
    NotCreated,     // create mode: the document would not create it
    NoSuchProperty, // update mode: the document has no such property to update
    Unchecked,      // update mode: put, and the write ended before it was read back
    Open,           // the write ended in this call, which the CAD program may still carry out
};

std::wstring_view why(Step step) {
    switch (step) {
    case Step::Untouched:
        return L"nicht geschrieben.";
    case Step::Deleted:
        return L"gelöscht und nicht wieder angelegt. Die Eigenschaft fehlt dem Dokument jetzt.";
    case Step::NotCreated:
        return L"Das Dokument hat die Eigenschaft nicht neu angelegt.";
    case Step::NoSuchProperty:
        return L"Das Dokument hat diese Eigenschaft nicht. Mit \u201EAttribute erzeugen\u201C "
               L"wird sie angelegt.";
    case Step::Unchecked:
        return L"geschrieben, aber nicht zurückgelesen. Ob das Dokument den Wert hat, zeigt erst "
               L"erneutes Lesen.";
    case Step::Open:
        return L"offen. Das CAD-Programm kann den abgebrochenen Aufruf noch ausführen. Was das "
               L"Dokument enthält, zeigt erneutes Lesen, sobald es wieder antwortet; es ersetzt "
               L"dabei die Werte im Fenster.";
    case Step::Written:
        break;
    }
    return {};
}

// What became of the rebuild the user may have asked for.
enum class Rebuild { NotAsked, Done, Failed };

constexpr std::wstring_view kNotice =
    L"Werte werden erst nach dem nächsten Rebuild im Blattkopf eingetragen";
constexpr std::wstring_view kTryAgain =
    L"Ihre Eingaben stehen weiter im Fenster: \u201EWerte eintragen\u201C schreibt sie erneut.";

// Paragraphs of a message.
std::wstring joined(std::initializer_list<std::wstring_view> parts) {
    std::wstring text;
    for (const std::wstring_view part : parts)
        if (!part.empty())
            text.append(text.empty() ? L"" : L"\n\n").append(part);
    return text;
}

// Follows one write field by field, so that the user learns of every property the
// document did not take, also when the write ends halfway.
class Ledger {
public:
    // The field at `index` is being written; until `set`, a write that ends early
    // ended in its call.
    void calling(std::size_t index) { inFlight_ = index; }
    void set(std::size_t index, Step step) {
        steps_[index] = step;
        inFlight_ = kNone;
    }
    Step step(std::size_t index) const { return steps_[index]; }

    bool complete() const {
        for (const Step step : steps_)
            if (step != Step::Written)
                return false;
        return true;
    }

    // One line per property the document did not take.
    std::wstring missed() const {
        std::wstring lines;
        for (std::size_t i = 0; i < kFields.size(); ++i)
            if (steps_[i] != Step::Written)
                lines.append(lines.empty() ? L"" : L"\n")
                    .append(
                        text::fill(L"\u201E%1\u201C: %2", {kFields[i].property, why(steps_[i])}));
        return lines;
    }

    // The write ended early with `cause`. Where it had changed the document by then,
    // the user is told what the document now lacks; otherwise the cause stands alone.
    [[noreturn]] void ended(const std::exception_ptr &cause) {
        if (inFlight_ != kNone && mayHaveRun(cause))
            steps_[inFlight_] = Step::Open;
        bool changed = false;
        for (const Step step : steps_)
            changed = changed || step == Step::Written || step == Step::Unchecked ||
                      step == Step::Deleted || step == Step::Open;
        if (!changed || complete())
            std::rethrow_exception(cause);
        throw Unfinished(
            joined({L"Der Vorgang wurde abgebrochen, bevor alle Werte im Dokument waren:", missed(),
                    kTryAgain}),
            cause);
    }

private:
    static bool mayHaveRun(const std::exception_ptr &cause) {
        try {
            std::rethrow_exception(cause);
        } catch (const cad::Cancelled &cancelled) {
            return cancelled.callMayStillRun();
        } catch (const cad::Error &error) {
            return error.connectionLost(); // it may have gone down after doing the work
        } catch (...) {
            return false;
        }
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::array<Step, kFields.size()> steps_{};
    std::size_t inFlight_ = kNone;
};

// Whether the CAD program answered with this Boolean: True for done, False for not.
// An answer with no Boolean reading says neither.
bool answered(const cad::Value &value, bool boolean) {
    return cad::toBoolean(value) == boolean;
}

bool isEmptyText(const cad::Value &value) {
    const auto *text = std::get_if<std::wstring>(&value);
    return std::holds_alternative<cad::Empty>(value) || (text && text->empty());
}

// A put on a property the document does not have changes nothing and fails
// nothing: only reading back tells, right after the put, so that a write ending
// later still knows what arrived. A value may come back in another form (a date,
// say), so only a text that came back empty counts as not taken.
void update(Form &form, const cad::Object &document, Ledger &ledger) {
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const std::wstring property(kFields[i].property);
        const std::wstring text = form.fieldText(kFields[i].field);
        ledger.calling(i);
        document.put(L"CustomInfo", {property, text});
        if (text.empty()) { // nothing to tell apart from a property that is missing
            ledger.set(i, Step::Written);
            continue;
        }
        ledger.set(i, Step::Unchecked);
        ledger.set(i, isEmptyText(document.get(L"CustomInfo", {property})) ? Step::NoSuchProperty
                                                                           : Step::Written);
    }
}

void create(Form &form, const cad::Object &document, Ledger &ledger) {
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        ledger.calling(i);
        const cad::Value deleted =
            document.call(L"DeleteCustomInfo", {std::wstring(kFields[i].property)});
        ledger.set(i, answered(deleted, true) ? Step::Deleted : Step::Untouched);
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const std::wstring text = form.fieldText(kFields[i].field);
        ledger.calling(i);
        const cad::Value added = document.call(
            L"AddCustomInfo", {std::wstring(kFields[i].property), std::wstring(L"Text"), text});
        // Refused after it was deleted, the property is gone; refused while it stood, the
        // old one is still there.
        if (answered(added, false))
            ledger.set(i, ledger.step(i) == Step::Deleted ? Step::Deleted : Step::NotCreated);
        else
            ledger.set(i, Step::Written);
    }
}

} // namespace

void write(Form &form, const Connect &connect) {
    const auto active = openActiveDocument(form, connect);
    if (!active || !mayWriteInto(form, active->document))
        return;
    const cad::Object &document = active->document;

    Ledger ledger;
    Rebuild rebuild = Rebuild::NotAsked;
    try {
        if (form.optionValue(Option::GenProp) == 0)
            update(form, document, ledger); // the properties the document already has
        else
            create(form, document, ledger); // anew; checked and grayed alike
        if (form.optionValue(Option::Rebuild) == 1) {
            const cad::Value answer = document.call(L"EditRebuild");
            cad::toInt32(answer, L"EditRebuild");
            rebuild = answered(answer, false) ? Rebuild::Failed : Rebuild::Done;
        }
    } catch (...) {
        ledger.ended(std::current_exception());
    }

    const bool taken = ledger.complete();
    if (taken && rebuild != Rebuild::Failed) {
        if (rebuild == Rebuild::NotAsked)
            form.inform(std::wstring(kNotice));
        return;
    }
    // One message for everything that did not happen as asked.
    form.warn(joined(
        {taken ? L"" : L"Nicht alle Werte sind im Dokument angekommen:", ledger.missed(),
         rebuild == Rebuild::Failed ? L"Das Dokument konnte nicht neu aufgebaut werden." : L"",
         rebuild == Rebuild::Done ? std::wstring_view() : kNotice,
         taken ? std::wstring_view() : kTryAgain}));
}

} // namespace titleblock
