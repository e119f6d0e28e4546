// A device record for tests, as DrvEnablePDEV would make it: a render heap that
// owns the PDEV, the default device mode of the settings library, a label, the
// printer properties and a job sink on the printer handle that collects (or
// refuses) what EngWritePrinter sends. Also a band surface and a page painter.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/gdi.h"
#include "pdev.h"
#include "spooler/job.h"

namespace lbltest {

struct DeviceOptions {
    DWORD dwModel = 1;
    bool bColor = false;
    bool bLandscape = false;
    LONG cxPixels = 64;  // page in dots, device orientation
    LONG cyPixels = 48;
    LONG cxPaper = 1000;  // imageable area in 0.1 mm, device orientation
    LONG cyPaper = 750;
    // Band surface size; 0 takes the page (portrait: width, landscape: height).
    LONG cxBand = 0;
    LONG cyBand = 0;
    platform::JobSink::Mode sinkMode = platform::JobSink::Mode::Collect;
    std::size_t cbSinkLimit = 0;
};

// Ink colour of a page pixel, 0x00RRGGBB.
using PagePainter = std::function<DWORD(LONG x, LONG y)>;

class TestDevice {
public:
    explicit TestDevice(const DeviceOptions& options = {});
    ~TestDevice();
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    PDEV* pdev() const { return pdev_; }
    DRVEXTRA& extra() const { return pdev_->dm.dmPrivate; }
    LABELDATA& label() { return label_; }
    PRINTERPROP& prop() { return prop_; }
    SURFOBJ* surface() { return pso_; }
    platform::JobSink& sink() const { return *sink_; }
    // Everything the spooler has taken so far.
    std::string Sent() const;

    // Document flow as the document entry points drive it.
    void StartDoc();  // document open, cPages 0, document start
    void EndDoc();    // document end, flush, document closed

    // Runs DrvStartBanding / DrvNextBand over one page, painting each band from
    // paint (page coordinates, device orientation). False when a band call fails.
    bool PrintPage(const PagePainter& paint);
    int bandsDone = 0;

private:
    void PaintBand(const PagePainter& paint, POINTL origin);

    HHEAP hHeap_ = nullptr;
    PDEV* pdev_ = nullptr;
    HANDLE hPrinter_;
    std::shared_ptr<platform::JobSink> sink_;
    LABELDATA label_{};
    PRINTERPROP prop_{};
    SPOTCOLOR spot_[4]{};
    std::vector<BYTE> bits_;
    HSURF hsurf_ = nullptr;
    SURFOBJ* pso_ = nullptr;  // the engine's record of hsurf_, locked while the device lives
};

// Driver-wide job state as a fresh load of the driver has it.
void ResetDriverState();

// Colours of the page painter.
constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kBlack = 0x000000;
constexpr DWORD kCyan = 0x00FFFF;
constexpr DWORD kMagenta = 0xFF00FF;
constexpr DWORD kYellow = 0xFFFF00;

// Byte strings of the printer language, for expectations.
std::string Cmd(const std::string& body);  // "\x1b" + body + LF NUL
std::string Bytes(std::size_t n, BYTE b);
std::string BigEndian32(DWORD v);

}  // namespace lbltest
