#pragma once

// The stand-in's model behind cad::Object, in memory: the title-block operations
// run against the same CAD behaviour as under Wine, without COM.

#include "cad/value.h"
#include "standin/model.h"
#include "titleblock/form.h"

#include <map>
#include <string>
#include <vector>

namespace test {

// One running stand-in CAD program. Its journal also records what the form does,
// so a test can check the order of calls and field updates in one list.
class CadInMemory final : public standin::Host {
public:
    explicit CadInMemory(const standin::State &initial);

    cad::Object connect(); // a fresh application handle, as createObject gives
    standin::State state() const;
    void setState(const standin::State &state);

    // Journal lines except lookups.
    std::vector<std::wstring> calls() const;
    int liveObjects() const;
    void note(const std::wstring &line);
    void clearJournal() { journal_.clear(); }

    std::string load() override { return stateText_; }
    void save(const std::string &utf8) override { stateText_ = utf8; }
    void journal(const std::string &utf8Line) override;
    std::wstring name() const override { return L"memory"; }
    void madeVisible() override {}
    [[noreturn]] void crash() override { throw standin::Fault{static_cast<std::int32_t>(0x800706BE), L"crashed"}; }

private:
    std::string stateText_;
    std::vector<std::wstring> journal_;
};

// The window as the operations see it, with every touch noted in the CAD journal.
class FakeForm final : public titleblock::Form {
public:
    explicit FakeForm(CadInMemory &cad) : cad_(cad) {}

    std::wstring fieldText(titleblock::Field field) const override;
    void setFieldText(titleblock::Field field, const std::wstring &text) override;
    std::int16_t optionValue(titleblock::Option option) const override;
    void inform(const std::wstring &message) override;
    std::wstring today() const override { return L"06.12.2026"; }

    std::map<titleblock::Field, std::wstring> fields{
        {titleblock::Field::Benennung, L"Text1"},
        {titleblock::Field::Zeichnungsnummer, L"Text1"},
        {titleblock::Field::Konstrukteur, L"Combo1"},
        {titleblock::Field::Datum, L"Text1"}};
    std::map<titleblock::Option, std::int16_t> options{{titleblock::Option::GenProp, 1},
                                                       {titleblock::Option::Rebuild, 1}};
    std::vector<std::wstring> messages;

private:
    CadInMemory &cad_;
};

} // namespace test
