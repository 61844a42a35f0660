#include "standin/model.h"

#include "standin/utf8.h"

#include <algorithm>
#include <iterator>

namespace standin {
namespace {

constexpr std::int32_t kBadParamCount = static_cast<std::int32_t>(0x8002000E);
constexpr std::int32_t kTypeMismatch = static_cast<std::int32_t>(0x80020005);
constexpr std::int32_t kMemberNotFound = static_cast<std::int32_t>(0x80020003);

enum Member {
    Visible,
    ActiveDoc,
    CustomInfo,
    DeleteCustomInfo,
    AddCustomInfo,
    EditRebuild,
    GetType,
    GetTitle
};

struct MemberInfo {
    std::wstring_view name;
    Target target;
    bool property;
};

// Names are matched exactly as written, `gettype` in lower case.
constexpr MemberInfo kMembers[] = {
    {L"Visible", Target::Application, true},     {L"ActiveDoc", Target::Application, true},
    {L"CustomInfo", Target::Document, true},     {L"DeleteCustomInfo", Target::Document, false},
    {L"AddCustomInfo", Target::Document, false}, {L"EditRebuild", Target::Document, false},
    {L"gettype", Target::Document, false},       {L"GetTitle", Target::Document, false},
};

void expectCount(const std::vector<Value> &args, std::size_t count) {
    if (args.size() != count)
        throw Fault{kBadParamCount, L"Wrong number of arguments"};
}

const std::wstring &text(const std::vector<Value> &args, std::size_t index) {
    const auto *value = std::get_if<std::wstring>(&args[index]);
    if (!value)
        throw Fault{kTypeMismatch, L"Argument " + std::to_wstring(index + 1) + L" must be a text"};
    return *value;
}

} // namespace

std::wstring targetName(Target target) {
    return target == Target::Application ? L"Application" : L"Document";
}

std::wstring journalText(const Value &value) {
    if (const auto *s = std::get_if<std::wstring>(&value))
        return quoted(*s);
    if (const auto *b = std::get_if<bool>(&value))
        return *b ? L"True" : L"False";
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return std::to_wstring(*i);
    if (std::holds_alternative<Null>(value))
        return L"Null";
    if (std::holds_alternative<Document>(value))
        return L"Document";
    if (std::holds_alternative<NoDocument>(value))
        return L"Nothing";
    if (const auto *o = std::get_if<Override>(&value))
        return o->kind + L" " + quoted(o->text);
    return L"Empty";
}

Model::Model(Host &host) : host_(host), calls_(std::size(kMembers)) {
    try {
        state_ = host_.load();
    } catch (const Fault &fault) {
        unreadable_ = fault; // the first call tells the client what is wrong, and where
        return;
    }
    if (state_.refuseCreate)
        throw *state_.refuseCreate;
}

std::optional<int> Model::lookup(Target target, std::wstring_view member) {
    host_.journal(toUtf8(L"lookup " + targetName(target) + L" " + std::wstring(member)));
    const auto found =
        std::find_if(std::begin(kMembers), std::end(kMembers),
                     [&](const MemberInfo &m) { return m.name == member && m.target == target; });
    if (found == std::end(kMembers))
        return std::nullopt;
    return static_cast<int>(found - std::begin(kMembers));
}

Value Model::invoke(Target target, int member, unsigned invocation,
                    const std::vector<Value> &args) {
    if (member < 0 || member >= static_cast<int>(std::size(kMembers)))
        throw Fault{kMemberNotFound, L"Member not found"};
    const MemberInfo &info = kMembers[member];
    const bool put = (invocation & kPut) != 0;
    std::wstring line = (put             ? L"put "
                         : info.property ? L"get "
                                         : L"call ") +
                        targetName(target) + L" " + std::wstring(info.name);
    for (const Value &arg : args)
        line += L" " + journalText(arg);
    host_.journal(toUtf8(line));
    if (unreadable_)
        throw *unreadable_;
    if (put ? !info.property : !(invocation & (info.property ? kGet : kCall)))
        throw Fault{kMemberNotFound, L"Member not found"};

    const int calls = ++calls_[static_cast<std::size_t>(member)];
    if (state_.crash && state_.crash->member == info.name && state_.crash->call == calls) {
        host_.journal(toUtf8(L"crash in " + std::wstring(info.name)));
        host_.crash();
    }
    if (state_.silence && state_.silence->member == info.name && calls == 1) {
        host_.journal(toUtf8(L"silent in " + std::wstring(info.name)));
        host_.stall(state_.silence->ms);
        host_.journal(toUtf8(L"silence ends in " + std::wstring(info.name)));
    }
    for (const Failure &failure : state_.failures)
        if (failure.member == info.name && calls > failure.after)
            throw Fault{failure.hresult, failure.description, failure.style};
    for (const Override &answer : state_.overrides)
        if (answer.member == info.name && !put)
            return answer;
    return run(member, put, args);
}

Value Model::run(int member, bool put, const std::vector<Value> &args) {
    const auto find = [&](const std::wstring &name) {
        return std::find_if(state_.properties.begin(), state_.properties.end(),
                            [&](const Property &p) { return p.name == name; });
    };
    switch (member) {
    case Visible:
        if (!put) {
            expectCount(args, 0);
            return state_.visible;
        }
        expectCount(args, 1);
        if (!std::holds_alternative<bool>(args[0]))
            throw Fault{kTypeMismatch, L"Visible takes a Boolean"};
        state_.visible = std::get<bool>(args[0]);
        save();
        if (state_.visible)
            host_.madeVisible();
        return {};
    case ActiveDoc:
        if (put)
            throw Fault{kMemberNotFound, L"ActiveDoc is read-only"};
        expectCount(args, 0);
        if (state_.documentType)
            return Document{};
        return NoDocument{};
    case CustomInfo: {
        expectCount(args, put ? 2 : 1);
        const auto property = find(text(args, 0));
        if (!put) {
            if (property == state_.properties.end())
                return std::wstring();
            if (!property->value)
                return Null{};
            return *property->value;
        }
        const std::wstring &value = text(args, 1);
        // Like the real program: a put on a missing property changes nothing.
        if (property != state_.properties.end()) {
            property->value = value;
            save();
        }
        return {};
    }
    case DeleteCustomInfo: {
        expectCount(args, 1);
        const std::wstring &name = text(args, 0);
        const auto property = find(name);
        if (property == state_.properties.end() ||
            std::find(state_.kept.begin(), state_.kept.end(), name) != state_.kept.end())
            return false;
        state_.properties.erase(property);
        save();
        return true;
    }
    case AddCustomInfo: {
        expectCount(args, 3);
        const std::wstring &name = text(args, 0);
        if (find(name) != state_.properties.end())
            return false;
        state_.properties.push_back({name, text(args, 1), text(args, 2)});
        save();
        return true;
    }
    case EditRebuild:
        expectCount(args, 0);
        if (state_.rebuildFails)
            return false;
        ++state_.rebuilds;
        rebuild(state_);
        save();
        return true;
    case GetType:
        expectCount(args, 0);
        return std::int64_t{state_.documentType.value_or(0)};
    case GetTitle:
        expectCount(args, 0);
        return state_.title;
    }
    throw Fault{kMemberNotFound, L"Member not found"};
}

void Model::created(std::wstring_view object) {
    host_.journal(toUtf8(L"create " + std::wstring(object)));
}

void Model::released(std::wstring_view object) {
    host_.journal(toUtf8(L"release " + std::wstring(object)));
}

void Model::save() {
    host_.save(state_);
}

} // namespace standin
