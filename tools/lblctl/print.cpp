// lblctl print: one document from picture files (PNG, PNM, PDF) and raw bytes,
// through the printer's render library, to its port or a file.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>

#include "base/codepage.h"
#include "commands.h"
#include "engine/engine_driver.h"
#include "inspect/inspect.h"
#include "printer_access.h"

namespace lblctl {
namespace {

struct PrintArgs {
    std::string printer;
    std::vector<std::string> files;
    std::string output;
    std::string preview;
    std::string label;
    std::optional<int> copies;
    std::string color;
    std::string halftone;
    std::string orientation;
    std::optional<int> resolution;
    std::vector<std::string> sets;
    std::string raw;
    std::string scale = "auto";
    bool lineArt = false;
    bool antialias = false;
    bool dryRun = false;
};

// The switches and halftone of the private device mode that --set may change.
DWORD* ExtraField(DRVEXTRA& x, const std::string& name)
{
    const std::map<std::string, DWORD*> fields = {
        {"bBottomUp", &x.bBottomUp},     {"bBackFeed", &x.bBackFeed}, {"bRibbonSaver", &x.bRibbonSaver},
        {"bFourColor", &x.bFourColor},   {"bAutoFeed", &x.bAutoFeed}, {"bCompression", &x.bCompression},
        {"bMirror", &x.bMirror},
    };
    auto it = fields.find(name);
    return it == fields.end() ? nullptr : it->second;
}

INT HalftoneByName(const std::string& name)
{
    if (name == "dither1") return HALFTONE_DITHER1;
    if (name == "dither2") return HALFTONE_DITHER2;
    if (name == "diffusion") return HALFTONE_DIFFUSION;
    throw Failure{"unknown halftoning \"" + name + "\" (dither1, dither2 or diffusion)"};
}

void ApplySet(DRVDEVMODE& dm, const std::string& assignment)
{
    const auto eq = assignment.find('=');
    if (eq == std::string::npos) throw Failure{"--set takes FIELD=VALUE, not \"" + assignment + "\""};
    const std::string field = assignment.substr(0, eq);
    const std::string value = assignment.substr(eq + 1);
    if (field == "iHalftone") {
        if (value == "0" || value == "1" || value == "2")
            dm.dmPrivate.iHalftone = value[0] - '0';
        else
            dm.dmPrivate.iHalftone = HalftoneByName(value);
        return;
    }
    DWORD* p = ExtraField(dm.dmPrivate, field);
    if (!p)
        throw Failure{"unknown field \"" + field + "\" (bBottomUp, bBackFeed, bRibbonSaver, bFourColor, bAutoFeed, "
                      "bCompression, bMirror, iHalftone)"};
    if (value != "0" && value != "1") throw Failure{field + " takes 0 or 1, not \"" + value + "\""};
    *p = value == "1" ? 1 : 0;
}

std::string LabelNames(const LABELDATA* pDb)
{
    std::string names;
    const DWORD n = GetLabelNum(pDb);
    for (DWORD i = 0; i < n; ++i) {
        if (i) names += ", ";
        names += "\"" + platform::Narrow(pDb[i].szLabelName) + "\"";
    }
    return names;
}

// The label as an application chooses a form: its name, and its number in the
// spooler's form list when it is registered there.
void ChooseLabel(DRVDEVMODE& dm, HANDLE h, const std::string& printer, const std::string& label)
{
    std::u16string wprinter = platform::Widen(printer);
    LabelDbPtr db(GetLabelDatabase(h, wprinter.c_str()));
    if (!db) throw Failure{"cannot read the label database of printer \"" + printer + "\""};
    std::u16string wlabel = platform::Widen(label);
    if (wlabel.size() >= CCHLABELNAME || !FindLabelData(db.get(), wlabel.c_str()))
        throw Failure{"printer \"" + printer + "\" has no label \"" + label + "\"; its labels: " + LabelNames(db.get())};
    CopyStringW(dm.dmPublic.dmFormName, wlabel.c_str(), CCHFORMNAME);
    dm.dmPublic.dmFields |= DM_FORMNAME;
    const DWORD form = GetFormIndex(h, wlabel.c_str());
    if (form > 0) {
        dm.dmPublic.dmPaperSize = static_cast<short>(form);
        dm.dmPublic.dmFields |= DM_PAPERSIZE;
    } else {
        dm.dmPublic.dmFields &= ~static_cast<DWORD>(DM_PAPERSIZE);
    }
}

// The device mode as a spooler makes it: the printer's defaults, then the asked
// fields merged and checked by ValidateSetDevMode.
std::vector<BYTE> MakeDevMode(const PrintArgs& a, const platform::PrinterRecord& rec, HANDLE h, const PPDDATA* pPpd)
{
    std::u16string wname = platform::Widen(rec.name);
    const PRINTERPROP prop = ReadPrinterProperties(h, pPpd, rec.name);
    DRVDEVMODE def{};
    if (!SetDefaultDevMode(&def, wname.c_str(), pPpd, (prop.dwFlags & PP_METRIC) != 0))
        throw Failure{"cannot make the default device mode of printer \"" + rec.name + "\""};
    DRVDEVMODE in = def;
    if (!a.label.empty()) ChooseLabel(in, h, rec.name, a.label);
    if (!a.orientation.empty()) {
        in.dmPublic.dmOrientation = a.orientation == "landscape" ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        in.dmPublic.dmFields |= DM_ORIENTATION;
    }
    if (a.resolution) {
        in.dmPublic.dmPrintQuality = static_cast<short>(*a.resolution);
        in.dmPublic.dmYResolution = static_cast<short>(*a.resolution);
        in.dmPublic.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
    }
    if (!a.color.empty()) {
        in.dmPublic.dmColor = a.color == "mono" ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
        in.dmPublic.dmFields |= DM_COLOR;
        if (a.color != "mono") in.dmPrivate.bFourColor = a.color == "4color" ? 1 : 0;
    }
    if (!a.halftone.empty()) in.dmPrivate.iHalftone = HalftoneByName(a.halftone);
    for (const std::string& s : a.sets) ApplySet(in, s);

    DRVDEVMODE out = def;
    if (!ValidateSetDevMode(h, &out, &in.dmPublic, pPpd))
        throw Failure{"the device mode for printer \"" + rec.name + "\" is not valid"};
    if (a.resolution && out.dmPublic.dmPrintQuality != *a.resolution)
        throw Failure{"printer \"" + rec.name + "\" does not print at " + std::to_string(*a.resolution) + " dpi"};
    if (!a.color.empty() && a.color != "mono" && out.dmPublic.dmColor != DMCOLOR_COLOR)
        throw Failure{"printer \"" + rec.name + "\" prints in monochrome only"};
    const auto* p = reinterpret_cast<const BYTE*>(&out);
    return std::vector<BYTE>(p, p + sizeof out);
}

std::vector<BYTE> ReadRaw(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure{path + ": " + std::strerror(errno)};
    std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Failure{path + ": read error"};
    return bytes;
}

// The pages of the document, in order: one per picture file, one per PDF page.
std::vector<platform::DocumentPage> ListPages(const std::vector<std::string>& files)
{
    std::vector<platform::DocumentPage> pages;
    for (const std::string& file : files) {
        if (::access(file.c_str(), R_OK) != 0) throw Failure{file + ": " + std::strerror(errno)};
        const platform::PageFileKind kind = platform::SniffPageFile(file);
        if (kind == platform::PageFileKind::Unknown) throw Failure{file + ": not a PNG, PNM or PDF file"};
        int count = 1;
        if (kind == platform::PageFileKind::Pdf) {
            std::string why;
            count = platform::PdfPageCount(file, why);
            if (count < 0) throw Failure{file + ": " + why};
        }
        for (int i = 0; i < count; ++i) {
            platform::DocumentPage page;
            page.path = file;
            page.kind = kind;
            page.pdfPage = i;
            pages.push_back(std::move(page));
        }
    }
    return pages;
}

void WritePreviews(const std::vector<BYTE>& stream, const std::string& out)
{
    const lblinspect::Result decoded = lblinspect::decode(stream);
    if (decoded.pages.empty()) {
        std::fprintf(stderr, "lblctl: the job has no pages to preview\n");
        return;
    }
    for (std::size_t i = 0; i < decoded.pages.size(); ++i) {
        std::string why;
        const std::string path = lblinspect::PreviewPath(out, i);
        if (!lblinspect::WritePreviewPng(decoded.pages[i], lblinspect::DefaultInks(), path, why))
            throw Failure{path + ": " + why};
    }
}

void Print(const PrintArgs& a)
{
    if (a.files.empty() && a.raw.empty()) throw Failure{"nothing to print: give picture files or --raw FILE"};
    const platform::PrinterRecord rec = FindPrinterOrFail(a.printer);
    auto printer = OpenPrinterOrFail(a.printer);
    PpdPtr ppd = LoadDescription(rec.dataFile);
    if (!ppd) throw Failure{rec.dataFile + ": not a readable printer description"};

    platform::DocumentJob job;
    job.printer = rec.name;
    job.devMode = MakeDevMode(a, rec, printer->h, ppd.get());
    printer.reset();
    ppd.reset();
    job.pages = ListPages(a.files);
    if (!a.raw.empty()) job.passThrough = ReadRaw(a.raw);
    job.copies = a.copies ? static_cast<DWORD>(*a.copies) : 0;
    job.docName = a.files.empty() ? a.raw : a.files.front();
    job.output = a.output;
    job.keepStream = !a.preview.empty();
    job.pageOptions.scale = a.scale == "smooth"  ? platform::ScaleMode::Smooth
                            : a.scale == "sharp" ? platform::ScaleMode::Sharp
                                                 : platform::ScaleMode::Auto;
    job.pageOptions.lineArt = a.lineArt;
    job.pageOptions.antialias = a.antialias;
    job.dryRun = a.dryRun;
    const bool showProgress = !a.dryRun && job.pages.size() > 1 && ::isatty(STDERR_FILENO);
    if (showProgress)
        job.progress = [](std::size_t done, std::size_t total) {
            std::fprintf(stderr, "\rpage %zu of %zu", done, total);
            if (done == total) std::fputc('\n', stderr);
            std::fflush(stderr);
        };

    platform::DocumentResult result = platform::PrintDocument(job);
    if (!result.ok) {
        if (showProgress) std::fputc('\n', stderr);
        throw Failure{result.reason};
    }
    if (a.dryRun) {
        for (std::size_t i = 0; i < result.placements.size(); ++i)
            std::printf("page %zu: %s\n", i + 1, result.placements[i].c_str());
        return;
    }
    if (!a.preview.empty()) WritePreviews(result.stream, a.preview);
    std::printf("%zu page%s, %zu bytes to %s\n", job.pages.size(), job.pages.size() == 1 ? "" : "s", result.cbJob,
                a.output.empty() ? rec.port.c_str() : a.output.c_str());
}

}  // namespace

void AddPrintCommand(CLI::App& app)
{
    auto args = std::make_shared<PrintArgs>();
    CLI::App* print = app.add_subcommand("print", "Print picture files (PNG, PNM, PDF) as one document");
    print->add_option("PRINTER", args->printer, "Printer name")->required();
    print->add_option("FILE", args->files, "Pages: PNG or PNM pictures, PDF files (one label per page)");
    print->add_option("--output", args->output, "Send the job to this file instead of the printer's port");
    print->add_option("--preview", args->preview, "Write a preview of each page: OUT.png, OUT-2.png, ...");
    print->add_option("--label", args->label, "Print on the label of this name");
    print->add_option("--copies", args->copies, "Copies of each label")->check(CLI::Range(1, 9999));
    print->add_option("--color", args->color, "Colour mode")->check(CLI::IsMember({"mono", "4color", "3color"}));
    print->add_option("--halftone", args->halftone, "Halftoning")
        ->check(CLI::IsMember({"dither1", "dither2", "diffusion"}));
    print->add_option("--orientation", args->orientation, "Page orientation")
        ->check(CLI::IsMember({"portrait", "landscape"}));
    print->add_option("--resolution", args->resolution, "Resolution in dpi")->check(CLI::Range(1, 32767));
    print->add_option("--set", args->sets, "Set a device option: bBottomUp, bBackFeed, bRibbonSaver, bFourColor, "
                                           "bAutoFeed, bCompression, bMirror (0 or 1), iHalftone (0, 1, 2)")
        ->allow_extra_args(false);
    print->add_option("--raw", args->raw, "Send this file's bytes unchanged (pass-through) before the pages");
    print->add_option("--scale", args->scale,
                      "How pictures not of the label's size are scaled: smooth (area averaging), sharp (pixel "
                      "replication or nearest neighbour) or auto (sharp for black-and-white pictures)")
        ->check(CLI::IsMember({"auto", "smooth", "sharp"}));
    print->add_flag("--line-art", args->lineArt, "Make every page black and white (threshold at half) first");
    print->add_flag("--antialias", args->antialias, "Anti-alias the vector graphics and text of PDF pages");
    print->add_flag("--dry-run", args->dryRun,
                    "Print nothing; say per page the label's size in dots, the picture's and what is done to it");
    print->callback([args] { Print(*args); });
}

}  // namespace lblctl
