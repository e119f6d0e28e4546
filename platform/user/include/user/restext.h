// The resource text of a module: its string table and dialog templates, as
// written in a resource file under the module's folder and carried, unchanged,
// in the module's ".lblres" section. Format in platform/user/README.md.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "user/usertypes.h"

namespace user {

enum class ControlClass { Static, Edit, PushButton, CheckBox, RadioButton, GroupBox, ComboBox, ListBox, UpDown, Trackbar };

struct ControlTemplate {
    WORD id = 0;
    ControlClass kind = ControlClass::Static;
    std::u16string text;
    SHORT x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    bool disabled = false;
    bool hidden = false;
    int limit = 0;                        // EDIT: maximum characters, 0 for the default
    bool hasRange = false;
    int rangeLow = 0, rangeHigh = 0;      // UPDOWN, TRACKBAR
    WORD buddy = 0;                       // UPDOWN: the edit control it steps
};

struct DialogTemplate {
    WORD id = 0;
    std::u16string caption;
    SHORT x = 0, y = 0, cx = 0, cy = 0;
    std::vector<ControlTemplate> controls;
};

struct ResourceText {
    std::map<WORD, std::u16string> strings;
    std::map<WORD, DialogTemplate> dialogs;
};

// Parses resource text. False with a one-line reason ("line 3: ...") for text
// that is not well formed: unknown keywords, bad numbers, identifiers outside
// 0..65535, a string or dialog defined twice, a control identifier used twice
// in one dialog, an unterminated quote or dialog.
bool ParseResourceText(std::string_view text, ResourceText& out, std::string& why);

}  // namespace user
