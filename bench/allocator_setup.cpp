// The benchmarks run with the allocator set as the programs set it (freed memory kept for the next
// solve), so a benchmark's repeated solves cost what repeated solves in a window or a batch cost.
// VALVENIX_BENCH_FRESH_MEMORY=1 leaves the allocator as it is: each solve then takes fresh pages,
// as the first solve of a process does.
#include "util/allocator.h"

#include <cstdlib>
#include <string_view>

namespace {
const bool configured = [] {
    const char* fresh = std::getenv("VALVENIX_BENCH_FRESH_MEMORY");
    if (!fresh || std::string_view(fresh) != "1")
        keepFreedMemoryForReuse();
    return true;
}();
} // namespace
