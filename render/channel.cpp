// The send buffer: bytes are gathered in the 4096-byte buffer of the device
// record and handed to the spooler whenever it fills and when flushed.
#include "channel.h"

#include <cstring>

#include "spooler/job.h"

namespace {

// Capacity actually usable, whatever cbSendBuf holds.
ULONG Capacity(const PDEV* pPDev)
{
    return pPDev->cbSendBuf > 0 && pPDev->cbSendBuf <= SEND_BUFFER_SIZE ? pPDev->cbSendBuf : SEND_BUFFER_SIZE;
}

}  // namespace

void InitSendBuffer(PDEV* pPDev)
{
    pPDev->cbSendBuf = SEND_BUFFER_SIZE;
    pPDev->cbSendUsed = 0;
    pPDev->pSendPos = pPDev->abSendBuf;
}

BOOL WriteChannel(PDEV* pPDev, const void* pb, ULONG cb)
{
    if (pPDev->flPdev & PDEVF_ABORT) return FALSE;
    if (!(pPDev->flPdev & PDEVF_DOCSTARTED)) return TRUE;
    if (!pb) return cb == 0;
    const BYTE* pSrc = static_cast<const BYTE*>(pb);
    const ULONG cbCapacity = Capacity(pPDev);
    while (cb > 0) {
        if (pPDev->cbSendUsed >= cbCapacity) FlushChannel(pPDev);
        const ULONG cbRoom = cbCapacity - pPDev->cbSendUsed;
        const ULONG cbTake = cb < cbRoom ? cb : cbRoom;
        std::memcpy(pPDev->abSendBuf + pPDev->cbSendUsed, pSrc, cbTake);
        pPDev->cbSendUsed += cbTake;
        pPDev->pSendPos = pPDev->abSendBuf + pPDev->cbSendUsed;
        pSrc += cbTake;
        cb -= cbTake;
        if (pPDev->cbSendUsed == cbCapacity) {
            FlushChannel(pPDev);
            // After a failed spooler write the rest would only be dropped.
            if (pPDev->flPdev & PDEVF_ABORT) break;
        }
    }
    return TRUE;
}

BOOL FlushChannel(PDEV* pPDev)
{
    ULONG cbLeft = pPDev->cbSendUsed < SEND_BUFFER_SIZE ? pPDev->cbSendUsed : SEND_BUFFER_SIZE;
    BYTE* pPos = pPDev->abSendBuf;
    while (cbLeft > 0 && !(pPDev->flPdev & PDEVF_ABORT)) {
        DWORD cbWritten = 0;
        if (!EngWritePrinter(pPDev->hPrinter, pPos, cbLeft, &cbWritten)) pPDev->flPdev |= PDEVF_ABORT;
        // A spooler that claims success but takes nothing would keep this loop
        // going for ever: count it as a failed write.
        if (cbWritten == 0) pPDev->flPdev |= PDEVF_ABORT;
        if (cbWritten > cbLeft) cbWritten = cbLeft;
        pPos += cbWritten;
        cbLeft -= cbWritten;
    }
    pPDev->cbSendUsed = 0;
    pPDev->pSendPos = pPDev->abSendBuf;
    return TRUE;
}

BOOL WriteStringV(PDEV* pPDev, PCSTR pszTemplate, std::span<const VSARG> args)
{
    char work[WRITESTRING_BUFFER_SIZE];
    VSPRINTF(work, sizeof(work), pszTemplate, args);
    return WriteChannel(pPDev, work, static_cast<ULONG>(std::strlen(work)));
}
