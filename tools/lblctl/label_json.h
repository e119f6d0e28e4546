// The label database as JSON: one object per LABELDATA, keyed by the record's field
// names in record order, arrays for alDensAdj and alPosAdj and four objects for aRibbon.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "settings/records.h"

namespace lblctl {

using Json = nlohmann::ordered_json;

// One numeric field of LABELDATA or RIBBONADJ: `count` 32-bit words from `offset`.
struct NumericField {
    const char* name;
    size_t offset;
    int count;        // 1 for a scalar, otherwise a JSON array of that length
    bool isUnsigned;  // DWORD (0..4294967295) rather than a signed 32-bit value
};

// Numeric fields of LABELDATA in record order (szLabelName and aRibbon are apart).
const std::vector<NumericField>& LabelFields();
// The fields of one RIBBONADJ.
const std::vector<NumericField>& RibbonFields();

// Where a field named as labels export names it lives in LABELDATA.
struct LabelWord {
    size_t offset = 0;
    bool isUnsigned = false;
};
std::optional<LabelWord> FindLabelWord(const std::string& field);
std::int64_t ReadLabelWord(const LABELDATA& label, LabelWord word);
// Every numeric field name of a label, arrays and ribbon slots spelt out, in record order.
std::vector<std::string> LabelWordNames();

// The label name as UTF-8, read up to its terminator or the end of the field.
std::string LabelName(const LABELDATA& label);

Json LabelToJson(const LABELDATA& label);
Json LabelDatabaseToJson(const LABELDATA* pLabels, DWORD count);

// The JSON text of a database: indented, with every array or object that holds only
// numbers and strings on one line, so that a label reads as one screenful.
std::string DumpLabels(const Json& value);

// Reads one label; fields not given keep their value in `label` (the caller starts
// from the standard label). Returns an empty string on success, otherwise the
// reason, naming the field ("field lWidth: not a 32-bit integer").
std::string LabelFromJson(const Json& object, LABELDATA& label);

// Reads a whole database: a JSON array of 1 to MAX_LABELS label objects with distinct,
// non-empty names. Returns an empty string on success, otherwise a one-line reason
// naming the label and field.
std::string LabelDatabaseFromJson(const Json& array, const LABELDATA& standard, std::vector<LABELDATA>& labels);

// Reads a whole database from JSON text; never throws. Returns an empty string on
// success, otherwise a one-line reason naming the label (by position, and by name
// when it has one) and quoting no more than a short prefix of the input.
std::string LabelDatabaseFromText(const std::string& text, const LABELDATA& standard, std::vector<LABELDATA>& labels);

}  // namespace lblctl
