// The cycles of a swing analysis shared between two threads, taken in index order.
#include "power/cycle_runner.h"

#include "power/power_analysis.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// Fewer cycles than this are not worth a thread.
constexpr int kCyclesPerThread = 4;

} // namespace

CycleRun runCycles(int count, const std::function<CycleFunction()>& makeWorker) {
    CycleRun run;
    if (count <= 0)
        return run;
    std::vector<CycleOutcome> outcomes(static_cast<std::size_t>(count));
    std::atomic<int> next{0};
    std::atomic<int> firstImpossible{count};
    const auto work = [&] {
        const CycleFunction cycle = makeWorker();
        for (;;) {
            const int k = next.fetch_add(1);
            // A cycle past an impossible one is never kept; those before it always are computed,
            // since the indexes are taken in order and the bound only falls.
            if (k >= count || k > firstImpossible.load())
                return;
            CycleOutcome& o = outcomes[static_cast<std::size_t>(k)];
            o = cycle(k);
            if (impossibleSums(o.cycle)) {
                int seen = firstImpossible.load();
                while (k < seen && !firstImpossible.compare_exchange_weak(seen, k)) {
                }
            }
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const int threads =
        std::min({2, static_cast<int>(cores), (count + kCyclesPerThread - 1) / kCyclesPerThread});
    if (threads > 1) {
        std::thread helper(work);
        work();
        helper.join();
    } else {
        work();
    }

    const int kept = firstImpossible.load();
    for (int k = 0; k <= std::min(kept, count - 1); ++k)
        run.converged = run.converged && outcomes[static_cast<std::size_t>(k)].converged;
    if (kept < count)
        run.cut = impossibleSums(outcomes[static_cast<std::size_t>(kept)].cycle);
    run.cycles.reserve(static_cast<std::size_t>(kept));
    for (int k = 0; k < kept; ++k)
        run.cycles.push_back(std::move(outcomes[static_cast<std::size_t>(k)].cycle));
    return run;
}
