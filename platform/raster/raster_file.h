// Reading page files with read(2): a file that shrinks while it is read gives a
// short result rather than a fault, and a file that grows is noticed.
#pragma once

#include <cstdint>
#include <string>

#include "raster/raster.h"

namespace platform {

// Larger page files are refused.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 31;

// An open page file, read in steps (pipes and FIFOs included: nothing is read twice).
class PageFile {
public:
    PageFile() = default;
    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    // False and the system's reason when it cannot be opened or is a directory.
    bool Open(const std::string& path, std::string& why);
    // The size fstat gives (0 for pipes).
    std::uint64_t Size() const { return size_; }
    // Reads on until `bytes` holds `upTo` bytes (never more) or the file ends.
    bool ReadTo(PixelBytes& bytes, std::size_t upTo, std::string& why);
    // Whether the last ReadTo stopped at the end of the file.
    bool AtEnd() const { return atEnd_; }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    bool atEnd_ = false;
};

// The file's bytes in `bytes` (resized to the length read, up to kMaxFileBytes);
// false and the system's reason when it cannot be read.
bool ReadFileBytes(const std::string& path, PixelBytes& bytes, std::string& why);

}  // namespace platform
