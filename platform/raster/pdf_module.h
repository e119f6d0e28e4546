// The interface of liblblpdf.so, the PDF page renderer that the raster code loads
// on the first PDF page, so that a job without PDF pages never loads the PDF
// library and its dependencies. Plain C types: the module is found with dlopen.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct LblPdfDocument;

constexpr std::uint32_t LBLPDF_API_VERSION = 1;

struct LblPdfApi {
    std::uint32_t version;
    // A document, or null and a reason in why (cbWhy bytes, NUL-terminated).
    LblPdfDocument* (*Open)(const char* path, char* why, std::size_t cbWhy);
    void (*Close)(LblPdfDocument* doc);
    int (*PageCount)(LblPdfDocument* doc);
    // The page's visible box in points, as displayed (its rotation applied); 0 for no such page.
    int (*PageSize)(LblPdfDocument* doc, int index, double* widthPt, double* heightPt);
    // Renders the w x h pixels at (x, y) of the page at xres x yres dpi on white into
    // dst (blue, green, red, stride bytes per row); 0 and a reason on failure.
    int (*Render)(LblPdfDocument* doc, int index, double xres, double yres, int x, int y, int w, int h,
                  int antialias, std::uint8_t* dst, std::size_t stride, char* why, std::size_t cbWhy);
};

// Exported by the module.
const LblPdfApi* LblPdfGetApi();
using PFN_LblPdfGetApi = const LblPdfApi* (*)();

}  // extern "C"
