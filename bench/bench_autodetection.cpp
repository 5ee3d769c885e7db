// The autodetection's processing of one full run on synthetic traces (one long and one short
// sweep of 501 steps as the worker reports them, then differences, grading filter 5, amplifier
// correction, block thresholds), and the step handler's share of it (one step, worker thread).

#include "plot/AutodetectionTraces.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using T = AutodetectionTraces;

struct Blocks {
    explicit Blocks(int n)
        : avg(size_t(n))
        , max(size_t(n))
    {
        std::mt19937 random(11);
        std::uniform_int_distribution<quint32> noise(5200, 6400);
        for (size_t i = 0; i < avg.size(); ++i) {
            avg[i] = 0x00120000u | noise(random);
            max[i] = 0x00120000u | (noise(random) + 800);
        }
    }
    std::vector<quint32> avg;
    std::vector<quint32> max;
};

void BM_AutodetectionRun(benchmark::State& state)
{
    const Blocks blocks(int(state.range(0)));
    const int thresholds[T::BLOCK_COUNT] = { 20, 20, 20, 20 };
    T traces;
    for (auto _ : state) {
        traces.clear();
        for (T::Phase phase : { T::PHASE_HIGH, T::PHASE_LOW }) {
            for (int i = 0; i < T::SLOT_COUNT; ++i) {
                double average = 0;
                double peak = 0;
                T::reduceStep(blocks.avg.data(), blocks.max.data(), quint16(blocks.avg.size()), &average, &peak);
                traces.addStep(phase, average, peak + (i % 37));
            }
            traces.finishPhase(phase, 1);
        }
        traces.computeDifferences();
        traces.applyGradingFilter(5);
        traces.applyAmplifierCorrection(true, 3);
        benchmark::DoNotOptimize(traces.findResults(thresholds));
    }
}
BENCHMARK(BM_AutodetectionRun)->Arg(25)->Arg(500)->Unit(benchmark::kMicrosecond);

void BM_AutodetectionStep(benchmark::State& state)
{
    const Blocks blocks(int(state.range(0)));
    T traces;
    for (auto _ : state) {
        double average = 0;
        double peak = 0;
        T::reduceStep(blocks.avg.data(), blocks.max.data(), quint16(blocks.avg.size()), &average, &peak);
        benchmark::DoNotOptimize(traces.addStep(T::PHASE_HIGH, average, peak));
    }
}
BENCHMARK(BM_AutodetectionStep)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
