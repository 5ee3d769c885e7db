// The level meter without a running worker: the per-step handler is fed with sample buffers as
// the acquisition thread would, on a root whose GPIO and DAC files show the receiver set-up.

#include "common/TestRoot.h"
#include "dialogs/LevelMeterDialog.h"
#include "util/Calibration.h"
#include "util/Configuration.h"

#include <QDir>
#include <QtTest>

#include <cmath>
#include <memory>
#include <vector>

using Cfg = Configuration;

namespace {

const QString SYSTEM = QStringLiteral("system");
const QString LEVEL = QStringLiteral("level");

double gain(int dac)
{
    return std::pow(10.0, (dac * 0.0358943 - 14.6) / 20.0);
}

} // namespace

class TestLevelMeterDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;

    static void feed(LevelMeterDialog& dialog, quint32 average, quint32 peak, int steps = 1)
    {
        const std::vector<quint32> avg(600, 0xABC00000u | average), max(600, 0xFFFC0000u | peak);
        for (int i = 0; i < steps; ++i)
            dialog.onMeasurementFinished(501000, nullptr, avg.data(), max.data(), 600, nullptr);
    }
    QByteArray line(int gpio) const
    {
        return m_root->readFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio)).trimmed();
    }
    int dac(int device) const
    {
        return m_root->readFile(QStringLiteral("/sys/bus/iio/devices/iio:device%1/out_voltage0_raw").arg(device)).toInt();
    }

private slots:
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        for (int gpio = 207; gpio <= 237; ++gpio)
            m_root->writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio), "0");
        for (int device : {1, 2})
            m_root->writeFile(QStringLiteral("/sys/bus/iio/devices/iio:device%1/out_voltage0_raw").arg(device), "0");
        Calibration::clear();
        Calibration::setValue(Calibration::VT_NullOffsetLOG, 600);
        Calibration::setValue(Calibration::VT_NullOffsetRMS, 240);
        Calibration::setValue(Calibration::VT_NullOffsetENV, 70);
        for (auto [type, value] : {std::pair{Cfg::VT_Meas_70, 0}, {Cfg::VT_Antenna, 0}, {Cfg::VT_Service, 1}})
            Cfg::setValue(type, value, SYSTEM);
        for (auto [type, value] : {std::pair{Cfg::VT_MeasMode, 0}, {Cfg::VT_GatingTime, 20}, {Cfg::VT_AmpMinDbm, -90},
                                   {Cfg::VT_AmpMaxDbm, -30}, {Cfg::VT_LinearAmplifier, 300}, {Cfg::VT_Preamplifier, 1}})
            Cfg::setValue(type, value, LEVEL);
    }
    void cleanup() { m_root.reset(); }

    void conversions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("offset");
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("dac");
        QTest::addColumn<int>("peak");
        QTest::addColumn<double>("expected");
        QTest::newRow("LOG") << 0 << 7150 << 195.0 << 0 << 13975 << -40.0;
        QTest::newRow("LOG offset 5022 factor 20") << 0 << 5022 << 20.0 << 0 << 5522 << -50.0;
        QTest::newRow("LOG linearised") << 0 << 1000 << 20.0 << 0 << 3980 << -75 + (2140 - 1000) / 20.0;
        QTest::newRow("RMS behind gain 0") << 1 << 20 << 9.0 << 0 << 920 << 100.0 / gain(0);
        QTest::newRow("ENV behind gain 500") << 2 << 0 << 4.0 << 500 << 4000 << 1000.0 / gain(500);
    }
    void conversions()
    {
        QFETCH(int, mode);
        QFETCH(int, offset);
        QFETCH(double, factor);
        QFETCH(int, dac);
        QFETCH(int, peak);
        QFETCH(double, expected);
        const CalibrationTriple triple{mode == 0 ? -75 : 0, offset, factor};
        QVERIFY(qFuzzyCompare(LevelMeterDialog::levelOf(quint32(peak), Cfg::MeasMode(mode), triple, gain(dac)),
                              expected));
    }

    void levelsAreClampedAndSpreadOverTheTimeAxis_data()
    {
        QTest::addColumn<int>("gatingTime");
        QTest::newRow("1 ms: half a second") << 1;
        QTest::newRow("80 ms") << 80;
    }
    void levelsAreClampedAndSpreadOverTheTimeAxis()
    {
        QFETCH(int, gatingTime);
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        dialog.setGatingTime(gatingTime);
        dialog.startDataWorker();
        dialog.setPreamplifier(true); // offset 7150, factor 195, -75 dBm
        feed(dialog, 0, 2000);        // far below -90 dBm
        feed(dialog, 0, 16383);       // above -30 dBm
        feed(dialog, 0, 7150 + 195 * 10, 498);
        const QVector<QPointF> levels = dialog.levels();
        QCOMPARE(levels.size(), 500);
        QCOMPARE(levels.at(0).y(), -90.0);
        QCOMPARE(levels.at(1).y(), -30.0);
        QCOMPARE(levels.at(2).y(), -65.0);
        QCOMPARE(levels.last().x(), 0.5 * gatingTime);
        dialog.updatePlot();
        QCOMPARE(dialog.positionZone(), 0.5 * gatingTime);
    }

    void nonPositiveFactorInCalibIniKeepsLevelsFinite_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("zero") << QByteArray("0");
        QTest::newRow("negative") << QByteArray("-4");
    }
    void nonPositiveFactorInCalibIniKeepsLevelsFinite()
    {
        QFETCH(QByteArray, stored);
        Calibration::clear();
        m_root->writeFile(QStringLiteral("/data/calib.ini"), "[General]\nAmpOnRMSFaktor=" + stored + "\n");
        Cfg::setValue(Cfg::VT_MeasMode, Cfg::MEAS_MODE_RMS, LEVEL);
        Cfg::setValue(Cfg::VT_AmpMaxMicroVolt, 400000, LEVEL);
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        QCOMPARE(dialog.calibration().factor, 9.0); // the key's default
        feed(dialog, 0, 900);
        QVERIFY(std::isfinite(dialog.levels().at(0).y()));
        const QString record = dialog.buildRecord(Cfg::PHASE_Unspecified).toString();
        QVERIFY(!record.contains(QLatin1String("inf")) && !record.contains(QLatin1String("nan")));
    }

    void zoomRules_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("right");
        QTest::addColumn<int>("storeMin");
        QTest::addColumn<int>("storeMax");
        QTest::addColumn<QVector<int>>("expected");
        QTest::newRow("right edge 7.3 s") << -80.0 << -40.0 << 7.3 << -100 << 20 << QVector<int>{-80, -40, 16};
        QTest::newRow("dBm widened outwards") << -47.3 << -32.4 << 10.0 << -100 << 20 << QVector<int>{-50, -30, 20};
        QTest::newRow("thin never empty") << -43.0 << -41.0 << 2.0 << -100 << 20 << QVector<int>{-45, -40, 4};
        QTest::newRow("store limits") << -130.0 << 33.0 << 95.0 << -100 << 20 << QVector<int>{-100, 20, 80};
        QTest::newRow("microvolts, shortest") << 1234.0 << 5678.0 << 0.4 << 0 << 400000 << QVector<int>{1230, 5680, 2};
    }
    void zoomRules()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, right);
        QFETCH(int, storeMin);
        QFETCH(int, storeMax);
        QFETCH(QVector<int>, expected);
        const LevelMeterDialog::ZoomRange zoom = LevelMeterDialog::zoomedRange(lower, upper, right, storeMin, storeMax);
        QCOMPARE((QVector<int>{zoom.ampMin, zoom.ampMax, zoom.gatingTime}), expected);
    }

    void dragsZoomInAndOut()
    {
        LevelMeterDialog dialog(nullptr);
        dialog.resize(640, 440);
        dialog.show();
        dialog.exec();
        dialog.zoomPolygon(QPolygon(QVector<QPoint>{QPoint(100, 100)}));
        QCOMPARE(dialog.gatingTime(), 20);
        dialog.zoomPolygon(QPolygon(QVector<QPoint>{QPoint(100, 60), QPoint(300, 200)}));
        QVERIFY(dialog.ampMin() % 5 == 0 && dialog.ampMax() % 5 == 0 && dialog.ampMin() < dialog.ampMax());
        QVERIFY(dialog.ampMin() > -90 && dialog.ampMax() < -30 && dialog.gatingTime() < 20);
        QCOMPARE(Cfg::getValue(Cfg::VT_AmpMaxDbm, LEVEL), dialog.ampMax());
        dialog.zoomPolygon(QPolygon(QVector<QPoint>{QPoint(300, 60), QPoint(100, 200)}));
        QCOMPARE((QVector<int>{dialog.ampMin(), dialog.ampMax(), dialog.gatingTime()}), (QVector<int>{-100, 20, 80}));
        QCOMPARE(Cfg::getValue(Cfg::VT_AmpMinDbm, LEVEL), -100);
    }

    void recordBodyAndSaveAfterACompletePass()
    {
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        dialog.setPreamplifier(true);
        feed(dialog, 0, 7150, 10);
        dialog.on_SaveButton_clicked();
        QTest::qWait(300);
        QCOMPARE(dialog.tasks(), LevelMeterDialog::Tasks(LevelMeterDialog::TASK_SAVE)); // waits for the pass
        feed(dialog, 0, 7150 + 195 * 5, 490);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.tasks(), LevelMeterDialog::Tasks(LevelMeterDialog::TASK_NONE), 10000);
        const QStringList records = QDir(m_root->path(QStringLiteral("/data/corvane_data"))).entryList({"level_*.xml"});
        QCOMPARE(records.size(), 1);

        const QDomElement root = dialog.buildRecord(Cfg::PHASE_L2).documentElement();
        QCOMPARE(root.tagName(), LEVEL);
        QStringList body;
        for (QDomElement e = root.firstChildElement(QStringLiteral("folder")).nextSiblingElement(); !e.isNull();
             e = e.nextSiblingElement())
            body << e.tagName() + '=' + e.text();
        QCOMPARE(body.mid(0, 13), (QStringList{"meas_mode=LOG", "antenna=UHF", "bandwidth=5000", "preamplifier=On",
                                              "calibrator=Off", "gating_time=20", "frequency=150", "linear_amplifier=300",
                                              "pulsemode=Off", "minAmplitude=-90", "maxAmplitude=-30", "phase=L2",
                                              "nsamples=500"}));
        const QDomElement timescale = root.firstChildElement(QStringLiteral("timescale"));
        QCOMPARE(timescale.attribute("min") + ' ' + timescale.attribute("max"), QStringLiteral("0 10"));
        const QStringList values = root.firstChildElement(QStringLiteral("max")).text().split(' ');
        QCOMPARE(values.size(), 500);
        QCOMPARE(values.first() + ' ' + values.last(), QStringLiteral("-75 -70"));
    }

    // Re-entering at a step measures with that step's own set-up, whatever the main menu's sensor
    // and the level page's detector.
    void calibrationStepSetUp_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QByteArray>("lines"); // 208 212 213 (preamplifier off) 218 219
        QTest::addColumn<int>("nullOffset");
        for (int step : {1, 2})
            QTest::addRow("%d LOG on", step) << step << QByteArray("10010") << 600;
        for (int step : {5, 6})
            QTest::addRow("%d RMS on", step) << step << QByteArray("10001") << 240;
        for (int step : {9, 10})
            QTest::addRow("%d ENV on", step) << step << QByteArray("10011") << 70;
        QTest::addRow("12 ENV off") << 12 << QByteArray("10111") << 70;
        QTest::addRow("14 LOG broadband") << 14 << QByteArray("01110") << 600;
        QTest::addRow("17 ENV broadband") << 17 << QByteArray("01111") << 70;
        QTest::addRow("80: no calibration") << 80 << QByteArray("00110") << 600;
    }
    void calibrationStepSetUp()
    {
        QFETCH(int, step);
        QFETCH(QByteArray, lines);
        QFETCH(int, nullOffset);
        Cfg::setValue(Cfg::VT_Antenna, Cfg::ANTENNA_HFCT, SYSTEM);
        Cfg::setValue(Cfg::VT_Meas_70, step, SYSTEM);
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        QCOMPARE(line(208) + line(212) + line(213) + line(218) + line(219), lines);
        QCOMPARE(dac(2), nullOffset);
        const bool running = step <= 18;
        QCOMPARE(dialog.calibrationStep(), running ? step : 0);
        QCOMPARE(Cfg::getValue(Cfg::VT_Meas_70, SYSTEM), running ? step : 0);
        QCOMPARE(dac(1), running ? 0 : 300);
        QCOMPARE(dialog.frequency(), running ? 501 : 150);
    }

    void eighteenStepsStoreEveryCase()
    {
        Calibration::setValue(Calibration::VT_AmpOffENVOffset, 5);
        Calibration::setValue(Calibration::VT_AmpOffENVFaktor, 0.7);
        Cfg::setValue(Cfg::VT_Meas_70, 1, SYSTEM);
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        struct Expected { Calibration::ValueType offsetKey; int low; int high; double factor; };
        const Expected cases[] = {
            {Calibration::VT_AmpOnLOGOffset, 1000, 2400, 40.0},
            {Calibration::VT_AmpOffLOGOffset, 6900, 13900, 200.0},
            {Calibration::VT_AmpOnRMSOffset, 20, 7520, 7500.0 / 4500 / gain(0)},
            {Calibration::VT_AmpOffRMSOffset, 30, 15030, 0.1 / gain(0)},
            {Calibration::VT_AmpOnENVOffset, 20, 920, 0.2 / gain(0)},
            {Calibration::VT_AmpOffENVOffset, 900, 900, 0.0}, // no rise: rejected
            {Calibration::VT_BBLOGOffset, 7000, 15000, 200.0},
            {Calibration::VT_BBRMSOffset, 10, 3010, 0.02 / gain(0)},
            {Calibration::VT_BBENVOffset, 10, 1510, 0.01 / gain(0)},
        };
        qint64 now = 100000;
        for (int c = 0; c < 9; ++c) {
            const Expected& e = cases[c];
            feed(dialog, quint32(e.low), 0);
            dialog.confirmCalibrationStep(now += 2500);
            feed(dialog, quint32(e.high), 0);
            dialog.confirmCalibrationStep(now + 1999); // within 2 s: ignored
            QCOMPARE(dialog.calibrationStep(), 2 * c + 2);
            dialog.confirmCalibrationStep(now += 2000);
            QCOMPARE(Cfg::getValue(Cfg::VT_Meas_70, SYSTEM), c == 8 ? 0 : 2 * c + 3);
            const auto factorKey = Calibration::ValueType(e.offsetKey + 1);
            QCOMPARE(Calibration::getInt(e.offsetKey), e.factor > 0 ? e.low : 5);
            QVERIFY(qFuzzyCompare(Calibration::getDouble(factorKey), e.factor > 0 ? e.factor : 0.7));
            if (c < 8) { // the next case's set-up: its detector's null offset
                const int next = TwoPointCalibration::stepCase(2 * c + 3).measMode;
                QCOMPARE(int(dialog.measureMode()), next);
                QCOMPARE(dac(2), next == 0 ? 600 : next == 1 ? 240 : 70);
            }
        }
        QCOMPARE(dialog.calibrationStep(), 0);
        QCOMPARE(dac(1), 300); // the normal settings are back
        dialog.on_SaveButton_clicked();
        QCOMPARE(dialog.tasks(), LevelMeterDialog::Tasks(LevelMeterDialog::TASK_SAVE));
    }

    void leavingHalfWayStoresNothingAndRestoresTheFrontEnd()
    {
        Cfg::setValue(Cfg::VT_Meas_70, 13, SYSTEM);
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        QCOMPARE(line(208) + line(212), QByteArray("01"));
        feed(dialog, 7000, 0);
        dialog.confirmCalibrationStep(5000);
        dialog.on_ExitButton_clicked();
        QCOMPARE(Cfg::getValue(Cfg::VT_Meas_70, SYSTEM), 14);
        QCOMPARE(Calibration::getInt(Calibration::VT_BBLOGOffset), Calibration::getDefault(Calibration::VT_BBLOGOffset));
        QCOMPARE(line(208) + line(212), QByteArray("10"));
        QCOMPARE(dac(1), 300);
    }
};

QTEST_MAIN(TestLevelMeterDialog)
#include "tst_levelmeterdialog.moc"
