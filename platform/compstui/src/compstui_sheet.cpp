// The common property sheet UI as a headless model: the driver's sheet function
// is called for INIT, GET_INFO_HEADER, SET_RESULT and DESTROY; each added
// COMPROPSHEETUI's item tree is shown to the agent, whose changes go to the
// item callback.
#include <vector>

#include "compstui/compstui.h"
#include "compstui_strings.h"
#include "base/handles.h"
#include "spooler/spooler.h"
#include "user/frame.h"
#include "user/resources.h"

namespace {

struct SheetHandle : platform::HandleObject {
    bool ClosedByCloseHandle() const override { return false; }
};

struct Added {
    PCOMPROPSHEETUI cps;
    HANDLE handle;
};

class CommonSheet : public user::Frame {
public:
    HANDLE self = nullptr;  // hComPropSheet, also the hDlg of callbacks
    std::vector<Added> added;
    std::u16string title;
    bool ended = false;
    LONG result = CPSUI_CANCEL;

    user::Waiting What() const override { return user::Waiting::CommonSheet; }

    static std::u16string Text(HINSTANCE inst, LPCWSTR p)
    {
        if (!p) return {};
        auto v = reinterpret_cast<ULONG_PTR>(p);
        if (v < 0x10000) {
            if (const char16_t* standard = compstui::StandardString(static_cast<unsigned>(v))) return standard;
            LPCWSTR s = nullptr;
            int n = LoadStringW(inst, static_cast<UINT>(v), reinterpret_cast<LPWSTR>(&s), 0);
            return n > 0 && s ? std::u16string(s, static_cast<size_t>(n)) : std::u16string();
        }
        return p;
    }

    // The item at a flat index over every added tree.
    bool Find(int index, PCOMPROPSHEETUI& cps, POPTITEM& item) const
    {
        if (index < 0) return false;
        for (const Added& a : added) {
            if (index < a.cps->cOptItem) {
                cps = a.cps;
                item = &a.cps->pOptItem[index];
                return true;
            }
            index -= a.cps->cOptItem;
        }
        return false;
    }

    user::CommonSheetState Items() const override
    {
        user::CommonSheetState s;
        s.title = title;
        int flat = 0;
        for (const Added& a : added) {
            if (s.caller.empty()) s.caller = Text(a.cps->hInstCaller, a.cps->pCallerName);
            for (WORD i = 0; i < a.cps->cOptItem; ++i, ++flat) {
                const OPTITEM& it = a.cps->pOptItem[i];
                user::ItemState st;
                st.index = flat;
                st.level = it.Level;
                st.name = Text(a.cps->hInstCaller, it.pName);
                st.flags = it.Flags;
                st.dmPubId = it.DMPubID;
                st.userData = it.UserData;
                st.type = it.pOptType ? it.pOptType->Type : 0xFF;
                if (it.pOptType && it.pOptType->pOptParam && it.pOptType->Count >= 2 &&
                    (st.type == TVOT_UDARROW || st.type == TVOT_TRACKBAR || st.type == TVOT_SCROLLBAR)) {
                    st.low = static_cast<LONG>(it.pOptType->pOptParam[1].IconID);
                    st.high = static_cast<LONG>(it.pOptType->pOptParam[1].lParam);
                }
                if (it.pOptType && it.pOptType->pOptParam)
                    for (WORD k = 0; k < it.pOptType->Count; ++k)
                        st.choices.push_back(Text(a.cps->hInstCaller, it.pOptType->pOptParam[k].pData));
                if (st.type == TVOT_EDITBOX) {
                    st.text = it.pSel ? std::u16string(it.pSel) : std::u16string();
                } else {
                    st.selection = it.Sel;
                    if (st.type != TVOT_UDARROW && st.type != TVOT_TRACKBAR && st.type != TVOT_SCROLLBAR &&
                        it.Sel >= 0 && static_cast<size_t>(it.Sel) < st.choices.size())
                        st.text = st.choices[static_cast<size_t>(it.Sel)];
                }
                if (it.Flags & OPTIF_EXT_IS_EXTPUSH) {
                    st.extIsPush = true;
                    if (it.pExtPush) st.extName = Text(a.cps->hInstCaller, it.pExtPush->pTitle);
                } else if (it.pExtChkBox) {
                    st.extName = Text(a.cps->hInstCaller, it.pExtChkBox->pTitle);
                    st.extChecked = (it.Flags & OPTIF_ECB_CHECKED) != 0;
                }
                s.items.push_back(std::move(st));
            }
        }
        return s;
    }

    // Calls the tree's callback; returns its action.
    LONG Callback(PCOMPROPSHEETUI cps, POPTITEM item, WORD reason, LONG oldSel)
    {
        if (!cps->pfnCallBack) return CPSUICB_ACTION_NONE;
        CPSUICBPARAM p{};
        p.cbSize = sizeof p;
        p.Reason = reason;
        p.hDlg = self;
        p.pOptItem = cps->pOptItem;
        p.cOptItem = cps->cOptItem;
        p.Flags = cps->Flags;
        p.pCurItem = item;
        p.OldSel = oldSel;
        p.UserData = cps->UserData;
        p.Result = 0;
        return cps->pfnCallBack(&p);
    }

    static bool Usable(const OPTITEM& it) { return !(it.Flags & (OPTIF_HIDE | OPTIF_DISABLED)); }

    bool Select(int index, LONG sel) override
    {
        PCOMPROPSHEETUI cps;
        POPTITEM it;
        if (ended || !Find(index, cps, it) || !Usable(*it) || !it->pOptType) return false;
        const OPTTYPE& t = *it->pOptType;
        if (t.Flags & OPTTF_TYPE_DISABLED) return false;
        switch (t.Type) {
        case TVOT_UDARROW:
        case TVOT_TRACKBAR:
        case TVOT_SCROLLBAR:
            // The range is in the second parameter: IconID to lParam.
            if (t.Count < 2 || !t.pOptParam) return false;
            if (sel < static_cast<LONG>(t.pOptParam[1].IconID) || sel > static_cast<LONG>(t.pOptParam[1].lParam))
                return false;
            break;
        case TVOT_2STATES:
        case TVOT_3STATES:
        case TVOT_LISTBOX:
        case TVOT_COMBOBOX:
        case TVOT_CHKBOX:
            if (!t.pOptParam || sel < 0 || sel >= t.Count ||
                (t.pOptParam[sel].Flags & (OPTPF_HIDE | OPTPF_DISABLED)))
                return false;
            break;
        default: return false;
        }
        const LONG old = it->Sel;
        it->Sel = sel;
        it->Flags |= OPTIF_CHANGED;
        if (it->Flags & OPTIF_CALLBACK) Callback(cps, it, CPSUICB_REASON_SEL_CHANGED, old);
        return true;
    }

    bool PushItem(int index) override
    {
        PCOMPROPSHEETUI cps;
        POPTITEM it;
        if (ended || !Find(index, cps, it) || !Usable(*it) || !it->pOptType || it->pOptType->Type != TVOT_PUSHBUTTON)
            return false;
        if (!it->pOptType->pOptParam || it->pOptType->pOptParam[0].Style != PUSHBUTTON_TYPE_CALLBACK) return false;
        Callback(cps, it, CPSUICB_REASON_PUSHBUTTON, it->Sel);
        return true;
    }

    bool PushExt(int index) override
    {
        PCOMPROPSHEETUI cps;
        POPTITEM it;
        if (ended || !Find(index, cps, it) || !Usable(*it) || !(it->Flags & OPTIF_EXT_IS_EXTPUSH) || !it->pExtPush ||
            (it->Flags & (OPTIF_EXT_DISABLED | OPTIF_EXT_HIDE)) || (it->pExtPush->Flags & EPF_PUSH_TYPE_DLGPROC))
            return false;
        Callback(cps, it, CPSUICB_REASON_EXTPUSH, it->Sel);
        return true;
    }

    bool CheckExt(int index, bool checked) override
    {
        PCOMPROPSHEETUI cps;
        POPTITEM it;
        if (ended || !Find(index, cps, it) || !Usable(*it) || (it->Flags & OPTIF_EXT_IS_EXTPUSH) || !it->pExtChkBox ||
            (it->Flags & (OPTIF_EXT_DISABLED | OPTIF_EXT_HIDE)))
            return false;
        if (((it->Flags & OPTIF_ECB_CHECKED) != 0) == checked) return true;
        it->Flags ^= OPTIF_ECB_CHECKED;
        it->Flags |= OPTIF_CHANGED;
        Callback(cps, it, CPSUICB_REASON_ECB_CHANGED, it->Sel);
        return true;
    }

    // Apply: every tree's callback hears APPLYNOW; NO_APPLY_EXIT keeps the sheet open.
    // Everything one Apply writes through the spooler commits together: when the
    // database cannot be had, or the commit fails, the Apply fails and nothing of
    // it is kept.
    bool DoApply()
    {
        platform::SpoolTransaction transaction;
        if (transaction.Status() != ERROR_SUCCESS) return false;
        bool ok = true;
        for (const Added& a : added) {
            POPTITEM first = a.cps->cOptItem ? a.cps->pOptItem : nullptr;
            LONG action = Callback(a.cps, first, CPSUICB_REASON_APPLYNOW, first ? first->Sel : 0);
            if (action == CPSUICB_ACTION_NO_APPLY_EXIT) ok = false;
            if (action == CPSUICB_ACTION_ITEMS_APPLIED)
                for (WORD i = 0; i < a.cps->cOptItem; ++i) a.cps->pOptItem[i].Flags &= ~OPTIF_CHANGED;
        }
        return transaction.Commit() == ERROR_SUCCESS && ok;
    }

    bool Apply() override { return !ended && (++actions, DoApply()); }
    bool Ok() override
    {
        if (ended) return false;
        ++actions;
        if (!DoApply()) return false;
        ended = true;
        result = CPSUI_OK;
        return true;
    }
    bool Cancel() override
    {
        if (ended) return false;
        ended = true;
        result = CPSUI_CANCEL;
        return true;
    }
};

thread_local CommonSheet* current = nullptr;

LONG_PTR ComPropSheet(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2)
{
    CommonSheet* sheet = current;
    if (!sheet || hComPropSheet != sheet->self) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (Function) {
    case CPSFUNC_ADD_PCOMPROPSHEETUIW: {
        auto* cps = reinterpret_cast<PCOMPROPSHEETUI>(lParam1);
        if (!cps || cps->cbSize < sizeof(COMPROPSHEETUI) || (cps->cOptItem && !cps->pOptItem) ||
            sheet->added.size() >= MAX_DLGPAGE_COUNT)
            return 0;
        for (WORD i = 0; i < cps->cOptItem; ++i) {
            const OPTITEM& it = cps->pOptItem[i];
            if (it.cbSize != sizeof(OPTITEM)) return 0;
            if (it.pOptType && (it.pOptType->cbSize != sizeof(OPTTYPE) || (it.pOptType->Count && !it.pOptType->pOptParam)))
                return 0;
        }
        auto handle = platform::RegisterHandle(std::make_shared<SheetHandle>());
        sheet->added.push_back({cps, handle});
        if (lParam2) *reinterpret_cast<LPDWORD>(lParam2) = 1;
        return reinterpret_cast<LONG_PTR>(handle);
    }
    case CPSFUNC_GET_PAGECOUNT: return static_cast<LONG_PTR>(sheet->added.size());
    case CPSFUNC_SET_RESULT: return 1;
    case CPSFUNC_SET_HSTARTPAGE: return 1;
    case CPSFUNC_DO_APPLY_CPSUI: return sheet->DoApply() ? 1 : 0;
    default: SetLastError(ERROR_NOT_SUPPORTED); return 0;
    }
    (void)lParam2;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) LONG CommonPropertySheetUIW(HWND hWndOwner,
                                                                             PFNPROPSHEETUI pfnPropSheetUI,
                                                                             LPARAM lParam, LPDWORD pResult)
{
    if (pResult) *pResult = 0;
    if (!pfnPropSheetUI) return ERR_CPSUI_INVALID_LPARAM;
    CommonSheet sheet;
    sheet.self = platform::RegisterHandle(std::make_shared<SheetHandle>());
    CommonSheet* outer = current;
    current = &sheet;

    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Flags = PSUIINFO_UNICODE;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = sheet.self;
    info.pfnComPropSheet = ComPropSheet;
    info.lParamInit = lParam;
    LONG rc;
    if (pfnPropSheetUI(&info, lParam) <= 0) {
        rc = ERR_CPSUI_GETLASTERROR;
    } else if (sheet.added.empty()) {
        rc = ERR_CPSUI_NO_PROPSHEETPAGE;
    } else {
        PROPSHEETUI_INFO_HEADER header{};
        header.cbSize = sizeof header;
        header.hWndParent = hWndOwner;
        info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
        if (pfnPropSheetUI(&info, reinterpret_cast<LPARAM>(&header)) > 0)
            sheet.title = CommonSheet::Text(header.hInst, header.pTitle);
        if (header.Flags & PSUIHDRF_PROPTITLE) sheet.title += u" Properties";

        while (!sheet.ended) {
            const unsigned before = sheet.actions;
            const bool someone = user::WaitForPerson(sheet);
            if (!sheet.ended && (!someone || sheet.actions == before)) sheet.Cancel();
        }
        for (const Added& a : sheet.added) {
            SETRESULT_INFO sr{sizeof(SETRESULT_INFO), 0, a.handle, sheet.result};
            info.Reason = PROPSHEETUI_REASON_SET_RESULT;
            pfnPropSheetUI(&info, reinterpret_cast<LPARAM>(&sr));
        }
        rc = sheet.result;
    }
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    pfnPropSheetUI(&info, rc == CPSUI_OK);
    if (pResult) *pResult = static_cast<DWORD>(info.Result);
    for (const Added& a : sheet.added) platform::ReleaseHandle(a.handle);
    platform::ReleaseHandle(sheet.self);
    current = outer;
    return rc;
}
