#pragma once

// The stand-in's model behind cad::Object, in memory: the title-block operations
// run against the same CAD behaviour as under Wine, without COM.

#include "cad/error.h"
#include "cad/value.h"
#include "demo_drawing.h"
#include "journal.h"
#include "standin/model.h"
#include "text/utf8.h"
#include "titleblock/document.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace test {

// One object of the model, as cad::Object sees it. Strict: the operations must get
// properties and call methods, as a typed server demands.
class ModelDispatch final : public cad::Dispatch {
public:
    ModelDispatch(std::shared_ptr<standin::Model> model, standin::Target target)
        : model_(std::move(model)), target_(target) {
        model_->created(standin::targetName(target_));
    }
    ~ModelDispatch() override { model_->released(standin::targetName(target_)); }

    cad::Value invoke(std::wstring_view member, cad::Access access,
                      std::span<const cad::Value> args) override {
        constexpr unsigned kInvocation[] = {standin::kGet, standin::kPut,
                                            standin::kCall}; // by cad::Access
        const auto id = model_->lookup(target_, member);
        if (!id)
            throw cad::Error(win32::kUnknownName, std::wstring(member), L"Unknown name");
        std::vector<standin::Value> in;
        for (const cad::Value &arg : args) {
            if (const auto *s = std::get_if<std::wstring>(&arg))
                in.emplace_back(*s);
            else if (const auto *b = std::get_if<bool>(&arg))
                in.emplace_back(*b);
            else
                in.emplace_back(std::monostate{});
        }
        try {
            return toCad(model_->invoke(target_, *id, kInvocation[static_cast<int>(access)], in));
        } catch (const standin::Fault &fault) {
            throw cad::Error(fault.hresult, std::wstring(member), fault.description);
        }
    }

private:
    cad::Value toCad(const standin::Value &value) const {
        if (const auto *s = std::get_if<std::wstring>(&value))
            return *s;
        if (const auto *b = std::get_if<bool>(&value))
            return *b;
        if (const auto *i = std::get_if<std::int64_t>(&value))
            return *i;
        if (std::holds_alternative<standin::Null>(value))
            return cad::Null{};
        if (std::holds_alternative<standin::NoDocument>(value))
            return cad::Nothing{};
        if (const auto *o = std::get_if<standin::Override>(&value)) {
            // Texts and numbers as COM would hand them over; the rest stands for itself.
            if (o->kind == L"text")
                return o->text;
            if (o->kind == L"i8")
                return std::int64_t{std::stoll(o->text)};
            if (o->kind == L"empty")
                return cad::Empty{};
            return cad::Unsupported{o->kind};
        }
        if (std::holds_alternative<standin::Document>(value))
            return cad::Object(std::make_shared<ModelDispatch>(model_, standin::Target::Document));
        return cad::Empty{};
    }

    std::shared_ptr<standin::Model> model_;
    standin::Target target_;
};

// One running stand-in CAD program. Its journal also records what the form does,
// so a test can check the order of calls and field updates in one list.
class CadInMemory final : public standin::Host {
public:
    explicit CadInMemory(const standin::State &initial) { setState(initial); }

    // A fresh application handle, as createObject gives.
    cad::Object connect() {
        try {
            auto model = std::make_shared<standin::Model>(*this);
            return cad::Object(
                std::make_shared<ModelDispatch>(model, standin::Target::Application));
        } catch (const standin::Fault &fault) {
            throw cad::Error(fault.hresult, L"SldWorks.Application", fault.description);
        }
    }
    const standin::State &state() const { return state_; }
    void setState(const standin::State &state) { state_ = state; }

    // Journal lines except lookups.
    std::vector<std::wstring> calls() const {
        std::vector<std::wstring> out = journal_;
        std::erase_if(out, [](const std::wstring &line) { return line.starts_with(L"lookup "); });
        return out;
    }
    int liveObjects() const { return test::liveObjects(journal_); }
    void note(const std::wstring &line) { journal_.push_back(line); }
    void clearJournal() { journal_.clear(); }

    standin::State load() override { return state_; }
    void save(const standin::State &state) override { state_ = state; }
    void journal(const std::string &utf8Line) override {
        journal_.push_back(text::fromUtf8(utf8Line).value_or(L"<not UTF-8>"));
    }
    void madeVisible() override {}
    void stall(int) override {}
    [[noreturn]] void crash() override {
        throw standin::Fault{static_cast<std::int32_t>(0x800706BE), L"crashed"};
    }

private:
    standin::State state_;
    std::vector<std::wstring> journal_;
};

// The window as the operations see it, with every touch noted in the CAD journal.
class FakeForm final : public titleblock::Form {
public:
    explicit FakeForm(CadInMemory &cad) : cad_(cad) {}

    std::wstring fieldText(titleblock::Field field) const override {
        cad_.note(L"form reads " + name(field));
        return fields.at(static_cast<std::size_t>(field));
    }
    void setFieldText(titleblock::Field field, const std::wstring &text) override {
        cad_.note(L"form shows " + name(field) + L" " + standin::quoted(text));
        fields.at(static_cast<std::size_t>(field)) = text;
    }
    std::int16_t optionValue(titleblock::Option option) const override {
        cad_.note(option == titleblock::Option::GenProp ? L"form reads chkGenProp"
                                                        : L"form reads chkRebuild");
        return options.at(option);
    }
    void inform(const std::wstring &message) override {
        cad_.note(L"form informs " + message);
        messages.push_back(message);
    }
    void warn(const std::wstring &message) override {
        cad_.note(L"form warns");
        warnings.push_back(message);
    }
    bool ask(const std::wstring &question) override {
        cad_.note(L"form asks");
        questions.push_back(question);
        return answer;
    }
    std::wstring today() const override { return L"06.12.2026"; }
    std::wstring standardDesigner() const override { return L"John Doe"; }
    std::optional<titleblock::Source> fieldsSource() const override { return source; }
    void setFieldsSource(const titleblock::Source &from) override { source = from; }

    std::vector<std::wstring> fields{L"Text1", L"Text1", L"Combo1",
                                     L"Text1"}; // in titleblock::Field's order
    std::map<titleblock::Option, std::int16_t> options{{titleblock::Option::GenProp, 1},
                                                       {titleblock::Option::Rebuild, 1}};
    std::vector<std::wstring> messages;
    std::vector<std::wstring> warnings;
    std::vector<std::wstring> questions;
    bool answer = true; // "Ja"
    std::optional<titleblock::Source> source;

private:
    static std::wstring name(titleblock::Field field) {
        return std::wstring(titleblock::kFields.at(static_cast<std::size_t>(field)).property);
    }

    CadInMemory &cad_;
};

} // namespace test
