// The acquisition worker against the in-process FPGA stand-in (every rule of its steps) and,
// at the end, against the board simulator (the instrument's worker and board I/O unchanged).
#include "FpgaStandIn.h"
#include "OutputCapture.h"
#include "SystemCallLog.h"
#include "common/SimulatedBoard.h"
#include "common/TestRoot.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "util/Configuration.h"
#include "util/ConversionHelper.h"
#include "util/MutexLocker.h"
#include "util/SystemHelper.h"

#include <QMutex>
#include <QtTest>

#include <atomic>
#include <functional>
#include <vector>
#include <unistd.h>

namespace {

using Frequencies = QVector<quint32>;

// What the worker reported, recorded by a slot connected directly (it runs in the worker
// thread, as the screens' slots do) and read by the test under the same lock.
class Recorder
{
public:
    // Runs in the worker thread for every step (counting from 1) before it is recorded.
    using Action = std::function<void(int step, quint32 frequency, const quint32* buffers[3], quint16 n, bool* repeat)>;

    explicit Recorder(DataWorker& worker, Action action = Action())
        : m_action(std::move(action))
    {
        m_connection = QObject::connect(
            &worker, &DataWorker::measurementFinished, &worker,
            [this](quint32 frequency, const quint32* minimum, const quint32* average, const quint32* maximum, quint16 n,
                   bool* repeat) {
                const quint32* buffers[3] = {minimum, average, maximum};
                const int step = m_steps.load() + 1;
                if (m_action)
                    m_action(step, frequency, buffers, n, repeat);
                MutexLocker lock(&m_mutex);
                m_frequencies.push_back(frequency);
                m_times.push_back(SystemCallLog::monotonicNs());
                m_steps.store(step);
            },
            Qt::DirectConnection);
    }
    ~Recorder() { QObject::disconnect(m_connection); }

    int steps() const { return m_steps.load(); }
    Frequencies frequencies()
    {
        MutexLocker lock(&m_mutex);
        return Frequencies(m_frequencies.begin(), m_frequencies.end());
    }
    std::vector<qint64> times()
    {
        MutexLocker lock(&m_mutex);
        return m_times;
    }
    // A failure seen in the worker thread (QVERIFY works only in the test's thread).
    void fail(const QString& text)
    {
        MutexLocker lock(&m_mutex);
        m_failures.append(text);
        m_failures.detach();
    }
    QStringList failures()
    {
        MutexLocker lock(&m_mutex);
        return QStringList(m_failures.begin(), m_failures.end());
    }

private:
    Action m_action;
    QMetaObject::Connection m_connection;
    std::atomic<int> m_steps {0};
    QMutex m_mutex;
    std::vector<quint32> m_frequencies;
    std::vector<qint64> m_times;
    QStringList m_failures;
};

// A test root with the FPGA's memory files and the synthesiser's frequency file.
struct Board
{
    Board() { FpgaStandIn::createFiles(root.root()); }
    TestRoot root;
};

// Waits for a run that ends by itself, then lets stop() collect it.
bool finishes(DataWorker& worker)
{
    const bool ended = worker.wait(20000);
    worker.stop();
    return ended;
}

Frequencies sweep(quint32 start, quint32 stop, quint32 step, int rounds)
{
    Frequencies expected;
    for (int r = 0; r < rounds; ++r) {
        for (quint32 f = start;; f += step) {
            expected.append(f);
            if (step == 0 || quint64(f) + step > stop)
                break;
        }
    }
    return expected;
}

const char* const PllFile = "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency";

} // namespace

class TestDataWorker : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SystemCallLog::reset(); }

    void sampleArithmetic_data()
    {
        QTest::addColumn<bool>("byTime");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("clocks");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("clocksSet");
        QTest::newRow("20 ms") << true << 20 << 1000 << 500 << 1000;
        QTest::newRow("200 ms") << true << 200 << 1000 << 2048 << 1000;
        QTest::newRow("20 ms at 5000 clocks") << true << 20 << 5000 << 122 << 4096;
        QTest::newRow("0 ms") << true << 0 << 1000 << 1 << 1000;
        QTest::newRow("0 clocks") << true << 1 << 0 << 2048 << 1;
        QTest::newRow("3000 x 5000") << false << 3000 << 5000 << 2048 << 4096;
        QTest::newRow("0 x 0") << false << 0 << 0 << 1 << 1;
    }
    void sampleArithmetic()
    {
        QFETCH(bool, byTime);
        QFETCH(int, first);
        QFETCH(int, clocks);
        Board board;
        DataWorker worker;
        QCOMPARE(worker.sampleCount(), quint16(500));
        if (byTime)
            worker.setMeasurementTime(quint16(first), quint16(clocks));
        else
            worker.setSampling(quint16(first), quint16(clocks));
        QTEST(int(worker.sampleCount()), "samples");
        QTEST(int(worker.clocksPerSample()), "clocksSet");
    }

    // The control word while a step is armed and after the run, and the step's registers.
    void controlWords_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("phaseSync");
        QTest::addColumn<bool>("radio");
        QTest::addColumn<quint32>("running");
        QTest::addColumn<quint32>("stopping");
        QTest::newRow("no rate set") << 0 << false << false << 1u << 0u;
        QTest::newRow("50 Hz radio without phase sync") << 50 << false << true << 1u << 0u;
        QTest::newRow("60 Hz") << 60 << false << false << 17u << 16u;
        QTest::newRow("50 Hz phase sync") << 50 << true << false << 69u << 68u;
        QTest::newRow("50 Hz phase sync radio") << 50 << true << true << 101u << 100u;
        QTest::newRow("60 Hz phase sync radio") << 60 << true << true << 117u << 116u;
    }
    void controlWords()
    {
        QFETCH(int, rate);
        QFETCH(bool, phaseSync);
        QFETCH(bool, radio);
        QFETCH(quint32, running);
        Board board;
        DataWorker worker;
        FpgaStandIn fpga(board.root.root(), false); // maps only: a software start stays visible
        worker.setSampling(7, 3);
        if (rate)
            worker.setSweepRate(rate);
        worker.setSyncMode(phaseSync);
        worker.setRadioSync(radio);
        Recorder recorder(worker, [&](int, quint32, const quint32**, quint16, bool*) {
            const quint32 armed = phaseSync ? running : running + 8; // phase sync: the trigger starts
            if (fpga.reg(0x04) != armed || fpga.reg(0x08) != 2 || fpga.reg(0x0C) != 7 || fpga.reg(0x30) != 2048)
                recorder.fail(QStringLiteral("registers %1 %2 %3 %4")
                                  .arg(fpga.reg(0x04))
                                  .arg(fpga.reg(0x08))
                                  .arg(fpga.reg(0x0C))
                                  .arg(fpga.reg(0x30)));
        });
        worker.startSingle(123, 2);
        QVERIFY(finishes(worker));
        QCOMPARE(recorder.failures(), QStringList());
        QCOMPARE(recorder.frequencies(), Frequencies({123, 123}));
        QTEST(fpga.reg(0x04), "stopping");
        // The synthesiser runs at twice the receive frequency, in Hz.
        QCOMPARE(board.root.readFile(PllFile), QByteArray("246000"));
        worker.setAuxLevel(100);
        worker.startSingle(123, 0);
        QVERIFY(finishes(worker));
        QCOMPARE(fpga.reg(0x30), 100u);
    }

    // The frequencies reported: sweeps wrap, repeat counts end runs, a repeated step is measured
    // again without being counted.
    void stepsVisited_data()
    {
        QTest::addColumn<quint32>("start");
        QTest::addColumn<quint32>("stop");
        QTest::addColumn<quint32>("step");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("repeatRule"); // 0 none, 1 the first step, 2 every second step
        QTest::addColumn<Frequencies>("expected");
        QTest::newRow("150..1000 MHz by 1700 kHz, twice") << 150000u << 1000000u << 1700u << 2 << 0
                                                          << sweep(150000, 1000000, 1700, 2);
        QTest::newRow("stop on the grid") << 100u << 1000u << 300u << 3 << 0 << sweep(100, 1000, 300, 3);
        QTest::newRow("stop between steps") << 100u << 1000u << 400u << 2 << 0 << Frequencies({100, 500, 900, 100, 500, 900});
        QTest::newRow("start above stop") << 1000u << 100u << 300u << 3 << 0 << Frequencies({1000, 1000, 1000});
        QTest::newRow("count 0 stops after one step") << 100u << 1000u << 300u << 0 << 0 << Frequencies({100});
        QTest::newRow("count 1 is one sweep") << 100u << 1000u << 300u << 1 << 0 << Frequencies({100, 400, 700, 1000});
        QTest::newRow("single frequency counts steps") << 555u << 555u << 0u << 3 << 0 << Frequencies({555, 555, 555});
        QTest::newRow("every step twice") << 100u << 1000u << 300u << 1 << 2
                                          << Frequencies({100, 100, 400, 400, 700, 700, 1000, 1000});
        QTest::newRow("repeats are not counted") << 250u << 250u << 0u << 2 << 2 << Frequencies({250, 250, 250, 250});
        QTest::newRow("count 0 honours a repeat") << 100u << 1000u << 300u << 0 << 1 << Frequencies({100, 100});
    }
    void stepsVisited()
    {
        QFETCH(quint32, start);
        QFETCH(quint32, stop);
        QFETCH(quint32, step);
        QFETCH(int, count);
        QFETCH(int, repeatRule);
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        Recorder recorder(worker, [&](int n, quint32, const quint32**, quint16, bool* repeat) {
            *repeat = (repeatRule == 1 && n == 1) || (repeatRule == 2 && n % 2 == 1);
        });
        worker.start(start, stop, step, count);
        QVERIFY(finishes(worker));
        QTEST(recorder.frequencies(), "expected");
        QVERIFY(!worker.isPaused());
    }

    void startStopsARunningWorker()
    {
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        Recorder recorder(worker);
        worker.start(100, 1000, 300, -1);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 5, 10000);
        worker.startSingle(777, -1);
        QVERIFY(worker.isRunning());
        const int restartedAt = recorder.steps();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= restartedAt + 10, 10000);
        worker.stop();
        QVERIFY(!worker.isRunning());
        // One run after the other, never both at once; nothing arrives after stop() returned.
        const Frequencies visited = recorder.frequencies();
        const int first = visited.indexOf(777u);
        QVERIFY(first >= 5 && first <= restartedAt);
        QCOMPARE(visited.mid(0, first), sweep(100, 1000, 300, 10).mid(0, first));
        QCOMPARE(visited.mid(first).count(777u), visited.size() - first);
        QTest::qWait(20);
        QCOMPARE(recorder.steps(), visited.size());
    }

    void unreadableSynthesiserReportsZero()
    {
        Board board;
        QVERIFY(QFile::remove(board.root.path(PllFile)));
        DataWorker worker;
        worker.setSampling(1, 1);
        Recorder recorder(worker);
        worker.startSingle(500000, -1);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 5, 10000);
        // The synthesiser comes back: the worker is still tuned to its frequency.
        QVERIFY(board.root.writeFile(PllFile, "0\n"));
        QTRY_VERIFY_WITH_TIMEOUT(recorder.frequencies().contains(500000u), 10000);
        worker.stop();
        const Frequencies visited = recorder.frequencies();
        const int firstLocked = visited.indexOf(500000u);
        QVERIFY(firstLocked >= 5);
        QCOMPARE(visited.mid(0, firstLocked).count(0u), firstLocked);
        QCOMPARE(visited.mid(firstLocked).count(500000u), visited.size() - firstLocked);
        // In a sweep the unlocked steps are reported as 0 and the sweep keeps its course.
        QVERIFY(QFile::remove(board.root.path(PllFile)));
        Recorder sweepRecorder(worker);
        worker.start(100, 1000, 300, 1);
        QVERIFY(finishes(worker));
        QCOMPARE(sweepRecorder.frequencies(), Frequencies({0, 0, 0, 0}));
    }

    void buffersCarryTheBlock()
    {
        Board board;
        DataWorker worker;
        FpgaStandIn fpga(board.root.root());
        QVERIFY(fpga.isValid());
        worker.setSampling(50, 100);
        Recorder recorder(worker, [&](int step, quint32 frequency, const quint32** buffers, quint16 n, bool*) {
            if (!fpga.waitForBlocks(quint32(step)))
                return recorder.fail(QStringLiteral("no block for step %1").arg(step));
            if (buffers[1] != buffers[0] + 2048 || buffers[2] != buffers[0] + 4096 || n != 50)
                return recorder.fail(QStringLiteral("buffer layout or count %1").arg(n));
            for (int i = 0; i < n; ++i) {
                if (buffers[0][i] != quint32(i) || buffers[1][i] != quint32(step) || buffers[2][i] != frequency)
                    return recorder.fail(QStringLiteral("step %1 slot %2").arg(step).arg(i));
            }
        });
        worker.start(1000, 2000, 100, 1);
        QVERIFY(finishes(worker));
        QCOMPARE(recorder.failures(), QStringList());
        QCOMPARE(recorder.frequencies(), sweep(1000, 2000, 100, 1));
        QCOMPARE(fpga.blocks(), 11u); // one software start per step, each consumed
        worker.clearBuffers();
        for (quint32 offset : {0x0000u, 0x2000u, 0x4000u}) {
            for (int i = 0; i < 1024; ++i)
                QCOMPARE(fpga.sample(offset, i), 0u);
        }
    }

    // Each step polls the block-complete interrupt (1000 ms at most) and then sleeps the block's
    // full time before the buffers are handed on, whether the interrupt came or the poll timed out.
    void pollThenTheFullBlockTime_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("result");
        QTest::newRow("interrupt after 30 ms") << 30 << 1;
        QTest::newRow("time-out") << 0 << 0;
    }
    void pollThenTheFullBlockTime()
    {
        QFETCH(int, delayMs);
        QFETCH(int, result);
        Board board;
        SystemCallLog::watchPoll("/dev/bram1", delayMs, result);
        DataWorker worker;
        worker.setSampling(250, 1000); // 10 ms blocks
        Recorder recorder(worker);
        worker.startSingle(1000, 3);
        QVERIFY(finishes(worker));
        const QVector<SystemCallLog::PollCall> polls = SystemCallLog::pollCalls();
        const std::vector<qint64> reported = recorder.times();
        QCOMPARE(int(reported.size()), 3);
        QCOMPARE(polls.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(polls[i].events, short(0x4B));
            QCOMPARE(polls[i].timeoutMs, 1000);
            QVERIFY2(reported[size_t(i)] - polls[i].returnedNs >= 10000000,
                     qPrintable(QString::number(reported[size_t(i)] - polls[i].returnedNs)));
        }
    }

    void pauseHoldsTheStepUntilResume()
    {
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        QVERIFY(!worker.isPaused());
        Recorder recorder(worker, [&](int step, quint32, const quint32**, quint16, bool*) {
            if (step == 3)
                worker.pause();
        });
        worker.start(100, 1000, 300, -1);
        QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
        QTest::qWait(30);
        QCOMPARE(recorder.steps(), 2); // the third is held inside its slot
        worker.resume();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 10, 10000);
        QVERIFY(!worker.isPaused());
        worker.stop();
        QCOMPARE(recorder.frequencies().mid(0, 6), Frequencies({100, 400, 700, 1000, 100, 400}));
    }

    // The GUI thread may have drawn and resumed before the slot gets to pause: the pause then
    // returns at once, and the next pause waits again.
    void resumeBeforePauseIsNotLost()
    {
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        std::atomic<bool> drawn {false};
        Recorder recorder(worker, [&](int step, quint32, const quint32**, quint16, bool*) {
            if (step == 1) {
                QMetaObject::invokeMethod(&worker, [&] { worker.resume(); drawn = true; }, Qt::QueuedConnection);
                while (!drawn)
                    QThread::usleep(100);
            }
            if (step <= 2)
                worker.pause();
        });
        worker.startSingle(1000, -1);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 1 && worker.isPaused(), 10000);
        QCOMPARE(recorder.steps(), 1); // the second step's pause waits
        worker.resume();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 5, 10000);
        worker.stop();
    }

    void stopReleasesAPausedWorker()
    {
        Board board;
        DataWorker worker;
        FpgaStandIn fpga(board.root.root(), false);
        worker.setSampling(1, 1);
        Recorder recorder(worker, [&](int, quint32, const quint32**, quint16, bool*) { worker.pause(); });
        worker.startSingle(700, -1);
        QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
        worker.stop();
        // The worker finished the step it was paused in, and no other.
        QVERIFY(!worker.isRunning());
        QCOMPARE(recorder.steps(), 1);
        QCOMPARE(fpga.reg(0x04), 0u);
        QVERIFY(!worker.isPaused());
        worker.stop(); // an idle worker stops at once
        // The time-domain screen pauses after every block: a stop() racing with the next pause
        // must still end the thread, whichever comes first.
        for (int round = 0; round < 40; ++round) {
            worker.startSingle(1000, -1);
            for (int i = 0; i < round % 4; ++i) {
                QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
                worker.resume();
            }
            if (round % 3 == 0)
                QThread::usleep(100 * (round % 5));
            worker.stop();
            QVERIFY(!worker.isRunning());
            QVERIFY(!worker.isPaused());
        }
    }

    void registersOutsideTheSteps()
    {
        Board board;
        FpgaStandIn fpga(board.root.root(), false);
        fpga.setReg(0x2C, 5);
        DataWorker worker;
        // The filter is loaded at construction: the enable back to 0, the last coefficient last.
        QCOMPARE(fpga.reg(0x2C), 0u);
        QCOMPARE(fpga.reg(0x28), 7u);
        const qint16 table[] = {300, -5};
        worker.loadFilter(table, 2);
        QCOMPARE(fpga.reg(0x28), 0xFFFFFFFBu); // sign-extended
        QCOMPARE(worker.fpgaVersion(), 0x01020003u);
        worker.setVolume(1234);
        QCOMPARE(fpga.reg(0x24), 1234u);
        // Sync is fine unless monitoring is on and the FPGA sees no sync signal.
        for (quint32 control : {0u, 1u + 4 + 64 + 128, 128u, 1u + 4 + 64}) {
            fpga.setReg(0x04, control);
            QCOMPARE(worker.syncOk(), control != 1u + 4 + 64);
        }
    }

    void missingMemories_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("bram0") << "/dev/bram0" << QByteArray("Fehler bei open %1/dev/bram0\n");
        QTest::newRow("bram1") << "/dev/bram1" << QByteArray("Fehler bei open %1/dev/bram1\n");
        QTest::newRow("short bram0") << "short" << QByteArray("Fehler bei mmap %1/dev/bram0 00000000\n");
    }
    void missingMemories()
    {
        QFETCH(QString, missing);
        QFETCH(QByteArray, message);
        Board board;
        if (missing == "short")
            QVERIFY(board.root.writeFile("/dev/bram0", QByteArray(4096, '\0')));
        else
            QVERIFY(QFile::remove(board.root.path(missing)));
        OutputCapture output(STDOUT_FILENO);
        DataWorker worker;
        QVERIFY(output.text().contains(message.replace("%1", board.root.root().toLocal8Bit())));
        QVERIFY(!worker.isFpgaMapped());
        // A screen that starts the worker gets no data and nothing breaks.
        Recorder recorder(worker);
        worker.start(100, 1000, 300, -1);
        QVERIFY(!worker.isRunning());
        QTest::qWait(20);
        QCOMPARE(recorder.steps(), 0);
        worker.clearBuffers();
        worker.setVolume(3);
        if (missing == "/dev/bram1")
            QVERIFY(worker.fpgaVersion() == 0 && !worker.syncOk());
        worker.stop();
    }

    // The board simulator: a spectrum sweep delivers fresh blocks at the tuned frequencies with
    // the levels the signal model promises through the default calibration.
    void sweepOnTheSimulatedBoard()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("21")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        board.useAsPlatformRoot();
        boardInit();
        setMeasMode(Configuration::MEAS_MODE_LOG);
        setBandwidth(5000);
        setAntennaPath(Configuration::ANTENNA_UHF);
        setPreamplifierOff(false);
        setOffsetAmplifier(630);
        DataWorker worker;
        QCOMPARE(SystemHelper::fpgaVersionText(worker.fpgaVersion()), QStringLiteral("1.4.27"));
        struct Step
        {
            quint32 frequency, blockFrequency, peak;
            double average;
        };
        QVector<Step> steps;
        Recorder recorder(worker, [&](int, quint32 frequency, const quint32** buffers, quint16 n, bool*) {
            quint64 sum = 0;
            quint32 peak = 0;
            for (int i = 0; i < n; ++i) {
                sum += buffers[1][i] & 0x3FFF;
                peak = qMax(peak, buffers[2][i] & 0x3FFF);
            }
            steps.append({frequency, board.readRegister(0x10C), peak, double(sum) / n});
        });
        worker.setMeasurementTime(2, 1000);
        worker.start(150000, 1000000, 1700, 1);
        QVERIFY(finishes(worker));
        QCOMPARE(steps.size(), 501);
        int fresh = 0;
        for (const Step& step : steps)
            fresh += step.blockFrequency == step.frequency ? 1 : 0;
        // The simulator fills a block within the block time (a busy machine may delay a few).
        QVERIFY2(fresh >= 450, qPrintable(QString::number(fresh)));
        const auto dBm = [](double raw) { return -75.0 + (ConversionHelper::linearizeValue(int(raw)) - 7150) / 195.0; };
        const double carrier = dBm(steps.at((446100 - 150000 + 850) / 1700).average);
        QVERIFY2(carrier > -60.0, qPrintable(QString::number(carrier)));
        double quiet = 0.0;
        for (int i = 480; i < 501; ++i)
            quiet += dBm(steps.at(i).average) / 21.0;
        QVERIFY2(quiet > -110.0 && quiet < -98.0, qPrintable(QString::number(quiet)));
        // Discharges around 600 MHz: some 2 ms blocks catch a pulse cluster far above the average.
        double highest = -200.0, averageThere = 0.0;
        for (int i = (560000 - 150000) / 1700; i <= (640000 - 150000) / 1700; ++i) {
            highest = qMax(highest, dBm(steps.at(i).peak));
            averageThere = qMax(averageThere, steps.at(i).average);
        }
        QVERIFY2(highest > -70.0 && highest - dBm(averageThere) > 20.0, qPrintable(QString::number(highest)));
    }

    // Phase-synchronous acquisition on the simulated board follows the radio sync sensor.
    void phaseSyncOnTheSimulatedBoard()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("22"), QStringLiteral("--radio-rate"),
                              QStringLiteral("20")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        board.useAsPlatformRoot();
        boardInit();
        setMeasMode(Configuration::MEAS_MODE_RMS);
        setSyncSource(Configuration::SYNC_MAINS_RF);
        DataWorker worker;
        Recorder recorder(worker);
        worker.setSweepRate(50);
        worker.setSyncMode(true);
        worker.setRadioSync(true);
        worker.setSampling(500, 1000);
        worker.startSingle(600000, -1);
        QTRY_VERIFY_WITH_TIMEOUT(worker.syncOk() && recorder.steps() >= 2, 5000);
        QVERIFY(board.setFault(QStringLiteral("radio-silent"), true));
        QTRY_VERIFY_WITH_TIMEOUT(!worker.syncOk(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!syncDetected(), 5000);
        QVERIFY(board.setFault(QStringLiteral("radio-silent"), false));
        QTRY_VERIFY_WITH_TIMEOUT(worker.syncOk(), 5000);
        worker.stop();
        QCOMPARE(board.readRegister(0x04), 100u); // the stopping word at 50 Hz: 4 + 32 + 64
        QCOMPARE(board.readRegister(0x108), 0u);  // no software start in phase-synchronous mode
    }
};

QTEST_GUILESS_MAIN(TestDataWorker)
#include "tst_dataworker.moc"
