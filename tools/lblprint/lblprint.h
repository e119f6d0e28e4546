// The printer application's parts: each PAPPL printer is a printer of the
// spooler stand-in of the same name; the application only translates between
// IPP and the driver's entry points and sheets.
#pragma once

#include <pappl/pappl.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/wintypes.h"
#include "media_request.h"
#include "raster/raster.h"
#include "user/driving.h"

namespace lblprint {

// The document format our filters produce and the printers take.
constexpr const char* kLabelFormat = "application/vnd.lbl-label";
constexpr int kModelCount = 11;

// Every call into the spooler, the UI library and the render library holds this:
// PAPPL runs clients and jobs on threads of their own.
std::mutex& DriverLock();

// drivers.cpp: "lbl-model0" .. "lbl-model10", described by the NickName of the
// model's description; the description file of a driver name ("" when unknown).
std::vector<pappl_pr_driver_t>& DriverList();
std::string DescriptionFile(const std::string& driverName);
bool DriverCallback(pappl_system_t* system, const char* driverName, const char* deviceUri, const char* deviceId,
                    pappl_pr_driver_data_t* data, ipp_t** attrs, void* cbdata);

// printers.cpp: a PAPPL printer made or restored; its spooler printer is added
// when missing, and its driver data brought to the printer's labels and sheet.
void PrinterCreated(pappl_printer_t* printer, void* cbdata);
// Refreshes a printer's media and defaults from its spooler printer (after
// labels changed elsewhere). False when the spooler printer is missing.
bool RefreshPrinter(pappl_printer_t* printer);
// Called by PAPPL when a printer goes away; removes its spooler printer only
// when a person deleted it (not when the application stops).
// A timer's work: refreshes every printer whose labels changed (through lblctl
// or the web pages) since it last looked.
bool RefreshChangedPrinters(pappl_system_t* system, void* data);
void PrinterDeleted(pappl_printer_t* printer, pappl_pr_driver_data_t* data);

// printer_ids.cpp: a printer made while the server runs is made again under its
// number shortly after, so that its printer-id attribute is right; its removal
// then leaves the spooler printer alone.
void RenumberLater(pappl_printer_t* printer);
bool IsBeingRemade(const std::string& name);

// media.cpp: a label's media name, "om_" + name + "_" + W x H + "mm".
std::string MediaName(const std::u16string& labelName, long widthUm, long heightUm);
struct LabelMedia {
    std::u16string name;
    long widthUm = 0, heightUm = 0;
    long pitch = 0;     // lPitch, 0.1 mm
    std::string media;  // MediaName of it
};
// The media a job asked for (media_request.h), from the job's attributes.
RequestedMedia JobMedia(pappl_job_t* job, const pappl_media_col_t& read);
// The labels of the spooler printer, in database order.
std::vector<LabelMedia> PrinterLabels(const std::string& spoolPrinter);
// The label a job's media names: by media name, else by size (to 0.01 mm); null when none.
const LabelMedia* FindLabelForMedia(const std::vector<LabelMedia>& labels, const pappl_media_col_t& media);
// The label the document sheet selects (the printer's default), else the first; null when none.
const LabelMedia* SelectedLabel(const user::CommonSheetState& sheet, const std::vector<LabelMedia>& labels);
// The sizes the model takes, as the UI library's DC_MINEXTENT and DC_MAXEXTENT
// give them; nullopt when it does not answer.
struct MediaRange {
    long minWidthUm = 0, minHeightUm = 0, maxWidthUm = 0, maxHeightUm = 0;
};
std::optional<MediaRange> PrinterMediaRange(const std::string& spoolPrinter);
// A size as media names give it: W x H + "mm" ("50x30mm", "101.6x152.4mm").
std::string SizeText(long widthUm, long heightUm);
// PAPPL's names of the range's ends: prefix + W x H + "mm" ("custom_min_10x21.4mm").
std::string RangeMediaName(const char* prefix, long widthUm, long heightUm);
// The name of a label made for a job: "Custom 50x30mm".
std::u16string CustomLabelName(long widthUm, long heightUm);

// job_label.cpp: adds a label of this size (rounded to 0.1 mm) for a job, made
// from the printer's selected label through the label editor, and returns it;
// a Failure with the editor's reason when the driver refuses it. The caller
// holds the spool transaction that is to take it away.
LabelMedia AddJobLabel(const std::string& printer, const std::vector<LabelMedia>& labels, long widthUm, long heightUm);

// job_options.cpp / device_output.cpp: one job through the driver. The pages
// are files or pictures; the bytes go to the device. False with the reason set
// in the job's message when the job cannot print.
struct JobPages {
    std::vector<std::string> files;        // PNG, PNM or PDF files, in order
    std::vector<platform::BgrImage> pictures;  // or these pictures
};
bool PrintJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, const JobPages& pages);

// file_device.cpp: the file:// device scheme.
void AddFileDevice();

// filters.cpp: PNG, PNM and PDF documents through our page readers.
void AddFilters(pappl_system_t* system);
// raster.cpp: the raster callbacks that collect PAPPL's lines (JPEG, PWG and
// Apple raster) into page pictures.
void SetRasterCallbacks(pappl_pr_driver_data_t* data);

}  // namespace lblprint
