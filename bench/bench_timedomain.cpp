// The time-domain screen's two hot paths:
// - one sweep's processing (worker thread) at persistence 100, so that every sweep first retires
//   the oldest kept one (a retire and a hit per sample), at resolution 1 and 3; goal at most
//   20 µs per sweep (0.1 % of the 20 ms mains period);
// - one update tick with the persistence image shown, the screen at 640 x 480 on the offscreen
//   platform, painted at once (raster copy, activity over 100 kept sweeps, info bar, replot);
//   goal at most 10 ms.
// The board root is a temporary folder below /dev/shm (tmpfs costs what sysfs costs).

#include "dialogs/TimeDomainAccumulator.h"
#include "dialogs/TimeDomainDialog.h"
#include "plot/ImagePlot.h"
#include "util/Configuration.h"
#include "util/Platform.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <qwt_plot_canvas.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

class BenchRoot
{
public:
    BenchRoot()
        : m_dir(QStringLiteral("/dev/shm/corvane-bench-timedomain-XXXXXX"))
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("data"));
        Platform::setRoot(m_dir.path());
    }
    ~BenchRoot() { Platform::setRoot(QStringLiteral("/")); }

private:
    QTemporaryDir m_dir;
};

// Sweeps as the detector delivers them: a low noise floor with two clusters of pulses at 45 and
// 225 degrees, block tags in the upper bits.
std::vector<std::vector<quint32>> makeSweeps(int count)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<quint32> noise(100, 900);
    std::normal_distribution<double> phase(0.0, 20.0);
    std::uniform_int_distribution<quint32> pulse(2000, 12000);
    std::vector<std::vector<quint32>> sweeps(size_t(count), std::vector<quint32>(500));
    for (std::vector<quint32>& sweep : sweeps) {
        for (quint32& value : sweep)
            value = 0x00350000u | noise(random);
        for (int p = 0; p < 10; ++p) {
            const int centre = p % 2 ? 312 : 62;
            const int slot = (centre + int(phase(random)) + 500) % 500;
            sweep[size_t(slot)] = 0x00350000u | pulse(random);
        }
    }
    return sweeps;
}

void BM_SweepProcessing(benchmark::State& state)
{
    TimeDomainAccumulator data;
    data.setResolution(int(state.range(0)));
    data.setPersistency(100);
    data.setActivityLevel(20);
    data.setMaxQuantity(10);
    const std::vector<std::vector<quint32>> sweeps = makeSweeps(256);
    for (int i = 0; i < 100; ++i)
        data.addSweep(sweeps[size_t(i)].data(), 500);
    size_t next = 0;
    for (auto _ : state) {
        data.addSweep(sweeps[next].data(), 500);
        next = (next + 1) % sweeps.size();
    }
    benchmark::DoNotOptimize(data.count());
    state.SetLabel(QStringLiteral("resolution %1, %2 kept sweeps").arg(state.range(0)).arg(data.count()).toStdString());
}
BENCHMARK(BM_SweepProcessing)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_UpdateTick(benchmark::State& state)
{
    BenchRoot root;
    Configuration::setValue(Configuration::VT_Persistency, 100, TimeDomainDialog::NAME);
    Configuration::setValue(Configuration::VT_Resolution, 1, TimeDomainDialog::NAME);
    TimeDomainDialog dialog(nullptr);
    dialog.resize(640, 480);
    dialog.exec();
    const std::vector<std::vector<quint32>> sweeps = makeSweeps(256);
    for (const std::vector<quint32>& sweep : sweeps)
        dialog.onMeasurementFinished(600000, nullptr, nullptr, sweep.data(), 500, nullptr);
    dialog.show();
    ImagePlot* plot = dialog.plot();
    qobject_cast<QwtPlotCanvas*>(plot->canvas())->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, true);
    dialog.updatePlot();
    QCoreApplication::processEvents();
    size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A new sweep between ticks, as while measuring (about 12 of them at 250 ms).
        dialog.onMeasurementFinished(600000, nullptr, nullptr, sweeps[next].data(), 500, nullptr);
        next = (next + 1) % sweeps.size();
        state.ResumeTiming();
        dialog.updateTick();
    }
    state.SetLabel(QStringLiteral("canvas %1 x %2, %3 kept sweeps")
                       .arg(plot->canvas()->width())
                       .arg(plot->canvas()->height())
                       .arg(dialog.count())
                       .toStdString());
}
BENCHMARK(BM_UpdateTick)->Unit(benchmark::kMillisecond);

} // namespace
