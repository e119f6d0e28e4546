// Test support for the label editor: a printer of a given model with a stored
// label database, its UI data as the printer sheet makes it, the label list item
// with a selection, and the editor run under a script of a person's steps.
#pragma once

#include <string>
#include <vector>

#include "labeleditor.h"
#include "ui_fixture.h"
#include "user/driving.h"

namespace uitest {

// A valid label of the default size under another name.
LABELDATA Label(const std::u16string& name);

class EditorTest : public UiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the UI data of a new printer of this description; with labels, they
    // are stored as its label database first.
    void OpenPrinter(const std::string& ppdPath, const std::vector<LABELDATA>& labels = {});
    void OpenModel(int model, const std::vector<LABELDATA>& labels = {});
    // Runs the editor on the label at `selected`; the script's steps act in it.
    void RunEditor(LONG selected = 0);
    // Tears the UI data down as the printer sheet does.
    void CloseUi();

    std::vector<std::u16string> Names() const;
    DWORD Count() const { return GetLabelNum(ui_->pLabelDb); }
    // The message boxes shown since the editor was started.
    std::vector<user::MessageBoxRecord> Boxes() const { return user::MessageBoxes(); }

    PUIDATA ui_ = nullptr;
    OPTITEM item_{};
    CPSUICBPARAM cb_{};
};

// Steps that read like a person's actions.
inline std::u16string Text(user::Desk& d, WORD id) { return d.Control(id).text; }

}  // namespace uitest
