// The acquisition worker against the board simulator: the worker's steps drive the simulated
// FPGA, its synthesiser faults reach the screens as frequency 0, and a board without FPGA
// memories leaves the worker idle.

#include "common/SimulatedBoard.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "util/MutexLocker.h"

#include <QMutex>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <string>
#include <vector>

namespace {

constexpr quint32 SimStarts = 0x108;
constexpr quint32 SimLastFrequency = 0x10C;

// Reports of the worker thread, read by the test under the same lock.
class StepLog
{
public:
    void add(quint32 frequency)
    {
        MutexLocker lock(&m_mutex);
        m_frequencies.push_back(frequency);
        m_count.store(int(m_frequencies.size()));
    }
    void fail(const QString& text)
    {
        MutexLocker lock(&m_mutex);
        m_failures.push_back(text.toStdString());
    }
    int count() const { return m_count.load(); }
    QVector<quint32> frequencies()
    {
        MutexLocker lock(&m_mutex);
        return QVector<quint32>(m_frequencies.begin(), m_frequencies.end());
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
    QMutex m_mutex;
    std::vector<quint32> m_frequencies;
    std::vector<std::string> m_failures;
    std::atomic<int> m_count {0};
};

} // namespace

class TestWorkerOnSimulator : public QObject
{
    Q_OBJECT

private slots:
    void stepsDriveTheSimulatedFpga();
    void unlockedSynthesiserReportsZero();
    void missingFpgaLeavesTheWorkerIdle();
};

void TestWorkerOnSimulator::stepsDriveTheSimulatedFpga()
{
    SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("7")});
    QVERIFY(board.isValid());
    QVERIFY(board.start());
    QVERIFY(board.mapMemories());
    board.useAsPlatformRoot();
    boardInit();

    DataWorker worker;
    QVERIFY(worker.isFpgaMapped());
    QCOMPARE(worker.fpgaVersion(), (1u << 24) | (4u << 16) | 27u);
    worker.setSyncMode(false);
    worker.setRadioSync(false);
    worker.setMeasurementTime(1, 1000);
    StepLog log;
    connect(
        &worker, &DataWorker::measurementFinished, &worker,
        [&](quint32 frequency, const quint32* minValues, const quint32* avgValues, const quint32* maxValues,
            quint16 nSamples, bool*) {
            const int step = log.count() + 1;
            // Wait (the worker holds the step) until the simulator has consumed this start.
            for (int i = 0; i < 2000 && board.readRegister(SimStarts) < quint32(step); ++i)
                QThread::usleep(1000);
            if (board.readRegister(SimStarts) != quint32(step))
                log.fail(QStringLiteral("step %1: %2 starts").arg(step).arg(board.readRegister(SimStarts)));
            if (board.readRegister(SimLastFrequency) != frequency)
                log.fail(QStringLiteral("step %1: simulator tuned to %2 kHz, worker reports %3")
                             .arg(step)
                             .arg(board.readRegister(SimLastFrequency))
                             .arg(frequency));
            if (nSamples != 25)
                log.fail(QStringLiteral("%1 samples").arg(nSamples));
            for (int i = 0; i < nSamples; ++i) {
                const quint32 low = minValues[i] & 0x3FFF, avg = avgValues[i] & 0x3FFF, high = maxValues[i] & 0x3FFF;
                if (!(low <= avg && avg <= high && high > 0)) {
                    log.fail(QStringLiteral("step %1 slot %2: %3 %4 %5").arg(step).arg(i).arg(low).arg(avg).arg(high));
                    break;
                }
            }
            log.add(frequency);
        },
        Qt::DirectConnection);

    worker.start(400000, 500000, 10000, 1);
    QVERIFY(worker.wait(20000));
    worker.stop();
    QCOMPARE(log.failures(), QStringList());
    QCOMPARE(log.frequencies(), QVector<quint32>({400000, 410000, 420000, 430000, 440000, 450000, 460000, 470000,
                                                  480000, 490000, 500000}));
    QCOMPARE(board.readRegister(0x04), 0u);
    QCOMPARE(board.readRegister(SimStarts), 11u);
}

void TestWorkerOnSimulator::unlockedSynthesiserReportsZero()
{
    SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("8")});
    QVERIFY(board.isValid());
    QVERIFY(board.start());
    board.useAsPlatformRoot();

    DataWorker worker;
    worker.setSampling(25, 1000);
    StepLog log;
    connect(
        &worker, &DataWorker::measurementFinished, &worker,
        [&](quint32 frequency, const quint32*, const quint32*, const quint32*, quint16, bool*) { log.add(frequency); },
        Qt::DirectConnection);
    worker.startSingle(600000, -1);
    QTRY_VERIFY_WITH_TIMEOUT(log.count() >= 3, 10000);
    QVERIFY(board.setFault(QStringLiteral("pll-unlocked"), true));
    const int unlockedFrom = log.count();
    QTRY_VERIFY_WITH_TIMEOUT(log.frequencies().mid(unlockedFrom).contains(0u), 10000);
    QVERIFY(board.setFault(QStringLiteral("pll-unlocked"), false));
    const int lockedFrom = log.count();
    // Back in lock, the worker reports its frequency again: it kept its tuning meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(log.frequencies().mid(lockedFrom).contains(600000u), 10000);
    worker.stop();
    for (quint32 frequency : log.frequencies())
        QVERIFY(frequency == 0 || frequency == 600000);
}

void TestWorkerOnSimulator::missingFpgaLeavesTheWorkerIdle()
{
    SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("9")});
    QVERIFY(board.isValid());
    QVERIFY(board.start());
    QVERIFY(board.setFault(QStringLiteral("fpga-missing"), true));
    board.useAsPlatformRoot();

    DataWorker worker;
    QVERIFY(!worker.isFpgaMapped());
    int steps = 0;
    connect(
        &worker, &DataWorker::measurementFinished, &worker,
        [&steps](quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) { ++steps; },
        Qt::DirectConnection);
    worker.start(150000, 1000000, 1700, -1);
    QVERIFY(!worker.isRunning());
    QTest::qWait(50);
    QCOMPARE(steps, 0);
    worker.stop();
}

QTEST_GUILESS_MAIN(TestWorkerOnSimulator)
#include "tst_workeronsimulator.moc"
