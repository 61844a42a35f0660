// The window as the title-block operations see it: four fields, two options, its
// notices and questions, today, the standard designer, and where the fields came from.

#include "ui/frmSfInfo.h"

namespace ui {

std::wstring frmSfInfo::fieldText(titleblock::Field field) const {
    const HWND edit = control(fieldControl(field));
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

void frmSfInfo::setFieldText(titleblock::Field field, const std::wstring &text) {
    SetWindowTextW(control(fieldControl(field)), text.c_str());
}

std::int16_t frmSfInfo::optionValue(titleblock::Option option) const {
    const HWND box = control(option == titleblock::Option::GenProp ? ControlId::chkGenProp
                                                                   : ControlId::chkRebuild);
    return static_cast<std::int16_t>(SendMessageW(box, BM_GETCHECK, 0, 0));
}

void frmSfInfo::inform(const std::wstring &message) {
    runner_.messageBox(message, L"Information", MB_OK);
}

void frmSfInfo::warn(const std::wstring &message) {
    runner_.messageBox(message, L"blattkopf", MB_OK | MB_ICONWARNING);
}

bool frmSfInfo::ask(const std::wstring &question) {
    // "Nein" is the answer Enter gives: nothing happens that the user did not choose.
    return runner_.messageBox(question, L"blattkopf", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

std::wstring frmSfInfo::standardDesigner() const {
    return designers_.standard;
}

std::optional<titleblock::Source> frmSfInfo::fieldsSource() const {
    return fieldsSource_;
}

void frmSfInfo::setFieldsSource(const titleblock::Source &source) {
    fieldsSource_ = source;
}

std::wstring frmSfInfo::today() const {
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr,
                                       nullptr, 0, nullptr);
    std::wstring date(static_cast<std::size_t>(length), L'\0');
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), length,
                    nullptr);
    date.resize(static_cast<std::size_t>(length > 0 ? length - 1 : 0));
    return date;
}

} // namespace ui
