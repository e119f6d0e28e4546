// The graphics engine's caller side: it loads a printer's render library,
// enables a device for a document and drives the document, page and band entry
// points, drawing each band from the page rasters; the finished job is spooled
// to a file and delivered to the printer's port.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/wintypes.h"
#include "engine/gdi.h"
#include "raster/raster.h"

namespace platform {

// A loaded render library and the entry table DrvEnableDriver handed back.
struct RenderDriver {
    std::string path;
    void* module = nullptr;
    PFN_DrvEnablePDEV DrvEnablePDEV = nullptr;
    PFN_DrvResetPDEV DrvResetPDEV = nullptr;
    PFN_DrvCompletePDEV DrvCompletePDEV = nullptr;
    PFN_DrvDisablePDEV DrvDisablePDEV = nullptr;
    PFN_DrvEnableSurface DrvEnableSurface = nullptr;
    PFN_DrvDisableSurface DrvDisableSurface = nullptr;
    PFN_DrvStartDoc DrvStartDoc = nullptr;
    PFN_DrvEndDoc DrvEndDoc = nullptr;
    PFN_DrvStartPage DrvStartPage = nullptr;
    PFN_DrvSendPage DrvSendPage = nullptr;
    PFN_DrvEscape DrvEscape = nullptr;
    PFN_DrvStartBanding DrvStartBanding = nullptr;
    PFN_DrvNextBand DrvNextBand = nullptr;
};

// The render library at `path`, loaded and enabled once per process as the engine
// does (later calls return the same driver). Null with a reason when the library
// cannot be loaded, lacks DrvEnableDriver, refuses the engine version or hands back
// an incomplete table.
const RenderDriver* LoadRenderDriver(const std::string& path, std::string& why);
// Forgets every loaded driver: the next LoadRenderDriver loads and enables afresh,
// which starts a new load of the driver (its one-time job initialisation is armed again).
void UnloadRenderDrivers();

// One page of a document: a picture file, the page of a PDF file, or a picture in
// memory.
struct DocumentPage {
    std::string path;
    PageFileKind kind = PageFileKind::Unknown;  // Unknown: sniffed from the file
    int pdfPage = 0;                            // 0-based
    const BgrImage* picture = nullptr;          // used instead of path when set (not owned)
    // A device mode for this page and the ones after it; empty keeps the current one.
    // A change goes through a new device and DrvResetPDEV.
    std::vector<BYTE> devMode;
};

// Appends the pages of a page file: one for a picture, one per page of a PDF.
// False and "NAME: reason" when the file is no PNG, PNM or PDF file or its PDF
// cannot be opened; `name` is what a person knows the file as.
bool AppendDocumentPages(const std::string& path, const std::string& name, std::vector<DocumentPage>& pages,
                         std::string& why);

struct DocumentJob {
    std::string printer;          // name in the spooler
    std::vector<BYTE> devMode;    // DEVMODEW with its private part, as the spooler made it
    std::vector<DocumentPage> pages;
    std::vector<BYTE> passThrough;  // sent with PASSTHROUGH escapes before the first page
    DWORD copies = 0;               // 0: no SETCOPYCOUNT
    std::string docName;
    std::string output;   // non-empty: the job goes to this file instead of the printer's port
    bool keepStream = false;  // return the job's bytes in DocumentResult::stream
    // Set: the finished job is handed to it in pieces instead of going to a port
    // (a front end with its own device); a false answer fails the job.
    std::function<bool(const BYTE*, std::size_t)> deliver;
    // Called after each page with (pages done, page count).
    std::function<void(std::size_t, std::size_t)> progress;
    // How pictures are brought to the page (scaling, line art, PDF anti-aliasing).
    PageOptions pageOptions;
    // Nothing is printed: the device is enabled and each page's placement described.
    bool dryRun = false;
};

struct DocumentResult {
    bool ok = false;
    std::string reason;   // one line when !ok
    bool refused = false; // the UI library's DevQueryPrintEx refused the job; reason is its message
    std::size_t cbJob = 0;
    std::vector<BYTE> stream;  // keepStream only
    GDIINFO gdiInfo{};         // of the device of the last page
    // dryRun: one line per page saying what would be done to its picture.
    std::vector<std::string> placements;
};

// Prints one document. Nothing reaches the port unless every page was drawn, the
// driver finished the document and the whole job was spooled.
DocumentResult PrintDocument(const DocumentJob& job);

// Copies the part of the page that the band at ptlBand covers into the band surface
// (24 bpp); parts of the band outside the page are left as they are.
void DrawBand(SURFOBJ* pso, const BgrImage& page, POINTL ptlBand);
// The same for a placed picture: the page is placement.cx x placement.cy dots,
// white where the picture does not reach.
void DrawBand(SURFOBJ* pso, const PlacedPage& page, POINTL ptlBand);

}  // namespace platform
