#include "printer_access.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/codepage.h"
#include "base/memory.h"
#include "commands.h"
#include "frontend/names.h"

namespace lblctl {

PRINTERPROP StoredPrinterProperties(HANDLE h, const std::string& printerName)
{
    PRINTERPROP prop{};
    std::u16string valueName = u"PrinterData";
    DWORD type = 0, cbNeeded = 0;
    const DWORD rc = GetPrinterDataW(h, valueName.data(), &type, reinterpret_cast<LPBYTE>(&prop), sizeof prop, &cbNeeded);
    if (rc == ERROR_MORE_DATA) {
        // A longer record than this driver writes: its first 36 bytes.
        std::vector<BYTE> all(cbNeeded);
        if (GetPrinterDataW(h, valueName.data(), &type, all.data(), cbNeeded, &cbNeeded) != ERROR_SUCCESS)
            throw Failure{"cannot read the printer properties of printer \"" + printerName + "\""};
        std::memcpy(&prop, all.data(), sizeof prop);
    } else if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
        throw Failure{"cannot read the printer properties of printer \"" + printerName + "\" (error " +
                      std::to_string(rc) + ")"};
    }
    return prop;
}

LABELDATA StandardLabel(const std::string& printerName)
{
    LABELDATA label = DefaultLabel;
    std::u16string name = platform::Widen(printerName);
    MakeStandardLabelName(label.szLabelName, name.c_str());
    return label;
}

void StoreLabelDatabase(HANDLE h, LabelBlock& block, const std::string& printerName)
{
    SaveLabelData(h, block.labels);
    const DWORD cbBlock = sizeof(DWORD) + block.count * sizeof(LABELDATA);
    std::vector<BYTE> stored(cbBlock);
    DWORD type = 0;
    DWORD cbNeeded = 0;
    std::u16string valueName = u"LabelData";
    DWORD rc = GetPrinterDataW(h, valueName.data(), &type, stored.data(), cbBlock, &cbNeeded);
    if (rc != ERROR_SUCCESS || cbNeeded != cbBlock || std::memcmp(stored.data(), &block, cbBlock) != 0)
        throw Failure{"could not store the label database of printer \"" + printerName + "\""};
}

std::string ColorText(COLORREF cr)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", cr & 0xFF, (cr >> 8) & 0xFF, (cr >> 16) & 0xFF);
    return text;
}

}  // namespace lblctl
