// Plain, slow versions of the halftoners and encoders written straight from
// the printer's rules, and a decoder of the run-length wire format. The tests
// hold the driver's optimised code bit-exact against them.
#pragma once

#include <cstdint>
#include <vector>

#include "pdev.h"
#include "render/planes/planes_fixture.h"

namespace planes_test {

using Planes = std::vector<std::vector<BYTE>>;  // four planes, ((w + 7) >> 3) x h bytes each

Planes RefDither(const PDEV* pdev, const Band& band, bool bLandscape);
Planes RefFloydSteinberg(const PDEV* pdev, const Band& band, bool bLandscape);

// One encoded block by walking p over each line exactly as the rules say;
// no early stop (the full encoding).
std::vector<BYTE> RefCompress(const std::vector<BYTE>& plane, DWORD cbLine, DWORD cLines, bool bCompress2);
// Bytes counted when the encoding is abandoned at the raw size (or the full
// count), as the driver's running total would be.
std::uint64_t RefRunningTotal(const std::vector<BYTE>& plane, DWORD cbLine, DWORD cLines, bool bCompress2);

// Decodes a block; false on a malformed block (run past a line, 0x80, a
// repeat marker without a line before it).
bool Decode(const BYTE* p, size_t cb, DWORD cbLine, bool bCompress2, std::vector<BYTE>* pOut);

}  // namespace planes_test
