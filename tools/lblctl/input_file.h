// Reading an input file whole, up to a limit stated per kind of input, so that a
// huge file or an endless one (/dev/zero) is refused instead of filling memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lblctl {

// Limits of the files lblctl reads whole.
constexpr std::size_t kMaxLabelsFile = 1u << 20;      // a label database as JSON
constexpr std::size_t kMaxStreamFile = 256u << 20;    // a printer stream (--raw, inspect)
constexpr std::size_t kMaxValueFile = 1u << 20;       // a printer data value or a device mode

// The bytes of `path` ("-" reads standard input); a Failure naming the file when it
// cannot be read or holds more than `limit` bytes (`what` says what it should hold).
std::vector<std::uint8_t> ReadInputFile(const std::string& path, std::size_t limit, const std::string& what);

}  // namespace lblctl
