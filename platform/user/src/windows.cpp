// Window handles, message dispatch and the dialog-item functions.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

#include "base/codepage.h"
#include "window_model.h"

namespace user {

std::shared_ptr<Window> FindWindow(HWND h)
{
    auto w = platform::LookupHandle<Window>(h);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

std::shared_ptr<Window> NewWindow(Window::Kind kind, HWND parent)
{
    auto w = std::make_shared<Window>();
    w->kind = kind;
    w->parent = parent;
    w->handle = platform::RegisterHandle(w);
    return w;
}

void DestroyWindowTree(const std::shared_ptr<Window>& w)
{
    for (auto& c : w->controls) DestroyWindowTree(c);
    platform::ReleaseHandle(w->handle);
}

std::shared_ptr<Window> ChildById(const Window& page, int id)
{
    for (const auto& c : page.controls)
        if (c->id == static_cast<WORD>(id)) return c;
    return nullptr;
}

LRESULT PageMessage(Window& page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!page.proc) return 0;
    page.msgResult = 0;
    INT_PTR handled = page.proc(page.handle, msg, wParam, lParam);
    if (msg == WM_NOTIFY) return handled ? page.msgResult : 0;
    return handled;
}

void NotifyCommand(const Window& control, WORD code)
{
    if (auto page = platform::LookupHandle<Window>(control.parent))
        PageMessage(*page, WM_COMMAND, MAKEWPARAM(control.id, code), reinterpret_cast<LPARAM>(control.handle));
}

std::u16string Widen(LPCSTR s)
{
    if (!s) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 0) return {};
    std::u16string out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string ToAnsi(std::u16string_view s)
{
    if (s.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

namespace {

LRESULT Dispatch(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, bool ansi)
{
    auto w = FindWindow(hWnd);
    if (!w) return 0;
    switch (w->kind) {
    case Window::Kind::Control: return ControlMessage(*w, msg, wParam, lParam, ansi);
    case Window::Kind::Page: return PageMessage(*w, msg, wParam, lParam);
    case Window::Kind::Sheet: return SheetMessage(*w, msg, wParam, lParam);
    }
    return 0;
}

std::shared_ptr<Window> Item(HWND hDlg, int id)
{
    auto page = FindWindow(hDlg);
    if (!page) return nullptr;
    auto c = ChildById(*page, id);
    if (!c) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return c;
}

LONG_PTR* Slot(Window& w, int index)
{
    if (w.kind == Window::Kind::Page && index == DWLP_MSGRESULT) return &w.msgResult;
    if (w.kind == Window::Kind::Page && index == DWLP_USER) return &w.userData;
    if (index == GWLP_USERDATA) return &w.windowUserData;
    return nullptr;
}

LONG_PTR SetLong(HWND hWnd, int index, LONG_PTR value)
{
    auto w = FindWindow(hWnd);
    if (!w) return 0;
    LONG_PTR* slot = Slot(*w, index);
    if (!slot) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    SetLastError(0);
    return std::exchange(*slot, value);
}

LONG_PTR GetLong(HWND hWnd, int index)
{
    auto w = FindWindow(hWnd);
    if (!w) return 0;
    if (index == GWLP_ID) return w->id;
    if (w->kind == Window::Kind::Page && index == DWLP_DLGPROC) return reinterpret_cast<LONG_PTR>(w->proc);
    LONG_PTR* slot = Slot(*w, index);
    if (!slot) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return *slot;
}

}  // namespace
}  // namespace user

extern "C" {

LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return user::Dispatch(hWnd, Msg, wParam, lParam, false);
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return user::Dispatch(hWnd, Msg, wParam, lParam, true);
}

LRESULT SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    auto c = user::Item(hDlg, nIDDlgItem);
    return c ? user::ControlMessage(*c, Msg, wParam, lParam, false) : 0;
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    auto c = user::Item(hDlg, nIDDlgItem);
    return c ? user::ControlMessage(*c, Msg, wParam, lParam, true) : 0;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    auto c = user::Item(hDlg, nIDDlgItem);
    return c ? c->handle : nullptr;
}

int GetDlgCtrlID(HWND hWnd)
{
    auto w = user::FindWindow(hWnd);
    return w && w->kind == user::Window::Kind::Control ? w->id : 0;
}

HWND GetParent(HWND hWnd)
{
    auto w = user::FindWindow(hWnd);
    return w ? w->parent : nullptr;
}

BOOL SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString)
{
    auto c = user::Item(hDlg, nIDDlgItem);
    return c ? static_cast<BOOL>(user::ControlMessage(*c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString), false))
             : FALSE;
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    auto c = user::Item(hDlg, nIDDlgItem);
    return c ? static_cast<BOOL>(user::ControlMessage(*c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString), true))
             : FALSE;
}

UINT GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax)
{
    if (lpString && cchMax > 0) lpString[0] = 0;
    auto c = user::Item(hDlg, nIDDlgItem);
    return c ? static_cast<UINT>(user::ControlMessage(*c, WM_GETTEXT, static_cast<WPARAM>(std::max(cchMax, 0)),
                                                      reinterpret_cast<LPARAM>(lpString), false))
             : 0;
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    if (lpString && cchMax > 0) lpString[0] = 0;
    auto c = user::Item(hDlg, nIDDlgItem);
    return c ? static_cast<UINT>(user::ControlMessage(*c, WM_GETTEXT, static_cast<WPARAM>(std::max(cchMax, 0)),
                                                      reinterpret_cast<LPARAM>(lpString), true))
             : 0;
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned)
{
    std::u16string text = bSigned ? platform::Widen(std::to_string(static_cast<int>(uValue)))
                                  : platform::Widen(std::to_string(uValue));
    return SetDlgItemTextW(hDlg, nIDDlgItem, text.c_str());
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned)
{
    if (lpTranslated) *lpTranslated = FALSE;
    auto c = user::Item(hDlg, nIDDlgItem);
    if (!c) return 0;
    std::string s = platform::Narrow(c->text);
    size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
    if (b == std::string::npos) return 0;
    s = s.substr(b, e - b + 1);
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return 0;
    if (bSigned ? (v < INT32_MIN || v > INT32_MAX) : (v < 0 || v > UINT32_MAX)) return 0;
    if (lpTranslated) *lpTranslated = TRUE;
    return static_cast<UINT>(v);
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    auto c = user::Item(hDlg, nIDButton);
    if (!c) return FALSE;
    user::ControlMessage(*c, BM_SETCHECK, uCheck, 0, false);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    auto c = user::Item(hDlg, nIDButton);
    return c ? static_cast<UINT>(c->check) : 0;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    auto w = user::FindWindow(hWnd);
    if (!w) return FALSE;
    bool was = w->visible;
    w->visible = nCmdShow != SW_HIDE;
    return was ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    auto w = user::FindWindow(hWnd);
    if (!w) return FALSE;
    bool wasDisabled = !w->enabled;
    w->enabled = bEnable != FALSE;
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd)
{
    auto w = platform::LookupHandle<user::Window>(hWnd);
    return w && w->visible ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd)
{
    auto w = platform::LookupHandle<user::Window>(hWnd);
    return w && w->enabled ? TRUE : FALSE;
}

BOOL IsWindow(HWND hWnd) { return platform::LookupHandle<user::Window>(hWnd) ? TRUE : FALSE; }

LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) { return user::SetLong(hWnd, nIndex, dwNewLong); }
LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) { return user::SetLong(hWnd, nIndex, dwNewLong); }
LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex) { return user::GetLong(hWnd, nIndex); }
LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) { return user::GetLong(hWnd, nIndex); }

}  // extern "C"
