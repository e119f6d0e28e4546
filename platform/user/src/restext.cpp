// The resource text parser: one line per string or control, dialogs in blocks.
#include "user/restext.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <set>

#include "base/utf.h"

namespace user {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits one line into words and quoted strings; '#' outside quotes ends it.
bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& why)
{
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        Token t;
        if (c == '"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\') {
                    if (i >= line.size()) break;
                    char e = line[i++];
                    switch (e) {
                    case 'n': t.text += '\n'; break;
                    case 't': t.text += '\t'; break;
                    case '\\': t.text += '\\'; break;
                    case '"': t.text += '"'; break;
                    default: why = std::string("unknown escape \\") + e; return false;
                    }
                } else {
                    t.text += d;
                }
            }
            if (!closed) {
                why = "unterminated string";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"')
                t.text += line[i++];
        }
        tokens.push_back(std::move(t));
    }
    return true;
}

std::optional<long long> Number(const Token& t)
{
    if (t.quoted || t.text.empty()) return std::nullopt;
    std::string_view s = t.text;
    bool negative = false;
    if (s[0] == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return negative ? -v : v;
}

class Parser {
public:
    Parser(std::vector<Token> tokens, std::string& why) : tokens_(std::move(tokens)), why_(why) {}

    bool Done() const { return pos_ >= tokens_.size(); }

    bool Text(std::u16string& out, const char* what)
    {
        if (Done() || !tokens_[pos_].quoted) return Fail(std::string("expected a quoted ") + what);
        bool invalid = false;
        out = platform::DecodeUtf8(tokens_[pos_++].text, &invalid);
        if (invalid) return Fail(std::string("the ") + what + " is not UTF-8");
        return true;
    }

    bool Integer(long long low, long long high, long long& out, const char* what)
    {
        std::optional<long long> v = Done() ? std::nullopt : Number(tokens_[pos_]);
        if (!v) return Fail(std::string("expected a number for the ") + what);
        if (*v < low || *v > high)
            return Fail(std::string("the ") + what + " " + std::to_string(*v) + " is outside " + std::to_string(low) +
                        ".." + std::to_string(high));
        ++pos_;
        out = *v;
        return true;
    }

    bool Id(WORD& out, const char* what)
    {
        long long v;
        if (!Integer(0, 0xFFFF, v, what)) return false;
        out = static_cast<WORD>(v);
        return true;
    }

    bool Short(SHORT& out, const char* what)
    {
        long long v;
        if (!Integer(INT16_MIN, INT16_MAX, v, what)) return false;
        out = static_cast<SHORT>(v);
        return true;
    }

    bool Word(std::string& out)
    {
        if (Done() || tokens_[pos_].quoted) return Fail("expected a keyword");
        out = tokens_[pos_++].text;
        return true;
    }

    bool Fail(const std::string& why)
    {
        why_ = why;
        return false;
    }

private:
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    std::string& why_;
};

std::optional<ControlClass> ClassNamed(std::string_view name)
{
    static const std::pair<const char*, ControlClass> classes[] = {
        {"STATIC", ControlClass::Static},           {"EDIT", ControlClass::Edit},
        {"PUSHBUTTON", ControlClass::PushButton},   {"CHECKBOX", ControlClass::CheckBox},
        {"RADIOBUTTON", ControlClass::RadioButton}, {"GROUPBOX", ControlClass::GroupBox},
        {"COMBOBOX", ControlClass::ComboBox},       {"LISTBOX", ControlClass::ListBox},
        {"UPDOWN", ControlClass::UpDown},           {"TRACKBAR", ControlClass::Trackbar},
    };
    for (const auto& [n, c] : classes)
        if (name == n) return c;
    return std::nullopt;
}

bool ParseControl(Parser& p, ControlTemplate& c)
{
    std::string cls;
    if (!p.Id(c.id, "control identifier") || !p.Word(cls)) return false;
    std::optional<ControlClass> kind = ClassNamed(cls);
    if (!kind) return p.Fail("unknown control class " + cls);
    c.kind = *kind;
    if (!p.Short(c.x, "x") || !p.Short(c.y, "y") || !p.Short(c.cx, "width") || !p.Short(c.cy, "height") ||
        !p.Text(c.text, "control text"))
        return false;
    while (!p.Done()) {
        std::string option;
        if (!p.Word(option)) return false;
        long long a, b;
        if (option == "DISABLED") {
            c.disabled = true;
        } else if (option == "HIDDEN") {
            c.hidden = true;
        } else if (option == "LIMIT") {
            if (c.kind != ControlClass::Edit) return p.Fail("LIMIT is for EDIT controls");
            if (!p.Integer(1, 0x7FFFFFFE, a, "limit")) return false;
            c.limit = static_cast<int>(a);
        } else if (option == "RANGE") {
            if (c.kind != ControlClass::UpDown && c.kind != ControlClass::Trackbar)
                return p.Fail("RANGE is for UPDOWN and TRACKBAR controls");
            if (!p.Integer(INT16_MIN, INT16_MAX, a, "range start") || !p.Integer(INT16_MIN, INT16_MAX, b, "range end"))
                return false;
            c.hasRange = true;
            c.rangeLow = static_cast<int>(a);
            c.rangeHigh = static_cast<int>(b);
        } else if (option == "BUDDY") {
            if (c.kind != ControlClass::UpDown) return p.Fail("BUDDY is for UPDOWN controls");
            if (!p.Id(c.buddy, "buddy identifier")) return false;
        } else {
            return p.Fail("unknown control option " + option);
        }
    }
    return true;
}

}  // namespace

bool ParseResourceText(std::string_view text, ResourceText& out, std::string& why)
{
    out = ResourceText{};
    DialogTemplate* open = nullptr;
    std::set<WORD> controlIds;
    size_t lineNo = 0;
    auto fail = [&](const std::string& reason) {
        why = "line " + std::to_string(lineNo) + ": " + reason;
        out = ResourceText{};
        return false;
    };
    while (!text.empty()) {
        ++lineNo;
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.find('\0') != std::string_view::npos) return fail("NUL byte");

        std::vector<Token> tokens;
        std::string reason;
        if (!Tokenize(line, tokens, reason)) return fail(reason);
        if (tokens.empty()) continue;
        if (tokens[0].quoted) return fail("expected a keyword");
        std::string keyword = tokens[0].text;
        tokens.erase(tokens.begin());
        Parser p(std::move(tokens), reason);

        if (keyword == "STRING") {
            if (open) return fail("STRING inside DIALOG " + std::to_string(open->id));
            WORD id;
            std::u16string s;
            if (!p.Id(id, "string identifier") || !p.Text(s, "string")) return fail(reason);
            if (!p.Done()) return fail("text after the string");
            if (!out.strings.emplace(id, std::move(s)).second) return fail("string " + std::to_string(id) + " defined twice");
        } else if (keyword == "DIALOG") {
            if (open) return fail("DIALOG inside DIALOG " + std::to_string(open->id));
            DialogTemplate d;
            if (!p.Id(d.id, "dialog identifier") || !p.Short(d.x, "x") || !p.Short(d.y, "y") ||
                !p.Short(d.cx, "width") || !p.Short(d.cy, "height") || !p.Text(d.caption, "caption"))
                return fail(reason);
            if (!p.Done()) return fail("text after the caption");
            WORD id = d.id;
            auto [it, fresh] = out.dialogs.emplace(id, std::move(d));
            if (!fresh) return fail("dialog " + std::to_string(id) + " defined twice");
            open = &it->second;
            controlIds.clear();
        } else if (keyword == "CONTROL") {
            if (!open) return fail("CONTROL outside a DIALOG");
            ControlTemplate c;
            if (!ParseControl(p, c)) return fail(reason);
            if (c.id != 0 && c.id != 0xFFFF && !controlIds.insert(c.id).second)
                return fail("control " + std::to_string(c.id) + " used twice in dialog " + std::to_string(open->id));
            open->controls.push_back(std::move(c));
        } else if (keyword == "END") {
            if (!open) return fail("END without DIALOG");
            if (!p.Done()) return fail("text after END");
            open = nullptr;
        } else {
            return fail("unknown keyword " + keyword);
        }
    }
    if (open) {
        ++lineNo;
        return fail("DIALOG " + std::to_string(open->id) + " has no END");
    }
    return true;
}

}  // namespace user
