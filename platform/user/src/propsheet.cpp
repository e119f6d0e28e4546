// Modal property sheets: pages made from templates when first shown, the
// activation, apply and cancel notifications, and the person's actions.
#include <algorithm>

#include "module_registry.h"
#include "user/frame.h"
#include "user/resources.h"
#include "window_model.h"

namespace user {
namespace {

struct SheetPage {
    PROPSHEETPAGEA psp{};  // the sheet's copy, handed to WM_INITDIALOG
    const DialogTemplate* tmpl = nullptr;
    std::u16string title;
    std::shared_ptr<Window> win;
};

class SheetModel : public Frame {
public:
    std::shared_ptr<Window> sheet;
    std::vector<SheetPage> pages;
    std::u16string title;
    bool applyButton = true;
    int active = -1;
    bool ended = false;
    INT_PTR result = 0;

    LRESULT Notify(SheetPage& p, UINT code, LPARAM lParam = 0)
    {
        PSHNOTIFY n{{sheet->handle, 0, code}, lParam};
        return PageMessage(*p.win, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
    }

    void Show(int i)
    {
        SheetPage& p = pages[static_cast<size_t>(i)];
        if (!p.win) {
            p.win = NewWindow(Window::Kind::Page, sheet->handle);
            p.win->text = p.title;
            p.win->proc = p.psp.pfnDlgProc;
            CreateControls(*p.win, *p.tmpl);
            PageMessage(*p.win, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&p.psp));
        }
        active = i;
        Notify(p, PSN_SETACTIVE);
    }

    bool LeaveActive() { return active < 0 || Notify(pages[static_cast<size_t>(active)], PSN_KILLACTIVE) == 0; }

    bool DoApply(bool ok)
    {
        if (ended || !LeaveActive()) return false;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (!pages[i].win) continue;
            LRESULT r = Notify(pages[i], PSN_APPLY, ok);
            if (r == PSNRET_INVALID_NOCHANGEPAGE) return false;
            if (r == PSNRET_INVALID) {
                Show(static_cast<int>(i));
                return false;
            }
        }
        return true;
    }

    bool DoOk()
    {
        if (!DoApply(true)) return false;
        ended = true;
        result = 1;
        return true;
    }

    bool DoCancel()
    {
        if (ended) return false;
        if (active >= 0 && Notify(pages[static_cast<size_t>(active)], PSN_QUERYCANCEL) != 0) return false;
        for (SheetPage& p : pages)
            if (p.win) Notify(p, PSN_RESET);
        ended = true;
        result = 0;
        return true;
    }

    Window* ActivePage() const { return active >= 0 ? pages[static_cast<size_t>(active)].win.get() : nullptr; }

    // A control a person can use: on the active page, visible and enabled.
    std::shared_ptr<Window> Usable(WORD id, ControlClass cls) const
    {
        Window* page = ActivePage();
        if (ended || !page) return nullptr;
        auto c = ChildById(*page, id);
        if (!c || !c->visible || !c->enabled || c->cls != cls) return nullptr;
        return c;
    }

    // ---- Frame -----------------------------------------------------------------
    Waiting What() const override { return Waiting::PropertySheet; }

    static ControlState StateOf(const Window& c)
    {
        ControlState s;
        s.id = c.id;
        s.kind = c.cls;
        s.text = c.text;
        s.visible = c.visible;
        s.enabled = c.enabled;
        s.limit = c.limit;
        s.low = c.low;
        s.high = c.high;
        s.pos = c.pos;
        s.items = c.items;
        s.selection = c.selection;
        s.checked = c.check != 0;
        return s;
    }

    SheetState Sheet() const override
    {
        SheetState s;
        s.title = title;
        s.applyButton = applyButton;
        s.active = active;
        for (const SheetPage& p : pages) {
            PageState ps;
            ps.title = p.title;
            ps.templateId = p.tmpl->id;
            ps.created = p.win != nullptr;
            if (p.win)
                for (const auto& c : p.win->controls) ps.controls.push_back(StateOf(*c));
            s.pages.push_back(std::move(ps));
        }
        return s;
    }

    ControlState Control(WORD id) const override
    {
        Window* page = ActivePage();
        auto c = page ? ChildById(*page, id) : nullptr;
        return c ? StateOf(*c) : ControlState{};
    }

    bool SwitchPage(int index) override
    {
        if (ended || index < 0 || index >= static_cast<int>(pages.size())) return false;
        if (index == active) return true;
        ++actions;  // tried, even when the page refuses to be left
        if (!LeaveActive()) return false;
        Show(index);
        return true;
    }

    bool Type(WORD id, std::u16string_view text) override
    {
        auto c = Usable(id, ControlClass::Edit);
        if (!c) return false;
        c->text = std::u16string(text.substr(0, static_cast<size_t>(c->limit)));
        NotifyCommand(*c, EN_CHANGE);
        return true;
    }

    bool Pick(WORD id, int index) override
    {
        auto c = Usable(id, ControlClass::ComboBox);
        if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return false;
        c->selection = index;
        c->text = c->items[static_cast<size_t>(index)];
        NotifyCommand(*c, CBN_SELCHANGE);
        return true;
    }

    bool Check(WORD id, bool checked) override
    {
        auto c = Usable(id, ControlClass::CheckBox);
        if (!c) return false;
        if ((c->check != 0) != checked) ControlMessage(*c, BM_CLICK, 0, 0, false);
        return true;
    }

    bool Slide(WORD id, int pos) override
    {
        auto c = Usable(id, ControlClass::Trackbar);
        if (!c) return false;
        ControlMessage(*c, TBM_SETPOS, TRUE, pos, false);
        Window* page = ActivePage();
        auto h = reinterpret_cast<LPARAM>(c->handle);
        PageMessage(*page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(c->pos)), h);
        PageMessage(*page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), h);
        return true;
    }

    bool Step(WORD id, int delta) override
    {
        auto c = Usable(id, ControlClass::UpDown);
        if (!c || (delta != 1 && delta != -1)) return false;
        Window* page = ActivePage();
        int current = c->pos;
        if (c->buddy) {
            if (auto edit = ChildById(*page, c->buddy)) {
                BOOL ok = FALSE;
                int v = static_cast<int>(GetDlgItemInt(page->handle, c->buddy, &ok, TRUE));
                if (ok) current = v;
            }
        }
        // The arrow towards the larger end steps up, whichever way round the range is.
        const int step = c->low <= c->high ? delta : -delta;
        NMUPDOWN nm{{c->handle, c->id, UDN_DELTAPOS}, current, step};
        if (PageMessage(*page, WM_NOTIFY, c->id, reinterpret_cast<LPARAM>(&nm)) != 0) return true;  // refused
        const int lo = std::min(c->low, c->high), hi = std::max(c->low, c->high);
        c->pos = std::clamp(current + nm.iDelta, lo, hi);
        ControlMessage(*c, UDM_SETPOS32, 0, c->pos, false);
        auto h = reinterpret_cast<LPARAM>(c->handle);
        PageMessage(*page, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(c->pos)), h);
        PageMessage(*page, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(c->pos)), h);
        return true;
    }

    bool Press(WORD id) override
    {
        Window* page = ActivePage();
        auto c = page ? ChildById(*page, id) : nullptr;
        if (ended || !c || !c->visible || !c->enabled ||
            (c->cls != ControlClass::PushButton && c->cls != ControlClass::CheckBox &&
             c->cls != ControlClass::RadioButton))
            return false;
        ControlMessage(*c, BM_CLICK, 0, 0, false);
        return true;
    }

    bool Help(WORD id) override
    {
        Window* page = ActivePage();
        auto c = page ? ChildById(*page, id) : nullptr;
        if (ended || !c) return false;
        HELPINFO hi{sizeof(HELPINFO), HELPINFO_WINDOW, c->id, c->handle, 0, {0, 0}};
        PageMessage(*page, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
        return true;
    }

    // A press counts as something the person did even when the pages refuse it.
    bool Apply() override { return applyButton && !ended && (++actions, DoApply(false)); }
    bool Ok() override { return !ended && (++actions, DoOk()); }
    bool Cancel() override { return !ended && (++actions, DoCancel()); }
};

std::u16string Text(HINSTANCE inst, LPCSTR s)
{
    if (!s) return {};
    if (!IS_INTRESOURCE(s)) return Widen(s);
    LPCWSTR p = nullptr;
    int n = LoadStringW(inst, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(s)), reinterpret_cast<LPWSTR>(&p), 0);
    return n > 0 && p ? std::u16string(p, static_cast<size_t>(n)) : std::u16string();
}

}  // namespace

LRESULT SheetMessage(Window& sheet, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* model = static_cast<SheetModel*>(sheet.sheetModel);
    if (!model) return 0;
    switch (msg) {
    case PSM_PRESSBUTTON:
        if (wParam == PSBTN_APPLYNOW) model->DoApply(false);
        else if (wParam == PSBTN_OK) model->DoOk();
        else if (wParam == PSBTN_CANCEL) model->DoCancel();
        return 0;
    case PSM_SETCURSEL: return model->SwitchPage(static_cast<int>(wParam)) ? TRUE : FALSE;
    case PSM_CHANGED:
    case PSM_UNCHANGED: return 0;
    default: return 0;
    }
    (void)lParam;
}

}  // namespace user

extern "C" INT_PTR PropertySheetA(LPCPROPSHEETHEADERA h)
{
    using namespace user;
    constexpr DWORD kHeaderSize = sizeof(PROPSHEETHEADERA), kPageSize = sizeof(PROPSHEETPAGEA);
    if (!h || h->dwSize < kHeaderSize || !(h->dwFlags & PSH_PROPSHEETPAGE) || (h->dwFlags & PSH_MODELESS) ||
        h->nPages == 0 || h->nPages > 64 || !h->ppsp) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    SheetModel model;
    const auto* bytes = reinterpret_cast<const BYTE*>(h->ppsp);
    for (UINT i = 0; i < h->nPages; ++i) {
        const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(bytes);
        if (psp->dwSize < kPageSize || (psp->dwFlags & PSP_DLGINDIRECT) || !IS_INTRESOURCE(psp->pszTemplate) ||
            !psp->pfnDlgProc) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
        auto module = FindLoadedModule(psp->hInstance);
        const ResourceText* res = module ? ModuleResources(*module) : nullptr;
        auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(psp->pszTemplate));
        auto it = res ? res->dialogs.find(id) : decltype(res->dialogs.end()){};
        if (!res || it == res->dialogs.end()) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return -1;
        }
        SheetPage p;
        p.psp = *psp;
        p.tmpl = &it->second;
        p.title = (psp->dwFlags & PSP_USETITLE) ? Text(psp->hInstance, psp->pszTitle) : it->second.caption;
        model.pages.push_back(std::move(p));
        bytes += psp->dwSize;
    }
    model.title = Text(h->hInstance, h->pszCaption);
    if (h->dwFlags & PSH_PROPTITLE) model.title += u" Properties";
    model.applyButton = !(h->dwFlags & PSH_NOAPPLYNOW);
    model.sheet = NewWindow(Window::Kind::Sheet, h->hwndParent);
    model.sheet->text = model.title;
    model.sheet->sheetModel = &model;

    model.Show(h->nStartPage < h->nPages ? static_cast<int>(h->nStartPage) : 0);
    while (!model.ended) {
        const unsigned before = model.actions;
        const bool someone = WaitForPerson(model);
        if (!model.ended && (!someone || model.actions == before) && !model.DoCancel()) model.ended = true;
    }
    for (SheetPage& p : model.pages)
        if (p.win) {
            PageMessage(*p.win, WM_DESTROY, 0, 0);
            DestroyWindowTree(p.win);
        }
    model.sheet->sheetModel = nullptr;
    DestroyWindowTree(model.sheet);
    return model.result;
}
