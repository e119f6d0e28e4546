// A printer for the driver's entry points: a temporary spool directory with one
// printer on a copy of a model's description, its engine device, a job sink on
// the printer handle, and helpers that enable a device the way the engine does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "engine/engine.h"
#include "spooler/job.h"

namespace lbltest {

// Live objects of every kind the driver allocates; equal snapshots mean nothing leaked.
struct LiveCounts {
    long pool, global, surfaces, palettes, locks;
    bool operator==(const LiveCounts&) const = default;
};
LiveCounts CountLive();
void PrintTo(const LiveCounts& c, std::ostream* os);

class DriverTest : public ::testing::Test {
protected:
    // Model whose description the printer uses.
    explicit DriverTest(int model = 1) : model_(model) {}
    void SetUp() override;
    void TearDown() override;

    // Printer data as the UI library would have written it.
    void WriteLabels(const std::vector<LABELDATA>& labels);
    void WritePassThrough(bool on);
    void AddForm(const std::u16string& name, LONG cx, LONG cy);
    static LABELDATA Label(const std::u16string& name, LONG lWidth, LONG lHeight);
    // The engine's device mode naming a form.
    static DEVMODEW FormDevMode(const std::u16string& name);

    // DrvEnablePDEV with the caps and devinfo buffers below; DrvCompletePDEV on success.
    PDEV* Enable(const DEVMODEW* pdm = nullptr);
    // Enable, surface, and the locked SURFOBJ the engine hands to the document entries.
    SURFOBJ* EnableWithSurface(const DEVMODEW* pdm = nullptr);
    // Releases what Enable / EnableWithSurface made, in the engine's order.
    void Disable();
    std::string Sent() const;

    std::string dir_;
    std::u16string printerName_ = u"Label Printer";
    HANDLE hPrinter_ = nullptr;
    HDEV hdev_ = nullptr;
    std::shared_ptr<platform::JobSink> sink_;
    GDIINFO caps_{};
    DEVINFO devinfo_{};
    PDEV* pdev_ = nullptr;
    HSURF hsurf_ = nullptr;
    SURFOBJ* pso_ = nullptr;
    LiveCounts baseline_{};

private:
    int model_;
};

}  // namespace lbltest
