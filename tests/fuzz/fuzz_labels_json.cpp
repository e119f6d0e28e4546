// Any bytes as the JSON text of a label database, as lblctl labels import reads
// it: every label read is a whole record with a terminated, distinct name.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "label_json.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<LABELDATA> labels;
    const std::string why = lblctl::LabelDatabaseFromText(text, DefaultLabel, labels);
    if (why.empty()) {
        if (labels.empty() || labels.size() > MAX_LABELS) std::abort();
        std::set<std::u16string> names;
        for (const LABELDATA& label : labels) {
            if (label.cbSize != sizeof(LABELDATA)) std::abort();
            std::u16string name(label.szLabelName, std::char_traits<char16_t>::length(label.szLabelName));
            if (name.empty() || name.size() >= CCHLABELNAME || !names.insert(name).second) std::abort();
        }
        // What is read writes back as JSON that reads to the same records.
        std::string again = lblctl::DumpLabels(lblctl::LabelDatabaseToJson(labels.data(), static_cast<DWORD>(labels.size())));
        std::vector<LABELDATA> back;
        if (!lblctl::LabelDatabaseFromText(again, DefaultLabel, back).empty() || back.size() != labels.size()) std::abort();
    } else if (why.find('\n') != std::string::npos || why.size() > 400) {
        std::abort();  // one short line
    }
    return 0;
}
