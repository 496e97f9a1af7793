// CPU cost of what the question view's engine does on its own while a student sits: the
// renderer guard's watch of what the program holds, from a thread of its own, armed as the
// guard arms it once a document is shown. Prints "name value" lines: the CPU of the whole
// process a minute while the watch alone runs (its thread's wake-ups included), in
// milliseconds, and the cost of one look, in microseconds (the median of many).
#include "engine/GrowthWatch.h"
#include "engine/RendererGuard.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <time.h>
#include <vector>

namespace
{

double cpuMicroseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

} // namespace

int main()
{
    constexpr int kLooks = 20000;
    std::vector<double> samples;
    samples.reserve(kLooks);
    qint64 held = 0;
    for (int i = 0; i < kLooks; ++i) {
        const double t0 = cpuMicroseconds(CLOCK_THREAD_CPUTIME_ID);
        held = std::max(held, RendererGuard::residentBytes());
        samples.push_back(cpuMicroseconds(CLOCK_THREAD_CPUTIME_ID) - t0);
    }
    if (held <= 0) {
        std::fprintf(stderr, "bench_engine: the guard cannot read what the process holds\n");
        return 1;
    }
    std::sort(samples.begin(), samples.end());

    constexpr int kWatchSeconds = 6;
    GrowthWatch watch([] {});
    watch.arm(RendererGuard::residentBytes() + RendererGuard::MaxGrowth);
    const double t0 = cpuMicroseconds(CLOCK_PROCESS_CPUTIME_ID);
    std::this_thread::sleep_for(std::chrono::seconds(kWatchSeconds));
    const double watched = cpuMicroseconds(CLOCK_PROCESS_CPUTIME_ID) - t0;

    std::printf("guard_ms_per_min %.3f\n", watched / 1000.0 * 60.0 / kWatchSeconds);
    std::printf("guard_check_us %.3f\n", samples[samples.size() / 2]);
    return 0;
}
