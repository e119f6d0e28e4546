// a * b / c with a 64-bit intermediate, rounded half away from zero.
#include <climits>
#include <cstdlib>

#include "base/wintypes.h"

extern "C" {

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0) return -1;
    long long num = static_cast<long long>(nNumber) * nNumerator;
    long long den = nDenominator;
    bool negative = (num < 0) != (den < 0);
    unsigned long long n = static_cast<unsigned long long>(num < 0 ? -num : num);
    unsigned long long d = static_cast<unsigned long long>(den < 0 ? -den : den);
    unsigned long long q = (n + d / 2) / d;  // half away from zero on the magnitude
    if (q > static_cast<unsigned long long>(INT_MAX) + (negative ? 1 : 0)) return -1;
    return negative ? -static_cast<long long>(q) : static_cast<int>(q);
}

INT EngMulDiv(INT a, INT b, INT c) { return MulDiv(a, b, c); }

}
