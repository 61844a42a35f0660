#include "standin/model.h"

#include "text/utf8.h"
#include "win32/automation_errors.h"

#include <algorithm>
#include <iterator>

namespace standin {
namespace {

using win32::kMemberNotFound;

// One call of a member: the state it works on and the arguments it was given.
struct Call {
    State &state;
    Host &host;
    bool put;
    const std::vector<Value> &args;

    void expect(std::size_t count) const {
        if (args.size() != count)
            throw Fault{win32::kBadParamCount, L"Wrong number of arguments"};
    }
    const std::wstring &text(std::size_t index) const {
        const auto *value = std::get_if<std::wstring>(&args[index]);
        if (!value)
            throw Fault{win32::kTypeMismatch,
                        L"Argument " + std::to_wstring(index + 1) + L" must be a text"};
        return *value;
    }
    std::vector<Property>::iterator find(const std::wstring &name) const {
        return std::find_if(state.properties.begin(), state.properties.end(),
                            [&](const Property &p) { return p.name == name; });
    }
    void save() const { host.save(state); }
};

Value visible(const Call &c) {
    if (!c.put) {
        c.expect(0);
        return c.state.visible;
    }
    c.expect(1);
    if (!std::holds_alternative<bool>(c.args[0]))
        throw Fault{win32::kTypeMismatch, L"Visible takes a Boolean"};
    c.state.visible = std::get<bool>(c.args[0]);
    c.save();
    if (c.state.visible)
        c.host.madeVisible();
    return {};
}

Value activeDoc(const Call &c) {
    if (c.put)
        throw Fault{kMemberNotFound, L"ActiveDoc is read-only"};
    c.expect(0);
    if (c.state.documentType)
        return Document{};
    return NoDocument{};
}

Value customInfo(const Call &c) {
    c.expect(c.put ? 2 : 1);
    const auto property = c.find(c.text(0));
    if (!c.put) {
        if (property == c.state.properties.end())
            return std::wstring();
        if (!property->value)
            return Null{};
        return *property->value;
    }
    const std::wstring &value = c.text(1);
    // Like the real program: a put on a missing property changes nothing.
    if (property != c.state.properties.end()) {
        property->value = value;
        c.save();
    }
    return {};
}

Value deleteCustomInfo(const Call &c) {
    c.expect(1);
    const std::wstring &name = c.text(0);
    const auto property = c.find(name);
    if (property == c.state.properties.end() ||
        std::find(c.state.kept.begin(), c.state.kept.end(), name) != c.state.kept.end())
        return false;
    c.state.properties.erase(property);
    c.save();
    return true;
}

Value addCustomInfo(const Call &c) {
    c.expect(3);
    const std::wstring &name = c.text(0);
    if (c.find(name) != c.state.properties.end())
        return false;
    c.state.properties.push_back({name, c.text(1), c.text(2)});
    c.save();
    return true;
}

Value editRebuild(const Call &c) {
    c.expect(0);
    if (c.state.rebuildFails)
        return false;
    ++c.state.rebuilds;
    rebuild(c.state);
    c.save();
    return true;
}

Value getType(const Call &c) {
    c.expect(0);
    return std::int64_t{c.state.documentType.value_or(0)};
}

Value getTitle(const Call &c) {
    c.expect(0);
    return c.state.title;
}

Value getPathName(const Call &c) {
    c.expect(0);
    return c.state.path;
}

struct Member {
    std::wstring_view name; // matched exactly as written, `gettype` in lower case
    Target target;
    bool property;
    Value (*run)(const Call &);
};

constexpr Member kMembers[] = {
    {L"Visible", Target::Application, true, &visible},
    {L"ActiveDoc", Target::Application, true, &activeDoc},
    {L"CustomInfo", Target::Document, true, &customInfo},
    {L"DeleteCustomInfo", Target::Document, false, &deleteCustomInfo},
    {L"AddCustomInfo", Target::Document, false, &addCustomInfo},
    {L"EditRebuild", Target::Document, false, &editRebuild},
    {L"gettype", Target::Document, false, &getType},
    {L"GetTitle", Target::Document, false, &getTitle},
    {L"GetPathName", Target::Document, false, &getPathName},
};

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
    host_.journal(text::toUtf8(L"lookup " + targetName(target) + L" " + std::wstring(member)));
    const auto found = std::find_if(std::begin(kMembers), std::end(kMembers), [&](const Member &m) {
        return m.name == member && m.target == target;
    });
    if (found == std::end(kMembers))
        return std::nullopt;
    return static_cast<int>(found - std::begin(kMembers));
}

Value Model::invoke(Target target, int member, unsigned invocation,
                    const std::vector<Value> &args) {
    if (member < 0 || member >= static_cast<int>(std::size(kMembers)))
        throw Fault{kMemberNotFound, L"Member not found"};
    const Member &info = kMembers[member];
    const bool put = (invocation & kPut) != 0;
    std::wstring line = (put             ? L"put "
                         : info.property ? L"get "
                                         : L"call ") +
                        targetName(target) + L" " + std::wstring(info.name);
    for (const Value &arg : args)
        line += L" " + journalText(arg);
    host_.journal(text::toUtf8(line));
    if (unreadable_)
        throw *unreadable_;
    if (put ? !info.property : !(invocation & (info.property ? kGet : kCall)))
        throw Fault{kMemberNotFound, L"Member not found"};

    const int calls = ++calls_[static_cast<std::size_t>(member)];
    if (state_.crash && state_.crash->member == info.name && state_.crash->call == calls) {
        host_.journal(text::toUtf8(L"crash in " + std::wstring(info.name)));
        host_.crash();
    }
    if (state_.silence && state_.silence->member == info.name && calls == state_.silence->call) {
        host_.journal(text::toUtf8(L"silent in " + std::wstring(info.name)));
        host_.stall(state_.silence->ms);
        host_.journal(text::toUtf8(L"silence ends in " + std::wstring(info.name)));
    }
    for (const Failure &failure : state_.failures)
        if (failure.member == info.name && calls > failure.after)
            throw Fault{failure.hresult, failure.description, failure.style};
    for (const Override &answer : state_.overrides)
        if (answer.member == info.name && !put)
            return answer;
    return info.run(Call{state_, host_, put, args});
}

void Model::created(std::wstring_view object) {
    host_.journal(text::toUtf8(L"create " + std::wstring(object)));
}

void Model::released(std::wstring_view object) {
    host_.journal(text::toUtf8(L"release " + std::wstring(object)));
}

} // namespace standin
