// JPEG, PWG and Apple raster documents through PAPPL's converters: the lines
// PAPPL hands over (8-bit grey or sRGB) are collected into page pictures, which
// then go the same way as every other page.
#include <memory>
#include <string>

#include "lblprint.h"

namespace lblprint {
namespace {

struct RasterJob {
    JobPages pages;
    platform::BgrImage page;
    bool failed = false;
};

RasterJob* State(pappl_job_t* job) { return static_cast<RasterJob*>(papplJobGetData(job)); }

bool StartJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*)
{
    papplJobSetData(job, new RasterJob);
    return true;
}

bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned)
{
    RasterJob* state = State(job);
    if (!state) return false;
    const auto& h = options->header;
    const std::uint64_t pixels = static_cast<std::uint64_t>(h.cupsWidth) * h.cupsHeight;
    if (h.cupsBitsPerColor != 8 || (h.cupsBitsPerPixel != 8 && h.cupsBitsPerPixel != 24) || pixels == 0 ||
        pixels > platform::kMaxPicturePixels) {
        papplJobSetMessage(job, "raster pages of %ux%u at %u bits per pixel are not printed", h.cupsWidth,
                           h.cupsHeight, h.cupsBitsPerPixel);
        state->failed = true;
        return false;
    }
    state->page = platform::BgrImage{};
    state->page.width = h.cupsWidth;
    state->page.height = h.cupsHeight;
    state->page.bgr.assign(static_cast<std::size_t>(pixels) * 3, 0xFF);
    return true;
}

bool WriteLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned y, const unsigned char* line)
{
    RasterJob* state = State(job);
    if (!state || state->failed || y >= state->page.height) return false;
    const unsigned width = state->page.width;
    unsigned char* out = state->page.bgr.data() + static_cast<std::size_t>(y) * state->page.Stride();
    if (options->header.cupsBitsPerPixel == 8) {
        for (unsigned x = 0; x < width; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = line[x];
    } else {
        for (unsigned x = 0; x < width; ++x) {
            out[3 * x] = line[3 * x + 2];
            out[3 * x + 1] = line[3 * x + 1];
            out[3 * x + 2] = line[3 * x];
        }
    }
    return true;
}

bool EndPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned)
{
    RasterJob* state = State(job);
    if (!state || state->failed) return false;
    state->pages.pictures.push_back(std::move(state->page));
    state->page = platform::BgrImage{};
    return true;
}

bool EndJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device)
{
    std::unique_ptr<RasterJob> state(State(job));
    papplJobSetData(job, nullptr);
    if (!state || state->failed || state->pages.pictures.empty()) return false;
    // PAPPL draws a picture once per copy; the driver's copy count makes the copies.
    std::vector<platform::BgrImage>& pictures = state->pages.pictures;
    const char* format = papplJobGetFormat(job);
    if (format && std::string(format) == "image/jpeg" && options->copies > 1 &&
        pictures.size() % static_cast<size_t>(options->copies) == 0)
        pictures.resize(pictures.size() / static_cast<size_t>(options->copies));
    return PrintJob(job, options, device, state->pages);
}

}  // namespace

void SetRasterCallbacks(pappl_pr_driver_data_t* data)
{
    data->rstartjob_cb = StartJob;
    data->rstartpage_cb = StartPage;
    data->rwriteline_cb = WriteLine;
    data->rendpage_cb = EndPage;
    data->rendjob_cb = EndJob;
}

}  // namespace lblprint
