// Message boxes, the colour dialog and help requests.
#include "user/msgbox.h"

#include <algorithm>

#include "base/codepage.h"
#include "user/dialogs.h"
#include "user/frame.h"

namespace user {
namespace {

class BoxFrame : public Frame {
public:
    explicit BoxFrame(MessageBoxRecord box) : box_(std::move(box)) {}
    Waiting What() const override { return Waiting::MessageBox; }
    const MessageBoxRecord* Box() const override { return &box_; }
    bool Answer(int button) override
    {
        std::vector<int> buttons = MessageBoxButtons(box_.type);
        if (box_.answer != 0 || std::find(buttons.begin(), buttons.end(), button) == buttons.end()) return false;
        box_.answer = button;
        return true;
    }
    MessageBoxRecord box_;
};

// The answer of a box nobody answers: what Escape gives.
int Dismissed(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return 0;
    }
}

int ShowBox(HWND owner, std::u16string text, std::u16string caption, UINT type)
{
    if (MessageBoxButtons(type).empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BoxFrame frame({owner, std::move(text), std::move(caption), type, 0});
    WaitForPerson(frame);
    if (frame.box_.answer == 0) frame.box_.answer = Dismissed(type);
    RecordMessageBox(frame.box_);
    return frame.box_.answer;
}

std::u16string FromAnsi(LPCSTR s)
{
    if (!s) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 0) return {};
    std::u16string out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

class ColorFrame : public Frame {
public:
    explicit ColorFrame(CHOOSECOLORW& cc) : cc_(cc) {}
    Waiting What() const override { return Waiting::ColorDialog; }
    COLORREF InitialColor() const override { return (cc_.Flags & CC_RGBINIT) ? cc_.rgbResult : 0; }
    bool PickColor(COLORREF rgb) override
    {
        if (done_) return false;
        done_ = picked_ = true;
        cc_.rgbResult = rgb & 0x00FFFFFF;
        return true;
    }
    bool CancelColor() override
    {
        if (done_) return false;
        done_ = true;
        return true;
    }
    CHOOSECOLORW& cc_;
    bool done_ = false;
    bool picked_ = false;
};

thread_local DWORD commDlgError = 0;

}  // namespace

std::vector<int> MessageBoxButtons(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {};
    }
}

}  // namespace user

extern "C" {

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType)
{
    return user::ShowBox(hWnd, lpText ? lpText : u"", lpCaption ? lpCaption : u"Error", uType);
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    return user::ShowBox(hWnd, user::FromAnsi(lpText), lpCaption ? user::FromAnsi(lpCaption) : u"Error", uType);
}

BOOL ChooseColorW(LPCHOOSECOLORW lpcc)
{
    constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
    user::commDlgError = 0;
    if (!lpcc || lpcc->lStructSize != sizeof(CHOOSECOLORW)) {
        user::commDlgError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    user::ColorFrame frame(*lpcc);
    user::WaitForPerson(frame);
    return frame.picked_ ? TRUE : FALSE;
}

DWORD CommDlgExtendedError() { return user::commDlgError; }

BOOL WinHelpW(HWND hWndMain, LPCWSTR lpszHelp, UINT uCommand, ULONG_PTR dwData)
{
    if (!lpszHelp && uCommand != HELP_QUIT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD context = uCommand == HELP_CONTEXT ? static_cast<DWORD>(dwData) : 0;
    if (uCommand == HELP_WM_HELP && dwData) {
        // (control, help id) pairs ending with a 0 control; hWndMain is the control asked about.
        const auto* pairs = reinterpret_cast<const DWORD*>(dwData);
        const int id = GetDlgCtrlID(hWndMain);
        for (int i = 0; i < 1024 && pairs[2 * i] != 0; ++i)
            if (static_cast<int>(pairs[2 * i]) == id) {
                context = pairs[2 * i + 1];
                break;
            }
    }
    user::RecordHelp({hWndMain, lpszHelp ? std::u16string(lpszHelp) : std::u16string(), uCommand, dwData, context});
    return TRUE;
}

}  // extern "C"
