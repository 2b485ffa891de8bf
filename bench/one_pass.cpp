// One steady module pass in a crowded camp, for counting instructions with
// callgrind: `measuredPass` is the only function whose cost is collected.
#include <cstdio>
#include <cstdlib>

#include "bench/worlds.h"
#include "standin/host.h"

extern "C" __attribute__((noinline)) void measuredPass() { bench::runOnePass(); }

int main(int argc, char** argv) {
    const int peds = argc > 1 ? std::atoi(argv[1]) : 1024;
    bench::prepare(bench::World::Camp, peds);
    standin::Host& host = standin::Host::get();
    const std::uint64_t before = host.nativeCallCount();
    measuredPass();
    std::printf("native calls in the measured pass: %llu\n",
                static_cast<unsigned long long>(host.nativeCallCount() - before));
    bench::finish();
    return 0;
}
