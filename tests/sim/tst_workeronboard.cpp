// The instrument's own acquisition worker and board I/O, unchanged, against the board simulator:
// a spectrum sweep delivers fresh blocks at the tuned frequencies with the expected levels,
// phase-synchronous acquisition follows the radio sync sensor, and an unlocked PLL is reported as
// frequency 0.

#include "util/ConversionHelper.h"
#include "common/SimulatedBoard.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "util/Configuration.h"
#include "util/SystemHelper.h"

#include <QVector>
#include <QtTest>

#include <atomic>

namespace {

constexpr quint32 SimLastFrequency = 0x10C;

struct Step
{
    quint32 frequency;
    quint32 blockFrequency; // what the simulator measured for the buffers at hand
    double averageRaw;
    quint32 peakRaw;
};


// Preamplifier on, default calibration.
double toDbm(double raw)
{
    return -75.0 + (ConversionHelper::linearizeValue(int(raw)) - 7150) / 195.0;
}

} // namespace

class TestWorkerOnBoard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!SimulatedBoard::program().isEmpty(), "CORVANE_SIM names the simulator program");
    }

    void spectrumSweepMeasuresWhatIsTuned()
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
        setAntennaSelectA(true);
        setOffsetAmplifier(630);

        DataWorker worker;
        QVERIFY(worker.isFpgaMapped());
        QCOMPARE(SystemHelper::fpgaVersionText(worker.fpgaVersion()), QStringLiteral("1.4.27"));

        QVector<Step> steps;
        steps.reserve(600);
        connect(
            &worker, &DataWorker::measurementFinished, &worker,
            [&steps, &board](quint32 frequency, const quint32*, const quint32* avg, const quint32* max, quint16 n, bool*) {
                quint64 sum = 0;
                quint32 peak = 0;
                for (int i = 0; i < n; ++i) {
                    sum += avg[i] & 0x3FFF;
                    peak = qMax(peak, max[i] & 0x3FFF);
                }
                steps.append({frequency, board.readRegister(SimLastFrequency), double(sum) / n, peak});
            },
            Qt::DirectConnection);
        worker.setSyncMode(false);
        worker.setRadioSync(false);
        worker.setMeasurementTime(2, 1000);
        worker.start(150000, 1000000, 1700, 1);
        QVERIFY(worker.wait(20000));
        worker.stop();

        QCOMPARE(steps.size(), 501);
        int fresh = 0;
        for (int i = 0; i < steps.size(); ++i) {
            QCOMPARE(steps.at(i).frequency, 150000u + 1700u * quint32(i));
            fresh += steps.at(i).blockFrequency == steps.at(i).frequency ? 1 : 0;
        }
        // The simulator fills a block within the worker's block time (a busy machine may delay a few).
        if (fresh < 450) {
            for (int i = 0; i < steps.size(); ++i) {
                if (steps.at(i).blockFrequency != steps.at(i).frequency)
                    qDebug("stale step %d: %u %u", i, steps.at(i).frequency, steps.at(i).blockFrequency);
            }
        }
        QVERIFY2(fresh >= 450, qPrintable(QString::number(fresh)));

        // The carrier (446.1 MHz) stands out in the average; the band's quiet end shows the noise.
        const Step& carrier = steps.at((446100 - 150000 + 850) / 1700);
        QVERIFY2(toDbm(carrier.averageRaw) > -60.0, qPrintable(QString::number(toDbm(carrier.averageRaw))));
        double quiet = 0.0;
        for (int i = 480; i < 501; ++i)
            quiet += toDbm(steps.at(i).averageRaw) / 21.0;
        QVERIFY2(quiet > -110.0 && quiet < -98.0, qPrintable(QString::number(quiet)));
        // Discharges around 600 MHz: a 2 ms block sees a tenth of the mains cycle, so some steps
        // catch a pulse cluster: their maximum stands far above the average.
        double highest = -200.0;
        double averageThere = 0.0;
        for (int i = (560000 - 150000) / 1700; i <= (640000 - 150000) / 1700; ++i) {
            highest = qMax(highest, toDbm(steps.at(i).peakRaw));
            averageThere = qMax(averageThere, steps.at(i).averageRaw);
        }
        QVERIFY2(highest > -70.0 && highest - toDbm(averageThere) > 20.0,
                 qPrintable(QStringLiteral("%1 %2").arg(highest).arg(toDbm(averageThere))));
    }

    void phaseSynchronousAcquisitionFollowsTheRadioSensor()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("22"), QStringLiteral("--radio-rate"), QStringLiteral("20")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        board.useAsPlatformRoot();
        boardInit();
        setMeasMode(Configuration::MEAS_MODE_RMS);
        setAntennaPath(Configuration::ANTENNA_UHF);
        setSyncSource(Configuration::SYNC_MAINS_RF);
        QTRY_VERIFY_WITH_TIMEOUT(syncDetected(), 1000);

        DataWorker worker;
        std::atomic<int> blocks{0};
        connect(
            &worker, &DataWorker::measurementFinished, &worker,
            [&blocks](quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) { ++blocks; },
            Qt::DirectConnection);
        worker.setSweepRate(50);
        worker.setSyncMode(true);
        worker.setRadioSync(true);
        worker.setSampling(500, 1000);
        worker.startSingle(600000, -1);
        QTRY_VERIFY_WITH_TIMEOUT(worker.syncOk(), 1000);
        const int before = blocks;
        QTest::qWait(500);
        const int inHalfSecond = blocks - before;
        // The worker paces itself by its sleeps (one mains period per step): never faster than the
        // mains, a little slower on a busy machine or in a sanitizer build.
        QVERIFY2(inHalfSecond >= 5 && inHalfSecond <= 26, qPrintable(QString::number(inHalfSecond)));

        QVERIFY(board.setFault(QStringLiteral("radio-silent"), true));
        QTRY_VERIFY_WITH_TIMEOUT(!worker.syncOk(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!syncDetected(), 1000);
        const int silent = SystemHelper::interruptCount();
        QTest::qWait(200);
        QCOMPARE(SystemHelper::interruptCount(), silent);
        QVERIFY(board.setFault(QStringLiteral("radio-silent"), false));
        QTRY_VERIFY_WITH_TIMEOUT(worker.syncOk(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(SystemHelper::interruptCount() > silent, 1000);
        worker.stop();
        QCOMPARE(board.readRegister(0x04), 116u - 16u); // stopping word at 50 Hz: 4 + 32 + 64
    }

    void unlockedPllIsReportedAsFrequencyZero()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("23")});
        QVERIFY(board.start());
        board.useAsPlatformRoot();
        DataWorker worker;
        QVector<quint32> frequencies;
        connect(
            &worker, &DataWorker::measurementFinished, &worker,
            [&frequencies](quint32 frequency, const quint32*, const quint32*, const quint32*, quint16, bool*) {
                frequencies.append(frequency);
            },
            Qt::DirectConnection);
        worker.setMeasurementTime(1, 1000);
        QVERIFY(board.setFault(QStringLiteral("pll-unlocked"), true));
        worker.startSingle(500000, 3);
        QVERIFY(worker.wait(5000));
        worker.stop();
        QCOMPARE(frequencies, QVector<quint32>({0, 0, 0}));
        QVERIFY(board.setFault(QStringLiteral("pll-unlocked"), false));
        frequencies.clear();
        worker.startSingle(500000, 2);
        QVERIFY(worker.wait(5000));
        worker.stop();
        QCOMPARE(frequencies, QVector<quint32>({500000, 500000}));
    }
};

QTEST_GUILESS_MAIN(TestWorkerOnBoard)
#include "tst_workeronboard.moc"
