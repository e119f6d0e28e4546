// The driving interface: what a person sees of the headless model and what they
// can do in it. Calls are synchronous, so a front end installs an agent: the
// model calls it whenever it waits for a person (a message box, the colour
// dialog, a property sheet, the common property sheet), with a Desk showing the
// innermost of them. The agent looks and acts; the model goes on when it returns.
// A box left unanswered is dismissed, a sheet in which the agent did nothing is
// cancelled, so a script that runs out never hangs the model.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "user/msgbox.h"
#include "user/restext.h"
#include "user/usertypes.h"

namespace user {

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT type = 0;
    int answer = 0;
};

struct HelpRecord {
    HWND window = nullptr;
    std::u16string file;
    UINT command = 0;
    ULONG_PTR data = 0;
    DWORD context = 0;  // HELP_CONTEXT: the data; HELP_WM_HELP: the control's entry in the table; else 0
};

// What the model has shown since the last ClearRecords (every thread).
std::vector<MessageBoxRecord> MessageBoxes();
std::vector<HelpRecord> HelpRequests();
void ClearRecords();

// The buttons of a message box type, in their order (IDOK, IDCANCEL ...).
std::vector<int> MessageBoxButtons(UINT type);

enum class Waiting { Nothing, MessageBox, ColorDialog, PropertySheet, CommonSheet };

struct ControlState {
    WORD id = 0;
    ControlClass kind = ControlClass::Static;
    std::u16string text;
    bool visible = true;
    bool enabled = true;
    int limit = 0;               // edit
    int low = 0, high = 0, pos = 0;  // up-down, trackbar
    std::vector<std::u16string> items;  // combo box
    int selection = -1;
    bool checked = false;
};

struct PageState {
    std::u16string title;
    WORD templateId = 0;
    bool created = false;
    std::vector<ControlState> controls;  // of a created page, in template order
};

struct SheetState {
    std::u16string title;
    bool applyButton = true;
    int active = 0;
    std::vector<PageState> pages;
};

struct ItemState {
    int index = 0;  // position in the item array
    int level = 0;
    std::u16string name;
    BYTE type = 0;         // TVOT_*, or 0xFF for a header without an OPTTYPE
    LONG selection = 0;
    std::u16string text;   // edit box text, or the selected choice's text
    std::vector<std::u16string> choices;
    DWORD flags = 0;       // OPTIF_*
    std::u16string extName;   // extended push button or check box, empty when none
    bool extIsPush = false;
    bool extChecked = false;
    BYTE dmPubId = 0;
    ULONG_PTR userData = 0;   // the caller's identity of the item
    LONG low = 0, high = 0;   // up-down, trackbar and scroll bar: the range
};

struct CommonSheetState {
    std::u16string title;
    std::u16string caller;
    std::vector<ItemState> items;  // of every COMPROPSHEETUI added, in order
};

class Frame;  // the model's side of one wait

class Desk {
public:
    explicit Desk(Frame& frame) : frame_(frame) {}
    Waiting What() const;

    // Message box.
    const MessageBoxRecord& Box() const;
    bool Answer(int button);  // false for a button the box does not have

    // Colour dialog.
    COLORREF InitialColor() const;
    bool PickColor(COLORREF rgb);
    bool CancelColor();

    // Property sheet (PropertySheetA).
    SheetState Sheet() const;
    ControlState Control(WORD id) const;  // on the active page
    bool SwitchPage(int index);
    bool Type(WORD id, std::u16string_view text);  // edit: replaces the text, as typed (limit applies)
    bool Pick(WORD id, int index);                  // combo box
    bool Check(WORD id, bool checked);              // check box: clicks it when it differs
    bool Slide(WORD id, int pos);                   // trackbar
    bool Step(WORD id, int delta);                  // up-down arrow: +1 up, -1 down
    bool Press(WORD id);                            // push button (or any button)
    bool Help(WORD id);                             // F1 on a control

    // Common property sheet.
    CommonSheetState Items() const;
    bool Select(int item, LONG selection);           // list, combo, up-down, trackbar, 2/3-state, check box
    bool TypeItem(int item, std::u16string_view text);  // edit box item
    bool PushItem(int item);                          // TVOT_PUSHBUTTON item
    bool PushExt(int item);                           // extended push button
    bool CheckExt(int item, bool checked);            // extended check box

    // Both kinds of sheet.
    bool Apply();
    bool Ok();
    bool Cancel();

private:
    Frame& frame_;
};

using Agent = std::function<void(Desk&)>;

// Installs the process-wide agent; returns the one it replaces.
Agent SetAgent(Agent agent);

class ScopedAgent {
public:
    explicit ScopedAgent(Agent agent) : previous_(SetAgent(std::move(agent))) {}
    ~ScopedAgent() { SetAgent(std::move(previous_)); }
    ScopedAgent(const ScopedAgent&) = delete;
    ScopedAgent& operator=(const ScopedAgent&) = delete;

private:
    Agent previous_;
};

// A person following a script: each time the model waits, the next step runs.
// Installed for its lifetime. Steps() tells how many were left unused.
class Script {
public:
    Script();
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    Script& Then(std::function<void(Desk&)> step);
    std::size_t Left() const { return steps_.size(); }

private:
    std::deque<std::function<void(Desk&)>> steps_;
    Agent previous_;
};

}  // namespace user
