#include "frontend/doc_sheet.h"

#include <map>

#include "base/codepage.h"
#include "spooler/spooler.h"
#include "user/msgbox.h"

namespace frontend {
namespace {

// Item identities of the document sheet.
constexpr ULONG_PTR kOrientation = 1, kCopies = 3, kColor = 4, kResolution = 9, kLabel = 11, kHalftone = 24;

struct DeviceOption {
    ULONG_PTR item;
    bool inverted;  // bBottomUp 1 is the item's first state
};

const std::map<std::string, DeviceOption>& DeviceOptions()
{
    static const std::map<std::string, DeviceOption> options = {
        {"bBottomUp", {13, true}},     {"bRibbonSaver", {17, false}}, {"bBackFeed", {18, false}},
        {"bAutoFeed", {19, false}},    {"bCompression", {20, false}}, {"bMirror", {12, false}},
        {"iHalftone", {kHalftone, false}},
    };
    return options;
}

std::string Text(const std::u16string& s) { return platform::Narrow(s.c_str()); }

std::string List(const std::vector<std::u16string>& texts, bool quote = false)
{
    std::string out;
    for (const auto& t : texts) {
        if (!out.empty()) out += ", ";
        out += quote ? "\"" + Text(t) + "\"" : Text(t);
    }
    return out;
}

const user::ItemState* FindItem(const user::CommonSheetState& s, ULONG_PTR userData)
{
    for (const auto& it : s.items)
        if (it.userData == userData) return &it;
    return nullptr;
}

int ChoiceIndex(const user::ItemState& item, const std::u16string& text)
{
    for (size_t i = 0; i < item.choices.size(); ++i)
        if (item.choices[i] == text) return static_cast<int>(i);
    return -1;
}

// Makes the changes on the sheet shown at the desk; the first refusal ends it.
class Person {
public:
    Person(user::Desk& desk, const std::string& printer) : d_(desk), printer_(printer), s_(desk.Items()) {}

    void Make(const SheetChanges& c)
    {
        if (!c.orientation.empty()) Choose(Need(kOrientation, "orientation"), c.orientation == "landscape" ? 1 : 0);
        if (c.copies) Copies(*c.copies);
        if (c.collate) Collate();
        if (!c.color.empty()) Color(c.color);
        if (!c.label.empty()) Label(c.label);
        if (c.resolution) Resolution(*c.resolution);
        if (!c.halftone.empty()) Halftone(c.halftone);
        for (const std::string& set : c.sets) Set(set);
    }

private:
    const user::ItemState& Need(ULONG_PTR id, const std::string& what)
    {
        const user::ItemState* it = FindItem(s_, id);
        if (!it) {
            std::vector<std::u16string> names;
            for (const auto& i : s_.items) names.push_back(i.name);
            throw Failure{"the document sheet of printer \"" + printer_ + "\" has no item for " + what +
                          "; it has: " + List(names)};
        }
        return *it;
    }
    void Choose(const user::ItemState& item, int sel)
    {
        if (sel < 0 || sel >= static_cast<int>(item.choices.size()) || !d_.Select(item.index, sel))
            throw Failure{"\"" + Text(item.name) + "\" on printer \"" + printer_ + "\" offers " + List(item.choices)};
    }
    void Copies(int n)
    {
        const user::ItemState& item = Need(kCopies, "copies");
        if (!d_.Select(item.index, n))
            throw Failure{"\"" + Text(item.name) + "\" on printer \"" + printer_ + "\" takes " +
                          std::to_string(item.low) + " to " + std::to_string(item.high) + ", not " +
                          std::to_string(n)};
    }
    void Collate()
    {
        const user::ItemState& item = Need(kCopies, "copies");
        if (item.extName.empty() || item.extIsPush || !d_.CheckExt(item.index, true))
            throw Failure{"printer \"" + printer_ + "\" does not collate copies"};
    }
    void Color(const std::string& mode)
    {
        const user::ItemState* item = FindItem(s_, kColor);
        if (!item) {
            if (mode == "mono") return;  // all such a printer does
            throw Failure{"printer \"" + printer_ + "\" prints in monochrome only"};
        }
        Choose(*item, mode == "mono" ? 0 : mode == "4color" ? 1 : 2);
    }
    void Label(const std::string& name)
    {
        const user::ItemState& item = Need(kLabel, "label");
        const int sel = ChoiceIndex(item, platform::Widen(name));
        if (sel < 0)
            throw Failure{"printer \"" + printer_ + "\" has no label \"" + name + "\"; its labels: " +
                          List(item.choices, true)};
        Choose(item, sel);
    }
    void Resolution(int dpi)
    {
        const user::ItemState& item = Need(kResolution, "resolution");
        const int sel = ChoiceIndex(item, platform::Widen(std::to_string(dpi)));
        if (sel < 0)
            throw Failure{"printer \"" + printer_ + "\" does not print at " + std::to_string(dpi) +
                          " dpi; it offers " + List(item.choices) + " dpi"};
        Choose(item, sel);
    }
    void Halftone(const std::string& name)
    {
        const user::ItemState& item = Need(kHalftone, "halftone");
        Choose(item, name == "dither1" ? 0 : name == "dither2" ? 1 : name == "diffusion" ? 2 : -1);
    }
    void Set(const std::string& assignment)
    {
        const auto eq = assignment.find('=');
        if (eq == std::string::npos) throw Failure{"--set takes FIELD=VALUE, not \"" + assignment + "\""};
        const std::string field = assignment.substr(0, eq), value = assignment.substr(eq + 1);
        if (field == "bFourColor") {  // the colour item's two colour modes
            if (value != "0" && value != "1") throw Failure{field + " takes 0 or 1, not \"" + value + "\""};
            Color(value == "1" ? "4color" : "3color");
            return;
        }
        auto it = DeviceOptions().find(field);
        if (it == DeviceOptions().end()) {
            std::string names;
            for (const auto& [name, option] : DeviceOptions()) names += (names.empty() ? "" : ", ") + name;
            throw Failure{"unknown field \"" + field + "\" (" + names + ", bFourColor)"};
        }
        const user::ItemState& item = Need(it->second.item, field);
        if (field == "iHalftone" && (value == "dither1" || value == "dither2" || value == "diffusion")) {
            Halftone(value);
            return;
        }
        if (value.size() != 1 || value[0] < '0' || value[0] > '9')
            throw Failure{field + " takes a number, not \"" + value + "\""};
        const int v = value[0] - '0';
        if (it->second.inverted) {
            if (v > 1) throw Failure{field + " takes 0 or 1, not \"" + value + "\""};
            Choose(item, 1 - v);
        } else {
            Choose(item, v);
        }
    }

    user::Desk& d_;
    std::string printer_;
    user::CommonSheetState s_;
};

// Runs the sheet with the agent's steps; the device mode it wrote, or a Failure.
std::vector<BYTE> RunSheet(HANDLE hPrinter, const std::string& printer, const std::vector<BYTE>& input,
                           const std::function<void(user::Desk&)>& step, bool wantOutput)
{
    std::vector<BYTE> in = input;
    std::vector<BYTE> out;
    const LONG size = DocumentPropertiesW(nullptr, hPrinter, nullptr, nullptr, nullptr, 0);
    if (size < static_cast<LONG>(sizeof(DEVMODEW)) || size > 0x10000)
        throw Failure{"the UI library of printer \"" + printer + "\" gives no device mode size (error " +
                      std::to_string(GetLastError()) + ")"};
    out.assign(static_cast<size_t>(size), 0);
    std::optional<Failure> refused;
    bool ran = false;
    user::Script script;
    script.Then([&](user::Desk& d) {
        ran = true;
        try {
            step(d);
        } catch (const Failure& f) {
            refused = f;
            d.Cancel();
        }
    });
    const DWORD mode = DM_IN_PROMPT | DM_OUT_BUFFER | (in.empty() ? 0 : DM_IN_BUFFER);
    const LONG rc = DocumentPropertiesW(nullptr, hPrinter, nullptr, reinterpret_cast<DEVMODEW*>(out.data()),
                                        in.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(in.data()), mode);
    if (refused) throw *refused;
    if (rc < 0 || !ran)
        throw Failure{"the document sheet of printer \"" + printer + "\" could not be opened (error " +
                      std::to_string(GetLastError()) + ")"};
    if (wantOutput && rc != IDOK) throw Failure{"the document sheet of printer \"" + printer + "\" was not applied"};
    return out;
}

}  // namespace

bool SheetChanges::Any() const
{
    return !label.empty() || copies || collate || !color.empty() || !halftone.empty() || resolution ||
           !orientation.empty() || !sets.empty();
}

user::CommonSheetState ReadDocumentSheet(HANDLE hPrinter, const std::string& printer, const std::vector<BYTE>& input)
{
    user::CommonSheetState seen;
    RunSheet(
        hPrinter, printer, input,
        [&](user::Desk& d) {
            seen = d.Items();
            d.Cancel();
        },
        false);
    return seen;
}

std::vector<BYTE> DeviceModeFromSheet(HANDLE hPrinter, const std::string& printer, const std::vector<BYTE>& input,
                                      const SheetChanges& changes)
{
    return RunSheet(
        hPrinter, printer, input,
        [&](user::Desk& d) {
            Person(d, printer).Make(changes);
            if (!d.Ok()) throw Failure{"the document sheet of printer \"" + printer + "\" refused OK"};
        },
        true);
}

}  // namespace frontend
