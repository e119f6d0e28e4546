// The printer application's own web pages: each printer's property sheet, label
// editor and printing defaults, rendered from the headless sheet model and driven
// by the person at the browser. Called from the application's setup, after PAPPL
// has created the system and each printer.
#pragma once

#include <pappl/pappl.h>

#include <mutex>

// Registers the shared assets (style sheet, script) once per system.
void LblWebAddSystem(pappl_system_t* system);

// Registers the pages of one printer under its path and links them from PAPPL's
// printer page. `spoolPrinterName` is the name of the spooler's printer behind it.
// Called once for every PAPPL printer made, also one made again under the number
// of a printer that went (its open sessions stay).
void LblWebAddPrinter(pappl_system_t* system, pappl_printer_t* printer, const char* spoolPrinterName);

// Called after the pages stored changes of a printer (its sheet applied or closed
// with OK, its printing defaults stored), on the thread of the request, so that
// the application can bring the printer's attributes (media, defaults) up to date.
typedef void (*lblweb_changed_cb_t)(pappl_printer_t* printer, void* data);
void LblWebSetChangedCallback(pappl_system_t* system, lblweb_changed_cb_t cb, void* data);

// The lock the application holds around its calls into the spooler and the
// driver: the pages hold it whenever they run driver code (never while a sheet
// waits for the person), so the model and its agent serve one thread at a time.
void LblWebSetDriverLock(pappl_system_t* system, std::mutex* lock);
