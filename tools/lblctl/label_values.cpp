#include "label_values.h"

#include <cctype>
#include <cstdint>
#include <limits>

#include "base/codepage.h"
#include "frontend/names.h"
#include "label_json.h"

namespace lblctl {

using namespace frontend;

namespace {

// Micrometres per unit of a length suffix; 0 when the text names no unit.
std::int64_t UnitMicrometres(const std::string& unit)
{
    if (unit == "um") return 1;
    if (unit == "mm") return 1000;
    if (unit == "cm") return 10000;
    if (unit == "in") return 25400;
    return 0;
}

// "-2.5" as mantissa -25 and 1 decimal; false when it is not a decimal number.
bool ParseDecimal(const std::string& text, std::int64_t& mantissa, int& decimals)
{
    size_t i = 0;
    const bool negative = !text.empty() && (text[0] == '-' || text[0] == '+');
    const bool minus = negative && text[0] == '-';
    if (negative) ++i;
    mantissa = 0;
    decimals = 0;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        // Nine digits and six decimals are plenty for any label length; more are refused.
        if (mantissa > 100000000000LL || decimals >= 6) return false;
        mantissa = mantissa * 10 + (c - '0');
        if (point) ++decimals;
        digits = true;
    }
    if (minus) mantissa = -mantissa;
    return digits;
}

}  // namespace

std::int64_t ParseFieldValue(const EditorField& f, const std::string& text)
{
    const std::string shown = "\"" + Quoted(text) + "\"";
    size_t end = text.size();
    while (end > 0 && std::isalpha(static_cast<unsigned char>(text[end - 1]))) --end;
    const std::string number = text.substr(0, end), unit = text.substr(end);
    std::int64_t mantissa = 0;
    int decimals = 0;
    if (!ParseDecimal(number, mantissa, decimals)) throw Failure{f.field + ": " + shown + " is not a number"};

    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    std::int64_t value = 0;
    if (!unit.empty()) {
        const std::int64_t um = UnitMicrometres(unit);
        if (um == 0) throw Failure{f.field + ": " + shown + " has an unknown unit (um, mm, cm or in)"};
        if (f.Micrometres() == 0) throw Failure{f.field + ": " + shown + " is not a length; give a plain number"};
        // The value in micrometres times 10^decimals, then in the field's own unit.
        const std::int64_t perUnit = scale * f.Micrometres();
        const std::int64_t scaled = mantissa * um;
        if (scaled % perUnit != 0)
            throw Failure{f.field + ": " + shown + " is not a whole " +
                          (f.unit == "um" ? std::string("micrometre") : f.unit)};
        value = scaled / perUnit;
    } else {
        if (mantissa % scale != 0)
            throw Failure{f.field + ": " + shown + " is not a whole number of " +
                          (f.unit == "-" ? std::string("steps") : f.unit)};
        value = mantissa / scale;
    }
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw Failure{f.field + ": " + shown + " is out of range"};
    return value;
}

std::vector<ControlValue> ParseAssignments(const std::vector<std::string>& assignments,
                                           const std::vector<EditorField>& fields, DWORD model)
{
    std::vector<ControlValue> values;
    for (const auto& assignment : assignments) {
        const size_t eq = assignment.find('=');
        if (eq == std::string::npos || eq == 0) throw Failure{"\"" + Quoted(assignment) + "\" is not FIELD=VALUE"};
        const std::string name = assignment.substr(0, eq), text = assignment.substr(eq + 1);
        const EditorField* f = FindEditorField(fields, name, model);
        if (!f) {
            std::string offered;
            for (const auto& e : fields)
                if (e.ForModel(model) && offered.find(" " + e.field + ",") == std::string::npos)
                    offered += " " + e.field + ",";
            if (!offered.empty()) offered.pop_back();
            if (name == "szLabelName" || FindLabelWord(name))
                throw Failure{name + ": the label editor has no control for it on model " + std::to_string(model) +
                              " (\"lblctl labels fields\" lists those it has)"};
            throw Failure{"unknown field \"" + Quoted(name) + "\"; the editor's fields on model " + std::to_string(model) + " are" + offered};
        }
        for (const auto& v : values)
            if (v.field->field == name) throw Failure{name + ": given twice"};
        ControlValue v{f, 0, {}};
        if (name == "szLabelName") {
            CheckName("label name", text);
            v.text = platform::Widen(text);
        } else {
            v.value = ParseFieldValue(*f, text);
        }
        values.push_back(v);
    }
    return values;
}

}  // namespace lblctl
