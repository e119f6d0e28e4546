// Pixel storage: small blocks from the heap, large ones mapped whole on huge-page
// boundaries and marked for huge pages.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "raster/raster.h"

namespace platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;
// From this size on a block is mapped on its own.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

void* PixelAllocatorBase::Allocate(std::size_t cb)
{
    if (cb < kMappedFrom) {
        void* p = std::malloc(cb ? cb : 1);
        if (!p) throw std::bad_alloc();
        return p;
    }
    if (cb > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
    // Aligned to a huge page; its whole huge pages are backed by huge pages and the
    // tail by small ones, so no more than the block is ever zeroed by the kernel.
    const std::size_t len = RoundUp(cb, kSmallPage);
    void* raw = ::mmap(nullptr, len + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    // Keep the aligned middle; give back the head and the tail.
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(start, kHugePage);
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::uintptr_t end = start + len + kHugePage;
    if (end > aligned + len) ::munmap(reinterpret_cast<void*>(aligned + len), end - (aligned + len));
    ::madvise(reinterpret_cast<void*>(aligned), len, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void PixelAllocatorBase::Free(void* p, std::size_t cb) noexcept
{
    if (!p) return;
    if (cb < kMappedFrom)
        std::free(p);
    else
        ::munmap(p, RoundUp(cb, kSmallPage));
}

}  // namespace platform
