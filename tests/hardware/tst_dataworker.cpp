#include "FpgaStandIn.h"
#include "OutputCapture.h"
#include "common/TestRoot.h"
#include "hardware/DataWorker.h"
#include "util/MutexLocker.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QtTest>

#include <atomic>
#include <functional>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

// What the worker reported, recorded by a slot that runs in the worker thread (connected
// directly, as the screens do) and read by the test in the GUI thread under the same lock.
class Recorder
{
public:
    // Runs in the worker thread for every step (1-based) before the step is recorded.
    using Action = std::function<void(int step, quint32 frequency, const quint32* minValues, const quint32* avgValues,
                                      const quint32* maxValues, quint16 nSamples, bool* repeat)>;

    explicit Recorder(DataWorker& worker, Action action = Action())
        : m_action(std::move(action))
    {
        QObject::connect(
            &worker, &DataWorker::measurementFinished, &worker,
            [this](quint32 frequency, const quint32* minValues, const quint32* avgValues, const quint32* maxValues,
                   quint16 nSamples, bool* repeat) {
                const int step = m_steps.load() + 1;
                if (m_action)
                    m_action(step, frequency, minValues, avgValues, maxValues, nSamples, repeat);
                {
                    MutexLocker lock(&m_mutex);
                    m_frequencies.push_back(frequency);
                    m_sampleCounts.push_back(nSamples);
                }
                m_steps.store(step);
            },
            Qt::DirectConnection);
    }

    int steps() const { return m_steps.load(); }
    // Fresh copies made under the lock (an implicitly shared copy would be read outside it
    // while the worker appends).
    QVector<quint32> frequencies()
    {
        MutexLocker lock(&m_mutex);
        return QVector<quint32>(m_frequencies.begin(), m_frequencies.end());
    }
    QVector<quint16> sampleCounts()
    {
        MutexLocker lock(&m_mutex);
        return QVector<quint16>(m_sampleCounts.begin(), m_sampleCounts.end());
    }
    // A failure seen in the worker thread (QVERIFY works only in the test's thread).
    void fail(const QString& text)
    {
        MutexLocker lock(&m_mutex);
        m_failures.push_back(text.toStdString());
    }
    QStringList failures()
    {
        MutexLocker lock(&m_mutex);
        QStringList list;
        for (const std::string& text : m_failures)
            list.append(QString::fromStdString(text));
        return list;
    }

private:
    Action m_action;
    std::atomic<int> m_steps {0};
    QMutex m_mutex;
    std::vector<quint32> m_frequencies;
    std::vector<quint16> m_sampleCounts;
    std::vector<std::string> m_failures;
};

// A test root with the FPGA's memory files and the synthesiser's frequency file.
struct Board
{
    Board() { FpgaStandIn::createFiles(root.root()); }
    TestRoot root;
};

// Blocks of one sample of one clock: a step costs little more than the synthesiser's settling.
void makeFast(DataWorker& worker)
{
    worker.setSampling(1, 1);
}

// Waits for a run that ends by itself, then lets stop() collect it.
bool finishes(DataWorker& worker)
{
    const bool ended = worker.wait(20000);
    worker.stop();
    return ended;
}

QVector<quint32> sweep(quint32 start, quint32 stop, quint32 step, int rounds)
{
    QVector<quint32> expected;
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
    void sampleArithmetic_data();
    void sampleArithmetic();
    void stepRegisters();
    void controlWords_data();
    void controlWords();
    void sweepVisitsAndWraps_data();
    void sweepVisitsAndWraps();
    void repeatCounts();
    void singleFrequencyRunsUntilStopped();
    void repeatFlag();
    void unreadableSynthesiserReportsZero();
    void buffersCarryTheBlock();
    void blockTimePacesTheSteps();
    void pauseAndResume();
    void stopReleasesPausedWorker();
    void stopWhileTheSlotPausesEveryStep();
    void startStopsARunningWorker();
    void filterLoad();
    void registerAccess();
    void syncFollowsTheFpga();
    void missingMemories_data();
    void missingMemories();
};

void TestDataWorker::sampleArithmetic_data()
{
    QTest::addColumn<bool>("byTime");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("clocks");
    QTest::addColumn<int>("expectedSamples");
    QTest::addColumn<int>("expectedClocks");
    QTest::newRow("20 ms") << true << 20 << 1000 << 500 << 1000;
    QTest::newRow("80 ms") << true << 80 << 1000 << 2000 << 1000;
    QTest::newRow("200 ms") << true << 200 << 1000 << 2048 << 1000;
    QTest::newRow("1 ms") << true << 1 << 1000 << 25 << 1000;
    QTest::newRow("20 ms at 5000 clocks") << true << 20 << 5000 << 122 << 4096;
    QTest::newRow("0 ms") << true << 0 << 1000 << 1 << 1000;
    QTest::newRow("0 clocks") << true << 1 << 0 << 2048 << 1;
    QTest::newRow("3000 x 5000") << false << 3000 << 5000 << 2048 << 4096;
    QTest::newRow("500 x 1000") << false << 500 << 1000 << 500 << 1000;
    QTest::newRow("0 x 0") << false << 0 << 0 << 1 << 1;
}

void TestDataWorker::sampleArithmetic()
{
    QFETCH(bool, byTime);
    QFETCH(int, first);
    QFETCH(int, clocks);
    QFETCH(int, expectedSamples);
    QFETCH(int, expectedClocks);
    Board board;
    DataWorker worker;
    QCOMPARE(worker.sampleCount(), quint16(500));
    QCOMPARE(worker.clocksPerSample(), quint16(1000));
    if (byTime)
        worker.setMeasurementTime(quint16(first), quint16(clocks));
    else
        worker.setSampling(quint16(first), quint16(clocks));
    QCOMPARE(int(worker.sampleCount()), expectedSamples);
    QCOMPARE(int(worker.clocksPerSample()), expectedClocks);
}

void TestDataWorker::stepRegisters()
{
    Board board;
    DataWorker worker;
    FpgaStandIn fpga(board.root.root(), false);
    worker.setSampling(7, 3);
    worker.setAuxLevel(100);
    Recorder recorder(worker, [&](int, quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) {
        if (fpga.reg(0x08) != 2 || fpga.reg(0x0C) != 7 || fpga.reg(0x30) != 100)
            recorder.fail(QStringLiteral("registers %1 %2 %3").arg(fpga.reg(0x08)).arg(fpga.reg(0x0C)).arg(fpga.reg(0x30)));
    });
    worker.startSingle(123, 0);
    QVERIFY(finishes(worker));
    QCOMPARE(recorder.failures(), QStringList());
    QCOMPARE(recorder.frequencies(), QVector<quint32>({123}));
    QCOMPARE(recorder.sampleCounts(), QVector<quint16>({7}));
    // The synthesiser runs at twice the receive frequency, in Hz.
    QCOMPARE(board.root.readFile("/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency"), QByteArray("246000"));

    // The auxiliary level is 2048 unless changed.
    DataWorker second;
    makeFast(second);
    second.startSingle(200, 0);
    QVERIFY(finishes(second));
    QCOMPARE(fpga.reg(0x30), 2048u);
}

void TestDataWorker::controlWords_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<bool>("phaseSync");
    QTest::addColumn<bool>("radio");
    QTest::addColumn<quint32>("running");
    QTest::addColumn<quint32>("stopping");
    QTest::newRow("50 Hz") << 50 << false << false << 1u << 0u;
    QTest::newRow("50 Hz radio without phase sync") << 50 << false << true << 1u << 0u;
    QTest::newRow("60 Hz") << 60 << false << false << 17u << 16u;
    QTest::newRow("60 Hz radio without phase sync") << 60 << false << true << 17u << 16u;
    QTest::newRow("50 Hz phase sync") << 50 << true << false << 69u << 68u;
    QTest::newRow("50 Hz phase sync radio") << 50 << true << true << 101u << 100u;
    QTest::newRow("60 Hz phase sync") << 60 << true << false << 85u << 84u;
    QTest::newRow("60 Hz phase sync radio") << 60 << true << true << 117u << 116u;
    QTest::newRow("no rate set") << 0 << false << false << 1u << 0u;
}

void TestDataWorker::controlWords()
{
    QFETCH(int, rate);
    QFETCH(bool, phaseSync);
    QFETCH(bool, radio);
    QFETCH(quint32, running);
    QFETCH(quint32, stopping);
    Board board;
    DataWorker worker;
    FpgaStandIn fpga(board.root.root(), false);
    makeFast(worker);
    if (rate)
        worker.setSweepRate(rate);
    worker.setSyncMode(phaseSync);
    worker.setRadioSync(radio);
    QVector<quint32> seen;
    Recorder recorder(worker, [&](int, quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) {
        seen.append(fpga.reg(0x04));
    });
    worker.startSingle(1000, 2);
    QVERIFY(finishes(worker));
    // Nothing stands in for the FPGA here, so a software start stays visible; in
    // phase-synchronous mode the blocks start on the sync trigger and no start is written.
    const quint32 armed = phaseSync ? running : running + 8;
    QCOMPARE(seen, QVector<quint32>({armed, armed}));
    QCOMPARE(fpga.reg(0x04), stopping);
}

void TestDataWorker::sweepVisitsAndWraps_data()
{
    QTest::addColumn<quint32>("start");
    QTest::addColumn<quint32>("stop");
    QTest::addColumn<quint32>("step");
    QTest::addColumn<int>("rounds");
    QTest::newRow("150..1000 MHz, 1700 kHz") << 150000u << 1000000u << 1700u << 2;
    QTest::newRow("stop on the grid") << 100u << 1000u << 300u << 3;
    QTest::newRow("stop between steps") << 100u << 1000u << 400u << 3;
    QTest::newRow("start above stop") << 1000u << 100u << 300u << 3;
}

void TestDataWorker::sweepVisitsAndWraps()
{
    QFETCH(quint32, start);
    QFETCH(quint32, stop);
    QFETCH(quint32, step);
    QFETCH(int, rounds);
    Board board;
    DataWorker worker;
    makeFast(worker);
    Recorder recorder(worker);
    worker.start(start, stop, step, rounds);
    QVERIFY(finishes(worker));
    const QVector<quint32> expected = sweep(start, stop, step, rounds);
    const QVector<quint32> visited = recorder.frequencies();
    QCOMPARE(visited.size(), expected.size());
    QCOMPARE(visited, expected);
    if (start == 150000u)
        QCOMPARE(expected.size(), 2 * 501);
}

void TestDataWorker::repeatCounts()
{
    Board board;
    DataWorker worker;
    makeFast(worker);
    Recorder recorder(worker);

    // 0 stops after the first step, sweep or not.
    worker.start(100, 1000, 300, 0);
    QVERIFY(finishes(worker));
    QCOMPARE(recorder.frequencies(), QVector<quint32>({100}));

    // 1 runs one full sweep.
    worker.start(100, 1000, 300, 1);
    QVERIFY(finishes(worker));
    QCOMPARE(recorder.frequencies(), QVector<quint32>({100, 100, 400, 700, 1000}));

    // A single frequency counts every step.
    worker.startSingle(555, 3);
    QVERIFY(finishes(worker));
    QCOMPARE(recorder.frequencies().mid(5), QVector<quint32>({555, 555, 555}));
    QVERIFY(!worker.isRunning());
    QVERIFY(!worker.isPaused());
}

void TestDataWorker::singleFrequencyRunsUntilStopped()
{
    Board board;
    DataWorker worker;
    makeFast(worker);
    Recorder recorder(worker);
    worker.startSingle(433920, -1);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 30, 10000);
    QVERIFY(worker.isRunning());
    worker.stop();
    QVERIFY(!worker.isRunning());
    const QVector<quint32> visited = recorder.frequencies();
    QVERIFY(visited.size() >= 30);
    QCOMPARE(visited.count(433920u), visited.size());
    // Nothing more arrives after stop() returned.
    const int steps = recorder.steps();
    QTest::qWait(20);
    QCOMPARE(recorder.steps(), steps);
}

void TestDataWorker::repeatFlag()
{
    Board board;
    DataWorker worker;
    makeFast(worker);
    // Every second call asks for the same step again, as the reference measurement does.
    Recorder recorder(worker, [](int step, quint32, const quint32*, const quint32*, const quint32*, quint16,
                                 bool* repeat) { *repeat = step % 2 == 1; });
    worker.start(100, 1000, 300, 1);
    QVERIFY(finishes(worker));
    QCOMPARE(recorder.frequencies(), QVector<quint32>({100, 100, 400, 400, 700, 700, 1000, 1000}));

    // A repeated step is not counted: two counted steps take four reports.
    Recorder single(worker, [](int step, quint32, const quint32*, const quint32*, const quint32*, quint16,
                               bool* repeat) { *repeat = step % 2 == 1; });
    worker.startSingle(250, 2);
    QVERIFY(finishes(worker));
    QCOMPARE(single.frequencies(), QVector<quint32>({250, 250, 250, 250}));

    // A repeat count of 0 still honours a repeat of the first step.
    Recorder once(worker, [](int step, quint32, const quint32*, const quint32*, const quint32*, quint16,
                             bool* repeat) { *repeat = step == 1; });
    worker.start(100, 1000, 300, 0);
    QVERIFY(finishes(worker));
    QCOMPARE(once.frequencies(), QVector<quint32>({100, 100}));
}

void TestDataWorker::unreadableSynthesiserReportsZero()
{
    Board board;
    const QString pll = "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency";
    QVERIFY(QFile::remove(board.root.path(pll)));
    DataWorker worker;
    makeFast(worker);
    Recorder recorder(worker);
    worker.startSingle(500000, -1);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 5, 10000);
    // The synthesiser comes back: the worker is still tuned to its frequency.
    QVERIFY(board.root.writeFile(pll, "0\n"));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.frequencies().contains(500000u), 10000);
    worker.stop();
    const QVector<quint32> visited = recorder.frequencies();
    QCOMPARE(visited.first(), 0u);
    const int firstLocked = visited.indexOf(500000u);
    QVERIFY(firstLocked >= 5);
    QCOMPARE(visited.mid(0, firstLocked).count(0u), firstLocked);
    QCOMPARE(visited.mid(firstLocked).count(500000u), visited.size() - firstLocked);

    // In a sweep the unlocked steps are reported as 0 and the sweep keeps its course.
    QVERIFY(QFile::remove(board.root.path(pll)));
    Recorder sweepRecorder(worker);
    worker.start(100, 1000, 300, 1);
    QVERIFY(finishes(worker));
    QCOMPARE(sweepRecorder.frequencies(), QVector<quint32>({0, 0, 0, 0}));
}

void TestDataWorker::buffersCarryTheBlock()
{
    Board board;
    DataWorker worker;
    FpgaStandIn fpga(board.root.root());
    QVERIFY(fpga.isValid());
    worker.setSampling(50, 100); // 200 µs blocks
    Recorder recorder(worker, [&](int step, quint32 frequency, const quint32* minValues, const quint32* avgValues,
                                  const quint32* maxValues, quint16 nSamples, bool*) {
        if (!fpga.waitForBlocks(quint32(step))) {
            recorder.fail(QStringLiteral("no block for step %1").arg(step));
            return;
        }
        if (avgValues != minValues + 2048 || maxValues != minValues + 4096)
            recorder.fail(QStringLiteral("buffer layout"));
        if (nSamples != 50)
            recorder.fail(QStringLiteral("sample count %1").arg(nSamples));
        for (int i = 0; i < nSamples; ++i) {
            if (minValues[i] != quint32(i) || avgValues[i] != quint32(step) || maxValues[i] != frequency) {
                recorder.fail(QStringLiteral("step %1 slot %2: %3 %4 %5")
                                  .arg(step)
                                  .arg(i)
                                  .arg(minValues[i])
                                  .arg(avgValues[i])
                                  .arg(maxValues[i]));
                return;
            }
        }
    });
    worker.start(1000, 2000, 100, 1);
    QVERIFY(finishes(worker));
    QCOMPARE(recorder.failures(), QStringList());
    QCOMPARE(recorder.frequencies(), sweep(1000, 2000, 100, 1));
    // One software start per step, each consumed.
    QCOMPARE(fpga.blocks(), 11u);
    QCOMPARE(fpga.reg(0x04), 0u);

    // clearBuffers zeroes the first 4096 bytes of each buffer.
    for (quint32 offset : {0x0000u, 0x2000u, 0x4000u}) {
        for (int i = 0; i < 2048; ++i)
            QVERIFY(offset != 0x0000 || i >= 50 || fpga.sample(offset, i) == quint32(i));
    }
    worker.clearBuffers();
    for (quint32 offset : {0x0000u, 0x2000u, 0x4000u}) {
        for (int i = 0; i < 1024; ++i)
            QCOMPARE(fpga.sample(offset, i), 0u);
    }
}

void TestDataWorker::blockTimePacesTheSteps()
{
    // On a stand-in memory the interrupt poll returns at once: the worker must still give each
    // block its full time (here 250 samples x 1000 clocks x 40 ns = 10 ms) before reading it.
    Board board;
    DataWorker worker;
    worker.setSampling(250, 1000);
    Recorder recorder(worker);
    QElapsedTimer timer;
    timer.start();
    worker.startSingle(1000, 5);
    QVERIFY(finishes(worker));
    QCOMPARE(recorder.steps(), 5);
    QVERIFY2(timer.elapsed() >= 50, qPrintable(QString::number(timer.elapsed())));
}

void TestDataWorker::pauseAndResume()
{
    Board board;
    DataWorker worker;
    makeFast(worker);
    QVERIFY(!worker.isPaused());
    Recorder recorder(worker, [&](int step, quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) {
        if (step == 3)
            worker.pause();
    });
    worker.start(100, 1000, 300, -1);
    QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
    QCOMPARE(recorder.steps(), 2); // the third is held inside its slot
    QTest::qWait(30);
    QCOMPARE(recorder.steps(), 2);
    QVERIFY(worker.isRunning());

    worker.resume();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 10, 10000);
    QVERIFY(!worker.isPaused());
    worker.stop();
    const QVector<quint32> visited = recorder.frequencies();
    QCOMPARE(visited.mid(0, 6), QVector<quint32>({100, 400, 700, 1000, 100, 400}));
}

void TestDataWorker::stopReleasesPausedWorker()
{
    Board board;
    DataWorker worker;
    FpgaStandIn fpga(board.root.root(), false);
    makeFast(worker);
    Recorder recorder(worker, [&](int step, quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) {
        if (step == 1)
            worker.pause();
    });
    worker.startSingle(700, -1);
    QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
    worker.stop();
    // The worker finished the step it was paused in, and no other.
    QVERIFY(!worker.isRunning());
    QCOMPARE(recorder.steps(), 1);
    QCOMPARE(fpga.reg(0x04), 0u);
    QVERIFY(!worker.isPaused());
    // Stopping an idle worker returns at once.
    worker.stop();
    worker.stop();
    QVERIFY(!worker.isPaused());
}

void TestDataWorker::stopWhileTheSlotPausesEveryStep()
{
    // The time-domain screen pauses after every block. A stop() racing with the next pause
    // must still end the thread, whichever comes first.
    Board board;
    DataWorker worker;
    makeFast(worker);
    Recorder recorder(worker, [&](int, quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) {
        worker.pause();
    });
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

void TestDataWorker::startStopsARunningWorker()
{
    Board board;
    DataWorker worker;
    makeFast(worker);
    Recorder recorder(worker);
    worker.start(100, 1000, 300, -1);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 5, 10000);
    worker.startSingle(777, -1);
    QVERIFY(worker.isRunning());
    const int restartedAt = recorder.steps();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= restartedAt + 10, 10000);
    worker.stop();

    // One run after the other, never both at once: the sweep's reports, then only 777.
    const QVector<quint32> visited = recorder.frequencies();
    const int first = visited.indexOf(777u);
    QVERIFY(first >= 5 && first <= restartedAt);
    for (int i = 0; i < first; ++i)
        QVERIFY(visited[i] == 100 || visited[i] == 400 || visited[i] == 700 || visited[i] == 1000);
    QCOMPARE(visited.mid(first).count(777u), visited.size() - first);
}

void TestDataWorker::filterLoad()
{
    QCOMPARE(DataWorker::FILTER_TABLE_SIZE, 100u);
    int sum = 0;
    for (unsigned i = 0; i < DataWorker::FILTER_TABLE_SIZE; ++i) {
        sum += DataWorker::FILTER_TABLE[i];
        QCOMPARE(DataWorker::FILTER_TABLE[i], DataWorker::FILTER_TABLE[DataWorker::FILTER_TABLE_SIZE - 1 - i]);
    }
    QCOMPARE(sum, 16372);
    QCOMPARE(DataWorker::FILTER_TABLE[49], qint16(737));

    Board board;
    FpgaStandIn fpga(board.root.root(), false);
    fpga.setReg(0x2C, 5);
    DataWorker worker;
    // Loaded at construction: the enable is back to 0 and the last coefficient is in the port.
    QCOMPARE(fpga.reg(0x2C), 0u);
    QCOMPARE(fpga.reg(0x28), 7u);

    // Coefficients are sign-extended to the 32-bit port.
    const qint16 table[] = {300, -5};
    worker.loadFilter(table, 2);
    QCOMPARE(fpga.reg(0x28), 0xFFFFFFFBu);
    QCOMPARE(fpga.reg(0x2C), 0u);
    worker.loadFilter(table, 1);
    QCOMPARE(fpga.reg(0x28), 300u);
}

void TestDataWorker::registerAccess()
{
    Board board;
    FpgaStandIn fpga(board.root.root(), false);
    DataWorker worker;
    QCOMPARE(worker.fpgaVersion(), 0x01020003u);
    worker.setVolume(1234);
    QCOMPARE(fpga.reg(0x24), 1234u);

    // Sync is fine unless monitoring is on and the FPGA sees no sync signal.
    fpga.setReg(0x04, 0);
    QVERIFY(worker.syncOk());
    fpga.setReg(0x04, 1 + 4 + 64);
    QVERIFY(!worker.syncOk());
    fpga.setReg(0x04, 1 + 4 + 64 + 128);
    QVERIFY(worker.syncOk());
    fpga.setReg(0x04, 128);
    QVERIFY(worker.syncOk());
}

void TestDataWorker::syncFollowsTheFpga()
{
    Board board;
    FpgaStandIn fpga(board.root.root());
    DataWorker worker;
    worker.setSweepRate(50);
    worker.setSyncMode(true);
    worker.setSampling(500, 20); // 400 µs blocks
    Recorder recorder(worker);
    worker.startSingle(100000, -1);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.steps() >= 2, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!worker.syncOk(), 10000);
    fpga.setSyncPresent(true);
    QTRY_VERIFY_WITH_TIMEOUT(worker.syncOk(), 10000);
    fpga.setSyncPresent(false);
    QTRY_VERIFY_WITH_TIMEOUT(!worker.syncOk(), 10000);
    worker.stop();
    // Phase-synchronous blocks are never started by software.
    QCOMPARE(fpga.blocks(), 0u);
}

void TestDataWorker::missingMemories_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("bram0") << "/dev/bram0" << QByteArray("Fehler bei open ");
    QTest::newRow("bram1") << "/dev/bram1" << QByteArray("Fehler bei open ");
    QTest::newRow("both") << "both" << QByteArray("Fehler bei open ");
    QTest::newRow("short bram0") << "short" << QByteArray("Fehler bei mmap ");
}

void TestDataWorker::missingMemories()
{
    QFETCH(QString, missing);
    QFETCH(QByteArray, message);
    Board board;
    if (missing == "both") {
        QVERIFY(QFile::remove(board.root.path("/dev/bram0")));
        QVERIFY(QFile::remove(board.root.path("/dev/bram1")));
    } else if (missing == "short") {
        QVERIFY(board.root.writeFile("/dev/bram0", QByteArray(4096, '\0')));
    } else {
        QVERIFY(QFile::remove(board.root.path(missing)));
    }

    OutputCapture output(STDOUT_FILENO);
    DataWorker worker;
    const QByteArray text = output.text();
    QVERIFY2(text.contains(message), text.constData());
    if (missing == "short")
        QVERIFY(text.contains("/dev/bram0 00000000\n"));
    else if (missing != "both")
        QVERIFY(text.contains(message + board.root.path(missing).toLocal8Bit() + "\n"));
    QVERIFY(!worker.isFpgaMapped());

    // A screen that starts the worker gets no data and nothing breaks.
    makeFast(worker);
    Recorder recorder(worker);
    worker.start(100, 1000, 300, -1);
    QVERIFY(!worker.isRunning());
    worker.startSingle(500, 1);
    QVERIFY(!worker.isRunning());
    QTest::qWait(20);
    QCOMPARE(recorder.steps(), 0);
    QVERIFY(!worker.isPaused());
    worker.clearBuffers();
    worker.setVolume(3);
    worker.loadFilter(DataWorker::FILTER_TABLE, DataWorker::FILTER_TABLE_SIZE);
    if (missing != "/dev/bram0" && missing != "short") {
        QCOMPARE(worker.fpgaVersion(), 0u);
        QVERIFY(!worker.syncOk());
    }
    worker.stop();
}

QTEST_GUILESS_MAIN(TestDataWorker)
#include "tst_dataworker.moc"
