// The model's side of one wait for a person, for the libraries that make up the
// model (this one and compstui). Each kind of wait overrides what it offers;
// everything else is refused.
#pragma once

#include "user/driving.h"

namespace user {

class Frame {
public:
    virtual ~Frame() = default;
    virtual Waiting What() const = 0;

    virtual const MessageBoxRecord* Box() const { return nullptr; }
    virtual bool Answer(int) { return false; }
    virtual COLORREF InitialColor() const { return 0; }
    virtual bool PickColor(COLORREF) { return false; }
    virtual bool CancelColor() { return false; }

    virtual SheetState Sheet() const { return {}; }
    virtual ControlState Control(WORD) const { return {}; }
    virtual bool SwitchPage(int) { return false; }
    virtual bool Type(WORD, std::u16string_view) { return false; }
    virtual bool Pick(WORD, int) { return false; }
    virtual bool Check(WORD, bool) { return false; }
    virtual bool Slide(WORD, int) { return false; }
    virtual bool Step(WORD, int) { return false; }
    virtual bool Press(WORD) { return false; }
    virtual bool Help(WORD) { return false; }

    virtual CommonSheetState Items() const { return {}; }
    virtual bool Select(int, LONG) { return false; }
    virtual bool TypeItem(int, std::u16string_view) { return false; }
    virtual bool PushItem(int) { return false; }
    virtual bool PushExt(int) { return false; }
    virtual bool CheckExt(int, bool) { return false; }

    virtual bool Apply() { return false; }
    virtual bool Ok() { return false; }
    virtual bool Cancel() { return false; }

    unsigned actions = 0;  // actions the agent performed in this frame
};

// Calls the agent with a Desk on the frame; false when no agent is installed.
bool WaitForPerson(Frame& frame);

// Records a message box or help request (see MessageBoxes, HelpRequests).
void RecordMessageBox(const MessageBoxRecord& box);
void RecordHelp(const HelpRecord& help);

}  // namespace user
