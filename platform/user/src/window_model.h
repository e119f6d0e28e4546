// The windows of the headless model: a sheet owns its pages, a page its
// controls. Every window is a checked handle; messages are dispatched by kind.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/handles.h"
#include "user/dialogs.h"
#include "user/restext.h"

namespace user {

struct Window : platform::HandleObject {
    enum class Kind { Sheet, Page, Control } kind = Kind::Control;
    HWND handle = nullptr;
    HWND parent = nullptr;
    bool visible = true;
    bool enabled = true;
    std::u16string text;

    // Control.
    WORD id = 0;
    ControlClass cls = ControlClass::Static;
    int limit = 0x7FFFFFFE;
    int low = 0, high = 100, pos = 0;
    WORD buddy = 0;
    std::vector<std::u16string> items;
    int selection = -1;
    int check = 0;

    // Page.
    DLGPROC proc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR userData = 0;
    LONG_PTR windowUserData = 0;
    std::vector<std::shared_ptr<Window>> controls;

    // Sheet: its model while it runs (propsheet.cpp).
    void* sheetModel = nullptr;

    bool ClosedByCloseHandle() const override { return false; }
};

std::shared_ptr<Window> FindWindow(HWND h);  // null with ERROR_INVALID_WINDOW_HANDLE
std::shared_ptr<Window> NewWindow(Window::Kind kind, HWND parent);
void DestroyWindowTree(const std::shared_ptr<Window>& w);
std::shared_ptr<Window> ChildById(const Window& page, int id);

// Builds a page's controls from its template (ranges, limits, states as written).
void CreateControls(Window& page, const DialogTemplate& tmpl);

// The control's own handling of a message; `ansi` for the A forms' strings.
LRESULT ControlMessage(Window& control, UINT msg, WPARAM wParam, LPARAM lParam, bool ansi);

// Sends to a page's procedure: its result, or DWLP_MSGRESULT for WM_NOTIFY when the
// procedure said it handled the message.
LRESULT PageMessage(Window& page, UINT msg, WPARAM wParam, LPARAM lParam);

// The sheet's handling of PSM_ messages (propsheet.cpp).
LRESULT SheetMessage(Window& sheet, UINT msg, WPARAM wParam, LPARAM lParam);

// Sets a control's text as a person types it, then tells the page (EN_CHANGE).
void NotifyCommand(const Window& control, WORD code);

std::u16string Widen(LPCSTR s);
std::string ToAnsi(std::u16string_view s);

}  // namespace user
