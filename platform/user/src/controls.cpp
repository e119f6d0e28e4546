// The controls' own models: text, limits, ranges, positions, lists, checks.
#include <algorithm>
#include <cstring>

#include "window_model.h"

namespace user {
namespace {

int Clamp(const Window& c, int v)
{
    int lo = std::min(c.low, c.high), hi = std::max(c.low, c.high);
    return std::clamp(v, lo, hi);
}

// Copies text into a caller's buffer of `size` characters (bytes for ansi), terminated.
LRESULT CopyOut(std::u16string_view text, WPARAM size, LPARAM buffer, bool ansi)
{
    if (!buffer || size == 0) return 0;
    if (ansi) {
        std::string a = ToAnsi(text);
        size_t n = std::min(a.size(), static_cast<size_t>(size) - 1);
        std::memcpy(reinterpret_cast<char*>(buffer), a.data(), n);
        reinterpret_cast<char*>(buffer)[n] = 0;
        return static_cast<LRESULT>(n);
    }
    size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::copy_n(text.data(), n, reinterpret_cast<WCHAR*>(buffer));
    reinterpret_cast<WCHAR*>(buffer)[n] = 0;
    return static_cast<LRESULT>(n);
}

std::u16string In(LPARAM p, bool ansi)
{
    if (!p) return {};
    return ansi ? Widen(reinterpret_cast<LPCSTR>(p)) : std::u16string(reinterpret_cast<LPCWSTR>(p));
}

void WriteBuddy(const Window& updown)
{
    if (!updown.buddy) return;
    auto page = platform::LookupHandle<Window>(updown.parent);
    if (!page) return;
    if (auto edit = ChildById(*page, updown.buddy)) {
        std::string digits = std::to_string(updown.pos);
        edit->text.assign(digits.begin(), digits.end());
    }
}

}  // namespace

void CreateControls(Window& page, const DialogTemplate& tmpl)
{
    for (const ControlTemplate& t : tmpl.controls) {
        auto c = NewWindow(Window::Kind::Control, page.handle);
        c->id = t.id;
        c->cls = t.kind;
        c->text = t.kind == ControlClass::Edit || t.kind == ControlClass::ComboBox ? std::u16string() : t.text;
        c->visible = !t.hidden;
        c->enabled = !t.disabled;
        if (t.limit) c->limit = t.limit;
        if (t.kind == ControlClass::UpDown) c->low = 0, c->high = 100;  // Windows' default range is 100..0
        if (t.hasRange) c->low = t.rangeLow, c->high = t.rangeHigh;
        c->pos = Clamp(*c, 0);
        c->buddy = t.buddy;
        page.controls.push_back(std::move(c));
    }
}

LRESULT ControlMessage(Window& c, UINT msg, WPARAM wParam, LPARAM lParam, bool ansi)
{
    switch (msg) {
    case WM_SETTEXT:
        c.text = In(lParam, ansi);
        if (c.cls == ControlClass::Edit) NotifyCommand(c, EN_CHANGE);
        return TRUE;
    case WM_GETTEXT: return CopyOut(c.text, wParam, lParam, ansi);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(ansi ? ToAnsi(c.text).size() : c.text.size());
    default: break;
    }
    switch (c.cls) {
    case ControlClass::Edit:
        if (msg == EM_LIMITTEXT) {
            c.limit = wParam == 0 || wParam > 0x7FFFFFFE ? 0x7FFFFFFE : static_cast<int>(wParam);
            return 0;
        }
        if (msg == EM_GETLIMITTEXT) return c.limit;
        break;
    case ControlClass::CheckBox:
    case ControlClass::RadioButton:
    case ControlClass::PushButton:
        if (msg == BM_GETCHECK) return c.check;
        if (msg == BM_SETCHECK) {
            c.check = wParam == BST_CHECKED ? 1 : wParam == 2 ? 2 : 0;
            return 0;
        }
        if (msg == BM_CLICK) {
            if (!c.enabled) return 0;
            if (c.cls == ControlClass::CheckBox) c.check = c.check ? 0 : 1;
            if (c.cls == ControlClass::RadioButton) c.check = 1;
            NotifyCommand(c, BN_CLICKED);
            return 0;
        }
        break;
    case ControlClass::ComboBox:
    case ControlClass::ListBox:
        switch (msg) {
        case CB_RESETCONTENT:
            c.items.clear();
            c.selection = -1;
            c.text.clear();
            return 0;
        case CB_ADDSTRING:
            c.items.push_back(In(lParam, ansi));
            return static_cast<LRESULT>(c.items.size() - 1);
        case CB_INSERTSTRING: {
            auto i = static_cast<LONG_PTR>(wParam);
            if (i == -1 || i > static_cast<LONG_PTR>(c.items.size())) i = static_cast<LONG_PTR>(c.items.size());
            if (i < 0) return CB_ERR;
            c.items.insert(c.items.begin() + i, In(lParam, ansi));
            return i;
        }
        case CB_DELETESTRING:
            if (wParam >= c.items.size()) return CB_ERR;
            c.items.erase(c.items.begin() + static_cast<long>(wParam));
            if (c.selection == static_cast<int>(wParam)) c.selection = -1;
            else if (c.selection > static_cast<int>(wParam)) --c.selection;
            return static_cast<LRESULT>(c.items.size());
        case CB_GETCOUNT: return static_cast<LRESULT>(c.items.size());
        case CB_GETCURSEL: return c.selection;
        case CB_SETCURSEL:
            // An index out of the list clears the selection and answers CB_ERR, as on Windows.
            if (wParam >= c.items.size()) {
                c.selection = -1;
                c.text.clear();
                return CB_ERR;
            }
            c.selection = static_cast<int>(wParam);
            c.text = c.items[wParam];
            return c.selection;
        case CB_GETLBTEXTLEN:
            if (wParam >= c.items.size()) return CB_ERR;
            return static_cast<LRESULT>(ansi ? ToAnsi(c.items[wParam]).size() : c.items[wParam].size());
        case CB_GETLBTEXT: {
            // The caller's buffer is as long as CB_GETLBTEXTLEN said, plus the terminator.
            if (wParam >= c.items.size() || !lParam) return CB_ERR;
            const std::u16string& s = c.items[wParam];
            size_t size = (ansi ? ToAnsi(s).size() : s.size()) + 1;
            return CopyOut(s, size, lParam, ansi);
        }
        default: break;
        }
        break;
    case ControlClass::Trackbar:
        switch (msg) {
        case TBM_GETPOS: return c.pos;
        case TBM_GETRANGEMIN: return c.low;
        case TBM_GETRANGEMAX: return c.high;
        case TBM_SETRANGE:
            c.low = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
            c.high = static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)));
            c.pos = Clamp(c, c.pos);
            return 0;
        case TBM_SETRANGEMIN: c.low = static_cast<int>(lParam); c.pos = Clamp(c, c.pos); return 0;
        case TBM_SETRANGEMAX: c.high = static_cast<int>(lParam); c.pos = Clamp(c, c.pos); return 0;
        case TBM_SETPOS: c.pos = Clamp(c, static_cast<int>(lParam)); return 0;
        default: break;
        }
        break;
    case ControlClass::UpDown:
        switch (msg) {
        case UDM_SETRANGE:
            c.high = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
            c.low = static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)));
            c.pos = Clamp(c, c.pos);
            return 0;
        case UDM_SETRANGE32:
            c.low = static_cast<int>(wParam);
            c.high = static_cast<int>(lParam);
            c.pos = Clamp(c, c.pos);
            return 0;
        case UDM_GETRANGE: return MAKELONG(static_cast<WORD>(c.high), static_cast<WORD>(c.low));
        case UDM_SETPOS: {
            int old = c.pos;
            c.pos = Clamp(c, static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))));
            WriteBuddy(c);
            return old;
        }
        case UDM_SETPOS32: {
            int old = c.pos;
            c.pos = Clamp(c, static_cast<int>(lParam));
            WriteBuddy(c);
            return old;
        }
        case UDM_GETPOS: return MAKELONG(static_cast<WORD>(c.pos), 0);
        case UDM_GETPOS32: return c.pos;
        default: break;
        }
        break;
    default: break;
    }
    return 0;
}

}  // namespace user
