// The render library's per-device record and its render heap.
#pragma once

#include "base/wintypes.h"
#include "engine/gdi.h"
#include "settings/settings.h"

// flPdev bits
constexpr ULONG PDEVF_DOCSTARTED = 0x00000004;
constexpr ULONG PDEVF_ABORT = 0x00000008;
constexpr ULONG PDEVF_PAGESTARTED = 0x00200000;
constexpr ULONG PDEVF_SAMEFORM = 0x00400000;

constexpr ULONG RENDER_HEAP_TAG = 0x68737044;  // the bytes "Dpsh"
constexpr DWORD SEND_BUFFER_SIZE = 4096;
constexpr DWORD COLORADJ_RECORD_SIZE = 44;

// Render heap: a list of kernel-pool blocks, freed at once by HEAPDESTROY.
struct RENDERHEAPNODE;
struct RENDERHEAP {
    RENDERHEAPNODE* pHead;
};
using HHEAP = RENDERHEAP*;

HHEAP HEAPCREATE();
PVOID HEAPALLOC(HHEAP hHeap, SIZE_T cb);
void HEAPFREE(HHEAP hHeap, PVOID pBlock);
void HEAPDESTROY(HHEAP hHeap);

struct PDEV {
    DWORD dwSignature;
    DRVDEVMODE dm;
    PPRINTERPROP pPrinterProp;
    HANDLE hModule;
    HHEAP hHeap;
    HANDLE hPrinter;
    LPWSTR pwszDocName;
    ULONG cLabels;
    PLABELDATA pLabelDb;
    LONG lScale;
    LONG lLogPixels;
    LONG cCopies;
    HDEV hdev;
    HSURF hsurfBand;
    HPALETTE hpal;
    PPDDATA* pPpd;
    ULONG flPdev;
    PRINTERFORMINFO formInfo;
    ULONG cPages;
    PBYTE pColorAdj;
    ULONG cbSendBuf;
    PBYTE pSendPos;
    ULONG cbSendUsed;
    BYTE abSendBuf[SEND_BUFFER_SIZE];
    RECTL rclBand;
    ULONG cBands;
    LONG cxPaper;
    LONG cyPaper;
    LONG cxPixels;
    LONG cyPixels;
    PBYTE apPlane[4];
    PBYTE apPlaneCursor[4];
    ULONG cPlanes;
    PSPOTCOLOR pSpotColor;
    DWORD dwSignature2;
};
using PPDEV = PDEV*;

BOOL bValidatePDEV(const PDEV* pPDev);
// The device record of a surface (its dhpdev), or null with last error
// ERROR_INVALID_PARAMETER when the surface or the record is not valid.
PPDEV PdevOfSurface(const SURFOBJ* pso);
LONG MillionToPixel(LONG lMicrons, LONG lDpi);
UINT MyGetACP();
