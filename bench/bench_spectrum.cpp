// The spectrum screen's two hot paths:
// - the per-step handler (worker thread) at 500 and 2048 samples per step, with the reference
//   traces and the difference on (every frequency measured twice, the reference input switched
//   through its GPIO file on every step); goal at most 20 µs per step;
// - one display tick with all nine curves of 501 points shown, the screen at 640 x 480 on the
//   offscreen platform, painted at once; goal at most 15 ms;
// - a marker move with its hand-over to the time-domain and level settings (GUI thread): with
//   the lowest marker unchanged (lists only), and with it changed (settings written inside one
//   remount, the stand-in "mount" a shell script as on a simulated board).
// The board root is a temporary folder below /dev/shm (tmpfs costs what sysfs costs).

#include "dialogs/SpectrumDialog.h"
#include "plot/OverridingPlotData.h"
#include "util/Configuration.h"
#include "util/Platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using CS = SpectrumDialog::CurveSelect;

class BenchRoot {
public:
    BenchRoot()
        : m_dir(QStringLiteral("/dev/shm/corvane-bench-spectrum-XXXXXX"))
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("data"));
        QDir(m_dir.path()).mkpath(QStringLiteral("sys/class/gpio/gpio211"));
        QFile value(m_dir.path() + QStringLiteral("/sys/class/gpio/gpio211/value"));
        if (value.open(QIODevice::WriteOnly))
            value.write("1");
        QDir(m_dir.path()).mkpath(QStringLiteral("bin"));
        QFile mount(m_dir.path() + QStringLiteral("/bin/mount"));
        if (mount.open(QIODevice::WriteOnly))
            mount.write("#!/bin/sh\nexit 0\n");
        mount.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Platform::setRoot(m_dir.path());
    }
    ~BenchRoot() { Platform::setRoot(QStringLiteral("/")); }

private:
    QTemporaryDir m_dir;
};

struct Buffers {
    explicit Buffers(int n)
        : minValues(2048)
        , avgValues(2048)
        , maxValues(2048)
        , n(quint16(n))
    {
        std::mt19937 random(7);
        std::uniform_int_distribution<quint32> noise(5200, 6400);
        for (int i = 0; i < 2048; ++i) {
            // Block tags in the upper bits, as the FPGA leaves them.
            avgValues[size_t(i)] = 0x00120000u | noise(random);
            maxValues[size_t(i)] = 0x00120000u | (noise(random) + 800);
        }
    }
    std::vector<quint32> minValues;
    std::vector<quint32> avgValues;
    std::vector<quint32> maxValues;
    quint16 n;
};

void BM_StepHandler(benchmark::State& state)
{
    BenchRoot root;
    SpectrumDialog dialog(nullptr);
    dialog.setCalibration(-75, 7150, 195.0);
    dialog.setFrequencyRange(150, 1000);
    dialog.setCurves(CS::CURVE_MAX | CS::CURVE_REF_MAX | CS::CURVE_DIFF);
    dialog.startDataWorker();
    Buffers buffers(int(state.range(0)));
    quint32 frequency = 150000;
    long steps = 0;
    for (auto _ : state) {
        bool repeat = false;
        dialog.onMeasurementFinished(frequency, buffers.minValues.data(), buffers.avgValues.data(),
            buffers.maxValues.data(), buffers.n, &repeat);
        if (!repeat)
            frequency = frequency + 1700 > 1000000 ? 150000 : frequency + 1700;
        if (++steps % 4096 == 0) {
            state.PauseTiming();
            QCoreApplication::processEvents(); // the legend refreshes queued at each sweep end
            state.ResumeTiming();
        }
    }
    state.counters["us_per_step"] = benchmark::Counter(double(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::OneK::kIs1000);
}
BENCHMARK(BM_StepHandler)->Arg(500)->Arg(2048)->Unit(benchmark::kMicrosecond);

void BM_DisplayTick(benchmark::State& state)
{
    BenchRoot root;
    SpectrumDialog dialog(nullptr);
    dialog.resize(640, 480);
    dialog.setFrequencyRange(150, 1000);
    dialog.setAmplitudeRange(-100, 0);
    const auto all = SpectrumDialog::CurveSelects(SpectrumDialog::LIVE_CURVE_MASK | SpectrumDialog::FREEZE_CURVE_MASK);
    dialog.setCurves(all);
    std::mt19937 random(3);
    std::uniform_real_distribution<double> level(-95, -40);
    auto fill = [&] {
        for (CS flag : SpectrumDialog::liveCurveOrder()) {
            OverridingPlotData* series = dialog.series(flag);
            for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
                series->addSample(150, 1000, level(random));
        }
    };
    fill();
    for (int slot = 0; slot < SpectrumDialog::FREEZE_COUNT; ++slot) {
        OverridingPlotData* series = dialog.series(SpectrumDialog::freezeCurve(slot));
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            series->addSample(150, 1000, level(random));
    }
    dialog.show();
    auto* plot = dialog.findChild<QwtPlot*>(QStringLiteral("plot"));
    qobject_cast<QwtPlotCanvas*>(plot->canvas())->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, true);
    dialog.updatePlot();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        fill(); // new data every tick, as while measuring
        state.ResumeTiming();
        dialog.updateCurves();
        plot->replot();
    }
    state.SetLabel(
        QStringLiteral("canvas %1 x %2").arg(plot->canvas()->width()).arg(plot->canvas()->height()).toStdString());
}
BENCHMARK(BM_DisplayTick)->Unit(benchmark::kMillisecond);

void BM_MarkerMove(benchmark::State& state)
{
    BenchRoot root;
    SpectrumDialog dialog(nullptr);
    for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
        dialog.series(CS::CURVE_MAX)->addSample(150, 1000, -40.0 - i * 0.05);
    dialog.moveMarker(0, 300);
    const bool handOver = state.range(0) != 0;
    unsigned step = 0;
    for (auto _ : state) {
        // Marker 2 above marker 1 leaves the lowest marker; marker 1 moving changes it.
        ++step;
        if (handOver)
            dialog.moveMarker(0, 300 + step % 2);
        else
            dialog.moveMarker(1, 400 + step % 200);
    }
    state.SetLabel(handOver ? "lowest marker moved: settings written" : "lists only");
}
BENCHMARK(BM_MarkerMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
