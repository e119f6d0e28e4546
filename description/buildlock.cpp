// The process-wide lock that serialises description builds (the keyword
// table's seen marks are shared by every build of the process).
#include <mutex>

#include "ppdobj.h"

namespace {

std::recursive_mutex& BuildMutex()
{
    static std::recursive_mutex m;
    return m;
}

}  // namespace

void PpdEnterBuildLock()
{
    BuildMutex().lock();
}

void PpdLeaveBuildLock()
{
    BuildMutex().unlock();
}
