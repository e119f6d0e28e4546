#include "form.h"

#include <optional>

#include "base/codepage.h"
#include "compstui/compstui.h"
#include "html.h"
#include "layout.h"

namespace lblweb {

namespace {

using user::ControlClass;
using K = Action::Kind;

std::optional<long> Number(const std::string& s)
{
    size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
    if (s.size() == i || s.size() - i > 9) return std::nullopt;
    long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return s[0] == '-' ? -v : v;
}

const std::string* Field(const FormFields& form, const std::string& key)
{
    auto it = form.find(key);
    return it == form.end() ? nullptr : &it->second;
}

// Reads the fields and the button of one kind of wait; the first fault ends it.
class Reader {
public:
    Reader(const FormFields& form, size_t depth) : form_(form), depth_(depth) {}

    void Add(K kind, int target, long value, std::string what, std::u16string text = {})
    {
        Action a;
        a.kind = kind, a.target = target, a.value = value, a.what = std::move(what), a.text = std::move(text);
        a.depth = depth_;
        post.actions.push_back(std::move(a));
    }
    bool Fail(std::string why)
    {
        if (post.error.empty()) post.error = std::move(why);
        return false;
    }
    // A choice or position in [low, high], or a fault.
    std::optional<long> InRange(const std::string& value, long low, long high, const std::string& what)
    {
        auto n = Number(value);
        if (!n || *n < low || *n > high) {
            Fail(what + " takes " + std::to_string(low) + " to " + std::to_string(high) + ", not \"" +
                 value.substr(0, 40) + "\"; nothing was changed.");
            return std::nullopt;
        }
        return n;
    }
    // A text as typed, or a fault for one past the limit or not UTF-8.
    std::optional<std::u16string> Text(const std::string& value, size_t limit, const std::string& what)
    {
        if (!IsUtf8(value)) return Fail(what + ": the text is not valid UTF-8; nothing was changed."), std::nullopt;
        std::u16string text = platform::Widen(value);
        if (value.size() > kMaxFieldBytes || (limit > 0 && text.size() > limit))
            return Fail(what + " takes at most " + std::to_string(limit > 0 ? limit : kMaxFieldBytes) +
                        " characters (" + std::to_string(text.size()) + " given); nothing was changed."),
                   std::nullopt;
        return text;
    }

    const FormFields& form_;
    size_t depth_;
    Post post;
};

void ReadPage(Reader& r, const user::SheetState& sheet, const std::string& button)
{
    if (sheet.active < 0 || static_cast<size_t>(sheet.active) >= sheet.pages.size()) return;
    const user::PageState& page = sheet.pages[static_cast<size_t>(sheet.active)];
    for (size_t i = 0; i < page.controls.size() && r.post.error.empty(); ++i) {
        const user::ControlState& c = page.controls[i];
        if (!c.visible || !c.enabled) continue;
        const std::string key = "c" + std::to_string(c.id);
        const std::string* value = Field(r.form_, key);
        const std::string what = ControlName(page, i);
        switch (c.kind) {
        case ControlClass::Edit:
            if (!value) break;
            if (auto text = r.Text(*value, static_cast<size_t>(std::max(c.limit, 0)), what); text && *text != c.text)
                r.Add(K::Type, c.id, 0, what, *text);
            break;
        case ControlClass::ComboBox:
        case ControlClass::ListBox:
            if (!value) break;
            if (auto n = r.InRange(*value, 0, static_cast<long>(c.items.size()) - 1, what); n && *n != c.selection)
                r.Add(K::Pick, c.id, *n, what);
            break;
        case ControlClass::Trackbar:
            if (!value) break;
            if (auto n = r.InRange(*value, c.low, c.high, what); n && *n != c.pos) r.Add(K::Slide, c.id, *n, what);
            break;
        case ControlClass::CheckBox:
        case ControlClass::RadioButton:
            if (Field(r.form_, "k" + std::to_string(c.id))) {
                const bool checked = value && *value == "1";
                if (checked != c.checked) r.Add(K::Check, c.id, checked, what);
            }
            break;
        default: break;
        }
    }
    if (!r.post.error.empty() || button.empty()) return;

    const auto colon = button.find(':');
    const std::string verb = button.substr(0, colon);
    const std::string rest = colon == std::string::npos ? "" : button.substr(colon + 1);
    if (verb == "page") {
        if (auto n = r.InRange(rest, 0, static_cast<long>(sheet.pages.size()) - 1, "The page"))
            r.Add(K::SwitchPage, static_cast<int>(*n), 0, "the page \"" + platform::Narrow(sheet.pages[*n].title) + "\"");
        return;
    }
    if (verb == "press" || verb == "step") {
        const auto colon2 = rest.find(':');
        const auto id = Number(rest.substr(0, colon2));
        const user::ControlState* c = id && *id >= 0 && *id <= 0xFFFF ? FindControl(page, static_cast<WORD>(*id)) : nullptr;
        if (!c || !c->visible || !c->enabled) {
            r.Fail("That button is not on the page; nothing was changed.");
            return;
        }
        const size_t index = static_cast<size_t>(c - page.controls.data());
        if (verb == "press" && c->kind == ControlClass::PushButton) {
            r.Add(K::Press, c->id, 0, ControlName(page, index));
            return;
        }
        const std::string delta = colon2 == std::string::npos ? "" : rest.substr(colon2 + 1);
        if (verb == "step" && c->kind == ControlClass::UpDown && (delta == "1" || delta == "-1")) {
            r.Add(K::Step, c->id, delta == "1" ? 1 : -1, "the arrows of " + ControlName(page, index));
            return;
        }
        r.Fail("That button is not on the page; nothing was changed.");
        return;
    }
    if (verb == "ok") return r.Add(K::Ok, 0, 0, "OK");
    if (verb == "cancel") return r.Add(K::Cancel, 0, 0, "Cancel");
    if (verb == "apply" && sheet.applyButton) return r.Add(K::Apply, 0, 0, "Apply");
    r.Fail("That button is not on the page; nothing was changed.");
}

void ReadItems(Reader& r, const user::CommonSheetState& sheet, const std::string& button)
{
    for (const user::ItemState& it : sheet.items) {
        if (!r.post.error.empty()) return;
        if (it.flags & OPTIF_HIDE) continue;
        const std::string n = std::to_string(it.index);
        const std::string what = "\"" + platform::Narrow(it.name) + "\"";
        if (!(it.flags & OPTIF_DISABLED)) {
            const std::string* value = Field(r.form_, "i" + n);
            switch (it.type) {
            case TVOT_2STATES:
            case TVOT_3STATES:
            case TVOT_LISTBOX:
            case TVOT_COMBOBOX:
                if (!value) break;
                if (auto v = r.InRange(*value, 0, static_cast<long>(it.choices.size()) - 1, what); v && *v != it.selection)
                    r.Add(K::Select, it.index, *v, what);
                break;
            case TVOT_UDARROW:
            case TVOT_TRACKBAR:
            case TVOT_SCROLLBAR:
                if (!value) break;
                if (auto v = r.InRange(*value, it.low, it.high, what); v && *v != it.selection)
                    r.Add(K::Select, it.index, *v, what);
                break;
            case TVOT_EDITBOX:
                if (!value) break;
                if (auto text = r.Text(*value, 0, what); text && *text != it.text)
                    r.Add(K::TypeItem, it.index, 0, what, *text);
                break;
            case TVOT_CHKBOX:
                if (Field(r.form_, "ki" + n)) {
                    const long v = value && *value == "1" ? 1 : 0;
                    if (v != it.selection) r.Add(K::Select, it.index, v, what);
                }
                break;
            default: break;
            }
        }
        const bool extUsable = !it.extName.empty() && !(it.flags & (OPTIF_EXT_HIDE | OPTIF_EXT_DISABLED));
        if (extUsable && !it.extIsPush && Field(r.form_, "kx" + n)) {
            const std::string* value = Field(r.form_, "x" + n);
            const bool checked = value && *value == "1";
            if (checked != it.extChecked)
                r.Add(K::CheckExt, it.index, checked, "\"" + platform::Narrow(it.extName) + "\"");
        }
    }
    if (!r.post.error.empty() || button.empty()) return;

    const auto colon = button.find(':');
    const std::string verb = button.substr(0, colon);
    if (verb == "push" || verb == "ext") {
        const auto n = Number(colon == std::string::npos ? "" : button.substr(colon + 1));
        const user::ItemState* it = nullptr;
        for (const auto& candidate : sheet.items)
            if (n && candidate.index == *n) it = &candidate;
        if (it && verb == "push" && it->type == TVOT_PUSHBUTTON && !(it->flags & (OPTIF_HIDE | OPTIF_DISABLED)))
            return r.Add(K::PushItem, it->index, 0, "\"" + platform::Narrow(it->name) + "\"");
        if (it && verb == "ext" && it->extIsPush && !it->extName.empty() && !(it->flags & (OPTIF_HIDE | OPTIF_EXT_HIDE | OPTIF_EXT_DISABLED)))
            return r.Add(K::PushExt, it->index, 0, "\"" + platform::Narrow(it->extName) + "\"");
        r.Fail("That button is not on the sheet; nothing was changed.");
        return;
    }
    if (verb == "ok") return r.Add(K::Ok, 0, 0, "OK");
    if (verb == "cancel") return r.Add(K::Cancel, 0, 0, "Cancel");
    if (verb == "apply") return r.Add(K::Apply, 0, 0, "Apply");
    r.Fail("That button is not on the sheet; nothing was changed.");
}

std::optional<COLORREF> Colour(const std::string& s)
{
    if (s.size() != 7 || s[0] != '#') return std::nullopt;
    unsigned v = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = s[i];
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return std::nullopt;
        v = v << 4 | static_cast<unsigned>(d);
    }
    // #rrggbb to COLORREF 0x00bbggrr.
    return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
}

}  // namespace

Post ReadPost(const View& view, const FormFields& form)
{
    Reader r(form, view.frames.size());
    if (view.frames.empty()) {
        r.Fail("Nothing is open; nothing was changed.");
        return r.post;
    }
    const std::string* pressed = Field(form, "do");
    const std::string button = pressed ? *pressed : "";
    if (button.size() > 40) {
        r.Fail("That button is not on the page; nothing was changed.");
        return r.post;
    }
    const Frame& top = view.frames.back();
    switch (top.what) {
    case user::Waiting::PropertySheet: ReadPage(r, top.sheet, button); break;
    case user::Waiting::CommonSheet: ReadItems(r, top.items, button); break;
    case user::Waiting::MessageBox: {
        if (button.empty()) break;
        const auto n = button.rfind("answer:", 0) == 0 ? Number(button.substr(7)) : std::nullopt;
        bool has = false;
        for (int b : top.buttons) has = has || (n && b == *n);
        if (!has) r.Fail("The message has no such button; nothing was changed.");
        else r.Add(K::Answer, static_cast<int>(*n), 0, "that answer");
        break;
    }
    case user::Waiting::ColorDialog:
        if (button == "color") {
            const std::string* value = Field(form, "color");
            const auto rgb = value ? Colour(*value) : std::nullopt;
            if (!rgb) r.Fail("A colour is written #rrggbb; nothing was changed.");
            else r.Add(K::PickColor, 0, static_cast<long>(*rgb), "the colour");
        } else if (button == "nocolor") {
            r.Add(K::CancelColor, 0, 0, "Cancel");
        } else if (!button.empty()) {
            r.Fail("The colour dialog has no such button; nothing was changed.");
        }
        break;
    case user::Waiting::Nothing: r.Fail("Nothing is open; nothing was changed."); break;
    }
    if (!r.post.error.empty()) r.post.actions.clear();
    return r.post;
}

}  // namespace lblweb
