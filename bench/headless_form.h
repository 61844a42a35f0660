#pragma once

#include "titleblock/form.h"

#include <array>
#include <optional>
#include <string>

// A form without a window: the operations' inputs and outputs in memory.
class HeadlessForm final : public titleblock::Form {
public:
    std::wstring fieldText(titleblock::Field field) const override {
        return fields_[static_cast<std::size_t>(field)];
    }
    void setFieldText(titleblock::Field field, const std::wstring &text) override {
        fields_[static_cast<std::size_t>(field)] = text;
    }
    std::int16_t optionValue(titleblock::Option option) const override {
        return option == titleblock::Option::GenProp ? genProp : 1;
    }
    void inform(const std::wstring &) override {}
    void warn(const std::wstring &) override {}
    bool ask(const std::wstring &) override { return true; }
    std::wstring today() const override { return L"06.12.2026"; }
    std::wstring standardDesigner() const override { return L"John Doe"; }
    std::optional<titleblock::Source> fieldsSource() const override { return source; }
    void setFieldsSource(const titleblock::Source &from) override { source = from; }

    std::int16_t genProp = 0;
    std::optional<titleblock::Source> source;

private:
    std::array<std::wstring, 4> fields_{L"Lagerbock", L"LB-0815", L"Jonas Weidlich", L"06.12.2026"};
};
