// The acquisition worker on the board simulator's root: prepared only (its memory files hold
// what the worker wrote; a poll on them returns at once) or running (the FPGA answers).
#include "OutputCapture.h"
#include "SystemCallLog.h"
#include "common/SimulatedBoard.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "util/MutexLocker.h"

#include <QtTest>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

using Frequencies = QVector<quint32>;
const char* const PllFile = "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency";

// What the worker reported, recorded by a slot connected directly (it runs in the worker
// thread, as the screens' slots do) and read under the same lock. The action runs first, with
// the step's number (from 1); failures it reports are kept for the test's thread.
struct Recorder
{
    using Action = std::function<void(int step, quint32 frequency, const quint32* buffers[3], quint16 n, bool* repeat)>;
    explicit Recorder(DataWorker& worker, Action action = Action())
    {
        connection = QObject::connect(
            &worker, &DataWorker::measurementFinished, &worker,
            [this, action](quint32 frequency, const quint32* low, const quint32* avg, const quint32* high, quint16 n, bool* repeat) {
                const quint32* buffers[3] = {low, avg, high};
                if (action)
                    action(steps + 1, frequency, buffers, n, repeat);
                MutexLocker lock(&mutex);
                reports.append({frequency, SystemCallLog::monotonicNs()});
                steps = reports.size();
            },
            Qt::DirectConnection);
    }
    ~Recorder() { QObject::disconnect(connection); }
    Frequencies frequencies()
    {
        MutexLocker lock(&mutex);
        Frequencies list;
        for (const auto& report : reports)
            list << report.first;
        return list;
    }
    void fail(const QString& text)
    {
        MutexLocker lock(&mutex);
        failures += text + "\n";
    }

    QMetaObject::Connection connection;
    std::atomic<int> steps {0};
    QMutex mutex;
    QVector<QPair<quint32, qint64>> reports; // frequency, CLOCK_MONOTONIC
    QString failures;
};

// A prepared board root; started, the simulator plays the FPGA.
struct Board : SimulatedBoard
{
    explicit Board(bool running = false)
    {
        QVERIFY(running ? start() : prepare());
        QVERIFY(mapMemories());
        useAsPlatformRoot();
    }
};

bool finishes(DataWorker& worker) // a run that ends by itself, collected by stop()
{
    const bool ended = worker.wait(180000); // generous: an emulated board is many times slower
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
        QTest::newRow("20 ms at 5000 clocks") << true << 20 << 5000 << 122 << 4096;
        QTest::newRow("3000 x 5000") << false << 3000 << 5000 << 2048 << 4096;
        QTest::newRow("0 x 0") << false << 0 << 0 << 1 << 1;
    }
    void sampleArithmetic()
    {
        QFETCH(bool, byTime);
        QFETCH(int, first);
        QFETCH(int, clocks);
        DataWorker worker;
        QCOMPARE(worker.sampleCount(), quint16(500));
        byTime ? worker.setMeasurementTime(quint16(first), quint16(clocks)) : worker.setSampling(quint16(first), quint16(clocks));
        QTEST(int(worker.sampleCount()), "samples");
        QTEST(int(worker.clocksPerSample()), "clocksSet");
    }

    // The control word while a step is armed (a software start only without phase sync) and
    // after the run, and the step's registers; the synthesiser at twice the frequency, in Hz.
    void controlWords_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("phaseSync");
        QTest::addColumn<bool>("radio");
        QTest::addColumn<quint32>("armed");
        QTest::addColumn<quint32>("stopping");
        QTest::newRow("no rate set, radio without phase sync") << 0 << false << true << 9u << 0u;
        QTest::newRow("60 Hz") << 60 << false << false << 25u << 16u;
        QTest::newRow("50 Hz phase sync") << 50 << true << false << 69u << 68u;
        QTest::newRow("60 Hz phase sync radio") << 60 << true << true << 117u << 116u;
    }
    void controlWords()
    {
        QFETCH(int, rate);
        QFETCH(quint32, armed);
        Board board;
        DataWorker worker;
        worker.setSampling(7, 3);
        if (!rate)
            worker.setAuxLevel(100); // 2048 unless changed
        worker.setSweepRate(rate);
        QFETCH(bool, phaseSync);
        worker.setSyncMode(phaseSync);
        QFETCH(bool, radio);
        worker.setRadioSync(radio);
        Recorder recorder(worker, [&](int, quint32, const quint32**, quint16, bool*) {
            QString registers;
            for (quint32 offset : {0x04, 0x08, 0x0C, 0x30})
                registers += QString::number(board.readRegister(offset)) + " ";
            if (registers != QString("%1 2 7 %2 ").arg(armed).arg(rate ? 2048 : 100))
                recorder.fail(registers);
        });
        worker.startSingle(123, 2);
        QVERIFY(finishes(worker));
        QCOMPARE(recorder.failures, QString());
        QCOMPARE(recorder.frequencies(), Frequencies({123, 123}));
        QTEST(board.readRegister(0x04), "stopping");
        QCOMPARE(board.readBoardFile(PllFile), QByteArray("246000"));
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
        QTest::newRow("150..1000 MHz by 1700 kHz, twice") << 150000u << 1000000u << 1700u << 2 << 0 << sweep(150000, 1000000, 1700, 2);
        QTest::newRow("stop between steps") << 100u << 1000u << 400u << 2 << 0 << Frequencies({100, 500, 900, 100, 500, 900});
        QTest::newRow("start above stop") << 1000u << 100u << 300u << 3 << 0 << Frequencies({1000, 1000, 1000});
        QTest::newRow("count 0 stops after one step") << 100u << 1000u << 300u << 0 << 0 << Frequencies({100});
        QTest::newRow("count 1 is one sweep") << 100u << 1000u << 300u << 1 << 0 << Frequencies({100, 400, 700, 1000});
        QTest::newRow("every step twice") << 100u << 1000u << 300u << 1 << 2 << Frequencies({100, 100, 400, 400, 700, 700, 1000, 1000});
        QTest::newRow("repeats are not counted") << 250u << 250u << 0u << 2 << 2 << Frequencies({250, 250, 250, 250});
        QTest::newRow("count 0 honours a repeat") << 100u << 1000u << 300u << 0 << 1 << Frequencies({100, 100});
    }
    void stepsVisited()
    {
        QFETCH(int, repeatRule);
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        Recorder recorder(worker, [&](int n, quint32, const quint32**, quint16, bool* repeat) {
            *repeat = (repeatRule == 1 && n == 1) || (repeatRule == 2 && n % 2 == 1);
        });
        QFETCH(quint32, start);
        QFETCH(quint32, stop);
        QFETCH(quint32, step);
        QFETCH(int, count);
        worker.start(start, stop, step, count);
        QVERIFY(finishes(worker));
        QTEST(recorder.frequencies(), "expected");
        QVERIFY(!worker.isPaused());
    }

    // One run after the other, never both at once; nothing arrives after stop() returned.
    void startStopsARunningWorker()
    {
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        Recorder recorder(worker);
        worker.start(100, 1000, 300, -1);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps.load() >= 5, 10000);
        worker.startSingle(777, -1);
        const int restartedAt = recorder.steps.load();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps.load() >= restartedAt + 10, 10000);
        worker.stop();
        const Frequencies visited = recorder.frequencies();
        const int first = visited.indexOf(777u);
        QVERIFY(first >= 5 && first <= restartedAt);
        QCOMPARE(visited.mid(0, first), sweep(100, 1000, 300, first / 4 + 1).mid(0, first));
        QCOMPARE(visited.mid(first).count(777u), visited.size() - first);
        QTest::qWait(20);
        QCOMPARE(recorder.steps.load(), visited.size());
    }

    // On the running board each step's buffers hold the block the FPGA made at that step's
    // frequency, after its one software start. With the synthesiser unlocked (its file neither
    // readable nor writable) steps and blocks report 0; the worker stays tuned for when it locks.
    void buffersCarryTheBlock()
    {
        Board board(true);
        boardInit();
        DataWorker worker;
        worker.setMeasurementTime(1, 1000);
        std::atomic<bool> steady {true}; // false while the lock may come between tuning and block
        Recorder recorder(worker, [&](int step, quint32 frequency, const quint32** buffers, quint16 n, bool*) {
            for (int i = 0; i < 2000 && board.readRegister(0x108) < quint32(step); ++i)
                QThread::usleep(1000); // a busy machine may delay the simulator
            const quint32 starts = board.readRegister(0x108);
            const quint32 fpga = board.readRegister(0x10C);
            if (steady && (starts != quint32(step) || fpga != frequency))
                recorder.fail(QString("step %1: %2 starts, FPGA at %3 kHz").arg(step).arg(starts).arg(fpga));
            if (buffers[1] != buffers[0] + 2048 || buffers[2] != buffers[0] + 4096 || n != 25)
                recorder.fail("buffer layout");
            for (int i = 0; i < n; ++i) {
                if (!((buffers[0][i] & 0x3FFF) <= (buffers[1][i] & 0x3FFF)
                        && (buffers[1][i] & 0x3FFF) <= (buffers[2][i] & 0x3FFF)))
                    return recorder.fail(QString("step %1 slot %2").arg(step).arg(i));
            }
        });
        worker.start(400000, 450000, 10000, 1);
        QVERIFY(finishes(worker));
        QCOMPARE(recorder.frequencies(), sweep(400000, 450000, 10000, 1));
        QVERIFY(board.setFault("pll-unlocked", true));
        const QByteArray pll = QFile::encodeName(board.path(PllFile));
        QVERIFY(!std::fopen(pll.constData(), "r") && !std::fopen(pll.constData(), "w"));
        worker.start(100, 1000, 300, 1);
        QVERIFY(finishes(worker));
        QCOMPARE(recorder.frequencies().mid(6), Frequencies({0, 0, 0, 0}));
        QVERIFY(board.setFault("pll-unlocked", false));
        QCOMPARE(pllGetFrequency(3), 450000000); // the frequency from before the loss is back
        QVERIFY(board.setFault("pll-unlocked", true));
        steady = false;
        worker.startSingle(400000, -1);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps.load() >= 15, 10000);
        QVERIFY(board.setFault("pll-unlocked", false));
        QTRY_VERIFY_WITH_TIMEOUT(recorder.frequencies().contains(400000u), 10000);
        worker.stop();
        QCOMPARE(recorder.failures, QString());
        const Frequencies visited = recorder.frequencies().mid(10);
        const int locked = visited.indexOf(400000u);
        QCOMPARE(visited.count(0u) + visited.count(400000u), visited.size());
        QCOMPARE(visited.mid(0, locked).count(0u), locked);
        worker.clearBuffers();
        for (quint32 offset : { 0x0000u, 0x2000u, 0x4000u })
            for (int i = 0; i < 1024; ++i)
                QCOMPARE(board.sample(offset, i), 0u);
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
        SystemCallLog::watch("/dev/bram1", delayMs, result);
        DataWorker worker;
        worker.setSampling(250, 1000); // 10 ms blocks
        Recorder recorder(worker);
        worker.startSingle(1000, 3);
        QVERIFY(finishes(worker));
        const QVector<SystemCallLog::PollCall> polls = SystemCallLog::pollCalls();
        QCOMPARE(polls.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(QString("%1 %2").arg(polls[i].events).arg(polls[i].timeoutMs), QStringLiteral("75 1000"));
            const qint64 slept = recorder.reports[i].second - polls[i].returnedNs;
            QVERIFY2(slept >= 10000000, qPrintable(QString::number(slept)));
        }
    }

    // A pause holds the step inside its slot until the GUI thread resumes; a resume that came
    // first is not lost (the pause returns at once, the next one waits again).
    void pauseAndResume()
    {
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        std::atomic<bool> resumed {false};
        Recorder recorder(worker, [&](int step, quint32, const quint32**, quint16, bool*) {
            if (step == 3) {
                QMetaObject::invokeMethod(&worker, [&] { worker.resume(), resumed = true; }, Qt::QueuedConnection);
                while (!resumed)
                    QThread::usleep(100);
            }
            if (step == 2 || step == 3 || step == 4)
                worker.pause();
        });
        worker.start(100, 1000, 300, -1);
        QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
        QTest::qWait(30);
        QCOMPARE(recorder.steps.load(), 1); // the second step is held inside its slot
        worker.resume();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps.load() == 3 && worker.isPaused(), 10000); // the third passed
        worker.resume();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.steps.load() >= 10, 10000);
        QVERIFY(!worker.isPaused());
        worker.stop();
        QCOMPARE(recorder.frequencies().mid(0, 6), Frequencies({100, 400, 700, 1000, 100, 400}));
    }

    // stop() releases a paused worker after its step, also when it races with the next pause.
    void stopReleasesAPausedWorker()
    {
        Board board;
        DataWorker worker;
        worker.setSampling(1, 1);
        Recorder recorder(worker, [&](int, quint32, const quint32**, quint16, bool*) { worker.pause(); });
        worker.startSingle(700, -1);
        QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
        worker.stop();
        QVERIFY(!worker.isRunning() && !worker.isPaused());
        QCOMPARE(recorder.steps.load(), 1);
        QCOMPARE(board.readRegister(0x04), 0u);
        worker.stop(); // an idle worker stops at once
        for (int round = 0; round < 40; ++round) {
            worker.startSingle(1000, -1);
            for (int i = 0; i < round % 4; ++i) {
                QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
                worker.resume();
            }
            if (round % 3 == 0)
                QThread::usleep(100 * (round % 5));
            worker.stop();
            QVERIFY(!worker.isRunning() && !worker.isPaused());
        }
    }

    void registersOutsideTheSteps()
    {
        Board board;
        board.writeRegister(0x2C, 5);
        DataWorker worker;
        // The filter is loaded at construction: the enable back to 0, the last coefficient last.
        QCOMPARE(QString("%1 %2").arg(board.readRegister(0x2C)).arg(board.readRegister(0x28)), QStringLiteral("0 7"));
        const qint16 table[] = {300, -5};
        worker.loadFilter(table, 2);
        QCOMPARE(board.readRegister(0x28), 0xFFFFFFFBu); // sign-extended
        QCOMPARE(worker.fpgaVersion(), board.readRegister(0x00));
        worker.setVolume(1234);
        QCOMPARE(board.readRegister(0x24), 1234u);
        // Sync is fine unless monitoring is on and the FPGA sees no sync signal.
        for (quint32 control : {0u, 1u + 4 + 64 + 128, 128u, 1u + 4 + 64}) {
            board.writeRegister(0x04, control);
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
        SimulatedBoard board;
        QVERIFY(board.prepare());
        board.useAsPlatformRoot();
        QVERIFY(missing == "short" ? board.writeBoardFile("/dev/bram0", QByteArray(4096, '\0')) : QFile::remove(board.path(missing)));
        OutputCapture output(STDOUT_FILENO);
        DataWorker worker;
        QVERIFY(output.text().contains(message.replace("%1", board.root().toLocal8Bit())));
        QVERIFY(!worker.isFpgaMapped());
        // A screen that starts the worker gets no data and nothing breaks.
        Recorder recorder(worker);
        worker.start(100, 1000, 300, -1);
        QVERIFY(!worker.isRunning());
        QTest::qWait(20);
        QCOMPARE(recorder.steps.load(), 0);
        worker.clearBuffers();
        worker.setVolume(3);
        QVERIFY(missing != "/dev/bram1" || (worker.fpgaVersion() == 0 && !worker.syncOk()));
    }
};

QTEST_GUILESS_MAIN(TestDataWorker)
#include "tst_dataworker.moc"
