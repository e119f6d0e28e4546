// Any bytes as the printer data values the UI library stores and both builds read
// back: "PrinterData" with "PrinterDataSize", "PrinterHT", "LabelData",
// "SpotColor" and "CustomColor", each of any size, so that sizes and contents
// disagree. Built once per driver build.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "description/ppd.h"
#include "fuzz_spool.h"
#include "settings/settings.h"

namespace {

const char16_t* const kValues[] = {u"PrinterDataSize", u"PrinterData", u"PrinterHT", u"LabelData",
                                   u"SpotColor",       u"CustomColor", u"LabelDataSize"};
constexpr int kValueCount = 7;

void Check(bool ok)
{
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto& spool = fuzzspool::Get();
    static PPDDATA* ppd = PpdCreate(spool.ppd[1].c_str(), nullptr);
    Check(ppd != nullptr);
    if (size < 1) return 0;
    // Everything written is rolled back at the end, so each input starts from a
    // printer without values.
    platform::SpoolTransaction tx;
    Check(tx.Status() == ERROR_SUCCESS);
    // First byte: which values exist; then per value a 16-bit length and its bytes
    // (a length past the end takes what is left).
    const uint8_t present = data[0];
    size_t pos = 1;
    for (int i = 0; i < kValueCount; ++i) {
        if (!(present & (1u << i)) && i != kValueCount - 1) continue;
        if (i == kValueCount - 1 && !(present & 0x80)) continue;
        size_t len = 0;
        if (pos + 2 <= size) len = data[pos] | (data[pos + 1] << 8), pos += 2;
        len = std::min(len, size - std::min(pos, size));
        std::vector<uint8_t> value(data + std::min(pos, size), data + std::min(pos, size) + len);
        pos += len;
        std::u16string name = kValues[i];
        SetPrinterDataW(spool.printer, name.data(), REG_BINARY, value.empty() ? nullptr : value.data(),
                        static_cast<DWORD>(value.size()));
    }

    HANDLE h = spool.printer;
    DWORD cb = 0;
    if (PVOID p = GetPrinterDataFromRegistry(h, &cb, PAIR_PRINTERDATA)) DrvFreeMem(p);
    // The stored record is handed back as stored, but always at least whole.
    if (PPRINTERPROP prop = GetPrinterProperties(h, ppd)) {
        volatile BYTE sum = 0;
        for (size_t i = 0; i < sizeof(PRINTERPROP); ++i) sum = sum + reinterpret_cast<const BYTE*>(prop)[i];
        Check(prop->wPpdChecksum == ppd->wChecksum);
        DrvFreeMem(prop);
    }
    for (INT table : {PROP_SPOTCOLOR, PROP_CUSTOMCOLOR})
        if (PVOID p = GetProperty(h, table)) DrvFreeMem(p);
    if (PLABELDATA db = GetLabelDatabase(h, spool.name.c_str())) {
        DWORD n = GetLabelNum(db);
        Check(n >= 1 && n <= MAX_LABELS);
        PLABELDATA found = FindLabelData(db, db[0].szLabelName);
        Check(found != nullptr);
        FindLabelData(db, u"no such label");
        FreeLabelDatabase(db);
    }
    return 0;
}
