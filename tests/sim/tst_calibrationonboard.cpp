// Both calibrations as a person runs them on the simulated board, with the instrument's own
// worker, screens and calibration store: the offset calibration with the input disconnected,
// then the two-point level calibration with the simulator's reference generator switched to the
// low and high level of every step. The derived values must be the board's own (sim/README.md).

#include "common/SimulatedBoard.h"
#include "dialogs/KalibDialog.h"
#include "dialogs/LevelMeterDialog.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "util/Calibration.h"
#include "util/CalibrationTriple.h"
#include "util/Configuration.h"

#include <QtTest>

#include <cmath>

namespace {

constexpr quint32 SimBlocks = 0x104;

// The simulated board: raw counts at the low level and counts per unit of level of each case
// (RMS and envelope offsets: the detector's rest behind the null offset found, 21.3 and 21.2,
// plus the receiver's noise at 501 MHz).
struct Truth
{
    Calibration::ValueType offsetKey;
    double offset;
    double offsetTolerance;
    Calibration::ValueType factorKey;
    double factor;
};
const Truth TRUTH[] = {
    {Calibration::VT_AmpOnLOGOffset, 7150, 2, Calibration::VT_AmpOnLOGFaktor, 195},
    {Calibration::VT_AmpOffLOGOffset, 7000, 2, Calibration::VT_AmpOffLOGFaktor, 195},
    {Calibration::VT_AmpOnRMSOffset, 24.7, 2, Calibration::VT_AmpOnRMSFaktor, 9},
    {Calibration::VT_AmpOffRMSOffset, 24.1, 2, Calibration::VT_AmpOffRMSFaktor, 0.52},
    {Calibration::VT_AmpOnENVOffset, 22.5, 2, Calibration::VT_AmpOnENVFaktor, 4},
    {Calibration::VT_AmpOffENVOffset, 23.3, 2, Calibration::VT_AmpOffENVFaktor, 0.44},
    {Calibration::VT_BBLOGOffset, 7000, 2, Calibration::VT_BBLOGFaktor, 195},
    {Calibration::VT_BBRMSOffset, 22.3, 2, Calibration::VT_BBRMSFaktor, 0.48},
    {Calibration::VT_BBENVOffset, 21.9, 2, Calibration::VT_BBENVFaktor, 0.40},
};

} // namespace

class TestCalibrationOnBoard : public QObject
{
    Q_OBJECT

private:
    // Waits until the simulator has delivered a few blocks more (the worker has handled them).
    static bool freshBlocks(SimulatedBoard& board, quint32 count = 4)
    {
        const quint32 before = board.readRegister(SimBlocks);
        QElapsedTimer clock;
        clock.start();
        while (board.readRegister(SimBlocks) - before < count) {
            if (clock.elapsed() > 20000)
                return false;
            QTest::qWait(5);
        }
        QTest::qWait(20);
        return true;
    }

private slots:
    void bothCalibrationsFindTheBoardsValues()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("11")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        board.useAsPlatformRoot();
        boardInit();
        Calibration::clear();
        // A board calibrated wrongly before: the procedures must not depend on it.
        Calibration::setValue(Calibration::VT_NullOffsetLOG, 400);
        Calibration::setValue(Calibration::VT_BBRMSFaktor, 3.0);
        DataWorker worker;
        QVERIFY(worker.isFpgaMapped());

        KalibDialog kalib(&worker);
        kalib.exec();
        kalib.on_StartKalButton_clicked();
        QTRY_VERIFY_WITH_TIMEOUT(!Calibration::getString(Calibration::VT_KalibTimestamp).isEmpty(), 120000);
        kalib.on_ExitButton_clicked();
        const int nullLog = Calibration::getInt(Calibration::VT_NullOffsetLOG);
        const int nullRms = Calibration::getInt(Calibration::VT_NullOffsetRMS);
        const int nullEnv = Calibration::getInt(Calibration::VT_NullOffsetENV);
        qInfo("null offsets LOG %d RMS %d ENV %d (board: 630 260 75, less the 10 of margin)", nullLog, nullRms,
              nullEnv);
        QCOMPARE(nullLog, 630);
        QVERIFY(qAbs(nullRms - 249) <= 1 && qAbs(nullEnv - 64) <= 1);
        QCOMPARE(board.readBoardFile(QStringLiteral("/sys/class/gpio/gpio210/value")).trimmed(), QByteArray("0"));

        Configuration::setValue(Configuration::VT_Meas_70, 1, QStringLiteral("system"));
        LevelMeterDialog level(&worker);
        level.exec();
        qint64 now = 0;
        for (int step = 1; step <= 18; ++step) {
            QVERIFY(board.setFault(step % 2 ? QStringLiteral("reference-low") : QStringLiteral("reference-high"), true));
            QVERIFY(freshBlocks(board));
            level.confirmCalibrationStep(now += 3000);
            QCOMPARE(level.calibrationStep(), step == 18 ? 0 : step + 1);
        }
        level.on_ExitButton_clicked();

        for (const Truth& truth : TRUTH) {
            const int offset = Calibration::getInt(truth.offsetKey);
            const double factor = Calibration::getDouble(truth.factorKey);
            qInfo("%s %d (board %g)  %s %g (board %g)", qPrintable(Calibration::keyName(truth.offsetKey)), offset,
                  truth.offset, qPrintable(Calibration::keyName(truth.factorKey)), factor, truth.factor);
            QVERIFY2(std::abs(offset - truth.offset) <= truth.offsetTolerance, qPrintable(QString::number(offset)));
            QVERIFY2(std::abs(factor / truth.factor - 1.0) < 0.01, qPrintable(QString::number(factor)));
        }
    }
};

QTEST_MAIN(TestCalibrationOnBoard)
#include "tst_calibrationonboard.moc"
