// Character classes of the description file reader.
#include "reader.h"

namespace {

constexpr BYTE ClassOf(int c)
{
    if (c == 0x09 || c == 0x20) return CC_BLANK | CC_XLATION | CC_VALUE;
    if (c == 0x0A || c == 0x0D) return CC_NEWLINE | CC_VALUE;
    if (c == ':') return CC_VALUE;
    if (c == '/') return CC_KEYWORD | CC_XLATION | CC_VALUE;
    if (c >= '0' && c <= '9') return CC_DIGIT | CC_KEYWORD | CC_OPTION | CC_XLATION | CC_VALUE;
    if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) return CC_HEXALPHA | CC_KEYWORD | CC_OPTION | CC_XLATION | CC_VALUE;
    if (c >= 0x21 && c <= 0x7E) return CC_KEYWORD | CC_OPTION | CC_XLATION | CC_VALUE;
    return 0;
}

struct CharTable {
    BYTE a[256];
    constexpr CharTable() : a{}
    {
        for (int c = 0; c < 256; ++c) a[c] = ClassOf(c);
    }
};

constexpr CharTable kTable;
static_assert(ClassOf('\t') == 0x19 && ClassOf('\n') == 0x21 && ClassOf(':') == 0x01 && ClassOf('/') == 0x0B &&
              ClassOf('5') == 0x8F && ClassOf('f') == 0x4F && ClassOf('G') == 0x0F && ClassOf(0x7F) == 0 &&
              ClassOf(0xE9) == 0);

}  // namespace

const BYTE charTable[256] = {
#define R(i) kTable.a[i], kTable.a[i + 1], kTable.a[i + 2], kTable.a[i + 3], kTable.a[i + 4], kTable.a[i + 5], \
             kTable.a[i + 6], kTable.a[i + 7]
    R(0),   R(8),   R(16),  R(24),  R(32),  R(40),  R(48),  R(56),  R(64),  R(72),  R(80),
    R(88),  R(96),  R(104), R(112), R(120), R(128), R(136), R(144), R(152), R(160), R(168),
    R(176), R(184), R(192), R(200), R(208), R(216), R(224), R(232), R(240), R(248),
#undef R
};

int HexValue(int c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}
