// liblblui.so: the code of lblui_driver, whole-archived. Its exported symbols are
// the entry points marked LBLUI_EXPORT; this file checks their signatures.
#include <type_traits>

#include "uidrv.h"

static_assert(std::is_same_v<decltype(&DllInitialize), PFN_DllInitialize>);
static_assert(std::is_same_v<decltype(&DevQueryPrintEx), BOOL (*)(PDEVQUERYPRINT_INFO)>);
static_assert(std::is_same_v<decltype(&DrvDevicePropertySheets), PFNPROPSHEETUI>);
