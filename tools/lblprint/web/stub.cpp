#include "lblweb/web.h"

void LblWebAddSystem(pappl_system_t*) {}

void LblWebAddPrinter(pappl_system_t*, pappl_printer_t*, const char*) {}
