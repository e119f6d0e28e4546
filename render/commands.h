// The printer command set: document start and end, page set-up, graphic
// header and issue command, with the driver-wide job state they share.
#pragma once

#include "pdev.h"

// Start-of-job marker: 0xABCD until the first document of this load of the
// driver has sent the start-of-job NUL run, then 0.
constexpr DWORD INITPRINT_PENDING = 0xABCD;
extern DWORD dwInitPrint;
// 1 from a document's auto feed on until the auto feed off at a document end.
extern BYTE autofeed;

constexpr INT CUT_EVERY_TIME = 999;  // iCutInterval of a cut-every-time job

// Document start: the start-of-job NUL run (once per load) and auto feed on.
BOOL InitDevice(PDEV* pPDev);
// Page set-up: label size, position adjustment, other adjustments, end of set-up.
BOOL BeginPage(PDEV* pPDev);
BOOL ddfn_PosAdjustCommand(PDEV* pPDev, const LABELDATA* pLabel);
BOOL ddfn_OthersAdjustCommand(PDEV* pPDev, const LABELDATA* pLabel);
// Graphic header of one plane; cx and cy are the page in dots, portrait orientation of the label.
BOOL ddfn_FirstBand(PDEV* pPDev, INT iPlane, LONG cx, LONG cy);
// Page end: the issue command with copies, cut value and speed code.
BOOL ClosePage(PDEV* pPDev);
BOOL ddfn_IssueCommand(PDEV* pPDev, const LABELDATA* pLabel, LONG lCut, LONG lSpeedCode);
// Document end: the end of a cut-every-time job and auto feed off.
BOOL TermDevice(PDEV* pPDev);

// ---- Helpers shared by the command generators ---------------------------------------------
// The label of the job (an all-zero label when the device has none).
const LABELDATA* ddfn_JobLabel(const PDEV* pPDev);
// The model number, brought into the model table.
DWORD ddfn_Model(const PDEV* pPDev);
// The speed code of the label's issue speed; an index outside the model's list
// of speeds is brought to its nearest end.
LONG ddfn_SpeedCode(const PDEV* pPDev, const LABELDATA* pLabel);
// TRUE when the plane data may be compressed (model 0, bCompression, models 9 and 10).
BOOL ddfn_MayCompress(const PDEV* pPDev);
// First plane sent: 1 for a three-colour ribbon (colour, bFourColor 0), else 0.
ULONG ddfn_FirstPlane(const PDEV* pPDev);
// Planes of the job, at most 4.
ULONG ddfn_PlaneCount(const PDEV* pPDev);

// Digit place of a zero-filled field: (v / 10^place) mod 10 for v >= 0; a
// negative value is sent as 0.
LONG Digit(LONG v, int place);
// Sign character of a signed field: '+' for v >= 0, '-' below.
LONG SignOf(LONG v);
// Digit place of the magnitude of v, for signed fields.
LONG MagDigit(LONG v, int place);
