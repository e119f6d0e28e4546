// PDF pages rendered with poppler at the device resolution, on white.
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

#include "raster/raster.h"

namespace platform {
namespace {

// poppler reports damaged objects on standard error; the caller reports failures itself.
void Quiet(const std::string&, void*) {}

std::unique_ptr<poppler::document> OpenPdf(const std::string& path, std::string& why)
{
    static std::once_flag once;
    std::call_once(once, [] { poppler::set_debug_error_function(Quiet, nullptr); });
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path));
    if (!doc) {
        why = "not a readable PDF file";
        return nullptr;
    }
    if (doc->is_locked()) {
        why = "the PDF file is encrypted";
        return nullptr;
    }
    return doc;
}

}  // namespace

int PdfPageCount(const std::string& path, std::string& why)
{
    auto doc = OpenPdf(path, why);
    if (!doc) return -1;
    const int n = doc->pages();
    if (n <= 0) {
        why = "the PDF file has no pages";
        return -1;
    }
    return n;
}

bool RenderPdfPage(const std::string& path, int index, int dpi, std::uint32_t cxPage, std::uint32_t cyPage,
                   BgrImage& out, std::string& why)
{
    out = {};
    auto doc = OpenPdf(path, why);
    if (!doc) return false;
    if (index < 0 || index >= doc->pages() || dpi <= 0) {
        why = "no such PDF page";
        return false;
    }
    std::unique_ptr<poppler::page> page(doc->create_page(index));
    if (!page) {
        why = "PDF page " + std::to_string(index + 1) + " cannot be read";
        return false;
    }
    const poppler::rectf box = page->page_rect(poppler::media_box);
    const double cx = box.width() * dpi / 72.0;
    const double cy = box.height() * dpi / 72.0;
    if (!(cx >= 1 && cy >= 1) || cx * cy > static_cast<double>(kMaxPicturePixels)) {
        why = "PDF page " + std::to_string(index + 1) + " has an unusable size";
        return false;
    }
    poppler::page_renderer renderer;
    renderer.set_image_format(poppler::image::format_bgr24);
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_paper_color(0xFFFFFFFF);
    // A page that is the label's size, give or take rounding, is rendered at exactly
    // the label's dots, so that it is placed one to one.
    const bool fits = std::fabs(cx - cxPage) <= 1.0 && std::fabs(cy - cyPage) <= 1.0;
    poppler::image img = fits ? renderer.render_page(page.get(), dpi, dpi, 0, 0, static_cast<int>(cxPage),
                                                     static_cast<int>(cyPage))
                              : renderer.render_page(page.get(), dpi, dpi);
    if (!img.is_valid() || img.width() <= 0 || img.height() <= 0 || img.format() != poppler::image::format_bgr24) {
        why = "PDF page " + std::to_string(index + 1) + " failed to render";
        return false;
    }
    out.width = static_cast<std::uint32_t>(img.width());
    out.height = static_cast<std::uint32_t>(img.height());
    out.bgr.resize(out.Stride() * out.height);
    const char* src = img.const_data();
    const std::size_t cbRow = static_cast<std::size_t>(img.bytes_per_row());
    if (cbRow < out.Stride()) {
        out = {};
        why = "PDF page " + std::to_string(index + 1) + " failed to render";
        return false;
    }
    for (std::uint32_t y = 0; y < out.height; ++y)
        std::memcpy(out.bgr.data() + y * out.Stride(), src + y * cbRow, out.Stride());
    return true;
}

}  // namespace platform
