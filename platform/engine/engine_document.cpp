// One document through the render library: device, surface, document, pages and
// bands, as the graphics engine calls them; the job is spooled to a file and
// delivered to the port when the document has ended well.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <numeric>
#include <optional>

#include "base/codepage.h"
#include "base/driverlib.h"
#include "engine/engine.h"
#include "engine/engine_driver.h"
#include "spooler/job.h"
#include "spooler/port.h"
#include "spooler/spooler.h"

namespace platform {
namespace {

// PASSTHROUGH carries a 16-bit count, so raw bytes go in pieces of at most this many.
constexpr std::size_t kMaxPassThroughPiece = 65535;
constexpr FLONG ED_ABORTDOC = 1;

// A device the engine enabled for the document: its engine device, the driver's
// record, the band surface and the capabilities the driver reported.
struct Device {
    const RenderDriver* drv = nullptr;
    HDEV hdev = nullptr;
    DHPDEV dhpdev = nullptr;
    HSURF hsurf = nullptr;
    SURFOBJ* pso = nullptr;
    GDIINFO gdi{};
    DEVINFO devinfo{};
    std::vector<BYTE> devMode;

    explicit Device(const RenderDriver* d) : drv(d) {}
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    ~Device()
    {
        DisableSurface();
        Disable();
    }

    bool EnablePDEV(const PrinterRecord& printer, std::vector<BYTE> dm, HANDLE hPrinter, std::string& why)
    {
        devMode = std::move(dm);
        if (devMode.size() < sizeof(DEVMODEW)) {
            why = "the device mode is too short";
            return false;
        }
        hdev = CreateEngineDevice(printer);
        if (!hdev) {
            why = "out of memory creating the engine device";
            return false;
        }
        std::u16string name = Widen(printer.name);
        dhpdev = drv->DrvEnablePDEV(reinterpret_cast<DEVMODEW*>(devMode.data()), name.data(), 0, nullptr,
                                    sizeof gdi, reinterpret_cast<ULONG*>(&gdi), sizeof devinfo, &devinfo, hdev,
                                    name.data(), hPrinter);
        if (!dhpdev) {
            why = "the driver could not set up the printer \"" + printer.name + "\" (error " +
                  std::to_string(EngGetLastError()) + ")";
            return false;
        }
        SetEngineDeviceDriverData(hdev, dhpdev);
        if (gdi.ulHorzRes == 0 || gdi.ulVertRes == 0) {
            why = "the driver reported an empty page";
            return false;
        }
        return true;
    }
    void Complete() { drv->DrvCompletePDEV(dhpdev, hdev); }

    bool EnableSurface(std::string& why)
    {
        hsurf = drv->DrvEnableSurface(dhpdev);
        if (hsurf) pso = EngLockSurface(hsurf);
        if (!pso || pso->iBitmapFormat != BMF_24BPP || !pso->pvScan0) {
            why = "the driver could not make its band surface";
            return false;
        }
        return true;
    }

    void DisableSurface()
    {
        if (pso) EngUnlockSurface(pso);
        pso = nullptr;
        if (hsurf && dhpdev) drv->DrvDisableSurface(dhpdev);
        hsurf = nullptr;
    }

    void Disable()
    {
        if (dhpdev) drv->DrvDisablePDEV(dhpdev);
        dhpdev = nullptr;
        if (hdev) DeleteEngineDevice(hdev);
        hdev = nullptr;
    }
};

// Whether some bytes the driver wrote did not reach the spool file.
bool SpoolFailed(const JobSink& sink)
{
    const std::vector<DWORD> writes = sink.Writes();
    return std::accumulate(writes.begin(), writes.end(), std::size_t{0}) != sink.BytesTaken();
}

std::string SpoolFailure(const JobSink& sink)
{
    const int e = sink.SpoolError();
    return std::string("writing the job to the spool file failed") + (e ? std::string(": ") + std::strerror(e) : "");
}

// The reason of a failed entry point: the spool write behind the driver's failed
// state, or the entry point itself.
std::string DriverFailure(const char* step, const JobSink& sink)
{
    if (SpoolFailed(sink)) return SpoolFailure(sink);
    return std::string("the driver failed in ") + step;
}

// The page's picture, placed on the page of the device. `out` keeps its storage
// from page to page: a picture placed one to one is decoded into it in place.
bool LoadPagePicture(const DocumentPage& page, const GDIINFO& gdi, const PageOptions& options, PlacedPage& out,
                     std::string& why)
{
    const std::uint32_t cx = gdi.ulHorzRes, cy = gdi.ulVertRes;
    if (page.picture) {
        out = PlacePicture(*page.picture, cx, cy, options);
        return true;
    }
    const PageFileKind kind = page.kind == PageFileKind::Unknown ? SniffPageFile(page.path) : page.kind;
    BgrImage picture = std::move(out.pixels);
    bool ok = false;
    switch (kind) {
    case PageFileKind::Png:
        out.pixels = std::move(picture);
        ok = LoadPngPage(page.path, cx, cy, options, out, why);
        if (!ok) why = page.path + ": " + why;
        return ok;
    case PageFileKind::Pnm:
        ok = ReadPnm(page.path, picture, why);
        break;
    case PageFileKind::Pdf:
        out.pixels = std::move(picture);
        ok = RenderPdfPage(page.path, page.pdfPage, static_cast<int>(gdi.ulDevicePelsDPI), cx, cy, options, out, why);
        if (!ok) why = page.path + ": " + why;
        return ok;
    case PageFileKind::Unknown:
        why = "not a PNG, PNM or PDF file";
        break;
    }
    if (!ok) {
        why = page.path + ": " + why;
        return false;
    }
    try {
        out = PlacePicture(std::move(picture), cx, cy, options);
    } catch (const std::bad_alloc&) {
        why = page.path + ": out of memory placing the picture";
        return false;
    }
    return true;
}

// What would be done to the page's picture, for a dry run.
bool PlanPagePicture(const DocumentPage& page, const GDIINFO& gdi, const PageOptions& options, Placement& plan,
                     std::string& why)
{
    const std::uint32_t cx = gdi.ulHorzRes, cy = gdi.ulVertRes;
    const PageFileKind kind = page.kind == PageFileKind::Unknown ? SniffPageFile(page.path) : page.kind;
    if (kind == PageFileKind::Pdf && !page.picture) {
        double widthPt = 0, heightPt = 0, scale = 1;
        if (!PdfPageSize(page.path, page.pdfPage, widthPt, heightPt, why) ||
            !PlanPdfPage(widthPt, heightPt, static_cast<int>(gdi.ulDevicePelsDPI), cx, cy, plan, scale)) {
            why = page.path + ": " + (why.empty() ? "the PDF page has an unusable size" : why);
            return false;
        }
        return true;
    }
    if (kind == PageFileKind::Png && !page.picture) {
        PlacedPage placed;
        if (!LoadPngPage(page.path, cx, cy, options, placed, why)) {
            why = page.path + ": " + why;
            return false;
        }
        plan = placed.placement;
        return true;
    }
    BgrImage picture;
    bool ok = true;
    if (page.picture)
        picture = *page.picture;
    else if (kind == PageFileKind::Png)
        ok = ReadPng(page.path, picture, why);
    else if (kind == PageFileKind::Pnm)
        ok = ReadPnm(page.path, picture, why);
    else {
        ok = false;
        why = "not a PNG, PNM or PDF file";
    }
    if (!ok) {
        why = page.path + ": " + why;
        return false;
    }
    if (options.lineArt) ThresholdToBilevel(picture);
    const bool bilevel = options.scale == ScaleMode::Auto && IsBilevel(picture);
    plan = PlanPlacement(picture.width, picture.height, cx, cy, bilevel, options.scale);
    return true;
}

// White over the part of the page, inside the band, that the picture does not cover.
void WhiteAroundPicture(SURFOBJ* pso, const Placement& p, POINTL ptlBand)
{
    auto* scan0 = static_cast<BYTE*>(pso->pvScan0);
    const long long px1 = p.x0 + static_cast<long long>(p.cxPicture), py1 = p.y0 + static_cast<long long>(p.cyPicture);
    for (long long y = 0; y < p.cy; ++y) {
        BYTE* line = scan0 + (y - ptlBand.y) * pso->lDelta - ptlBand.x * 3;
        if (y < p.y0 || y >= py1) {
            std::memset(line, 0xFF, static_cast<std::size_t>(p.cx) * 3);
            continue;
        }
        if (p.x0 > 0) std::memset(line, 0xFF, static_cast<std::size_t>(p.x0) * 3);
        if (px1 < p.cx) std::memset(line + px1 * 3, 0xFF, static_cast<std::size_t>(p.cx - px1) * 3);
    }
}

// Draws a band of the page. A picture still encoded is decoded straight into the
// band when the band holds the whole page and the picture lies inside it (no
// picture-sized copy; a band drawn again is decoded again), otherwise into the
// page's picture first.
bool DrawPageBand(SURFOBJ* pso, PlacedPage& page, POINTL ptlBand, std::string& why)
{
    if (!page.encoded.empty()) {
        const Placement& p = page.placement;
        const bool holds = pso && pso->pvScan0 && pso->iBitmapFormat == BMF_24BPP && ptlBand.x <= 0 &&
                           ptlBand.y <= 0 && ptlBand.x + static_cast<long long>(pso->sizlBitmap.cx) >= p.cx &&
                           ptlBand.y + static_cast<long long>(pso->sizlBitmap.cy) >= p.cy &&
                           std::llabs(static_cast<long long>(pso->lDelta)) >= 3LL * pso->sizlBitmap.cx &&
                           p.x0 >= 0 && p.y0 >= 0 && p.x0 + static_cast<long long>(p.cxPicture) <= p.cx &&
                           p.y0 + static_cast<long long>(p.cyPicture) <= p.cy;
        if (holds) {
            BYTE* at = static_cast<BYTE*>(pso->pvScan0) + (p.y0 - ptlBand.y) * pso->lDelta + (p.x0 - ptlBand.x) * 3;
            const int done = ReadPngInto(page.encoded, p.cxPicture, p.cyPicture, at, pso->lDelta, why);
            if (done == 0) {
                why = page.name + ": " + why;
                return false;
            }
            if (done == 1) {
                WhiteAroundPicture(pso, p, ptlBand);
                return true;
            }
        }
        if (!DecodePlacedPage(page, why)) {
            why = page.name + ": " + why;
            return false;
        }
    }
    DrawBand(pso, page, ptlBand);
    return true;
}

// Draws one page through the bands the driver asks for.
bool PrintPage(Device& dev, PlacedPage& page, const JobSink& sink, std::string& why)
{
    const RenderDriver* drv = dev.drv;
    if (!drv->DrvStartPage(dev.pso)) {
        why = DriverFailure("DrvStartPage", sink);
        return false;
    }
    POINTL ptl{};
    if (!drv->DrvStartBanding(dev.pso, &ptl)) {
        why = DriverFailure("DrvStartBanding", sink);
        return false;
    }
    // A page has at most as many bands as it has lines or columns.
    const long long cMaxBands = static_cast<long long>(std::max(page.placement.cx, page.placement.cy)) + 2;
    for (long long i = 0; ptl.x != -1; ++i) {
        if (i > cMaxBands) {
            why = "the driver never finished the page";
            return false;
        }
        if (!DrawPageBand(dev.pso, page, ptl, why)) return false;
        if (!drv->DrvNextBand(dev.pso, &ptl)) {
            why = DriverFailure("DrvNextBand", sink);
            return false;
        }
    }
    if (!drv->DrvSendPage(dev.pso)) {
        why = DriverFailure("DrvSendPage", sink);
        return false;
    }
    return true;
}

// Swaps in a new device for a device-mode change between pages.
bool ResetDevice(std::unique_ptr<Device>& dev, const PrinterRecord& printer, const std::vector<BYTE>& dm,
                 HANDLE hPrinter, const JobSink& sink, std::string& why)
{
    auto next = std::make_unique<Device>(dev->drv);
    if (!next->EnablePDEV(printer, dm, hPrinter, why)) return false;
    if (!dev->drv->DrvResetPDEV(dev->dhpdev, next->dhpdev)) {
        why = DriverFailure("DrvResetPDEV", sink);
        return false;
    }
    next->Complete();
    dev.reset();
    dev = std::move(next);
    return dev->EnableSurface(why);
}

struct SpoolFile {
    std::string path;
    int fd = -1;
    ~SpoolFile()
    {
        if (fd >= 0) ::close(fd);
        if (!path.empty()) ::unlink(path.c_str());
    }
};

bool ReadWholeFile(const std::string& path, std::vector<BYTE>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Hands the whole spool file, from its start, to the front end's device.
bool DeliverSpoolFile(int fd, const std::function<bool(const BYTE*, std::size_t)>& deliver, std::string& why)
{
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        why = std::string("cannot read back the spool file: ") + std::strerror(errno);
        return false;
    }
    std::vector<BYTE> piece(64 * 1024);
    for (;;) {
        const ssize_t n = ::read(fd, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::string("cannot read back the spool file: ") + std::strerror(errno);
            return false;
        }
        if (n == 0) return true;
        if (!deliver(piece.data(), static_cast<std::size_t>(n))) {
            why = "the device did not take the job";
            return false;
        }
    }
}

}  // namespace

void DrawBand(SURFOBJ* pso, const BgrImage& page, POINTL ptlBand)
{
    if (!pso || !pso->pvScan0 || pso->iBitmapFormat != BMF_24BPP) return;
    if (page.bgr.size() < page.Stride() * page.height) return;
    const long long cx = pso->sizlBitmap.cx, cy = pso->sizlBitmap.cy;
    if (cx <= 0 || cy <= 0 || std::llabs(static_cast<long long>(pso->lDelta)) < 3 * cx) return;
    // The part of the page under the band, in page coordinates.
    const long long x0 = std::max<long long>(ptlBand.x, 0), y0 = std::max<long long>(ptlBand.y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(ptlBand.x) + cx, page.width);
    const long long y1 = std::min<long long>(static_cast<long long>(ptlBand.y) + cy, page.height);
    if (x0 >= x1 || y0 >= y1) return;
    auto* scan0 = static_cast<BYTE*>(pso->pvScan0);
    for (long long y = y0; y < y1; ++y) {
        BYTE* dst = scan0 + (y - ptlBand.y) * pso->lDelta + (x0 - ptlBand.x) * 3;
        const BYTE* src = page.bgr.data() + y * page.Stride() + x0 * 3;
        std::memcpy(dst, src, static_cast<std::size_t>(x1 - x0) * 3);
    }
}

void DrawBand(SURFOBJ* pso, const PlacedPage& page, POINTL ptlBand)
{
    if (!pso || !pso->pvScan0 || pso->iBitmapFormat != BMF_24BPP) return;
    const BgrImage& pic = page.pixels;
    if (!pic.Whole()) return;
    const long long cx = pso->sizlBitmap.cx, cy = pso->sizlBitmap.cy;
    if (cx <= 0 || cy <= 0 || std::llabs(static_cast<long long>(pso->lDelta)) < 3 * cx) return;
    // The part of the page under the band, in page coordinates.
    const long long x0 = std::max<long long>(ptlBand.x, 0), y0 = std::max<long long>(ptlBand.y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(ptlBand.x) + cx, page.placement.cx);
    const long long y1 = std::min<long long>(static_cast<long long>(ptlBand.y) + cy, page.placement.cy);
    if (x0 >= x1 || y0 >= y1) return;
    // The picture's part of that, in page coordinates.
    const long long px = page.placement.x0, py = page.placement.y0;
    const long long ax = std::max(x0, px), bx = std::min<long long>(x1, px + pic.width);
    auto* scan0 = static_cast<BYTE*>(pso->pvScan0);
    for (long long y = y0; y < y1; ++y) {
        BYTE* line = scan0 + (y - ptlBand.y) * pso->lDelta;
        const bool inside = y >= py && y < py + static_cast<long long>(pic.height) && ax < bx;
        if (!inside) {
            std::memset(line + (x0 - ptlBand.x) * 3, 0xFF, static_cast<std::size_t>(x1 - x0) * 3);
            continue;
        }
        if (ax > x0) std::memset(line + (x0 - ptlBand.x) * 3, 0xFF, static_cast<std::size_t>(ax - x0) * 3);
        std::memcpy(line + (ax - ptlBand.x) * 3, pic.bgr.data() + (y - py) * pic.Stride() + (ax - px) * 3,
                    static_cast<std::size_t>(bx - ax) * 3);
        if (x1 > bx) std::memset(line + (bx - ptlBand.x) * 3, 0xFF, static_cast<std::size_t>(x1 - bx) * 3);
    }
}

bool AppendDocumentPages(const std::string& path, const std::string& name, std::vector<DocumentPage>& pages,
                         std::string& why)
{
    const PageFileKind kind = SniffPageFile(path);
    if (kind == PageFileKind::Unknown) {
        why = name + ": not a PNG, PNM or PDF file";
        return false;
    }
    int count = 1;
    if (kind == PageFileKind::Pdf && (count = PdfPageCount(path, why)) < 0) {
        why = name + ": " + why;
        return false;
    }
    for (int i = 0; i < count; ++i) {
        DocumentPage page;
        page.path = path;
        page.kind = kind;
        page.pdfPage = i;
        pages.push_back(std::move(page));
    }
    return true;
}

DocumentResult PrintDocument(const DocumentJob& job)
{
    DocumentResult result;
    std::string& why = result.reason;
    std::optional<PrinterRecord> printer = FindPrinter(job.printer);
    if (!printer) {
        why = "no printer named \"" + job.printer + "\"";
        return result;
    }
    // The library is looked up by name in the driver directory, never at the stored path.
    const std::string library = DriverLibraryPath(printer->renderLibrary);
    if (library.empty()) {
        why = "the printer \"" + job.printer + "\" names no render library";
        return result;
    }
    const RenderDriver* drv = LoadRenderDriver(library, why);
    if (!drv) return result;

    std::u16string wname = Widen(printer->name);
    HANDLE hPrinter = nullptr;
    if (!OpenPrinterW(wname.data(), &hPrinter, nullptr)) {
        why = "cannot open the printer \"" + job.printer + "\"";
        return result;
    }
    std::unique_ptr<void, void (*)(HANDLE)> printerGuard(hPrinter, [](HANDLE h) {
        DetachJobSink(h);
        ClosePrinter(h);
    });

    // The spooler asks the printer's UI library first; a refused job is not started.
    std::vector<BYTE> queryDevMode = job.devMode;
    if (!QueryJob(hPrinter, *printer, queryDevMode, why)) {
        result.refused = true;
        return result;
    }

    SpoolFile spool;
    spool.fd = CreateJobFile(spool.path, why);
    if (spool.fd < 0) return result;
    std::shared_ptr<JobSink> sink = AttachSpoolSink(hPrinter, spool.fd);

    auto dev = std::make_unique<Device>(drv);
    if (!dev->EnablePDEV(*printer, job.devMode, hPrinter, why)) return result;
    dev->Complete();
    if (job.dryRun) {
        for (std::size_t i = 0; i < job.pages.size(); ++i) {
            const DocumentPage& page = job.pages[i];
            if (!page.devMode.empty() && page.devMode != dev->devMode) {
                dev = std::make_unique<Device>(drv);
                if (!dev->EnablePDEV(*printer, page.devMode, hPrinter, why)) return result;
                dev->Complete();
            }
            Placement plan;
            if (!PlanPagePicture(page, dev->gdi, job.pageOptions, plan, why)) return result;
            result.placements.push_back(DescribePlacement(plan));
        }
        result.gdiInfo = dev->gdi;
        result.ok = true;
        return result;
    }
    if (!dev->EnableSurface(why)) return result;

    std::u16string docName = Widen(job.docName.empty() ? std::string("lblctl") : job.docName);
    if (!drv->DrvStartDoc(dev->pso, docName.data(), 1)) {
        why = DriverFailure("DrvStartDoc", *sink);
        return result;
    }
    bool ok = true;
    if (job.copies > 0) {
        DWORD copies = job.copies, inForce = 0;
        if (drv->DrvEscape(dev->pso, SETCOPYCOUNT, sizeof copies, &copies, sizeof inForce, &inForce) != 1) {
            why = "the driver refused the copy count";
            ok = false;
        }
    }
    for (std::size_t off = 0; ok && off < job.passThrough.size(); off += kMaxPassThroughPiece) {
        const std::size_t n = std::min(kMaxPassThroughPiece, job.passThrough.size() - off);
        std::vector<BYTE> piece(2 + n);
        piece[0] = static_cast<BYTE>(n & 0xFF);
        piece[1] = static_cast<BYTE>(n >> 8);
        std::memcpy(piece.data() + 2, job.passThrough.data() + off, n);
        if (drv->DrvEscape(dev->pso, PASSTHROUGH, static_cast<ULONG>(piece.size()), piece.data(), 0, nullptr) != n) {
            why = "the driver refused the raw bytes";
            ok = false;
        }
    }
    PlacedPage picture;  // its storage serves every page
    for (std::size_t i = 0; ok && i < job.pages.size(); ++i) {
        const DocumentPage& page = job.pages[i];
        if (!page.devMode.empty() && page.devMode != dev->devMode)
            ok = ResetDevice(dev, *printer, page.devMode, hPrinter, *sink, why);
        ok = ok && LoadPagePicture(page, dev->gdi, job.pageOptions, picture, why);
        ok = ok && PrintPage(*dev, picture, *sink, why);
        if (ok && job.progress) job.progress(i + 1, job.pages.size());
    }
    if (ok && !drv->DrvEndDoc(dev->pso, 0)) {
        why = DriverFailure("DrvEndDoc", *sink);
        ok = false;
    }
    if (!ok && dev->pso) drv->DrvEndDoc(dev->pso, ED_ABORTDOC);
    result.gdiInfo = dev->gdi;
    dev.reset();
    if (!ok) return result;

    // Even when the driver did not notice, every byte it wrote must be in the spool file.
    if (SpoolFailed(*sink)) {
        why = SpoolFailure(*sink);
        return result;
    }
    result.cbJob = sink->BytesTaken();
    if (job.keepStream && !ReadWholeFile(spool.path, result.stream)) {
        why = "cannot read back the spool file";
        return result;
    }
    if (job.deliver) {
        if (!DeliverSpoolFile(spool.fd, job.deliver, why)) return result;
        result.ok = true;
        return result;
    }
    const std::string& port = job.output.empty() ? printer->port : job.output;
    if (!DeliverToPort(port, spool.path, why)) return result;
    result.ok = true;
    return result;
}

}  // namespace platform
