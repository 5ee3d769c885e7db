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
#include "util/Configuration.h"

#include <QtTest>

#include <cmath>

namespace {

constexpr quint32 SimBlocks = 0x104;

// The simulated board's raw counts at the low level and counts per unit of level, per case in
// the store's key order (RMS and envelope offsets: the detector's rest behind the null offset
// found, 21.3 and 21.2, plus the receiver's noise at 501 MHz).
const double TRUTH[9][2] = {{7150, 195}, {7000, 195}, {7000, 195},  {24.7, 9},  {24.1, 0.52},
                            {22.3, 0.48}, {22.5, 4},  {23.3, 0.44}, {21.9, 0.40}};

} // namespace

class TestCalibrationOnBoard : public QObject
{
    Q_OBJECT

private slots:
    void bothCalibrationsFindTheBoardsValues()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("11")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        board.useAsPlatformRoot();
        boardInit();
        Calibration::clear();
        Calibration::setValue(Calibration::VT_NullOffsetLOG, 400); // a wrong start must not matter
        DataWorker worker;
        QVERIFY(worker.isFpgaMapped());

        KalibDialog kalib(&worker);
        kalib.exec();
        kalib.on_StartKalButton_clicked();
        QTRY_VERIFY_WITH_TIMEOUT(!Calibration::getString(Calibration::VT_KalibTimestamp).isEmpty(), 120000);
        kalib.on_ExitButton_clicked();
        // The board's zero points: LOG 630, RMS 260, envelope 75, less the procedure's 10 in hand.
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetLOG), 630);
        QVERIFY(qAbs(Calibration::getInt(Calibration::VT_NullOffsetRMS) - 249) <= 1);
        QVERIFY(qAbs(Calibration::getInt(Calibration::VT_NullOffsetENV) - 64) <= 1);

        Configuration::setValue(Configuration::VT_Meas_70, 1, QStringLiteral("system"));
        Configuration::setValue(Configuration::VT_GatingTime, 2, LevelMeterDialog::NAME); // for after step 18
        LevelMeterDialog level(&worker);
        level.exec();
        qint64 now = 0;
        for (int step = 1; step <= 18; ++step) {
            QVERIFY(board.setFault(QString(step % 2 ? "reference-low" : "reference-high"), true));
            const quint32 before = board.readRegister(SimBlocks); // the worker handles fresh blocks
            QTRY_VERIFY_WITH_TIMEOUT(board.readRegister(SimBlocks) - before >= 4, 20000);
            level.confirmCalibrationStep(now += 3000);
            QCOMPARE(level.calibrationStep(), step == 18 ? 0 : step + 1);
        }
        // Back in normal use: a save waits on the running worker for the pass, then writes the record.
        level.on_SaveButton_clicked();
        QTRY_VERIFY_WITH_TIMEOUT(!level.tasks(), 60000);
        QCOMPARE(QDir(board.path(QStringLiteral("/data/corvane_data"))).entryList({"level_*.xml"}).size(), 1);
        level.on_ExitButton_clicked();

        for (int c = 0; c < 9; ++c) { // offset and factor keys alternate from AmpOnLOGOffset on
            const auto offsetKey = Calibration::ValueType(2 * c);
            const int offset = Calibration::getInt(offsetKey);
            const double factor = Calibration::getDouble(Calibration::ValueType(2 * c + 1));
            qInfo("%s %d (board %g), factor %g (board %g)", qPrintable(Calibration::keyName(offsetKey)), offset,
                  TRUTH[c][0], factor, TRUTH[c][1]);
            QVERIFY(std::abs(offset - TRUTH[c][0]) <= 2 && std::abs(factor / TRUTH[c][1] - 1.0) < 0.01);
        }
    }
};

QTEST_MAIN(TestCalibrationOnBoard)
#include "tst_calibrationonboard.moc"
