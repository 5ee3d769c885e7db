// The level meter and the offset calibration without a running worker: the per-step handlers
// are fed with sample buffers as the acquisition thread would, on a root whose GPIO and DAC files
// show the receiver set-up.

#include "MainWindow.h"
#include "common/TestRoot.h"
#include "dialogs/KalibDialog.h"
#include "dialogs/LevelMeterDialog.h"
#include "util/Calibration.h"
#include "util/Configuration.h"

#include <QDir>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include <cmath>
#include <memory>
#include <vector>

using Cfg = Configuration;

namespace {

const QString SYSTEM = QStringLiteral("system");
const QString LEVEL = QStringLiteral("level");

} // namespace

class TestLevelMeterDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;

    static double gain(int dac) { return std::pow(10.0, (dac * 0.0358943 - 14.6) / 20.0); }
    static void feed(LevelMeterDialog& dialog, quint32 average, quint32 peak, int steps = 1)
    {
        const std::vector<quint32> avg(600, 0xABC00000u | average), max(600, 0xFFFC0000u | peak);
        for (int i = 0; i < steps; ++i)
            dialog.onMeasurementFinished(501000, nullptr, avg.data(), max.data(), 600, nullptr);
    }
    QByteArray line(int gpio) const { return m_root->gpio(gpio); }
    int dac(int device) const { return m_root->dac(device); }
    // One offset-calibration step with the reading of the detector now selected (LOG: 8 counts per
    // offset step, reaching the floor at in[0]; RMS in[1], envelope in[2]); the state afterwards.
    unsigned step(KalibDialog& dialog, const QVector<int>& in)
    {
        const QByteArray detector = line(218) + line(219);
        const int log = std::max(0, 8 * (in[0] - dac(2)) - 16);
        const int average = detector == "01" ? in[1] : detector == "11" ? in[2] : detector == "10" ? log : 40;
        const std::vector<quint32> values(500, 0x12340000u | quint32(average));
        dialog.onMeasurementFinished(500000, nullptr, values.data(), nullptr, 500, nullptr);
        return dialog.state();
    }

private slots:
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        m_root->resetReceiver();
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
        QTest::addColumn<QVector<double>>("c"); // mode, offset, factor, linear amplifier, peak, level
        QTest::newRow("LOG linearised") << QVector<double>{0, 1000, 20, 0, 3980, -75 + (2140 - 1000) / 20.0};
        QTest::newRow("RMS, gain at 0") << QVector<double>{1, 20, 9, 0, 920, 100 / gain(0)};
        QTest::newRow("ENV, gain at 500") << QVector<double>{2, 0, 4, 500, 4000, 1000 / gain(500)};
    }
    void conversions()
    {
        QFETCH(QVector<double>, c);
        const CalibrationTriple triple{c[0] == 0 ? -75 : 0, int(c[1]), c[2]};
        QVERIFY(qFuzzyCompare(LevelMeterDialog::levelOf(quint32(c[4]), Cfg::MeasMode(c[0]), triple, gain(int(c[3]))),
                              c[5]));
    }

    void zeroFactorInCalibIniKeepsLevelsFinite() // the store brings a negative one to 0
    {
        m_root->writeFile(QStringLiteral("/data/calib.ini"), "[General]\nAmpOnRMSFaktor=0\n");
        Cfg::setValue(Cfg::VT_MeasMode, Cfg::MEAS_MODE_RMS, LEVEL);
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        QCOMPARE(dialog.calibration().factor, 9.0); // the key's default
        feed(dialog, 0, 900);
        QCOMPARE(dialog.levels().at(0).y(), 100 / gain(300)); // behind the linear amplifier in force
    }

    void zoomRules_data()
    {
        QTest::addColumn<QVector<double>>("in"); // lower, upper, right edge (s), store minimum, maximum
        QTest::addColumn<QVector<int>>("expected"); // minimum, maximum, gating time
        QTest::newRow("right edge 7.3 s") << QVector<double>{-80, -40, 7.3, -100, 20} << QVector<int>{-80, -40, 16};
        QTest::newRow("dBm widened") << QVector<double>{-47.3, -32.4, 10, -100, 20} << QVector<int>{-50, -30, 20};
        QTest::newRow("thin, never empty") << QVector<double>{-43, -41, 2, -100, 20} << QVector<int>{-45, -40, 4};
        QTest::newRow("store limits") << QVector<double>{-130, 33, 95, -100, 20} << QVector<int>{-100, 20, 80};
        QTest::newRow("µV, shortest") << QVector<double>{1234, 5678, 0.4, 0, 400000} << QVector<int>{1230, 5680, 2};
    }
    void zoomRules()
    {
        QFETCH(QVector<double>, in);
        const auto zoom = LevelMeterDialog::zoomedRange(in[0], in[1], in[2], int(in[3]), int(in[4]));
        QTEST((QVector<int>{zoom.ampMin, zoom.ampMax, zoom.gatingTime}), "expected");
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
        QVERIFY(dialog.ampMin() > -90 && dialog.gatingTime() < 20 && Cfg::getValue(Cfg::VT_AmpMaxDbm, LEVEL) < -30);
        dialog.zoomPolygon(QPolygon(QVector<QPoint>{QPoint(300, 60), QPoint(100, 200)}));
        QCOMPARE((QVector<int>{dialog.ampMin(), dialog.ampMax(), dialog.gatingTime()}), (QVector<int>{-100, 20, 80}));
        QCOMPARE(Cfg::getValue(Cfg::VT_AmpMinDbm, LEVEL), -100);
    }

    // Levels are clamped to the range and spread over 500 gating times (0.5 s at 1 ms); a save
    // waits for the pass to complete, then writes the record once, also when the screen is left
    // between the end-of-pass pause and the queued save (the queued calls then find it left).
    void stripChartSaveAndRecord_data()
    {
        QTest::addColumn<int>("gatingTime");
        QTest::addColumn<bool>("leave");
        QTest::newRow("1 ms") << 1 << false;
        QTest::newRow("20 ms, left before the queued save") << 20 << true;
    }
    void stripChartSaveAndRecord()
    {
        QFETCH(int, gatingTime);
        QFETCH(bool, leave);
        Cfg::setValue(Cfg::VT_GatingTime, gatingTime, LEVEL);
        LevelMeterDialog dialog(nullptr);
        dialog.exec(); // preamplifier on: -75 dBm at 7150, 195 per dB
        feed(dialog, 0, 2000);  // far below -90 dBm
        feed(dialog, 0, 16383); // above -30 dBm
        feed(dialog, 0, 7150, 8);
        dialog.on_SaveButton_clicked();
        QTest::qWait(300);
        QCOMPARE(dialog.tasks(), LevelMeterDialog::Tasks(LevelMeterDialog::TASK_SAVE));
        feed(dialog, 0, 7150 + 195 * 5, 490); // the pass completes; the handler queues the save
        const QDir records(m_root->path(QStringLiteral("/data/corvane_data")));
        if (leave) {
            dialog.on_ExitButton_clicked();
            QCOMPARE(records.entryList({"level_*.xml"}).size(), 1);
            QTest::qWait(400);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(dialog.tasks(), LevelMeterDialog::Tasks(LevelMeterDialog::TASK_NONE), 10000);
            QCOMPARE(dialog.positionZone(), 0.5 * gatingTime);
        }
        QCOMPARE(records.entryList({"level_*.xml"}).size(), 1);

        const QDomElement root = dialog.buildRecord(Cfg::PHASE_L2).documentElement();
        QStringList body;
        for (QDomElement e = root.firstChildElement(QStringLiteral("folder")).nextSiblingElement(); !e.isNull();
             e = e.nextSiblingElement())
            body << e.tagName() + '=' + e.text() + e.attribute("min") + e.attribute("max");
        QCOMPARE(body.mid(0, 14), (QStringList{"meas_mode=LOG", "antenna=UHF", "bandwidth=5000", "preamplifier=On",
                                              "calibrator=Off", QStringLiteral("gating_time=%1").arg(gatingTime),
                                              "frequency=150", "linear_amplifier=300", "pulsemode=Off",
                                              "minAmplitude=-90", "maxAmplitude=-30", "phase=L2", "nsamples=500",
                                              QStringLiteral("timescale=0%1").arg(0.5 * gatingTime)}));
        const QStringList values = root.firstChildElement(QStringLiteral("max")).text().split(' ');
        QCOMPARE(values.mid(0, 3) + values.mid(499), (QStringList{"-90", "-30", "-75", "-70"}));
    }

    // Re-entering at a step measures with that step's own set-up, whatever the main menu's sensor
    // and the level page's detector.
    void calibrationStepSetUp_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QByteArray>("lines"); // 208 212 213 (preamplifier off) 218 219
        QTest::addColumn<int>("nullOffset");
        QTest::addRow("2 LOG on, high level") << 2 << QByteArray("10010") << 600;
        QTest::addRow("6 RMS on, high level") << 6 << QByteArray("10001") << 240;
        QTest::addRow("10 ENV on, high level") << 10 << QByteArray("10011") << 70;
        QTest::addRow("12 ENV off") << 12 << QByteArray("10111") << 70;
        QTest::addRow("14 LOG broadband") << 14 << QByteArray("01110") << 600;
        QTest::addRow("80: no calibration") << 80 << QByteArray("00110") << 600;
    }
    void calibrationStepSetUp()
    {
        QFETCH(int, step);
        Cfg::setValue(Cfg::VT_Antenna, Cfg::ANTENNA_HFCT, SYSTEM);
        Cfg::setValue(Cfg::VT_Meas_70, step, SYSTEM);
        LevelMeterDialog dialog(nullptr);
        dialog.exec();
        QTEST(line(208) + line(212) + line(213) + line(218) + line(219), "lines");
        QTEST(dac(2), "nullOffset");
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
            QCOMPARE(Calibration::getInt(e.offsetKey), e.factor > 0 ? e.low : 5);
            const double factor = Calibration::getDouble(Calibration::ValueType(e.offsetKey + 1)); // key order
            QVERIFY(qFuzzyCompare(factor, e.factor > 0 ? e.factor : 0.7));
        }
        QCOMPARE(dac(1), 300); // the normal settings are back
    }

    void offsetCalibrationStoresItsResultsAtTheEnd_data()
    {
        QTest::addColumn<QVector<int>>("in"); // LOG floor at, RMS and envelope readings
        QTest::addColumn<QVector<int>>("expected"); // LOG, RMS, envelope null offsets
        QTest::newRow("LOG floor at once, 19 gives -1") << QVector<int>{0, 500, 19} << QVector<int>{0, 246, 0};
        QTest::newRow("LOG never falls") << QVector<int>{5000, 500, 146} << QVector<int>{1023, 246, 64};
    }
    void offsetCalibrationStoresItsResultsAtTheEnd()
    {
        QFETCH(QVector<int>, in);
        QFETCH(QVector<int>, expected);
        KalibDialog dialog(nullptr);
        dialog.exec();
        QCOMPARE(step(dialog, in), unsigned(KalibDialog::STATE_IDLE));
        QCOMPARE(line(210), QByteArray("1")); // input disconnected
        dialog.on_StartKalButton_clicked();
        QList<unsigned> states;
        for (int i = 0; i < 1000 && (states.isEmpty() || states.last() != KalibDialog::STATE_IDLE); ++i) {
            const unsigned state = step(dialog, in);
            if (states.isEmpty() || states.last() != state)
                states << state;
        }
        QCOMPARE(states.mid(0, 8), (QList<unsigned>{2, 3, 4, 5, 6, 7, 8, 9}));
        QTRY_COMPARE((QVector<int>{Calibration::getInt(Calibration::VT_NullOffsetLOG),
                                   Calibration::getInt(Calibration::VT_NullOffsetRMS),
                                   Calibration::getInt(Calibration::VT_NullOffsetENV)}),
                     expected);
        const QString stamp = Calibration::getString(Calibration::VT_KalibTimestamp);
        QVERIFY(QDateTime::fromString(stamp, QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
        QTRY_COMPARE(dialog.findChild<QLabel*>("KalibDoneLabel")->text(), QStringLiteral("Calibration Done."));
        QCOMPARE(dialog.findChild<QLabel*>("LogOffsetLabel")->text(), QString::number(expected[0]));
    }

    // Last, through the main window (it stays; its worker finds no FPGA): a calibration left half-way
    // stores nothing and gives the receiver back (the offset calibration, then the level meter's).
    void leavingACalibrationHalfWayStoresNothing()
    {
        auto* stack = MainWindow::instance()->findChild<QStackedWidget*>(QStringLiteral("MainWidget"));
        MainWindow::instance()->gotoDialog(MainWindow::DIALOG_KALIB);
        auto* kalib = qobject_cast<KalibDialog*>(stack->currentWidget());
        QVERIFY(kalib);
        kalib->on_StartKalButton_clicked();
        while (step(*kalib, {630, 507, 146}) != KalibDialog::STATE_LOG_SEARCH) {
        }
        kalib->on_ExitButton_clicked();
        QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("MainMenu"));
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS), 240);
        QVERIFY(Calibration::getString(Calibration::VT_KalibTimestamp).isEmpty());
        QCOMPARE(line(210), QByteArray("0"));
        QCOMPARE(dac(2), 600);

        Cfg::setValue(Cfg::VT_Meas_70, 13, SYSTEM);
        MainWindow::instance()->on_LevelMeterButton_clicked();
        auto* level = qobject_cast<LevelMeterDialog*>(stack->currentWidget());
        QVERIFY(level);
        QCOMPARE(line(208) + line(212), QByteArray("01"));
        feed(*level, 7000, 0);
        level->confirmCalibrationStep(5000);
        level->on_ExitButton_clicked();
        QCOMPARE(Cfg::getValue(Cfg::VT_Meas_70, SYSTEM), 14);
        QCOMPARE(Calibration::getInt(Calibration::VT_BBLOGOffset), 7000); // the default
        QCOMPARE(line(208) + line(212), QByteArray("10"));
        QCOMPARE(dac(1), 300);
    }
};

QTEST_MAIN(TestLevelMeterDialog)
#include "tst_levelmeterdialog.moc"
