// Choice of the row kernels by processor support.
#include "kernels.h"

#include <atomic>

namespace planes {
namespace {

const RowKernels* Detect()
{
    return KernelPathSupported(KernelPath::Avx2) ? &kAvx2Kernels : &kBaselineKernels;
}

std::atomic<const RowKernels*>& Active()
{
    static std::atomic<const RowKernels*> p{Detect()};
    return p;
}

}  // namespace

const RowKernels kBaselineKernels = {sse2::DitherMono, sse2::DitherColour, sse2::DitherLevels,
                                     sse2::ValuesMono, sse2::ValuesColour, sse2::DiffusedSpan};
const RowKernels kAvx2Kernels = {avx2::DitherMono, avx2::DitherColour, avx2::DitherLevels,
                                 avx2::ValuesMono, avx2::ValuesColour, avx2::DiffusedSpan};

bool KernelPathSupported(KernelPath path)
{
    if (path == KernelPath::Baseline) return true;
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

const RowKernels& Kernels() { return *Active().load(std::memory_order_relaxed); }

KernelPath ActiveKernelPath() { return &Kernels() == &kAvx2Kernels ? KernelPath::Avx2 : KernelPath::Baseline; }

bool SelectKernelPath(KernelPath path)
{
    if (!KernelPathSupported(path)) return false;
    Active().store(path == KernelPath::Avx2 ? &kAvx2Kernels : &kBaselineKernels, std::memory_order_relaxed);
    return true;
}

}  // namespace planes
