// liblblpdf.so: PDF pages through poppler. A document stays open with its
// renderer while the raster code prints its pages.
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "pdf_module.h"

struct LblPdfDocument {
    std::unique_ptr<poppler::document> doc;
    poppler::page_renderer renderer;
    int cPages = 0;
};

namespace {

// poppler reports damaged objects on standard error; the caller reports failures itself.
void Quiet(const std::string&, void*) {}

void Say(char* why, std::size_t cbWhy, const char* text)
{
    if (why && cbWhy) std::snprintf(why, cbWhy, "%s", text);
}

LblPdfDocument* Open(const char* path, char* why, std::size_t cbWhy)
{
    static std::once_flag once;
    std::call_once(once, [] { poppler::set_debug_error_function(Quiet, nullptr); });
    try {
        auto d = std::make_unique<LblPdfDocument>();
        d->doc.reset(poppler::document::load_from_file(path));
        if (!d->doc) {
            Say(why, cbWhy, "not a readable PDF file");
            return nullptr;
        }
        if (d->doc->is_locked()) {
            Say(why, cbWhy, "the PDF file is encrypted");
            return nullptr;
        }
        d->cPages = d->doc->pages();
        d->renderer.set_image_format(poppler::image::format_bgr24);
        d->renderer.set_paper_color(0xFFFFFFFF);
        return d.release();
    } catch (const std::exception&) {
        Say(why, cbWhy, "out of memory reading the PDF file");
        return nullptr;
    }
}

void Close(LblPdfDocument* doc) { delete doc; }

int PageCount(LblPdfDocument* doc) { return doc ? doc->cPages : 0; }

int PageSize(LblPdfDocument* doc, int index, double* widthPt, double* heightPt)
{
    if (!doc || index < 0 || index >= doc->cPages || !widthPt || !heightPt) return 0;
    try {
        std::unique_ptr<poppler::page> page(doc->doc->create_page(index));
        if (!page) return 0;
        const poppler::rectf box = page->page_rect(poppler::crop_box);
        const poppler::page::orientation_enum o = page->orientation();
        const bool turned = o == poppler::page::landscape || o == poppler::page::seascape;
        *widthPt = turned ? box.height() : box.width();
        *heightPt = turned ? box.width() : box.height();
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

int Render(LblPdfDocument* doc, int index, double xres, double yres, int x, int y, int w, int h, int antialias,
           std::uint8_t* dst, std::size_t stride, char* why, std::size_t cbWhy)
{
    if (!doc || index < 0 || index >= doc->cPages || w <= 0 || h <= 0 || !dst ||
        stride < static_cast<std::size_t>(w) * 3) {
        Say(why, cbWhy, "no such PDF page");
        return 0;
    }
    try {
        std::unique_ptr<poppler::page> page(doc->doc->create_page(index));
        if (!page) {
            Say(why, cbWhy, "the page cannot be read");
            return 0;
        }
        doc->renderer.set_render_hint(poppler::page_renderer::antialiasing, antialias != 0);
        doc->renderer.set_render_hint(poppler::page_renderer::text_antialiasing, antialias != 0);
        doc->renderer.set_render_hint(poppler::page_renderer::text_hinting, antialias == 0);
        const poppler::image img = doc->renderer.render_page(page.get(), xres, yres, x, y, w, h);
        if (!img.is_valid() || img.width() != w || img.height() != h || img.format() != poppler::image::format_bgr24 ||
            img.bytes_per_row() < w * 3) {
            Say(why, cbWhy, "the page failed to render");
            return 0;
        }
        const char* src = img.const_data();
        const std::size_t cbRow = static_cast<std::size_t>(img.bytes_per_row());
        for (int row = 0; row < h; ++row)
            std::memcpy(dst + static_cast<std::size_t>(row) * stride, src + static_cast<std::size_t>(row) * cbRow,
                        static_cast<std::size_t>(w) * 3);
        return 1;
    } catch (const std::exception&) {
        Say(why, cbWhy, "out of memory rendering the page");
        return 0;
    }
}

constexpr LblPdfApi kApi{LBLPDF_API_VERSION, Open, Close, PageCount, PageSize, Render};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LblPdfApi* LblPdfGetApi() { return &kApi; }
