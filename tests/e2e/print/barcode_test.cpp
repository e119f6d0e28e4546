// Bar codes that scan: Code 128, EAN-13 and QR made by zint as PNG at screen
// resolution and as PDF (zint's EPS through Ghostscript), printed at 203 and
// 300 dpi with each halftone, and read back by zbarimg from the job's preview.
// Grey bar codes are read after --line-art. Skipped with a reason when a tool is
// missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "e2e/print/print_env.h"

namespace print_test {
namespace {

bool Have(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its standard output, or nullopt when it failed.
std::optional<std::string> Capture(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(command.c_str(), "r"), ::pclose);
    if (!p) return std::nullopt;
    std::string out;
    char buf[256];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p.get())) > 0;) out.append(buf, n);
    const int status = ::pclose(p.release());
    if (status != 0) return std::nullopt;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

struct Symbol {
    const char* name;
    int zintBarcode;
    const char* data;
    const char* decoded;
};
const Symbol kSymbols[] = {{"code128", 20, "LBL-12345", "LBL-12345"},
                           {"ean13", 13, "590123412345", "5901234123457"},
                           {"qr", 58, "LABEL 42 QR", "LABEL 42 QR"}};

// Makes the bar code as PNG (or PDF) in the test folder; empty when it could not.
std::string MakeSymbol(const Symbol& s, bool pdf, const char* fg)
{
    const std::string base = TestPath(std::string("sym-") + s.name + "-" + fg);
    const std::string zint = std::string("zint --barcode=") + std::to_string(s.zintBarcode) + " --fg=" + fg +
                             " -d " + Quote(s.data);
    if (!pdf) {
        if (std::system((zint + " -o " + Quote(base + ".png") + " >/dev/null 2>&1").c_str()) != 0) return "";
        return base + ".png";
    }
    if (std::system((zint + " --filetype=EPS -o " + Quote(base + ".eps") + " >/dev/null 2>&1").c_str()) != 0)
        return "";
    if (std::system(("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=pdfwrite -o " + Quote(base + ".pdf") + " " +
                     Quote(base + ".eps") + " >/dev/null 2>&1")
                        .c_str()) != 0)
        return "";
    return base + ".pdf";
}

// Prints the file and reads the preview; the decoded text, or what went wrong.
std::string PrintAndScan(const std::string& printer, const std::string& file, const std::string& halftone,
                         bool lineArt)
{
    const std::string preview = file + "-" + printer.substr(6) + "-" + halftone + "-pv.png";
    std::vector<std::string> args = {"print", printer, file, "--color", "mono", "--halftone", halftone,
                                     "--output", file + ".prn", "--preview", preview};
    if (lineArt) args.push_back("--line-art");
    const e2e::RunResult r = e2e::Lblctl(args);
    if (r.status != 0) return "lblctl failed: " + r.err;
    return Capture("zbarimg -q --raw " + Quote(preview) + " 2>/dev/null").value_or("(nothing decoded)");
}

class Barcodes : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Have("zint")) GTEST_SKIP() << "zint is not installed (Debian package zint)";
        if (!Have("zbarimg")) GTEST_SKIP() << "zbarimg is not installed (Debian package zbar-tools)";
        EnsurePrinter(kMono, 1);    // 203 dpi
        EnsurePrinter(kColour, 0);  // 300 dpi, printed in monochrome
    }

    void ExpectAllDecode(bool pdf, const char* fg, bool lineArt)
    {
        for (const Symbol& s : kSymbols) {
            const std::string file = MakeSymbol(s, pdf, fg);
            ASSERT_FALSE(file.empty()) << "could not make " << s.name;
            for (const char* printer : {kMono, kColour})
                for (const char* halftone : {"dither1", "dither2", "diffusion"})
                    EXPECT_EQ(PrintAndScan(printer, file, halftone, lineArt), s.decoded)
                        << s.name << " on " << printer << " with " << halftone;
        }
    }
};

TEST_F(Barcodes, PngAtScreenResolutionDecodes) { ExpectAllDecode(false, "000000", false); }

TEST_F(Barcodes, PdfDecodes)
{
    if (!Have("gs")) GTEST_SKIP() << "gs is not installed (Debian package ghostscript), needed to make the PDFs";
    ExpectAllDecode(true, "000000", false);
}

TEST_F(Barcodes, GreyBarsDecodeWithLineArt)
{
    ExpectAllDecode(false, "808080", true);
    if (Have("gs")) ExpectAllDecode(true, "808080", true);
}

}  // namespace
}  // namespace print_test
