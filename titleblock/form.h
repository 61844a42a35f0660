#pragma once

#include "titleblock/fields.h"

#include <cstdint>
#include <optional>
#include <string>

namespace titleblock {

// The two check boxes that steer writing.
enum class Option { GenProp, Rebuild };

// Which document the fields came from: its full path, or none when it was never
// saved; its title, as the CAD program shows it.
struct Source {
    std::wstring path;
    std::wstring title;
};

// Two documents open at once have different paths, or, never saved, different titles.
inline bool sameDocument(const Source &a, const Source &b) {
    return a.path.empty() && b.path.empty() ? a.title == b.title : a.path == b.path;
}

// What the operations need of the window: they read their inputs from it and
// write their results into it, nothing more.
class Form {
public:
    virtual std::wstring fieldText(Field field) const = 0;
    virtual void setFieldText(Field field, const std::wstring &text) = 0;
    // 0 unchecked, 1 checked, 2 grayed.
    virtual std::int16_t optionValue(Option option) const = 0;
    // A modal "Information" box with a single OK button and no icon.
    virtual void inform(const std::wstring &message) = 0;
    // A modal warning: something the user asked for did not happen.
    virtual void warn(const std::wstring &message) = 0;
    // A modal question with "Ja" and "Nein": true for "Ja".
    virtual bool ask(const std::wstring &question) = 0;
    // Today's date in the user's short date format.
    virtual std::wstring today() const = 0;
    // The designer the standard values name.
    virtual std::wstring standardDesigner() const = 0;

    // The document the fields were last read from or written to; none while they
    // hold only what was typed. Typing changes nothing of it.
    virtual std::optional<Source> fieldsSource() const = 0;
    virtual void setFieldsSource(const Source &source) = 0;

protected:
    ~Form() = default;
};

} // namespace titleblock
