#include "standin/state.h"

#include "standin/utf8.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace standin {
namespace {

constexpr std::int32_t kInvalidData = static_cast<std::int32_t>(0x8007000D); // ERROR_INVALID_DATA

// What a backslash stands for in a quoted text: the character, the letter after it.
struct Escape {
    wchar_t character, letter;
};
constexpr Escape kEscapes[] = {{L'\n', L'n'}, {L'\r', L'r'},  {L'\t', L't'},
                               {L'\0', L'0'}, {L'\\', L'\\'}, {L'"', L'"'}};

struct Token {
    std::wstring text;
    bool quoted = false;
};

class LineReader {
public:
    LineReader(std::wstring_view fileName, int lineNumber)
        : fileName_(fileName), line_(lineNumber) {}

    [[noreturn]] void fail(std::wstring_view problem) const {
        throw Fault{kInvalidData, std::wstring(fileName_) + L" line " + std::to_wstring(line_) +
                                      L": " + std::wstring(problem)};
    }

    std::vector<Token> split(std::wstring_view line) const {
        std::vector<Token> tokens;
        std::size_t i = 0;
        while (i < line.size()) {
            const wchar_t c = line[i];
            if (c == L' ' || c == L'\t' || c == L'\r') {
                ++i;
            } else if (c == L'#') {
                break;
            } else if (c == L'"') {
                tokens.push_back({unquote(line, i), true});
            } else {
                const std::size_t end = line.find_first_of(L" \t\r#\"", i);
                tokens.push_back({std::wstring(line.substr(i, end - i)), false});
                i = end == std::wstring_view::npos ? line.size() : end;
            }
        }
        return tokens;
    }

    std::int32_t integer(const Token &token) const {
        if (token.quoted || token.text.empty())
            fail(L"a number was expected");
        const bool hex = token.text.size() > 2 && token.text[0] == L'0' &&
                         (token.text[1] == L'x' || token.text[1] == L'X');
        wchar_t *end = nullptr;
        const long long value = std::wcstoll(token.text.c_str(), &end, hex ? 16 : 10);
        if (end != token.text.c_str() + token.text.size() || value < INT32_MIN ||
            value > static_cast<long long>(UINT32_MAX))
            fail(L"\"" + token.text + L"\" is not a number");
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    const std::wstring &text(const Token &token) const {
        if (!token.quoted)
            fail(L"a text in double quotes was expected");
        return token.text;
    }

private:
    // Reads a quoted text starting at line[i]; leaves i after the closing quote.
    std::wstring unquote(std::wstring_view line, std::size_t &i) const {
        std::wstring out;
        for (++i; i < line.size(); ++i) {
            wchar_t c = line[i];
            if (c == L'"') {
                ++i;
                return out;
            }
            if (c == L'\\') {
                if (++i == line.size())
                    break;
                const auto escape =
                    std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                 [&](const Escape &e) { return e.letter == line[i]; });
                if (escape == std::end(kEscapes))
                    fail(L"unknown escape \\" + std::wstring(1, line[i]));
                c = escape->character;
            }
            out += c;
        }
        fail(L"a text has no closing quote");
    }

    std::wstring_view fileName_;
    int line_;
};

std::int32_t documentType(const LineReader &reader, const Token &token) {
    if (token.text == L"part")
        return 1;
    if (token.text == L"assembly")
        return 2;
    if (token.text == L"drawing")
        return 3;
    return reader.integer(token);
}

bool boolean(const LineReader &reader, const Token &token) {
    if (token.text == L"true" && !token.quoted)
        return true;
    if (token.text == L"false" && !token.quoted)
        return false;
    reader.fail(L"true or false was expected");
}

std::wstring hex(std::int32_t code) {
    wchar_t buffer[16];
    std::swprintf(buffer, std::size(buffer), L"0x%08X", static_cast<unsigned>(code));
    return buffer;
}

} // namespace

std::wstring quoted(std::wstring_view text) {
    std::wstring out = L"\"";
    for (const wchar_t c : text) {
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [c](const Escape &e) { return e.character == c; });
        if (escape == std::end(kEscapes))
            out += c;
        else
            out += {L'\\', escape->letter};
    }
    return out + L"\"";
}

void rebuild(State &state) {
    state.titleBlock.clear();
    for (const Property &p : state.properties)
        state.titleBlock.push_back({p.name, p.value.value_or(L"")});
}

State parseState(std::string_view utf8, std::wstring_view fileName) {
    if (utf8.find_first_not_of(" \t\r\n") == std::string_view::npos)
        throw Fault{kInvalidData, std::wstring(fileName) + L": the state file is empty"};
    State state;
    bool shown = false;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < utf8.size()) {
        ++lineNumber;
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos)
            end = utf8.size();
        const LineReader reader(fileName, lineNumber);
        const std::optional<std::wstring> line = fromUtf8(utf8.substr(start, end - start));
        start = end + 1;
        if (!line)
            reader.fail(L"the text is not UTF-8");
        const std::vector<Token> t = reader.split(*line);
        if (t.empty())
            continue;
        const std::wstring &key = t[0].text;
        const auto arity = [&](std::size_t low, std::size_t high) {
            if (t.size() < low || t.size() > high)
                reader.fail(L"wrong number of values for \"" + key + L"\"");
        };
        if (t[0].quoted) {
            reader.fail(L"a line starts with a keyword");
        } else if (key == L"visible") {
            arity(2, 2);
            state.visible = boolean(reader, t[1]);
        } else if (key == L"document") {
            arity(2, 2);
            if (t[1].text == L"none" && !t[1].quoted)
                state.documentType.reset();
            else
                state.documentType = documentType(reader, t[1]);
        } else if (key == L"title") {
            arity(2, 2);
            state.title = reader.text(t[1]);
        } else if (key == L"rebuilds") {
            arity(2, 2);
            state.rebuilds = reader.integer(t[1]);
        } else if (key == L"property") {
            arity(4, 4);
            Property property{reader.text(t[1]), reader.text(t[2]), std::nullopt};
            if (t[3].quoted)
                property.value = t[3].text;
            else if (t[3].text != L"null")
                reader.fail(L"a property's value is a text in double quotes or null");
            state.properties.push_back(std::move(property));
        } else if (key == L"fail") {
            arity(4, 7);
            Failure failure{reader.text(t[1]), reader.integer(t[2]), reader.text(t[3])};
            for (std::size_t i = 4; i < t.size(); ++i) {
                if (t[i].quoted)
                    reader.fail(L"\"fail\" ends with: after N or bare");
                else if (t[i].text == L"after" && i + 1 < t.size())
                    failure.after = reader.integer(t[++i]);
                else if (t[i].text == L"bare")
                    failure.style = FaultStyle::Bare;
                else
                    reader.fail(L"\"fail\" ends with: after N or bare");
            }
            state.failures.push_back(std::move(failure));
        } else if (key == L"returns") {
            arity(3, 4);
            static constexpr std::wstring_view kinds[] = {
                L"empty",   L"null", L"bool",  L"i8",    L"r8",      L"date",  L"currency",
                L"decimal", L"text", L"array", L"error", L"unknown", L"object"};
            if (t[2].quoted ||
                std::find(std::begin(kinds), std::end(kinds), t[2].text) == std::end(kinds))
                reader.fail(L"unknown kind of value \"" + t[2].text + L"\"");
            state.overrides.push_back(
                {reader.text(t[1]), t[2].text, t.size() == 4 ? reader.text(t[3]) : L""});
        } else if (key == L"keep") {
            arity(2, 2);
            state.kept.push_back(reader.text(t[1]));
        } else if (key == L"norebuild") {
            arity(1, 1);
            state.rebuildFails = true;
        } else if (key == L"shown") {
            arity(3, 3);
            shown = true;
            state.titleBlock.push_back({reader.text(t[1]), reader.text(t[2])});
        } else if (key == L"busy") {
            arity(2, 2);
            state.busyMs = reader.integer(t[1]);
        } else if (key == L"crash") {
            arity(3, 3);
            state.crash = Crash{reader.text(t[1]), reader.integer(t[2])};
        } else if (key == L"silent") {
            arity(3, 3);
            state.silence = Silence{reader.text(t[1]), reader.integer(t[2])};
        } else if (key == L"slowstart") {
            arity(2, 2);
            state.slowStartMs = reader.integer(t[1]);
        } else if (key == L"refuse") {
            arity(3, 3);
            state.refuseCreate = Fault{reader.integer(t[1]), reader.text(t[2])};
        } else {
            reader.fail(L"unknown keyword \"" + key + L"\"");
        }
    }
    if (!shown)
        rebuild(state);
    return state;
}

std::string formatState(const State &state) {
    std::wstring out =
        L"# The stand-in CAD program's state; edit freely while no operation runs.\n";
    out += L"visible " + std::wstring(state.visible ? L"true" : L"false") + L"\n";
    out += L"document " + (state.documentType ? std::to_wstring(*state.documentType) : L"none") +
           L"  # none, 1 part, 2 assembly, 3 drawing\n";
    out += L"title " + quoted(state.title) + L"\n";
    out += L"rebuilds " + std::to_wstring(state.rebuilds) + L"\n";
    for (const Property &p : state.properties)
        out += L"property " + quoted(p.name) + L" " + quoted(p.type) + L" " +
               (p.value ? quoted(*p.value) : L"null") + L"\n";
    for (const Failure &f : state.failures)
        out += L"fail " + quoted(f.member) + L" " + hex(f.hresult) + L" " + quoted(f.description) +
               (f.after ? L" after " + std::to_wstring(f.after) : L"") +
               (f.style == FaultStyle::Bare ? L" bare" : L"") + L"\n";
    for (const Override &o : state.overrides)
        out += L"returns " + quoted(o.member) + L" " + o.kind + L" " + quoted(o.text) + L"\n";
    if (state.refuseCreate)
        out += L"refuse " + hex(state.refuseCreate->hresult) + L" " +
               quoted(state.refuseCreate->description) + L"\n";
    for (const std::wstring &name : state.kept)
        out += L"keep " + quoted(name) + L"\n";
    if (state.rebuildFails)
        out += L"norebuild\n";
    for (const Shown &s : state.titleBlock)
        out += L"shown " + quoted(s.name) + L" " + quoted(s.value) + L"  # in the title block\n";
    if (state.busyMs)
        out += L"busy " + std::to_wstring(state.busyMs) + L"\n";
    if (state.crash)
        out += L"crash " + quoted(state.crash->member) + L" " + std::to_wstring(state.crash->call) +
               L"\n";
    if (state.silence)
        out += L"silent " + quoted(state.silence->member) + L" " +
               std::to_wstring(state.silence->ms) + L"\n";
    if (state.slowStartMs)
        out += L"slowstart " + std::to_wstring(state.slowStartMs) + L"\n";
    return toUtf8(out);
}

} // namespace standin
