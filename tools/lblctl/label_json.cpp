#include "label_json.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <set>

#include "base/codepage.h"
#include "frontend/names.h"
#include "settings/settings.h"

namespace lblctl {

using namespace frontend;

namespace {

#define LABEL_FIELD(f, n, u) NumericField{#f, offsetof(LABELDATA, f), n, u}
#define RIBBON_FIELD(f, u) NumericField{#f, offsetof(RIBBONADJ, f), 1, u}

std::int64_t ReadWord(const void* record, size_t offset, bool isUnsigned)
{
    if (isUnsigned) {
        std::uint32_t v;
        std::memcpy(&v, static_cast<const BYTE*>(record) + offset, sizeof v);
        return v;
    }
    std::int32_t v;
    std::memcpy(&v, static_cast<const BYTE*>(record) + offset, sizeof v);
    return v;
}

void WriteWord(void* record, size_t offset, std::int64_t value)
{
    // The caller has checked the range; the low 32 bits are the stored image.
    std::uint32_t v = static_cast<std::uint32_t>(value);
    std::memcpy(static_cast<BYTE*>(record) + offset, &v, sizeof v);
}

void FieldsToJson(const void* record, const std::vector<NumericField>& fields, Json& object)
{
    for (const auto& f : fields) {
        if (f.count == 1) {
            object[f.name] = ReadWord(record, f.offset, f.isUnsigned);
        } else {
            Json values = Json::array();
            for (int i = 0; i < f.count; ++i) values.push_back(ReadWord(record, f.offset + 4 * i, f.isUnsigned));
            object[f.name] = values;
        }
    }
}

// Checks that a JSON value is an integer that fits the field; "" when it does.
std::string ReadInteger(const Json& value, bool isUnsigned, std::int64_t& out)
{
    if (!value.is_number_integer()) return isUnsigned ? "not an unsigned 32-bit integer" : "not a 32-bit integer";
    if (value.is_number_unsigned()) {
        std::uint64_t u = value.get<std::uint64_t>();
        std::uint64_t max = isUnsigned ? std::numeric_limits<std::uint32_t>::max()
                                       : static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
        if (u > max) return "out of range";
        out = static_cast<std::int64_t>(u);
        return "";
    }
    std::int64_t s = value.get<std::int64_t>();
    std::int64_t min = isUnsigned ? 0 : std::numeric_limits<std::int32_t>::min();
    std::int64_t max = isUnsigned ? std::numeric_limits<std::uint32_t>::max() : std::numeric_limits<std::int32_t>::max();
    if (s < min || s > max) return "out of range";
    out = s;
    return "";
}

// Reads one numeric field into the record; "" on success, else "field NAME: reason".
std::string ReadField(const Json& value, const NumericField& f, void* record, const std::string& prefix)
{
    std::string name = prefix + f.name;
    std::int64_t v = 0;
    if (f.count == 1) {
        if (auto why = ReadInteger(value, f.isUnsigned, v); !why.empty()) return "field " + name + ": " + why;
        WriteWord(record, f.offset, v);
        return "";
    }
    if (!value.is_array() || value.size() != static_cast<size_t>(f.count))
        return "field " + name + ": not an array of " + std::to_string(f.count) + " integers";
    for (int i = 0; i < f.count; ++i) {
        if (auto why = ReadInteger(value[i], f.isUnsigned, v); !why.empty())
            return "field " + name + "[" + std::to_string(i) + "]: " + why;
        WriteWord(record, f.offset + 4 * i, v);
    }
    return "";
}

const NumericField* FindField(const std::vector<NumericField>& fields, const std::string& name)
{
    for (const auto& f : fields)
        if (name == f.name) return &f;
    return nullptr;
}

std::string ReadName(const Json& value, LABELDATA& label)
{
    if (!value.is_string()) return "field szLabelName: not a string";
    std::u16string name = platform::Widen(value.get_ref<const std::string&>());
    if (name.empty()) return "field szLabelName: empty";
    if (name.find(u'\0') != std::u16string::npos) return "field szLabelName: contains a NUL character";
    if (auto why = NameProblem(value.get_ref<const std::string&>()); !why.empty()) return "field szLabelName: " + why;
    if (name.size() > CCHLABELNAME - 1)
        return "field szLabelName: longer than " + std::to_string(CCHLABELNAME - 1) + " characters";
    CopyStringW(label.szLabelName, name.c_str(), CCHLABELNAME);
    return "";
}

// The text as a message shows it: one line, a short prefix.
std::string Printable(const std::string& text) { return Quoted(text); }

std::string ReadRibbons(const Json& value, LABELDATA& label)
{
    if (!value.is_array() || value.size() != 4) return "field aRibbon: not an array of 4 objects";
    for (size_t i = 0; i < 4; ++i) {
        std::string prefix = "aRibbon[" + std::to_string(i) + "].";
        if (!value[i].is_object()) return "field aRibbon[" + std::to_string(i) + "]: not an object";
        for (const auto& [key, item] : value[i].items()) {
            const NumericField* f = FindField(RibbonFields(), key);
            if (!f) return "field " + prefix + Printable(key) + ": unknown field";
            if (auto why = ReadField(item, *f, &label.aRibbon[i], prefix); !why.empty()) return why;
        }
    }
    return "";
}

}  // namespace

const std::vector<NumericField>& LabelFields()
{
    static const std::vector<NumericField> fields = {
        LABEL_FIELD(lWidth, 1, false),       LABEL_FIELD(lHeight, 1, false),      LABEL_FIELD(lPitch, 1, false),
        LABEL_FIELD(iSensor, 1, false),      LABEL_FIELD(iIssueSpeed, 1, false),  LABEL_FIELD(iCutInterval, 1, false),
        LABEL_FIELD(lFeedAdj, 1, false),     LABEL_FIELD(lCutPosAdj, 1, false),   LABEL_FIELD(lBackFeedAdj, 1, false),
        LABEL_FIELD(lStopPosAdj, 1, false),  LABEL_FIELD(lAutoFeed, 1, false),    LABEL_FIELD(lAutoFeed2, 1, false),
        LABEL_FIELD(alDensAdj, 4, false),    LABEL_FIELD(alPosAdj, 8, false),     LABEL_FIELD(iIssueMode, 1, false),
    };
    return fields;
}

const std::vector<NumericField>& RibbonFields()
{
    static const std::vector<NumericField> fields = {
        RIBBON_FIELD(dwRibbonSel1, true), RIBBON_FIELD(dwRibbonSel2, true), RIBBON_FIELD(bMotorAdj, true),
        RIBBON_FIELD(lRewindAdj, false),  RIBBON_FIELD(lBackTensionAdj, false),
    };
    return fields;
}

std::vector<std::string> LabelWordNames()
{
    std::vector<std::string> names;
    for (const auto& f : LabelFields()) {
        if (f.count == 1) names.push_back(f.name);
        else
            for (int i = 0; i < f.count; ++i) names.push_back(std::string(f.name) + "[" + std::to_string(i) + "]");
    }
    for (int slot = 0; slot < 4; ++slot)
        for (const auto& f : RibbonFields())
            names.push_back("aRibbon[" + std::to_string(slot) + "]." + f.name);
    return names;
}

std::optional<LabelWord> FindLabelWord(const std::string& field)
{
    for (const auto& f : LabelFields()) {
        if (f.count == 1 && field == f.name) return LabelWord{f.offset, f.isUnsigned};
        for (int i = 0; f.count > 1 && i < f.count; ++i)
            if (field == std::string(f.name) + "[" + std::to_string(i) + "]")
                return LabelWord{f.offset + 4 * static_cast<size_t>(i), f.isUnsigned};
    }
    for (size_t slot = 0; slot < 4; ++slot)
        for (const auto& f : RibbonFields())
            if (field == "aRibbon[" + std::to_string(slot) + "]." + f.name)
                return LabelWord{offsetof(LABELDATA, aRibbon) + slot * sizeof(RIBBONADJ) + f.offset, f.isUnsigned};
    return std::nullopt;
}

std::int64_t ReadLabelWord(const LABELDATA& label, LabelWord word)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(&label) + word.offset;
    std::uint32_t u;
    std::memcpy(&u, p, sizeof u);
    return word.isUnsigned ? static_cast<std::int64_t>(u) : static_cast<std::int64_t>(static_cast<std::int32_t>(u));
}

std::string LabelName(const LABELDATA& label)
{
    size_t n = 0;
    while (n < CCHLABELNAME && label.szLabelName[n] != 0) ++n;
    return platform::Narrow(std::u16string_view(label.szLabelName, n));
}

Json LabelToJson(const LABELDATA& label)
{
    Json object = Json::object();
    object["szLabelName"] = LabelName(label);
    FieldsToJson(&label, LabelFields(), object);
    Json ribbons = Json::array();
    for (const auto& ribbon : label.aRibbon) {
        Json r = Json::object();
        FieldsToJson(&ribbon, RibbonFields(), r);
        ribbons.push_back(r);
    }
    object["aRibbon"] = ribbons;
    return object;
}

Json LabelDatabaseToJson(const LABELDATA* pLabels, DWORD count)
{
    Json array = Json::array();
    for (DWORD i = 0; i < count; ++i) array.push_back(LabelToJson(pLabels[i]));
    return array;
}

namespace {

bool IsFlat(const Json& value)
{
    for (const auto& item : value)
        if (item.is_structured()) return false;
    return true;
}

std::string Text(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

void Dump(const Json& value, int indent, std::string& out)
{
    if (!value.is_structured()) {
        out += Text(value);
        return;
    }
    const bool isObject = value.is_object();
    const bool flat = IsFlat(value);
    out += isObject ? "{" : "[";
    size_t i = 0;
    for (auto it = value.begin(); it != value.end(); ++it, ++i) {
        if (flat) {
            if (i) out += ", ";
        } else {
            out += i ? ",\n" : "\n";
            out.append(indent + 2, ' ');
        }
        if (isObject) out += Text(Json(it.key())) + ": ";
        Dump(*it, indent + 2, out);
    }
    if (!flat) {
        out += "\n";
        out.append(indent, ' ');
    }
    out += isObject ? "}" : "]";
}

}  // namespace

std::string DumpLabels(const Json& value)
{
    std::string out;
    Dump(value, 0, out);
    return out;
}

std::string LabelFromJson(const Json& object, LABELDATA& label)
{
    if (!object.is_object()) return "not an object";
    for (const auto& [key, value] : object.items()) {
        std::string why;
        if (key == "szLabelName") {
            why = ReadName(value, label);
        } else if (key == "aRibbon") {
            why = ReadRibbons(value, label);
        } else if (key == "cbSize") {
            std::int64_t v = 0;
            if (!ReadInteger(value, true, v).empty() || v != sizeof(LABELDATA))
                why = "field cbSize: must be " + std::to_string(sizeof(LABELDATA));
        } else if (const NumericField* f = FindField(LabelFields(), key)) {
            why = ReadField(value, *f, &label, "");
        } else {
            why = "field " + Printable(key) + ": unknown field";
        }
        if (!why.empty()) return why;
    }
    label.cbSize = sizeof(LABELDATA);
    return "";
}

std::string LabelDatabaseFromJson(const Json& array, const LABELDATA& standard, std::vector<LABELDATA>& labels)
{
    labels.clear();
    if (!array.is_array()) return "not a JSON array of labels";
    if (array.empty()) return "no labels (a database holds at least one)";
    if (array.size() > MAX_LABELS)
        return std::to_string(array.size()) + " labels (a database holds at most " + std::to_string(MAX_LABELS) + ")";
    std::set<std::u16string> names;
    for (size_t i = 0; i < array.size(); ++i) {
        // Name the label by its position and, when it has a readable one, its name.
        std::string which = "label " + std::to_string(i + 1);
        const Json& item = array[i];
        if (item.is_object() && item.contains("szLabelName") && item["szLabelName"].is_string())
            which += " \"" + Printable(item["szLabelName"].get<std::string>()) + "\"";
        LABELDATA label = standard;
        if (auto why = LabelFromJson(item, label); !why.empty()) return which + ": " + why;
        std::u16string name(label.szLabelName);
        if (!names.insert(name).second) return which + ": field szLabelName: the name is used by an earlier label";
        labels.push_back(label);
    }
    return "";
}

std::string LabelDatabaseFromText(const std::string& text, const LABELDATA& standard, std::vector<LABELDATA>& labels)
{
    labels.clear();
    // Counts the elements of the top-level array begun so far, to say which label
    // holds a syntax error.
    size_t begun = 0;
    auto track = [&begun](int depth, Json::parse_event_t event, Json&) {
        if (depth == 1 && (event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start))
            ++begun;
        return true;
    };
    Json array;
    try {
        array = Json::parse(text, track);
    } catch (const Json::exception& e) {
        std::string what = e.what();
        if (what.rfind("[json.exception.", 0) == 0 && what.find("] ") != std::string::npos)
            what = what.substr(what.find("] ") + 2);
        std::string where = begun ? "label " + std::to_string(begun) + ": " : "";
        if (const auto* p = dynamic_cast<const Json::parse_error*>(&e))
            return where + "not valid JSON at byte " + std::to_string(p->byte);
        return where + "not valid JSON: " + Quoted(what);
    }
    return LabelDatabaseFromJson(array, standard, labels);
}

}  // namespace lblctl
