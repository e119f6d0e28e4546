// A spool directory of its own for a fuzz target, with one printer and copies of
// two model descriptions (their binary files are written there, not in the tree).
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/codepage.h"
#include "spooler/spooler.h"

namespace fuzzspool {

struct Spool {
    std::string dir;
    HANDLE printer = nullptr;
    std::u16string name = u"Fuzz";
    std::u16string ppd[2];  // model 0 (colour) and model 1 (monochrome)

    Spool()
    {
        char pattern[] = "/tmp/lbl-fuzz-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        dir = pattern;
        platform::SetSpoolDirectory(dir + "/spool");
        for (int model = 0; model < 2; ++model) {
            std::string file = "model" + std::to_string(model) + ".ppd";
            std::filesystem::copy_file(std::string(LBL_SOURCE_DIR) + "/ppd/" + file, dir + "/" + file);
            ppd[model] = platform::Widen(dir + "/" + file);
        }
        Reset();
    }
    // A printer of that name with no values at all.
    void Reset()
    {
        if (printer) ClosePrinter(printer);
        printer = nullptr;
        platform::DeletePrinter("Fuzz");
        platform::PrinterRecord record{"Fuzz", "Fuzz", platform::Narrow(ppd[1]), "", dir + "/out.prn",
                                       "liblblrender.so", "liblblui.so"};
        if (platform::AddPrinter(record) != ERROR_SUCCESS || !OpenPrinterW(name.data(), &printer, nullptr))
            std::abort();
    }
    ~Spool()
    {
        if (printer) ClosePrinter(printer);
        platform::CloseSpoolDatabase();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

inline Spool& Get()
{
    static Spool spool;
    return spool;
}

}  // namespace fuzzspool
