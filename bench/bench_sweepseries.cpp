// Costs on the acquisition thread's per-step path (linearisation, adding a sweep point) and at
// start-up (reading and writing the boot environment image).
#include "plot/OverridingPlotData.h"
#include "util/BootEnvironment.h"
#include "util/ConversionHelper.h"

#include <benchmark/benchmark.h>

#include <QMap>

static void BM_LinearizeValue(benchmark::State& state)
{
    int raw = 3900;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConversionHelper::linearizeValue(raw));
        raw = raw < 5200 ? raw + 1 : 3900;
    }
}
BENCHMARK(BM_LinearizeValue);

// One full sweep of the spectrum's 501 slots.
static void BM_SweepOf501Slots(benchmark::State& state)
{
    OverridingPlotData data(501);
    for (auto _ : state) {
        for (int i = 0; i < 501; ++i)
            benchmark::DoNotOptimize(data.addSample(150.0, 1000.0, -60.0 + i * 0.01));
    }
    state.SetItemsProcessed(state.iterations() * 501);
}
BENCHMARK(BM_SweepOf501Slots);

// A marker lookup scans the slots from the start.
static void BM_SampleAtFrequency(benchmark::State& state)
{
    OverridingPlotData data(501);
    for (int i = 0; i < 501; ++i)
        data.addSample(150.0, 1000.0, double(i));
    int frequency = 150;
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.getSampleAtFrequency(frequency));
        frequency = frequency < 1000 ? frequency + 7 : 150;
    }
}
BENCHMARK(BM_SampleAtFrequency);

static QMap<QString, QString> typicalEnvironment()
{
    QMap<QString, QString> variables;
    for (int i = 0; i < 40; ++i)
        variables.insert(QStringLiteral("variable%1").arg(i), QStringLiteral("some boot loader value %1").arg(i));
    return variables;
}

static void BM_BuildEnvironmentImage(benchmark::State& state)
{
    const QMap<QString, QString> variables = typicalEnvironment();
    QByteArray image;
    for (auto _ : state)
        benchmark::DoNotOptimize(BootEnvironment::buildImage(variables, &image));
}
BENCHMARK(BM_BuildEnvironmentImage)->Unit(benchmark::kMicrosecond);

static void BM_ParseEnvironmentImage(benchmark::State& state)
{
    QByteArray image;
    BootEnvironment::buildImage(typicalEnvironment(), &image);
    QMap<QString, QString> variables;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            BootEnvironment::parseImage(reinterpret_cast<const uchar*>(image.constData()), &variables));
}
BENCHMARK(BM_ParseEnvironmentImage)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
