#include "hugepages.h"

#include <cstdint>
#include <sys/mman.h>

namespace loopwren {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// Below this a buffer holds at most a couple of huge pages and the advice is not worth a system call.
constexpr std::size_t kMinimumBytes = 8 * kHugePage;

} // namespace

void adviseHugePages(const void* data, std::size_t bytes)
{
    if (data == nullptr || bytes < kMinimumBytes)
        return;
    const auto start = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePage - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start,
                  MADV_HUGEPAGE); // a refused hint changes nothing
}

} // namespace loopwren
