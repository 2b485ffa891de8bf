// The module's cost per pass of its loop in the worlds that matter: native
// calls (in total and by native) and time, module and stand-in together; and
// what one native call costs in the stand-in host, watched and not.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/worlds.h"
#include "host/natives.h"
#include "standin/host.h"

namespace {

struct Case {
    bench::World world;
    int peds;
};

const std::vector<Case> cases = {
    {bench::World::NoCamp, 0},  {bench::World::Camp, 64},           {bench::World::Camp, 256},
    {bench::World::Camp, 1024}, {bench::World::RidingInCamp, 1024}, {bench::World::FollowingOutsideCamp, 64},
};

void framePass(benchmark::State& state, Case c) {
    bench::prepare(c.world, c.peds);
    standin::Host& host = standin::Host::get();
    const std::uint64_t before = host.nativeCallCount();
    for (auto _ : state) {
        bench::runOnePass();
    }
    const double passes = static_cast<double>(state.iterations());
    state.counters["natives/pass"] = static_cast<double>(host.nativeCallCount() - before) / passes;
    bench::finish();
}

// Native calls counted by label.
class CallCounter final : public standin::HostObserver {
  public:
    explicit CallCounter(std::map<std::string, int>& byLabel) : byLabel_(byLabel) {}
    void afterNative(const standin::NativeInfo& info, const std::uint64_t*, const std::uint64_t*) override {
        ++byLabel_[info.label];
    }

  private:
    std::map<std::string, int>& byLabel_;
};

// An observer that takes every hook and does next to nothing with it.
class Tally final : public standin::HostObserver {
  public:
    void beforeNative(const standin::NativeInfo&, const std::uint64_t*) override { ++before; }
    void afterNative(const standin::NativeInfo&, const std::uint64_t*, const std::uint64_t*) override {
        ++after;
    }
    std::uint64_t before = 0, after = 0;
};

// One cheap native (one slot in, one out, no world to look at) through the
// host's protocol, nativeInit, nativePush64 and nativeCall, as the module
// makes it: the host's own cost per call (the Time column), without an
// observer and with one.
void oneNativeCall(benchmark::State& state, bool observed) {
    standin::Host& host = standin::Host::get();
    host.reset();
    host.setRecording(false);
    Tally tally;
    if (observed)
        host.setObserver(&tally);
    std::int32_t entity = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(promptGroupForEntity(entity));
        ++entity;
    }
    host.reset();
}

// One steady pass in each world, native calls counted by label.
void printCallTable() {
    std::vector<std::map<std::string, int>> counts;
    std::map<std::string, int> order;
    for (const Case& c : cases) {
        bench::prepare(c.world, c.peds);
        std::map<std::string, int> byLabel;
        CallCounter counter(byLabel);
        standin::Host::get().setObserver(&counter);
        bench::runOnePass();
        standin::Host::get().setObserver(nullptr);
        bench::finish();
        for (const auto& [label, n] : byLabel)
            order[label] += n;
        counts.push_back(byLabel);
    }
    std::printf("\nNative calls in one steady pass, by native\n%-34s", "native");
    for (std::size_t i = 0; i < cases.size(); ++i)
        std::printf(" %8s", ("w" + std::to_string(i + 1)).c_str());
    std::printf("\n");
    std::vector<int> totals(cases.size(), 0);
    for (const auto& [label, all] : order) {
        std::printf("%-34s", label.c_str());
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const auto it = counts[i].find(label);
            const int n = it == counts[i].end() ? 0 : it->second;
            totals[i] += n;
            std::printf(" %8d", n);
        }
        std::printf("\n");
    }
    std::printf("%-34s", "total");
    for (int t : totals)
        std::printf(" %8d", t);
    std::printf("\n");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::printf("  w%zu: %s\n", i + 1, bench::worldName(cases[i].world, cases[i].peds).c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark(("pass/" + bench::worldName(c.world, c.peds)).c_str(), framePass, c)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("native call/unobserved", oneNativeCall, false)
        ->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("native call/observed", oneNativeCall, true)->Unit(benchmark::kNanosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printCallTable();
    return 0;
}
