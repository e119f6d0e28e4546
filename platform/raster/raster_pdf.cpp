// PDF pages: the PDF module is loaded on first use from the platform's own
// directory; the last document opened stays open, with its renderer, for the
// next page of the same unchanged file. Pages are rendered at the size they are
// placed at, never resampled.
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cmath>
#include <mutex>
#include <new>

#include "base/driverlib.h"
#include "pdf_module.h"
#include "raster/raster.h"

namespace platform {
namespace {

constexpr const char* kPdfModule = "liblblpdf.so";

const LblPdfApi* PdfApi(std::string& why)
{
    static const LblPdfApi* api = nullptr;
    static std::string failure;
    static std::once_flag once;
    std::call_once(once, [] {
        const std::string path = DriverLibraryDirectory() + "/" + kPdfModule;
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* e = ::dlerror();
            failure = std::string("the PDF module cannot be loaded: ") + (e ? e : path);
            return;
        }
        auto get = reinterpret_cast<PFN_LblPdfGetApi>(::dlsym(module, "LblPdfGetApi"));
        const LblPdfApi* a = get ? get() : nullptr;
        if (!a || a->version != LBLPDF_API_VERSION) {
            failure = "the PDF module " + path + " does not match this platform";
            return;
        }
        api = a;
    });
    if (!api) why = failure;
    return api;
}

// The document kept open: the file it came from, known by identity and change time.
struct OpenDocument {
    std::mutex lock;
    std::string path;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    LblPdfDocument* doc = nullptr;
    const LblPdfApi* api = nullptr;

    void Close()
    {
        if (doc) api->Close(doc);
        doc = nullptr;
        path.clear();
    }
};

OpenDocument& Kept()
{
    static OpenDocument kept;
    return kept;
}

// The open document for the file; the caller holds kept.lock.
LblPdfDocument* Document(OpenDocument& kept, const std::string& path, std::string& why)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        why = std::strerror(errno);
        return nullptr;
    }
    if (kept.doc && kept.path == path && kept.dev == st.st_dev && kept.ino == st.st_ino && kept.size == st.st_size &&
        kept.mtime.tv_sec == st.st_mtim.tv_sec && kept.mtime.tv_nsec == st.st_mtim.tv_nsec)
        return kept.doc;
    const LblPdfApi* api = PdfApi(why);
    if (!api) return nullptr;
    kept.Close();
    char reason[200] = {};
    LblPdfDocument* doc = api->Open(path.c_str(), reason, sizeof reason);
    if (!doc) {
        why = reason[0] ? reason : "not a readable PDF file";
        return nullptr;
    }
    kept.api = api;
    kept.doc = doc;
    kept.path = path;
    kept.dev = st.st_dev;
    kept.ino = st.st_ino;
    kept.size = st.st_size;
    kept.mtime = st.st_mtim;
    return doc;
}

std::string PageName(int index) { return "PDF page " + std::to_string(index + 1); }

}  // namespace

int PdfPageCount(const std::string& path, std::string& why)
{
    OpenDocument& kept = Kept();
    std::lock_guard guard(kept.lock);
    LblPdfDocument* doc = Document(kept, path, why);
    if (!doc) return -1;
    const int n = kept.api->PageCount(doc);
    if (n <= 0) {
        why = "the PDF file has no pages";
        return -1;
    }
    return n;
}

bool PdfPageSize(const std::string& path, int index, double& widthPt, double& heightPt, std::string& why)
{
    OpenDocument& kept = Kept();
    std::lock_guard guard(kept.lock);
    LblPdfDocument* doc = Document(kept, path, why);
    if (!doc) return false;
    if (!kept.api->PageSize(doc, index, &widthPt, &heightPt)) {
        why = "no such PDF page";
        return false;
    }
    return true;
}

bool PlanPdfPage(double widthPt, double heightPt, int dpi, std::uint32_t cx, std::uint32_t cy, Placement& p,
                 double& scale)
{
    const double cxAt = widthPt * dpi / 72.0, cyAt = heightPt * dpi / 72.0;
    if (!(cxAt >= 1 && cyAt >= 1) || cxAt * cyAt > static_cast<double>(kMaxPicturePixels) || cx == 0 || cy == 0)
        return false;
    p = {};
    p.cx = cx;
    p.cy = cy;
    p.cxPicture = static_cast<std::uint32_t>(std::lround(cxAt));
    p.cyPicture = static_cast<std::uint32_t>(std::lround(cyAt));
    scale = 1.0;
    if (std::fabs(cxAt - cx) <= 1.0 && std::fabs(cyAt - cy) <= 1.0) {
        // The label's size give or take rounding: rendered at exactly its dots.
        p.cxPlaced = cx;
        p.cyPlaced = cy;
    } else if (NearSize(p.cxPicture, cx) && NearSize(p.cyPicture, cy)) {
        p.cxPlaced = p.cxPicture;
        p.cyPlaced = p.cyPicture;
    } else {
        scale = std::min(cx / cxAt, cy / cyAt);
        p.filter = ScaleFilter::Rendered;
        p.factor = scale;
        p.cxPlaced = std::clamp<std::uint32_t>(static_cast<std::uint32_t>(std::lround(cxAt * scale)), 1, cx);
        p.cyPlaced = std::clamp<std::uint32_t>(static_cast<std::uint32_t>(std::lround(cyAt * scale)), 1, cy);
    }
    p.x0 = (static_cast<long>(cx) - static_cast<long>(p.cxPlaced)) / 2;
    p.y0 = (static_cast<long>(cy) - static_cast<long>(p.cyPlaced)) / 2;
    return true;
}

bool RenderPdfPage(const std::string& path, int index, int dpi, std::uint32_t cx, std::uint32_t cy,
                   const PageOptions& options, PlacedPage& out, std::string& why)
{
    OpenDocument& kept = Kept();
    std::lock_guard guard(kept.lock);
    LblPdfDocument* doc = Document(kept, path, why);
    if (!doc) return false;
    double widthPt = 0, heightPt = 0;
    if (dpi <= 0 || !kept.api->PageSize(doc, index, &widthPt, &heightPt)) {
        why = "no such PDF page";
        return false;
    }
    double scale = 1.0;
    if (!PlanPdfPage(widthPt, heightPt, dpi, cx, cy, out.placement, scale)) {
        why = PageName(index) + " has an unusable size";
        return false;
    }
    BgrImage& img = out.pixels;
    img.width = out.placement.cxPlaced;
    img.height = out.placement.cyPlaced;
    try {
        img.bgr.resize(img.Stride() * img.height);
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        img = {};
        return false;
    }
    char reason[200] = {};
    if (!kept.api->Render(doc, index, dpi * scale, dpi * scale, 0, 0, static_cast<int>(img.width),
                          static_cast<int>(img.height), options.antialias ? 1 : 0, img.bgr.data(), img.Stride(),
                          reason, sizeof reason)) {
        why = PageName(index) + ": " + (reason[0] ? reason : "failed to render");
        img = {};
        return false;
    }
    if (options.lineArt) ThresholdToBilevel(img);
    return true;
}

void ClosePdfDocuments()
{
    OpenDocument& kept = Kept();
    std::lock_guard guard(kept.lock);
    kept.Close();
}

}  // namespace platform
