#include "model_dispatch.h"

#include "cad/error.h"
#include "standin/utf8.h"

#include <memory>

namespace test {
namespace {

constexpr std::int32_t kUnknownName = static_cast<std::int32_t>(0x80020006);
// Strict: the operations must get properties and call methods, as a typed server demands.
constexpr unsigned kInvocation[] = {standin::kGet, standin::kPut, standin::kCall}; // by cad::Access

std::wstring fieldName(titleblock::Field field) {
    return std::wstring(titleblock::kFields.at(static_cast<std::size_t>(field)).property);
}

class ModelDispatch final : public cad::Dispatch {
public:
    ModelDispatch(std::shared_ptr<standin::Model> model, standin::Target target)
        : model_(std::move(model)), target_(target) {
        model_->created(standin::targetName(target_));
    }
    ~ModelDispatch() override { model_->released(standin::targetName(target_)); }

    cad::Value invoke(std::wstring_view member, cad::Access access,
                      std::span<const cad::Value> args) override {
        const auto id = model_->lookup(target_, member);
        if (!id)
            throw cad::Error(kUnknownName, std::wstring(member), L"Unknown name");
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
        if (const auto *o = std::get_if<standin::Override>(&value))
            return cad::Unsupported{o->kind};
        if (std::holds_alternative<standin::Document>(value))
            return cad::Object(std::make_shared<ModelDispatch>(model_, standin::Target::Document));
        return cad::Empty{};
    }

    std::shared_ptr<standin::Model> model_;
    standin::Target target_;
};

} // namespace

CadInMemory::CadInMemory(const standin::State &initial) { setState(initial); }

cad::Object CadInMemory::connect() {
    try {
        auto model = std::make_shared<standin::Model>(*this);
        return cad::Object(std::make_shared<ModelDispatch>(model, standin::Target::Application));
    } catch (const standin::Fault &fault) {
        throw cad::Error(fault.hresult, L"SldWorks.Application", fault.description);
    }
}

standin::State CadInMemory::state() const { return standin::parseState(stateText_, L"memory"); }

void CadInMemory::setState(const standin::State &state) { stateText_ = standin::formatState(state); }

void CadInMemory::journal(const std::string &utf8Line) {
    journal_.push_back(standin::fromUtf8(utf8Line).value_or(L"<not UTF-8>"));
}

void CadInMemory::note(const std::wstring &line) { journal_.push_back(line); }

std::vector<std::wstring> CadInMemory::calls() const {
    std::vector<std::wstring> out;
    for (const auto &line : journal_)
        if (line.rfind(L"lookup ", 0) != 0)
            out.push_back(line);
    return out;
}

int CadInMemory::liveObjects() const {
    int live = 0;
    for (const auto &line : journal_) {
        if (line.rfind(L"create ", 0) == 0)
            ++live;
        if (line.rfind(L"release ", 0) == 0)
            --live;
    }
    return live;
}

std::wstring FakeForm::fieldText(titleblock::Field field) const {
    cad_.note(L"form reads " + fieldName(field));
    return fields.at(field);
}

void FakeForm::setFieldText(titleblock::Field field, const std::wstring &text) {
    cad_.note(L"form shows " + fieldName(field) + L" " + standin::quoted(text));
    fields[field] = text;
}

std::int16_t FakeForm::optionValue(titleblock::Option option) const {
    cad_.note(option == titleblock::Option::GenProp ? L"form reads chkGenProp" : L"form reads chkRebuild");
    return options.at(option);
}

void FakeForm::inform(const std::wstring &message) {
    cad_.note(L"form informs " + message);
    messages.push_back(message);
}

} // namespace test
