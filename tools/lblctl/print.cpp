// lblctl print: one document from picture files (PNG, PNM, PDF) and raw bytes,
// through the printer's render library, to its port or a file.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/codepage.h"
#include "commands.h"
#include "sheet_options.h"
#include "engine/engine_driver.h"
#include "inspect/inspect.h"
#include "printer_access.h"
#include "input_file.h"

namespace lblctl {
namespace {

struct PrintArgs {
    std::string printer;
    std::vector<std::string> files;
    std::string output;
    std::string preview;
    std::string devmode;
    std::string form;
    SheetChanges changes;
    std::string raw;
    std::string scale = "auto";
    bool lineArt = false;
    bool antialias = false;
    bool dryRun = false;
};

std::vector<BYTE> ReadRaw(const std::string& path)
{
    return ReadInputFile(path, kMaxStreamFile, "a printer stream");
}

// The pages of the document, in order: one per picture file, one per PDF page.
std::vector<platform::DocumentPage> ListPages(const std::vector<std::string>& files)
{
    std::vector<platform::DocumentPage> pages;
    std::string why;
    for (const std::string& file : files) {
        if (::access(file.c_str(), R_OK) != 0) throw Failure{file + ": " + std::strerror(errno)};
        if (!platform::AppendDocumentPages(file, file, pages, why)) throw Failure{why};
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

    platform::DocumentJob job;
    job.printer = rec.name;
    // The job's settings as an application gets them: the driver's document sheet,
    // opened on the printer's defaults (or the given device mode), with the changes made on its items.
    const std::vector<BYTE> input = a.devmode.empty() ? std::vector<BYTE>{} : ReadDevModeFile(a.devmode);
    job.devMode = DeviceModeFromSheet(printer->h, rec.name, input, a.changes);
    // Any spooler form, as an application picking a paper size; the driver's query decides.
    if (!a.form.empty()) ChooseForm(job.devMode, a.form);
    // A saved device mode keeps its form: the sheet opens a form that is no label
    // on the standard label, but a job for a label that is gone must not print on
    // another label's size. The driver's query refuses it.
    else if (!input.empty() && a.changes.label.empty()) {
        const std::string saved = FormNameOf(input);
        if (!saved.empty() && saved != FormNameOf(job.devMode)) ChooseForm(job.devMode, saved);
    }
    printer.reset();
    job.pages = ListPages(a.files);
    if (!a.raw.empty()) job.passThrough = ReadRaw(a.raw);
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
    print->add_option("--devmode", args->devmode, "Start from this device-mode file instead of the printer's defaults");
    print->add_option("--form", args->form, "Print on the spooler form of this name (the driver may refuse it)");
    AddSheetOptions(print, args->changes);
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
