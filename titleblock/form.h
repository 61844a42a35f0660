#pragma once

#include "titleblock/fields.h"

#include <cstdint>
#include <string>

namespace titleblock {

// The two check boxes that steer writing.
enum class Option { GenProp, Rebuild };

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
    // Today's date in the user's short date format.
    virtual std::wstring today() const = 0;

protected:
    ~Form() = default;
};

} // namespace titleblock
