#include "layout.h"

#include <algorithm>

#include "base/codepage.h"
#include "html.h"

namespace lblweb {

namespace {

using user::ControlClass;

bool IsCaption(const user::ControlState& c)
{
    return c.kind == ControlClass::Static && !c.text.empty() && c.text.back() == u':';
}

std::string Trimmed(std::u16string text)
{
    text = WithoutMnemonic(text);
    while (!text.empty() && (text.back() == u':' || text.back() == u' ')) text.pop_back();
    return platform::Narrow(text);
}

}  // namespace

std::vector<Row> PageRows(const user::PageState& page)
{
    std::vector<Row> rows;
    ControlClass previous = ControlClass::GroupBox;
    for (size_t i = 0; i < page.controls.size(); ++i) {
        const user::ControlState& c = page.controls[i];
        if (!c.visible) continue;
        if (c.kind == ControlClass::GroupBox) {
            Row heading;
            heading.heading = true;
            heading.controls.push_back(i);
            rows.push_back(std::move(heading));
            previous = c.kind;
            continue;
        }
        const bool starts = rows.empty() || rows.back().heading || IsCaption(c) || c.kind == ControlClass::CheckBox ||
                            c.kind == ControlClass::RadioButton ||
                            (c.kind == ControlClass::PushButton && previous != ControlClass::PushButton);
        if (starts) {
            Row row;
            if (!rows.empty()) {
                const Row& last = rows.back();
                const bool lastCaptioned = !last.heading && IsCaption(page.controls[last.controls.front()]);
                row.inGroup = last.heading || (last.inGroup && !(IsCaption(c) && !lastCaptioned));
            }
            rows.push_back(row);
        }
        rows.back().controls.push_back(i);
        previous = c.kind;
    }
    return rows;
}

std::string ControlName(const user::PageState& page, size_t index)
{
    const user::ControlState& c = page.controls[index];
    if ((c.kind == ControlClass::PushButton || c.kind == ControlClass::CheckBox ||
         c.kind == ControlClass::RadioButton) && !c.text.empty())
        return "\"" + Trimmed(c.text) + "\"";
    // The row's caption, after the caption of the group box it is in.
    const std::vector<Row> rows = PageRows(page);
    std::string group;
    for (const Row& row : rows) {
        if (row.heading) {
            group = Trimmed(page.controls[row.controls.front()].text);
            continue;
        }
        if (std::find(row.controls.begin(), row.controls.end(), index) == row.controls.end()) continue;
        const user::ControlState& first = page.controls[row.controls.front()];
        if (!IsCaption(first)) break;
        const std::string caption = Trimmed(first.text);
        return "\"" + (row.inGroup && !group.empty() ? group + " " + caption : caption) + "\"";
    }
    return "the control " + std::to_string(c.id);
}

const user::ControlState* FindControl(const user::PageState& page, WORD id)
{
    for (const auto& c : page.controls)
        if (c.id == id) return &c;
    return nullptr;
}

}  // namespace lblweb
