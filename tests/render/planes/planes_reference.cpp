#include "render/planes/planes_reference.h"

#include "base/wintypes.h"
#include "halftone.h"

namespace planes_test {
namespace {

struct Separation {
    LONG v[4];  // ink per plane; plane 0 only from the black spot
};

Separation Separate(const PDEV* pdev, BYTE r, BYTE g, BYTE b, bool bMapped)
{
    auto map = [bMapped](LONG v) { return bMapped ? (v + 1) >> 2 : v; };
    Separation s{};
    if (pdev->cPlanes < 2) {
        s.v[0] = map(255 - ((2 * b + 5 * r + 9 * g) >> 4));
        return s;
    }
    const SPOTCOLOR* sp = pdev->pSpotColor;
    const COLORREF k = r | g << 8 | b << 16;
    LONG R = r, G = g, B = b;
    if (pdev->dm.dmPrivate.bFourColor == 1 && sp[0].bSpotColor) {
        s.v[0] = k == sp[0].crSpotColor ? 255 : 0;
        if (k == sp[0].crSpotColor) R = G = B = 255;
    }
    if (sp[1].bSpotColor) { G = 255; if (k == sp[1].crSpotColor) { G = 0; R = B = 255; } }
    if (sp[2].bSpotColor) { R = 255; if (k == sp[2].crSpotColor) { R = 0; G = B = 255; } }
    if (sp[3].bSpotColor) { B = 255; if (k == sp[3].crSpotColor) { B = 0; R = G = 255; } }
    s.v[1] = map(255 - G);
    s.v[2] = map(255 - R);
    s.v[3] = map(255 - B);
    return s;
}

struct Geometry {
    LONG w, h;
};

Geometry OutputSize(const Band& band, bool bLandscape) { return bLandscape ? Geometry{band.cy, band.cx} : Geometry{band.cx, band.cy}; }

// Output pixel (x, y) of the (possibly rotated) band.
Separation PixelAt(const PDEV* pdev, const Band& band, bool bLandscape, LONG x, LONG y, bool bMapped)
{
    const LONG sx = bLandscape ? y : x;
    const LONG sy = bLandscape ? band.cy - 1 - x : y;
    const BYTE* p = &band.bits[size_t(sy) * band.lDelta + size_t(sx) * 3];
    return Separate(pdev, p[2], p[1], p[0], bMapped);
}

bool Halftoned(const PDEV* pdev, int plane)
{
    if (pdev->cPlanes < 2) return plane == 0;
    return plane != 0 || pdev->pSpotColor[0].bSpotColor;
}

void SetBit(Planes& planes, int plane, LONG w, LONG x, LONG y)
{
    planes[plane][size_t(y) * ((w + 7) >> 3) + x / 8] |= BYTE(0x80 >> (x % 8));
}

void BlackGeneration(const PDEV* pdev, Planes& planes)
{
    if (pdev->cPlanes != 4 || pdev->dm.dmPrivate.bFourColor != 1 || pdev->pSpotColor[0].bSpotColor) return;
    for (size_t i = 0; i < planes[0].size(); ++i) {
        const BYTE k = planes[1][i] & planes[2][i] & planes[3][i];
        planes[0][i] = k;
        for (int p = 1; p < 4; ++p) planes[p][i] &= BYTE(~k);
    }
}

// Full encoding of one line (p walks from 1 to n), appended to *pOut; the
// size of each run goes to *pRuns.
void RefEncodeLine(const BYTE* L, DWORD n, int maxLit, std::vector<BYTE>* pOut, std::vector<size_t>* pRuns)
{
    auto emit = [&](bool lit, DWORD s, int k) {
        pOut->push_back(BYTE(k));
        if (lit) pOut->insert(pOut->end(), L + s, L + s + k + 1);
        else pOut->push_back(L[s]);
        pRuns->push_back(lit ? size_t(k) + 2 : 2);
    };
    DWORD s = 0;
    int k = 0;
    bool lit = n >= 2 && L[1] != L[0];
    for (DWORD p = 1; p <= n; ++p) {
        const DWORD r = n - p;
        if (lit) {
            if (k < maxLit - 1 && r > 1 && L[p + 1] != L[p]) { ++k; continue; }
            emit(true, s, k);
            s = p; k = 0; lit = false;
        } else {
            if (k > -127 && r > 0 && L[p] == L[s]) { --k; continue; }
            emit(false, s, k);
            s = p; k = 0; lit = r > 1 && L[p + 1] != L[p];
        }
    }
}

std::vector<BYTE> LineEncoding(const std::vector<BYTE>& plane, DWORD cbLine, DWORD i, bool bCompress2, std::vector<size_t>* pRuns)
{
    std::vector<BYTE> enc;
    RefEncodeLine(plane.data() + size_t(i) * cbLine, cbLine, bCompress2 ? 127 : 128, &enc, pRuns);
    return enc;
}

}  // namespace

Planes RefDither(const PDEV* pdev, const Band& band, bool bLandscape)
{
    const auto [w, h] = OutputSize(band, bLandscape);
    Planes planes(4, std::vector<BYTE>(size_t((w + 7) >> 3) * h, 0));
    const bool model10 = pdev->dm.dmPrivate.dwModel == 10;
    const bool ht0 = pdev->dm.dmPrivate.iHalftone == 0;
    const LONG(*M)[8] = model10 ? (ht0 ? Dither2 : Dither1) : (ht0 ? Dither1 : Dither2);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const Separation s = PixelAt(pdev, band, bLandscape, x, y, true);
            const LONG t = (model10 && ht0) ? M[(y / 2) % 8][(x / 2) % 8] : M[y % 8][x % 8];
            for (int p = 0; p < 4; ++p)
                if (Halftoned(pdev, p) && t < s.v[p]) SetBit(planes, p, w, x, y);
        }
    BlackGeneration(pdev, planes);
    return planes;
}

Planes RefFloydSteinberg(const PDEV* pdev, const Band& band, bool bLandscape)
{
    const auto [w, h] = OutputSize(band, bLandscape);
    Planes planes(4, std::vector<BYTE>(size_t((w + 7) >> 3) * h, 0));
    for (int p = 0; p < 4; ++p) {
        if (!Halftoned(pdev, p)) continue;
        std::vector<LONG> cur(w, 0), next(w, 0), row(w);
        for (LONG y = 0; y < h; ++y) {
            for (LONG x = 0; x < w; ++x) row[x] = PixelAt(pdev, band, bLandscape, x, y, false).v[p];
            std::fill(next.begin(), next.end(), 0);
            const int dir = (y % 2 == 0) ? -1 : 1;
            for (LONG i = 0; i < w; ++i) {
                const LONG x = dir < 0 ? w - 1 - i : i;
                row[x] += cur[x];
                const LONG e = row[x] > 127 ? row[x] - 255 : row[x];
                const LONG nx = x + dir, px = x - dir;
                if (nx >= 0 && nx < w) {
                    row[nx] += EngMulDiv(e, 7, 16);
                    next[nx] += EngMulDiv(e, 1, 16);
                }
                if (px >= 0 && px < w) next[px] += EngMulDiv(e, 3, 16);
                next[x] += EngMulDiv(e, 5, 16);
            }
            for (LONG x = 0; x < w; ++x)
                if (row[x] > 127) SetBit(planes, p, w, x, y);
            std::swap(cur, next);
        }
    }
    BlackGeneration(pdev, planes);
    return planes;
}

std::vector<BYTE> RefCompress(const std::vector<BYTE>& plane, DWORD cbLine, DWORD cLines, bool bCompress2)
{
    std::vector<BYTE> out, kept;
    int repeats = 0;
    for (DWORD i = 0; i < cLines; ++i) {
        std::vector<size_t> runs;
        const std::vector<BYTE> enc = LineEncoding(plane, cbLine, i, bCompress2, &runs);
        if (!bCompress2) { out.insert(out.end(), enc.begin(), enc.end()); continue; }
        if (i > 0 && enc == kept && repeats < 255) { ++repeats; continue; }
        if (repeats) { out.push_back(0x7F); out.push_back(BYTE(repeats)); repeats = 0; }
        out.insert(out.end(), enc.begin(), enc.end());
        kept = enc;
    }
    if (repeats) { out.push_back(0x7F); out.push_back(BYTE(repeats)); }
    return out;
}

std::uint64_t RefRunningTotal(const std::vector<BYTE>& plane, DWORD cbLine, DWORD cLines, bool bCompress2)
{
    const std::uint64_t raw = std::uint64_t(cbLine) * cLines;
    std::uint64_t total = 0;
    for (DWORD i = 0; i < cLines; ++i) {
        std::vector<size_t> runs;
        LineEncoding(plane, cbLine, i, bCompress2, &runs);
        for (size_t run : runs) {
            total += run;
            if (total >= raw) return total;
        }
    }
    return total;
}

bool Decode(const BYTE* p, size_t cb, DWORD cbLine, bool bCompress2, std::vector<BYTE>* pOut)
{
    std::vector<BYTE>& out = *pOut;
    out.clear();
    size_t i = 0;
    std::vector<BYTE> line;
    while (i < cb) {
        const BYTE n = p[i++];
        if (bCompress2 && n == 0x7F) {
            if (i >= cb || p[i] == 0 || out.size() < cbLine || !line.empty()) return false;
            const std::vector<BYTE> last(out.end() - cbLine, out.end());
            for (int c = p[i++]; c > 0; --c) out.insert(out.end(), last.begin(), last.end());
            continue;
        }
        if (n == 0x80) return false;
        if (n < 0x80) {
            if (i + n + 1 > cb) return false;
            line.insert(line.end(), p + i, p + i + n + 1);
            i += n + 1;
        } else {
            if (i >= cb) return false;
            line.insert(line.end(), size_t(257 - n), p[i++]);
        }
        if (line.size() > cbLine) return false;
        if (line.size() == cbLine) {
            out.insert(out.end(), line.begin(), line.end());
            line.clear();
        }
    }
    return line.empty();
}

}  // namespace planes_test
