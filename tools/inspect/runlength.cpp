// Run-length blocks of both formats, decoded line by line into plane rows.
//
// A run header n (signed byte): 0..127 a literal of n + 1 bytes, -1..-127 one byte
// repeated 1 - n times; no run crosses a line end. In "A," blocks 0x7F is no literal:
// 0x7F c repeats the previous line c more times.
#include <string>

#include "inspect/decoder.h"

namespace lblinspect::detail {

bool ClearPadding(std::uint8_t* line, std::uint32_t width)
{
    const unsigned used = width % 8;
    if (used == 0) return false;
    std::uint8_t& last = line[(static_cast<std::size_t>(width) + 7) / 8 - 1];
    const std::uint8_t keep = static_cast<std::uint8_t>(0xFF00u >> used);
    const bool dirty = (last & ~keep) != 0;
    last &= keep;
    return dirty;
}

RunLengthOutcome DecodeRunLength(Bytes block, std::size_t blockOffset, RunFormat format,
                                 std::uint32_t width, std::uint32_t maxLines,
                                 std::vector<std::uint8_t>& out)
{
    RunLengthOutcome r;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
    const std::size_t base = out.size();
    auto fail = [&](std::size_t at, std::string message) {
        r.error = Error{blockOffset + at, std::move(message)};
        out.resize(base + r.lines * rowBytes);
        return r;
    };
    if (rowBytes == 0) return fail(0, "compressed block for a plane of width 0");

    std::size_t i = 0;
    std::size_t filled = 0;  // bytes of the line being decoded
    while (i < block.size()) {
        const std::size_t at = i;
        const std::uint8_t header = block[i++];
        if (format == RunFormat::kLineRepeat && header == 0x7F) {
            if (filled != 0) return fail(at, "line-repeat marker inside a line");
            if (r.lines == 0) return fail(at, "line-repeat marker before any line");
            if (i >= block.size()) return fail(at, "line-repeat marker without its count");
            const std::uint32_t count = block[i++];
            if (count == 0) return fail(at, "line-repeat count of 0");
            if (count > maxLines - r.lines)
                return fail(at, "line-repeat marker goes past the plane's height");
            const std::vector<std::uint8_t> previous(out.end() - static_cast<std::ptrdiff_t>(rowBytes),
                                                     out.end());
            for (std::uint32_t k = 0; k < count; ++k)
                out.insert(out.end(), previous.begin(), previous.end());
            r.lines += count;
            continue;
        }
        if (filled == 0 && r.lines >= maxLines)
            return fail(at, "compressed block goes past the plane's height");
        if (header == 0x80) return fail(at, "run header 0x80 is not used");
        if (header < 0x80) {
            const std::size_t count = header + 1u;
            if (filled + count > rowBytes)
                return fail(at, "literal run of " + std::to_string(count) +
                                    " bytes past the end of its line");
            if (count > block.size() - i)
                return fail(at, "literal run of " + std::to_string(count) +
                                    " bytes past the end of the block");
            out.insert(out.end(), block.begin() + static_cast<std::ptrdiff_t>(i),
                       block.begin() + static_cast<std::ptrdiff_t>(i + count));
            i += count;
            filled += count;
        } else {
            const std::size_t count = 257u - header;
            if (filled + count > rowBytes)
                return fail(at, "repeat run of " + std::to_string(count) +
                                    " bytes past the end of its line");
            if (i >= block.size()) return fail(at, "repeat run without its byte");
            out.insert(out.end(), count, block[i++]);
            filled += count;
        }
        if (filled == rowBytes) {
            if (ClearPadding(out.data() + out.size() - rowBytes, width)) ++r.paddedLines;
            ++r.lines;
            filled = 0;
        }
    }
    if (filled != 0) return fail(block.size(), "compressed block ends inside a line");
    return r;
}

}  // namespace lblinspect::detail
