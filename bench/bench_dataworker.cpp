// Sweep efficiency of the acquisition worker: the time of one 501-step sweep over 150..1000 MHz
// at the gating times 1, 5 and 20 ms, against the ideal 501 x (block time + 150 µs settle), and
// the overhead per step beyond the block and the settle.
//
// The FPGA is played by the board simulator (corvane-boardsim, started on a fresh root below
// /dev/shm); when it cannot be started the in-process FPGA stand-in of the hardware tests takes
// its place (the label says which).

#include "FpgaStandIn.h"
#include "hardware/DataWorker.h"
#include "util/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <memory>

namespace {

constexpr int SWEEP_STEPS = 501;
constexpr double SETTLE_US = 150.0;

// A board with an FPGA: the simulator, or the stand-in when the simulator is not available.
class BenchBoard
{
public:
    BenchBoard()
        : m_dir(QStringLiteral("/dev/shm/corvane-bench-XXXXXX"))
    {
        if (!m_dir.isValid())
            return;
        if (!startSimulator()) {
            FpgaStandIn::createFiles(m_dir.path());
            m_standIn.reset(new FpgaStandIn(m_dir.path()));
        }
        Platform::setRoot(m_dir.path());
    }
    ~BenchBoard()
    {
        Platform::setRoot(QStringLiteral("/"));
        m_standIn.reset();
        if (m_simulator.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_simulator.processId()), SIGTERM);
            if (!m_simulator.waitForFinished(5000))
                m_simulator.kill();
            m_simulator.waitForFinished(5000);
        }
    }

    bool isValid() const { return m_dir.isValid() && (m_standIn ? m_standIn->isValid() : true); }
    const char* label() const { return m_standIn ? "FPGA stand-in" : "corvane-boardsim"; }

private:
    bool startSimulator()
    {
        const QString program = QStringLiteral(CORVANE_BOARDSIM);
        if (!QFile::exists(program))
            return false;
        m_simulator.setProgram(program);
        m_simulator.setArguments({QStringLiteral("--root"), m_dir.path(), QStringLiteral("--seed"), QStringLiteral("1")});
        m_simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_simulator.setStandardOutputFile(QProcess::nullDevice());
        m_simulator.start();
        if (!m_simulator.waitForStarted(5000))
            return false;
        const QString ready = m_dir.path() + QStringLiteral("/sim/ready");
        for (int i = 0; i < 200; ++i) {
            if (QFile::exists(ready))
                return true;
            if (m_simulator.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(50);
        }
        m_simulator.kill();
        m_simulator.waitForFinished(5000);
        return false;
    }

    QTemporaryDir m_dir;
    QProcess m_simulator;
    std::unique_ptr<FpgaStandIn> m_standIn;
};

double processCpuUs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

void BM_SweepEfficiency(benchmark::State& state)
{
    const auto gatingMs = quint16(state.range(0));
    BenchBoard board;
    if (!board.isValid()) {
        state.SkipWithError("no board root below /dev/shm");
        return;
    }
    DataWorker worker;
    if (!worker.isFpgaMapped()) {
        state.SkipWithError("FPGA memories not mapped");
        return;
    }
    worker.setSyncMode(false);
    worker.setRadioSync(false);
    worker.setMeasurementTime(gatingMs, 1000);
    // What a screen's handler does per step: average and peak over the block.
    QObject::connect(
        &worker, &DataWorker::measurementFinished, &worker,
        [](quint32 frequency, const quint32*, const quint32* avgValues, const quint32* maxValues, quint16 nSamples,
           bool*) {
            quint64 sum = 0;
            quint32 peak = 0;
            for (int i = 0; i < nSamples; ++i) {
                sum += avgValues[i] & 0x3FFF;
                peak = qMax(peak, maxValues[i] & 0x3FFF);
            }
            benchmark::DoNotOptimize(sum / nSamples + peak + frequency);
        },
        Qt::DirectConnection);

    double totalUs = 0;
    double cpuUs = 0;
    for (auto _ : state) {
        const double cpuBegin = processCpuUs();
        const auto begin = std::chrono::steady_clock::now();
        worker.start(150000, 1000000, 1700, 1);
        worker.wait();
        const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - begin;
        worker.stop();
        totalUs += elapsed.count();
        cpuUs += processCpuUs() - cpuBegin;
        state.SetIterationTime(elapsed.count() / 1e6);
    }
    const double blockUs = double(worker.sampleCount()) * worker.clocksPerSample() * 40.0 / 1000.0;
    const double sweepUs = totalUs / double(state.iterations());
    state.counters["block_us"] = blockUs;
    state.counters["ratio"] = sweepUs / (SWEEP_STEPS * (blockUs + SETTLE_US));
    state.counters["overhead_us"] = sweepUs / SWEEP_STEPS - blockUs - SETTLE_US;
    // The worker's own work per step (this process only): what is left of the overhead is the
    // time the system took to wake the worker after its two sleeps.
    state.counters["cpu_us"] = cpuUs / double(state.iterations()) / SWEEP_STEPS;
    state.SetLabel(board.label());
}

BENCHMARK(BM_SweepEfficiency)
    ->Arg(1)
    ->Arg(5)
    ->Arg(20)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
