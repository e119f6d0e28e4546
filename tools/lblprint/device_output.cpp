// One job through the driver: its settings become a device mode through the
// document sheet, the UI library's query may refuse it, and the render
// library's bytes go to PAPPL's device.
#include <cstdarg>
#include <exception>
#include <optional>

#include "base/codepage.h"
#include "engine/engine_driver.h"
#include "frontend/failure.h"
#include "frontend/printers.h"
#include "job_options.h"
#include "lblprint.h"
#include "spooler/spooler.h"

namespace lblprint {
namespace {

std::string MediaList(const std::vector<LabelMedia>& labels)
{
    std::string list;
    for (const LabelMedia& label : labels) list += (list.empty() ? "" : ", ") + label.media;
    return list;
}

bool Fail(pappl_job_t* job, const std::string& reason)
{
    papplJobSetMessage(job, "%s", reason.c_str());
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", reason.c_str());
    return false;
}

// The pages of the files, one per picture file and one per PDF page.
bool ListPages(const std::vector<std::string>& files, std::vector<platform::DocumentPage>& pages, std::string& why)
{
    for (const std::string& file : files)
        if (!platform::AppendDocumentPages(file, "the document", pages, why)) return false;
    return true;
}

}  // namespace

bool PrintJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, const JobPages& pages)
{
    const std::string name = papplPrinterGetName(papplJobGetPrinter(job));
    std::lock_guard<std::mutex> lock(DriverLock());
    const std::vector<LabelMedia> labels = PrinterLabels(name);
    // A job that asks for no media prints on the label of the printer's defaults;
    // one that names a stock no label is (rather than asking for a size) is refused.
    const RequestedMedia asked = JobMedia(job, options->media);
    const pappl_media_col_t& media = asked.col;
    const bool named = asked.given;
    const LabelMedia* label = named ? FindLabelForMedia(labels, media) : nullptr;
    if (named && !label && (asked.stock || media.size_width <= 0 || media.size_length <= 0))
        return Fail(job, "media \"" +
                             (media.size_name[0] ? std::string(media.size_name)
                                                 : SizeText(media.size_width * 10L, media.size_length * 10L)) +
                             "\" is not a label of this printer; it has " + MediaList(labels));

    // A size that no label has prints on a label made for the job. The label is
    // added in a spool transaction that is never committed: this thread's
    // printing sees it, and the rollback when the job ends takes the label and
    // its form away again. It ends before DriverLock is released.
    std::optional<platform::SpoolTransaction> scratch;
    LabelMedia made;
    if (named && !label) {
        const long widthUm = media.size_width * 10L, heightUm = media.size_length * 10L;
        scratch.emplace();
        const std::string none = "no label of this printer is " + SizeText(widthUm, heightUm);
        if (scratch->Status() != ERROR_SUCCESS)
            return Fail(job, none + " and none can be made now: " + platform::SpoolDatabaseError());
        try {
            made = AddJobLabel(name, labels, widthUm, heightUm);
        } catch (const frontend::Failure& f) {
            return Fail(job, none + " and the label editor refused one: " + f.message);
        } catch (const std::exception& e) {
            return Fail(job, none + " and none could be made: " + e.what());
        }
        label = &made;
        papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Printing on the label \"%s\" made for this job",
                    platform::Narrow(made.name).c_str());
    }

    platform::DocumentJob doc;
    doc.printer = name;
    try {
        auto printer = frontend::OpenPrinterOrFail(name);
        doc.devMode = frontend::DeviceModeFromSheet(printer->h, name, {}, JobChanges(*options, label ? label->name : std::u16string()));
    } catch (const frontend::Failure& f) {
        return Fail(job, f.message);
    }
    std::string why;
    if (!ListPages(pages.files, doc.pages, why)) return Fail(job, why);
    for (const platform::BgrImage& picture : pages.pictures) {
        platform::DocumentPage page;
        page.picture = &picture;
        doc.pages.push_back(std::move(page));
    }
    doc.docName = papplJobGetName(job) ? papplJobGetName(job) : "lblprint";
    doc.deliver = [device](const BYTE* bytes, std::size_t n) {
        return papplDeviceWrite(device, bytes, n) == static_cast<ssize_t>(n);
    };
    // Each job is a fresh load of the render library, as each lblctl print is.
    platform::UnloadRenderDrivers();
    const platform::DocumentResult result = platform::PrintDocument(doc);
    if (!result.ok) return Fail(job, result.reason);
    papplDeviceFlush(device);
    papplJobSetImpressionsCompleted(job, static_cast<int>(doc.pages.size()));
    return true;
}

}  // namespace lblprint
