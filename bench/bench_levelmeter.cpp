// The level meter's per-step handler (worker thread) at 500 and 2048 samples per step, for the
// LOG detector (linearisation, dBm) and the RMS detector (µV behind the linear amplifier's
// gain); goal at most 20 µs per step at 2048 samples. The strip chart wraps every 500 steps, as
// while measuring. The board root is a temporary folder below /dev/shm.

#include "dialogs/LevelMeterDialog.h"
#include "util/Configuration.h"
#include "util/Platform.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

void BM_LevelStep(benchmark::State& state)
{
    QTemporaryDir root(QStringLiteral("/dev/shm/corvane-bench-level-XXXXXX"));
    QDir(root.path()).mkpath(QStringLiteral("data"));
    Platform::setRoot(root.path());
    {
        LevelMeterDialog dialog(nullptr);
        dialog.setMeasureMode(Configuration::MeasMode(state.range(1)));
        dialog.setPreamplifier(true);
        dialog.setAmplitudeRange(-100, 400000);
        dialog.startDataWorker();

        std::vector<quint32> minValues(2048), avgValues(2048), maxValues(2048);
        std::mt19937 random(5);
        std::uniform_int_distribution<quint32> noise(4200, 9000);
        for (size_t i = 0; i < 2048; ++i) {
            // Block tags in the upper bits, as the FPGA leaves them.
            avgValues[i] = 0x00340000u | noise(random);
            maxValues[i] = 0x00340000u | (noise(random) + 500);
        }
        const quint16 n = quint16(state.range(0));
        for (auto _ : state) {
            bool repeat = false;
            dialog.onMeasurementFinished(501000, minValues.data(), avgValues.data(), maxValues.data(), n, &repeat);
        }
        state.counters["us_per_step"] = benchmark::Counter(double(state.iterations()),
                                                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                           benchmark::Counter::OneK::kIs1000);
    }
    Platform::setRoot(QStringLiteral("/"));
}
BENCHMARK(BM_LevelStep)
    ->Args({500, Configuration::MEAS_MODE_LOG})
    ->Args({2048, Configuration::MEAS_MODE_LOG})
    ->Args({2048, Configuration::MEAS_MODE_RMS})
    ->Unit(benchmark::kMicrosecond);

} // namespace
