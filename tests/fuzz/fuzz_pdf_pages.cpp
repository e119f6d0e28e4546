// Any bytes as a PDF file through the PDF module: the page count, each page's
// size and its first pages rendered on a small label, with and without
// anti-aliasing and line art.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "raster/raster.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

// One file per process, rewritten for every input (poppler reads from a path).
const std::string& FilePath()
{
    static const std::string path = [] {
        std::string p = "/tmp/fuzz_pdf_pages." + std::to_string(::getpid()) + ".pdf";
        return p;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FilePath();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        Check(f != nullptr);
        Check(std::fwrite(data, 1, size, f) == size);
        std::fclose(f);
    }
    // A new file each time: the kept document must not be reused for other bytes.
    platform::ClosePdfDocuments();
    std::string why;
    const int n = platform::PdfPageCount(path, why);
    if (n < 0) {
        Check(!why.empty());
        return 0;
    }
    for (int i = 0; i < n && i < 3; ++i) {
        double w = 0, h = 0;
        if (!platform::PdfPageSize(path, i, w, h, why)) continue;
        platform::PageOptions options;
        options.antialias = (size + i) % 2 != 0;
        options.lineArt = i == 1;
        platform::PlacedPage page;
        if (!platform::RenderPdfPage(path, i, 72, 96, 64, options, page, why)) {
            Check(!why.empty());
            continue;
        }
        Check(page.pixels.Whole() && page.pixels.width <= 96 + 2 && page.pixels.height <= 64 + 2);
        if (options.lineArt) Check(platform::IsBilevel(page.pixels));
    }
    return 0;
}
