// Run-length encoders: the worked examples byte for byte, the edge cases, the
// early stop, and random planes against the plain encoder and a decoder.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/memory.h"
#include "compress.h"
#include "render/planes/planes_fixture.h"
#include "render/planes/planes_reference.h"

namespace planes_test {
namespace {

using Bytes = std::vector<BYTE>;

Bytes Repeat(const Bytes& line, int times)
{
    Bytes out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), line.begin(), line.end());
    return out;
}

Bytes Seq(int from, int count)
{
    Bytes out;
    for (int i = 0; i < count; ++i) out.push_back(BYTE(from + i));
    return out;
}

struct Example {
    const char* name;
    Bytes plane;
    DWORD cbLine;
    Bytes compress;   // full encoding by Compress
    Bytes compress2;  // full encoding by Compress2
};

std::vector<Example> WorkedExamples()
{
    std::vector<Example> ex;
    ex.push_back({"literal then repeat", {1, 2, 3, 4, 4, 4, 4, 4}, 8, {0x02, 1, 2, 3, 0xFC, 4}, {0x02, 1, 2, 3, 0xFC, 4}});
    ex.push_back({"all equal", Bytes(8, 0xAA), 8, {0xF9, 0xAA}, {0xF9, 0xAA}});
    ex.push_back({"alternating", {0, 0xFF, 0, 0xFF}, 4, {2, 0, 0xFF, 0, 0, 0xFF}, {2, 0, 0xFF, 0, 0, 0xFF}});
    ex.push_back({"two bytes", {1, 2}, 2, {0, 1, 0, 2}, {0, 1, 0, 2}});
    ex.push_back({"200 equal", Bytes(200, 0x12), 200, {0x81, 0x12, 0xB9, 0x12}, {0x81, 0x12, 0xB9, 0x12}});
    Bytes c1{0x7F}, c2{0x7E};
    for (int i = 0; i <= 0x7F; ++i) c1.push_back(BYTE(i));
    for (int i = 0; i <= 0x7E; ++i) c2.push_back(BYTE(i));
    c1.insert(c1.end(), {0, 0x80, 0, 0x81});
    c2.insert(c2.end(), {0, 0x7F, 0, 0x80, 0, 0x81});
    ex.push_back({"130 ascending", Seq(0, 130), 130, c1, c2});
    ex.push_back({"two lines", {1, 2, 3, 4, 5, 5, 5, 5}, 4, {2, 1, 2, 3, 0, 4, 0xFD, 5}, {2, 1, 2, 3, 0, 4, 0xFD, 5}});
    Bytes three = Repeat(Bytes(8, 0xAA), 3);
    three.insert(three.end(), {1, 2, 3, 4, 4, 4, 4, 4});
    ex.push_back({"three repeated lines", three, 8, {0xF9, 0xAA, 0xF9, 0xAA, 0xF9, 0xAA, 2, 1, 2, 3, 0xFC, 4},
                  {0xF9, 0xAA, 0x7F, 2, 2, 1, 2, 3, 0xFC, 4}});
    ex.push_back({"300 lines", Repeat({0x10, 0x10, 0x10, 0x10}, 300), 4, Repeat({0xFD, 0x10}, 300),
                  {0xFD, 0x10, 0x7F, 0xFF, 0xFD, 0x10, 0x7F, 0x2B}});
    // Edge cases.
    ex.push_back({"one-byte line", {0x5A}, 1, {0, 0x5A}, {0, 0x5A}});
    ex.push_back({"129 equal", Bytes(129, 0x33), 129, {0x81, 0x33, 0, 0x33}, {0x81, 0x33, 0, 0x33}});
    Bytes e257 = Repeat({9, 9, 9, 9, 9, 9, 9, 9}, 257);
    ex.push_back({"257 equal lines", e257, 8, Repeat({0xF9, 9}, 257), {0xF9, 9, 0x7F, 0xFF, 0xF9, 9}});
    // After a literal of maximum length, the next byte is a run of its own.
    Bytes maxlit = Seq(0, 128);
    maxlit.insert(maxlit.end(), {0x80, 0x81, 0x81});
    Bytes mc{0x7F};
    for (int i = 0; i < 128; ++i) mc.push_back(BYTE(i));
    mc.insert(mc.end(), {0, 0x80, 0xFF, 0x81});
    ex.push_back({"literal of 128 then run", maxlit, 131, mc, {}});
    return ex;
}

DWORD Encode(bool bCompress2, TestDevice& dev, Bytes& plane, DWORD cbLine)
{
    const DWORD cLines = DWORD(plane.size() / cbLine);
    return bCompress2 ? Compress2(dev.get(), plane.data(), cbLine, cLines) : Compress(dev.get(), plane.data(), cbLine, cLines);
}

TEST(Compress, WorkedExamplesByteForByte)
{
    TestDevice dev;
    for (const Example& ex : WorkedExamples()) {
        for (bool c2 : {false, true}) {
            const Bytes& expect = c2 ? ex.compress2 : ex.compress;
            const DWORD cLines = DWORD(ex.plane.size() / ex.cbLine);
            if (expect.empty()) continue;
            SCOPED_TRACE(std::string(ex.name) + (c2 ? " / Compress2" : " / Compress"));
            EXPECT_EQ(RefCompress(ex.plane, ex.cbLine, cLines, c2), expect);
            Bytes plane = ex.plane;
            const DWORD result = Encode(c2, dev, plane, ex.cbLine);
            if (expect.size() < ex.plane.size()) {
                ASSERT_EQ(result, expect.size());
                EXPECT_EQ(Bytes(plane.begin(), plane.begin() + result), expect);
            } else {
                EXPECT_GE(result, ex.plane.size());
                EXPECT_EQ(plane, ex.plane) << "an abandoned encoding leaves the plane alone";
            }
        }
    }
}

TEST(Compress, EarlyStopAndDegenerateBlocks)
{
    TestDevice dev;
    // The run that reaches the raw size stops the encoding: the first run of
    // 00 FF 00 FF is 4 bytes, as large as the line.
    Bytes alt{0, 0xFF, 0, 0xFF};
    EXPECT_EQ(Compress(dev.get(), alt.data(), 4, 1), 4u);
    // Repeated lines would end small, but their encodings add up past the raw
    // size: Compress2 gives up.
    Bytes rep = Repeat({1, 2, 3, 4}, 10), copy = rep;
    EXPECT_EQ(Compress2(dev.get(), rep.data(), 4, 10), 40u);
    EXPECT_EQ(rep, copy);
    // No lines, or no heap: 0, and the raw size.
    EXPECT_EQ(Compress(dev.get(), rep.data(), 4, 0), 0u);
    EXPECT_EQ(Compress2(dev.get(), rep.data(), 4, 0), 0u);
    Bytes flat(64, 0);
    platform::FailNthAllocation(1);
    EXPECT_EQ(Compress2(dev.get(), flat.data(), 8, 8), 64u);
    platform::FailNthAllocation(0);
    EXPECT_EQ(flat, Bytes(64, 0));
    // The work buffer goes back to the heap every time.
    const long before = platform::LivePoolBlocks(RENDER_HEAP_TAG);
    EXPECT_EQ(Compress(dev.get(), flat.data(), 8, 8), 16u);
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), before);
}

// A plane with the structures dither output has: runs, literals, repeated
// lines, maximal runs and literals; or plain noise.
Bytes RandomPlane(std::mt19937& rng, DWORD cbLine, DWORD cLines)
{
    Bytes plane;
    const int kind = rng() % 4;
    const unsigned repeatOdds = rng() % 2 ? 3 : 300;  // two lines in three repeat, or nearly all
    for (DWORD y = 0; y < cLines; ++y) {
        if (y > 0 && rng() % repeatOdds != 1) {
            plane.insert(plane.end(), plane.end() - cbLine, plane.end());
            continue;
        }
        DWORD x = 0;
        while (x < cbLine) {
            DWORD len = 1 + rng() % (rng() % 4 == 0 ? 200 : 6);
            len = std::min(len, cbLine - x);
            const BYTE v = BYTE(kind == 0 ? rng() % 3 : rng());
            const bool run = kind != 3 && rng() % 2;
            for (DWORD i = 0; i < len; ++i) plane.push_back(run ? v : BYTE(kind == 0 ? rng() % 3 : rng()));
            x += len;
        }
    }
    return plane;
}

TEST(Compress, RandomPlanesMatchPlainEncoderAndDecodeBack)
{
    std::mt19937 rng(1234);
    TestDevice dev;
    int compressed = 0, abandoned = 0;
    for (int iter = 0; iter < 2000; ++iter) {
        const DWORD cbLine = 1 + rng() % (iter % 10 == 0 ? 400 : 40);
        const DWORD cLines = 1 + rng() % (iter % 50 == 1 ? 600 : 20);
        const Bytes original = RandomPlane(rng, cbLine, cLines);
        for (bool c2 : {false, true}) {
            SCOPED_TRACE(testing::Message() << "iter " << iter << (c2 ? " Compress2" : " Compress"));
            Bytes plane = original;
            const DWORD result = Encode(c2, dev, plane, cbLine);
            const Bytes full = RefCompress(original, cbLine, cLines, c2);
            if (result < original.size()) {
                ++compressed;
                ASSERT_EQ(Bytes(plane.begin(), plane.begin() + result), full);
                Bytes decoded;
                ASSERT_TRUE(Decode(plane.data(), result, cbLine, c2, &decoded));
                ASSERT_EQ(decoded, original);
            } else {
                ++abandoned;
                ASSERT_EQ(plane, original);
                ASSERT_EQ(result, RefRunningTotal(original, cbLine, cLines, c2));
            }
        }
    }
    EXPECT_GT(compressed, 600);
    EXPECT_GT(abandoned, 600);
}

}  // namespace
}  // namespace planes_test
