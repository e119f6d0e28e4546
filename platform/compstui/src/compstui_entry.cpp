// The exported entry of the common property sheet UI.
#include "compstui/compstui.h"

extern "C" {

__attribute__((visibility("default"))) LONG CommonPropertySheetUIW(HWND, PFNPROPSHEETUI pfnPropSheetUI, LPARAM,
                                                                    LPDWORD pResult)
{
    if (pResult) *pResult = 0;
    if (!pfnPropSheetUI) return ERR_CPSUI_INVALID_LPARAM;
    return ERR_CPSUI_FUNCTION_NOT_IMPLEMENTED;
}

}  // extern "C"
