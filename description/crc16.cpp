// CRC-16 of the description file: polynomial 0x1021, most significant bit
// first, start value 0, no final inversion (the XMODEM variant).
#include "reader.h"

namespace {

struct Table {
    WORD a[256];
    constexpr Table() : a{}
    {
        for (int i = 0; i < 256; ++i) {
            WORD crc = static_cast<WORD>(i << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = static_cast<WORD>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : (crc << 1));
            a[i] = crc;
        }
    }
};

constexpr Table kCrc;
static_assert(kCrc.a[1] == 0x1021 && kCrc.a[255] == 0x1EF0);

}  // namespace

const WORD Crc16Table[256] = {
#define R(i) kCrc.a[i], kCrc.a[i + 1], kCrc.a[i + 2], kCrc.a[i + 3], kCrc.a[i + 4], kCrc.a[i + 5], kCrc.a[i + 6], \
             kCrc.a[i + 7]
    R(0),   R(8),   R(16),  R(24),  R(32),  R(40),  R(48),  R(56),  R(64),  R(72),  R(80),
    R(88),  R(96),  R(104), R(112), R(120), R(128), R(136), R(144), R(152), R(160), R(168),
    R(176), R(184), R(192), R(200), R(208), R(216), R(224), R(232), R(240), R(248),
#undef R
};

WORD Crc16(const BYTE* p, std::size_t cb, WORD crc)
{
    for (std::size_t i = 0; i < cb; ++i) crc = Crc16Update(crc, p[i]);
    return crc;
}
