#include "render.h"

#include <algorithm>
#include <cstdio>

#include "base/codepage.h"
#include "compstui/compstui.h"
#include "html.h"
#include "layout.h"
#include "user/msgbox.h"

namespace lblweb {

namespace {

using user::ControlClass;

std::string Num(long v) { return std::to_string(v); }

std::string Disabled(bool enabled) { return enabled ? "" : " disabled"; }

std::string Display(const std::u16string& text) { return Escape(WithoutMnemonic(text)); }

// Message box text: its line breaks kept.
std::string Lines(const std::u16string& text)
{
    std::string out;
    for (char c : Escape(text)) {
        if (c == '\n') out += "<br>";
        else if (c != '\r') out += c;
    }
    return out;
}

bool IsInput(ControlClass k)
{
    return k == ControlClass::Edit || k == ControlClass::ComboBox || k == ControlClass::ListBox ||
           k == ControlClass::Trackbar;
}

void Control(std::string& out, const user::PageState& page, size_t index, const user::ControlState* captionFor)
{
    const user::ControlState& c = page.controls[index];
    const std::string id = Num(c.id);
    const std::string dis = Disabled(c.enabled);
    const std::string name = Escape(ControlName(page, index));
    switch (c.kind) {
    case ControlClass::Static:
        if (captionFor)
            out += "<label class=\"lbl-caption\" for=\"c" + Num(captionFor->id) + "\">" + Display(c.text) + "</label>";
        else if (c.id != 0 && c.id != 0xFFFF)
            out += "<span class=\"lbl-static\" id=\"s" + id + "\">" + Display(c.text) + "</span>";
        else
            out += "<span class=\"lbl-static\">" + Display(c.text) + "</span>";
        return;
    case ControlClass::Edit:
        out += "<input type=\"text\" id=\"c" + id + "\" name=\"c" + id + "\" value=\"" + Escape(c.text) + "\"" +
               (c.limit > 0 ? " maxlength=\"" + Num(c.limit) + "\" size=\"" + Num(std::min(c.limit, 30)) + "\"" : "") +
               " aria-label=" + "\"" + name + "\"" + dis + ">";
        return;
    case ControlClass::UpDown:
        out += "<span class=\"lbl-updown\"><button type=\"submit\" name=\"do\" value=\"step:" + id +
               ":1\" aria-label=\"Up: " + name + "\"" + dis + ">&#9650;</button><button type=\"submit\" name=\"do\" value=\"step:" +
               id + ":-1\" aria-label=\"Down: " + name + "\"" + dis + ">&#9660;</button></span>";
        return;
    case ControlClass::Trackbar:
        out += "<input type=\"range\" class=\"lbl-slider\" id=\"c" + id + "\" name=\"c" + id + "\" min=\"" + Num(c.low) +
               "\" max=\"" + Num(c.high) + "\" value=\"" + Num(c.pos) + "\" step=\"1\" aria-label=\"" + name + "\"" + dis + ">";
        return;
    case ControlClass::ComboBox:
    case ControlClass::ListBox: {
        out += "<select id=\"c" + id + "\" name=\"c" + id + "\" aria-label=\"" + name + "\"" + dis + ">";
        for (size_t i = 0; i < c.items.size(); ++i)
            out += "<option value=\"" + Num(static_cast<long>(i)) + "\"" +
                   (static_cast<int>(i) == c.selection ? " selected" : "") + ">" + Escape(c.items[i]) + "</option>";
        out += "</select>";
        return;
    }
    case ControlClass::CheckBox:
    case ControlClass::RadioButton:
        out += "<label class=\"lbl-check\">";
        if (c.enabled) out += "<input type=\"hidden\" name=\"k" + id + "\" value=\"1\">";
        out += "<input type=\"checkbox\" id=\"c" + id + "\" name=\"c" + id + "\" value=\"1\"" +
               (c.checked ? " checked" : "") + dis + "> " + Display(c.text) + "</label>";
        return;
    case ControlClass::PushButton:
        out += "<button type=\"submit\" name=\"do\" value=\"press:" + id + "\" id=\"c" + id + "\"" + dis + ">" +
               Display(c.text) + "</button>";
        return;
    case ControlClass::GroupBox: return;
    }
}

void Page(std::string& out, const user::SheetState& sheet)
{
    out += "<nav class=\"lbl-tabs\" role=\"tablist\">";
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        const bool active = static_cast<int>(i) == sheet.active;
        out += "<button type=\"submit\" role=\"tab\" name=\"do\" value=\"page:" + Num(static_cast<long>(i)) + "\"" +
               (active ? " aria-selected=\"true\" class=\"lbl-active\"" : " aria-selected=\"false\"") + ">" +
               Display(sheet.pages[i].title) + "</button>";
    }
    out += "</nav>";
    if (sheet.active < 0 || static_cast<size_t>(sheet.active) >= sheet.pages.size()) return;
    const user::PageState& page = sheet.pages[static_cast<size_t>(sheet.active)];
    out += "<div class=\"lbl-page\" role=\"tabpanel\" data-template=\"" + Num(page.templateId) + "\">";
    bool inGroup = false;
    for (const Row& row : PageRows(page)) {
        if (row.heading) {
            if (inGroup) out += "</fieldset>";
            out += "<fieldset class=\"lbl-group\"><legend>" + Display(page.controls[row.controls[0]].text) + "</legend>";
            inGroup = true;
            continue;
        }
        if (inGroup && !row.inGroup) {
            out += "</fieldset>";
            inGroup = false;
        }
        out += "<div class=\"lbl-row\">";
        // A row's caption labels the first input of the row.
        const user::ControlState* input = nullptr;
        for (size_t i : row.controls)
            if (!input && IsInput(page.controls[i].kind)) input = &page.controls[i];
        for (size_t k = 0; k < row.controls.size(); ++k) {
            const size_t i = row.controls[k];
            const bool caption = k == 0 && page.controls[i].kind == ControlClass::Static && input;
            Control(out, page, i, caption ? input : nullptr);
        }
        out += "</div>";
    }
    if (inGroup) out += "</fieldset>";
    out += "</div>";
}

void Item(std::string& out, const user::ItemState& it)
{
    if (it.flags & OPTIF_HIDE) return;
    const std::string n = Num(it.index);
    const std::string dis = Disabled(!(it.flags & OPTIF_DISABLED));
    const std::string name = Escape(it.name);
    const std::string indent = " style=\"--level:" + Num(it.level) + "\"";
    if (it.type == 0xFF || it.type > TVOT_CHKBOX) {
        out += "<h3 class=\"lbl-heading\"" + indent + ">" + name + "</h3>";
        return;
    }
    out += "<div class=\"lbl-item\"" + indent + ">";
    const bool labelled = it.type != TVOT_PUSHBUTTON && it.type != TVOT_2STATES && it.type != TVOT_3STATES;
    if (labelled) out += "<label class=\"lbl-caption\" for=\"i" + n + "\">" + name + "</label>";
    else if (it.type != TVOT_PUSHBUTTON) out += "<span class=\"lbl-caption\">" + name + "</span>";
    switch (it.type) {
    case TVOT_2STATES:
    case TVOT_3STATES:
        out += "<span class=\"lbl-choices\" role=\"radiogroup\" aria-label=\"" + name + "\">";
        for (size_t i = 0; i < it.choices.size(); ++i)
            out += "<label class=\"lbl-check\"><input type=\"radio\" name=\"i" + n + "\" value=\"" + Num(static_cast<long>(i)) +
                   "\"" + (static_cast<LONG>(i) == it.selection ? " checked" : "") + dis + "> " + Escape(it.choices[i]) +
                   "</label>";
        out += "</span>";
        break;
    case TVOT_LISTBOX:
    case TVOT_COMBOBOX: {
        const size_t rows = it.type == TVOT_LISTBOX ? std::clamp<size_t>(it.choices.size(), 2, 8) : 1;
        out += "<select id=\"i" + n + "\" name=\"i" + n + "\"" + (rows > 1 ? " size=\"" + Num(static_cast<long>(rows)) + "\"" : "") + dis + ">";
        for (size_t i = 0; i < it.choices.size(); ++i)
            out += "<option value=\"" + Num(static_cast<long>(i)) + "\"" +
                   (static_cast<LONG>(i) == it.selection ? " selected" : "") + ">" + Escape(it.choices[i]) + "</option>";
        out += "</select>";
        break;
    }
    case TVOT_UDARROW:
        out += "<input type=\"number\" id=\"i" + n + "\" name=\"i" + n + "\" min=\"" + Num(it.low) + "\" max=\"" +
               Num(it.high) + "\" value=\"" + Num(it.selection) + "\"" + dis + ">";
        break;
    case TVOT_TRACKBAR:
    case TVOT_SCROLLBAR:
        out += "<input type=\"range\" class=\"lbl-slider\" id=\"i" + n + "\" name=\"i" + n + "\" min=\"" + Num(it.low) +
               "\" max=\"" + Num(it.high) + "\" value=\"" + Num(it.selection) + "\"" + dis + ">" +
               "<span class=\"lbl-static\" id=\"t" + n + "\">" + (it.text.empty() ? Num(it.selection) : Escape(it.text)) + "</span>";
        break;
    case TVOT_EDITBOX:
        out += "<input type=\"text\" id=\"i" + n + "\" name=\"i" + n + "\" value=\"" + Escape(it.text) + "\"" + dis + ">";
        break;
    case TVOT_PUSHBUTTON:
        out += "<button type=\"submit\" name=\"do\" value=\"push:" + n + "\"" + dis + ">" + name + "</button>";
        break;
    case TVOT_CHKBOX:
        out += "<span>";
        if (dis.empty()) out += "<input type=\"hidden\" name=\"ki" + n + "\" value=\"1\">";
        out += "<input type=\"checkbox\" id=\"i" + n + "\" name=\"i" + n + "\" value=\"1\"" + (it.selection ? " checked" : "") +
               dis + "></span>";
        break;
    default: break;
    }
    if (!it.extName.empty() && !(it.flags & OPTIF_EXT_HIDE)) {
        const std::string extDis = Disabled(!(it.flags & OPTIF_EXT_DISABLED));
        if (it.extIsPush) {
            out += "<button type=\"submit\" class=\"lbl-ext\" name=\"do\" value=\"ext:" + n + "\"" + extDis + ">" +
                   Escape(it.extName) + "</button>";
        } else {
            out += "<label class=\"lbl-check lbl-ext\">";
            if (extDis.empty()) out += "<input type=\"hidden\" name=\"kx" + n + "\" value=\"1\">";
            out += "<input type=\"checkbox\" name=\"x" + n + "\" value=\"1\"" + (it.extChecked ? " checked" : "") + extDis +
                   "> " + Escape(it.extName) + "</label>";
        }
    }
    out += "</div>";
}

std::string ButtonName(int id)
{
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "Button " + Num(id);
    }
}

void Dialog(std::string& out, const Frame& f)
{
    out += "<div class=\"lbl-backdrop\"><div class=\"lbl-dialog\" role=\"alertdialog\" aria-modal=\"true\" "
           "aria-labelledby=\"lbl-dialog-title\">";
    if (f.what == user::Waiting::MessageBox) {
        out += "<h3 id=\"lbl-dialog-title\">" + Escape(f.box.caption) + "</h3><p class=\"lbl-message\">" +
               Lines(f.box.text) + "</p><div class=\"lbl-actions\">";
        for (int b : f.buttons)
            out += "<button type=\"submit\" name=\"do\" value=\"answer:" + Num(b) + "\"" +
                   (b == f.buttons.front() ? " autofocus" : "") + ">" + ButtonName(b) + "</button>";
        out += "</div>";
    } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", static_cast<unsigned>(f.color & 0xFF),
                      static_cast<unsigned>((f.color >> 8) & 0xFF), static_cast<unsigned>((f.color >> 16) & 0xFF));
        out += std::string("<h3 id=\"lbl-dialog-title\">Color</h3><p><label>Color <input type=\"color\" name=\"color\" value=\"") +
               hex + "\"></label></p><div class=\"lbl-actions\"><button type=\"submit\" name=\"do\" value=\"color\" "
               "autofocus>OK</button><button type=\"submit\" name=\"do\" value=\"nocolor\">Cancel</button></div>";
    }
    out += "</div></div>";
}

}  // namespace

std::string RenderView(const View& view, const PageContext& context)
{
    std::string out = "<div class=\"lbl\" id=\"lbl-root\" data-serial=\"" + std::to_string(view.serial) + "\">";
    if (!context.error.empty()) out += "<p class=\"lbl-error\" role=\"alert\">" + Escape(context.error) + "</p>";
    if (!view.note.empty()) out += "<p class=\"lbl-note\" role=\"status\">" + Escape(view.note) + "</p>";
    out += "<form id=\"lbl-form\" class=\"lbl-form\" method=\"post\" action=\"" + Escape(context.action) + "\">";
    out += "<input type=\"hidden\" name=\"session\" value=\"" + Escape(context.csrf) + "\">";
    out += "<input type=\"hidden\" name=\"serial\" value=\"" + std::to_string(view.serial) + "\">";

    if (view.ended || view.frames.empty()) {
        if (!view.outcome.empty()) out += "<p class=\"lbl-outcome\" role=\"status\">" + Escape(view.outcome) + "</p>";
        if (!context.reopen.empty())
            out += "<div class=\"lbl-actions\"><button type=\"submit\" name=\"do\" value=\"open\">" +
                   Escape(context.reopen) + "</button></div>";
        return out + "</form></div>";
    }
    // Enter in a text field presses no button of the sheet: it only sends what was typed.
    out += "<button type=\"submit\" name=\"do\" value=\"\" class=\"lbl-default\" tabindex=\"-1\" aria-hidden=\"true\"></button>";

    // The innermost sheet is shown; a box or the colour dialog over it makes it inert.
    size_t sheetAt = view.frames.size();
    while (sheetAt > 0 && view.frames[sheetAt - 1].what != user::Waiting::PropertySheet &&
           view.frames[sheetAt - 1].what != user::Waiting::CommonSheet)
        --sheetAt;
    const bool modal = sheetAt != view.frames.size();
    if (sheetAt > 0) {
        const Frame& f = view.frames[sheetAt - 1];
        std::string trail;
        for (size_t i = 0; i + 1 < sheetAt; ++i) {
            const Frame& outer = view.frames[i];
            const std::u16string& t = outer.what == user::Waiting::CommonSheet ? outer.items.title : outer.sheet.title;
            if (outer.what == user::Waiting::CommonSheet || outer.what == user::Waiting::PropertySheet)
                trail += (trail.empty() ? "" : " &rsaquo; ") + Escape(t);
        }
        out += std::string("<section class=\"lbl-sheet\"") + (modal ? " inert" : "") + ">";
        if (!trail.empty()) out += "<p class=\"lbl-trail\">" + trail + " &rsaquo;</p>";
        if (f.what == user::Waiting::PropertySheet) {
            out += "<h2>" + Display(f.sheet.title) + "</h2>";
            Page(out, f.sheet);
        } else {
            out += "<h2>" + Escape(f.items.title) + "</h2><div class=\"lbl-items\">";
            for (const auto& it : f.items.items) Item(out, it);
            out += "</div>";
        }
        const bool apply = f.what == user::Waiting::CommonSheet || f.sheet.applyButton;
        out += "<div class=\"lbl-actions lbl-sheet-buttons\"><button type=\"submit\" name=\"do\" value=\"ok\">OK</button>"
               "<button type=\"submit\" name=\"do\" value=\"cancel\">Cancel</button>";
        if (apply) out += "<button type=\"submit\" name=\"do\" value=\"apply\">Apply</button>";
        out += "</div></section>";
    }
    if (modal) Dialog(out, view.frames.back());
    return out + "</form></div>";
}

}  // namespace lblweb
