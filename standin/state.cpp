#include "standin/state.h"

#include "text/utf8.h"

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

std::wstring documentText(const State &state) {
    return state.documentType ? std::to_wstring(*state.documentType) : L"none";
}

using Tokens = std::vector<Token>;

// One kind of line of the state file: how many values it has, how it is read into
// the state, and how the state writes its lines of this kind.
struct Keyword {
    std::wstring_view name;
    std::size_t low, high; // values after the keyword
    void (*read)(const LineReader &, const Tokens &, State &);
    void (*write)(const State &, std::wstring &);
};

// In the order the file is written.
const Keyword kKeywords[] = {
    {L"visible", 1, 1,
     [](const LineReader &r, const Tokens &t, State &s) { s.visible = boolean(r, t[1]); },
     [](const State &s, std::wstring &out) {
         out += L"visible " + std::wstring(s.visible ? L"true" : L"false") + L"\n";
     }},
    {L"document", 1, 1,
     [](const LineReader &r, const Tokens &t, State &s) {
         if (t[1].text == L"none" && !t[1].quoted)
             s.documentType.reset();
         else
             s.documentType = documentType(r, t[1]);
     },
     [](const State &s, std::wstring &out) {
         out += L"document " + documentText(s) + L"  # none, 1 part, 2 assembly, 3 drawing\n";
     }},
    {L"title", 1, 1, [](const LineReader &r, const Tokens &t, State &s) { s.title = r.text(t[1]); },
     [](const State &s, std::wstring &out) { out += L"title " + quoted(s.title) + L"\n"; }},
    {L"path", 1, 1, [](const LineReader &r, const Tokens &t, State &s) { s.path = r.text(t[1]); },
     [](const State &s, std::wstring &out) {
         if (!s.path.empty())
             out += L"path " + quoted(s.path) + L"\n";
     }},
    {L"rebuilds", 1, 1,
     [](const LineReader &r, const Tokens &t, State &s) { s.rebuilds = r.integer(t[1]); },
     [](const State &s, std::wstring &out) {
         out += L"rebuilds " + std::to_wstring(s.rebuilds) + L"\n";
     }},
    {L"property", 3, 3,
     [](const LineReader &r, const Tokens &t, State &s) {
         Property property{r.text(t[1]), r.text(t[2]), std::nullopt};
         if (t[3].quoted)
             property.value = t[3].text;
         else if (t[3].text != L"null")
             r.fail(L"a property's value is a text in double quotes or null");
         s.properties.push_back(std::move(property));
     },
     [](const State &s, std::wstring &out) {
         for (const Property &p : s.properties)
             out += L"property " + quoted(p.name) + L" " + quoted(p.type) + L" " +
                    (p.value ? quoted(*p.value) : L"null") + L"\n";
     }},
    {L"fail", 3, 6,
     [](const LineReader &r, const Tokens &t, State &s) {
         Failure failure{r.text(t[1]), r.integer(t[2]), r.text(t[3])};
         for (std::size_t i = 4; i < t.size(); ++i) {
             if (t[i].quoted)
                 r.fail(L"\"fail\" ends with: after N or bare");
             else if (t[i].text == L"after" && i + 1 < t.size())
                 failure.after = r.integer(t[++i]);
             else if (t[i].text == L"bare")
                 failure.style = FaultStyle::Bare;
             else
                 r.fail(L"\"fail\" ends with: after N or bare");
         }
         s.failures.push_back(std::move(failure));
     },
     [](const State &s, std::wstring &out) {
         for (const Failure &f : s.failures)
             out += L"fail " + quoted(f.member) + L" " + hex(f.hresult) + L" " +
                    quoted(f.description) +
                    (f.after ? L" after " + std::to_wstring(f.after) : L"") +
                    (f.style == FaultStyle::Bare ? L" bare" : L"") + L"\n";
     }},
    {L"returns", 2, 3,
     [](const LineReader &r, const Tokens &t, State &s) {
         static constexpr std::wstring_view kinds[] = {
             L"empty",   L"null", L"bool",  L"i8",    L"r8",      L"date",  L"currency",
             L"decimal", L"text", L"array", L"error", L"unknown", L"object"};
         if (t[2].quoted ||
             std::find(std::begin(kinds), std::end(kinds), t[2].text) == std::end(kinds))
             r.fail(L"unknown kind of value \"" + t[2].text + L"\"");
         s.overrides.push_back({r.text(t[1]), t[2].text, t.size() == 4 ? r.text(t[3]) : L""});
     },
     [](const State &s, std::wstring &out) {
         for (const Override &o : s.overrides)
             out += L"returns " + quoted(o.member) + L" " + o.kind + L" " + quoted(o.text) + L"\n";
     }},
    {L"refuse", 2, 2,
     [](const LineReader &r, const Tokens &t, State &s) {
         s.refuseCreate = Fault{r.integer(t[1]), r.text(t[2])};
     },
     [](const State &s, std::wstring &out) {
         if (s.refuseCreate)
             out += L"refuse " + hex(s.refuseCreate->hresult) + L" " +
                    quoted(s.refuseCreate->description) + L"\n";
     }},
    {L"keep", 1, 1,
     [](const LineReader &r, const Tokens &t, State &s) { s.kept.push_back(r.text(t[1])); },
     [](const State &s, std::wstring &out) {
         for (const std::wstring &name : s.kept)
             out += L"keep " + quoted(name) + L"\n";
     }},
    {L"norebuild", 0, 0,
     [](const LineReader &, const Tokens &, State &s) { s.rebuildFails = true; },
     [](const State &s, std::wstring &out) {
         if (s.rebuildFails)
             out += L"norebuild\n";
     }},
    {L"shown", 2, 2,
     [](const LineReader &r, const Tokens &t, State &s) {
         s.titleBlock.push_back({r.text(t[1]), r.text(t[2])});
     },
     [](const State &s, std::wstring &out) {
         for (const Shown &shown : s.titleBlock)
             out += L"shown " + quoted(shown.name) + L" " + quoted(shown.value) +
                    L"  # in the title block\n";
     }},
    {L"busy", 1, 1,
     [](const LineReader &r, const Tokens &t, State &s) { s.busyMs = r.integer(t[1]); },
     [](const State &s, std::wstring &out) {
         if (s.busyMs)
             out += L"busy " + std::to_wstring(s.busyMs) + L"\n";
     }},
    {L"crash", 2, 2,
     [](const LineReader &r, const Tokens &t, State &s) {
         s.crash = Crash{r.text(t[1]), r.integer(t[2])};
     },
     [](const State &s, std::wstring &out) {
         if (s.crash)
             out += L"crash " + quoted(s.crash->member) + L" " + std::to_wstring(s.crash->call) +
                    L"\n";
     }},
    {L"silent", 2, 3,
     [](const LineReader &r, const Tokens &t, State &s) {
         s.silence = Silence{r.text(t[1]), r.integer(t[2]), t.size() > 3 ? r.integer(t[3]) : 1};
     },
     [](const State &s, std::wstring &out) {
         if (s.silence)
             out += L"silent " + quoted(s.silence->member) + L" " + std::to_wstring(s.silence->ms) +
                    (s.silence->call == 1 ? L"" : L" " + std::to_wstring(s.silence->call)) + L"\n";
     }},
    {L"slowstart", 1, 1,
     [](const LineReader &r, const Tokens &t, State &s) { s.slowStartMs = r.integer(t[1]); },
     [](const State &s, std::wstring &out) {
         if (s.slowStartMs)
             out += L"slowstart " + std::to_wstring(s.slowStartMs) + L"\n";
     }},
};

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
        const std::optional<std::wstring> line = text::fromUtf8(utf8.substr(start, end - start));
        start = end + 1;
        if (!line)
            reader.fail(L"the text is not UTF-8");
        const std::vector<Token> t = reader.split(*line);
        if (t.empty())
            continue;
        if (t[0].quoted)
            reader.fail(L"a line starts with a keyword");
        const auto keyword = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                          [&](const Keyword &k) { return k.name == t[0].text; });
        if (keyword == std::end(kKeywords))
            reader.fail(L"unknown keyword \"" + t[0].text + L"\"");
        if (t.size() < keyword->low + 1 || t.size() > keyword->high + 1)
            reader.fail(L"wrong number of values for \"" + t[0].text + L"\"");
        keyword->read(reader, t, state);
        shown = shown || keyword->name == L"shown";
    }
    if (!shown)
        rebuild(state);
    return state;
}

std::string formatState(const State &state) {
    std::wstring out =
        L"# The stand-in CAD program's state; edit freely while no operation runs.\n";
    for (const Keyword &keyword : kKeywords)
        keyword.write(state, out);
    return text::toUtf8(out);
}

} // namespace standin
