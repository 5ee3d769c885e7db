#include "DialogDriver.h"
#include "SetupPageOperator.h"
#include "common/TestRoot.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "util/Configuration.h"
#include "util/MarkerPresets.h"

#include <QAbstractButton>
#include <QLocale>
#include <QTest>

// The measurement, service and algorithm setup pages driven row by row as an operator would:
// the editor's limits and prompt, what is stored, what the button shows, the lines switched.
class TestSetupMeasurementPages : public QObject
{
    Q_OBJECT

    TestRoot m_root;
    SetupDialog* m_frame = nullptr;
    SetupPageOperator m_operator;

    QAbstractButton* button(int page, const QString& name) const
    {
        return SetupDialog::pages().at(page)->findChild<QAbstractButton*>(name);
    }
    QByteArray line(int gpio) const
    {
        return m_root.readFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio)).trimmed();
    }

private slots:
    void initTestCase()
    {
        for (int gpio : {207, 209, 211, 213, 234})
            m_root.writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio), "0\n");
        QVERIFY(m_root.installMount());
        DialogDriver::applyStyleSheet();
        MarkerPresets::store({220, 600}, {-50, -60});
        Configuration::setValue(Configuration::VT_Service, 1, "system");
        m_frame = SetupDialog::instance();
        m_frame->resize(640, 440);
        m_frame->show();
    }

    void rows_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("choice");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("range"); // or the options offered, joined by "|"
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("gpio");
        QTest::addColumn<int>("level");
        const QString mhz1000 = QLocale().toString(1000) + " MHz";
        using C = Configuration;
        // Rows build on each other: the spectrum's span and the amplitude limits follow the partner.
        QTest::newRow("start frequency") << 0 << "FreqMinButton" << QVariant(950) << "Enter start frequency" << "150 <= value <= 950" << "950 MHz" << int(C::VT_FreqMin) << 950 << -1 << 0;
        QTest::newRow("end frequency follows") << 0 << "FreqMaxButton" << QVariant(1000) << "Enter end frequency" << "1000 <= value <= 1000" << mhz1000 << int(C::VT_FreqMax) << 1000 << -1 << 0;
        QTest::newRow("amplitude min") << 0 << "AmpMinButton" << QVariant(-40) << "Enter minimum amplitude" << "-100 <= value <= -40" << "-40 dB" << int(C::VT_AmpMinDbm) << -40 << -1 << 0;
        QTest::newRow("amplitude max") << 0 << "AmpMaxButton" << QVariant(-25) << "Enter maximum amplitude" << "-30 <= value <= 20" << "-25 dB" << int(C::VT_AmpMaxDbm) << -25 << -1 << 0;
        QTest::newRow("bandwidth") << 0 << "BandwidthButton" << QVariant(20000) << "Select bandwidth" << "1 MHz|5 MHz|20 MHz" << "20 MHz" << int(C::VT_Bandwidth) << 20000 << -1 << 0;
        QTest::newRow("gating time") << 0 << "GatingTimeButton" << QVariant(80) << "Enter gating time" << "1 <= value <= 80" << "80 ms" << int(C::VT_GatingTime) << 80 << -1 << 0;
        QTest::newRow("cancelled") << 0 << "GatingTimeButton" << QVariant() << "Enter gating time" << "1 <= value <= 80" << "80 ms" << int(C::VT_GatingTime) << 80 << -1 << 0;
        QTest::newRow("max hold") << 0 << "MaxHoldButton" << QVariant(1) << "Enable max hold" << "Off|On" << "On" << int(C::VT_MaxHold) << 1 << -1 << 0;
        QTest::newRow("preamplifier line") << 0 << "PreamplifierButton" << QVariant(0) << "Enable preamplifier" << "Off|On" << "Off" << int(C::VT_Preamplifier) << 0 << 213 << 1;
        QTest::newRow("pulse generator") << 0 << "CalibratorButton" << QVariant(1) << "Enable pulse generator" << "Off|On" << "On" << -1 << 0 << 207 << 1;
        QTest::newRow("time frequency, markers") << 1 << "FreqButton" << QVariant(400) << "Enter frequency" << "150 <= value <= 1000" << "400 MHz" << int(C::VT_FreqMin) << 400 << -1 << 0;
        QTest::newRow("time preamplifier, no line") << 1 << "PreamplifierButton" << QVariant(1) << "Enable Preamplifier" << "Off|On" << "On" << int(C::VT_Preamplifier) << 1 << 213 << 1;
        QTest::newRow("phase shift") << 1 << "PhaseShiftButton" << QVariant(240) << "Enter phase shift" << "0 <= value <= 360" << "240 °" << int(C::VT_PhaseShift) << 240 << -1 << 0;
        QTest::newRow("time amplitude max") << 1 << "AmpMaxButton" << QVariant(50) << "Enter maximum amplitude" << "10 <= value <= 100" << "50 %" << int(C::VT_AmpMaxPercent) << 50 << -1 << 0;
        QTest::newRow("time amplitude min") << 1 << "AmpMinButton" << QVariant(40) << "Enter minimum amplitude" << "0 <= value <= 40" << "40 %" << int(C::VT_AmpMinPercent) << 40 << -1 << 0;
        QTest::newRow("persistency") << 1 << "PersistencyButton" << QVariant(0) << "Persistency" << "1|50|100|Infinite" << "Infinite" << int(C::VT_Persistency) << 0 << -1 << 0;
        QTest::newRow("resolution") << 1 << "ResolutionButton" << QVariant(3) << "Select resolution" << "Fine|Moderate|Coarse" << "Coarse" << int(C::VT_Resolution) << 3 << -1 << 0;
        QTest::newRow("time bandwidth") << 1 << "BandwidthButton" << QVariant(5000) << "Select bandwidth" << "1 MHz|5 MHz|20 MHz" << "5 MHz" << int(C::VT_Bandwidth) << 5000 << -1 << 0;
        QTest::newRow("max quantity") << 1 << "MaxQuantityButton" << QVariant(55) << "Enter maximum quantity" << "10 <= value <= 100" << "55" << int(C::VT_MaxQuantity) << 55 << -1 << 0;
        QTest::newRow("update interval") << 1 << "UpdateIntervalButton" << QVariant(500) << "Enter update interval" << "100 <= value <= 1000" << "500 ms" << int(C::VT_UpdateInterval) << 500 << -1 << 0;
        QTest::newRow("level amplitude min, LOG") << 2 << "AmpMinButton" << QVariant(-60) << "Enter minimum amplitude" << "-100 <= value <= -40" << "-60 dBm" << int(C::VT_AmpMinDbm) << -60 << -1 << 0;
        QTest::newRow("measure mode RMS") << 2 << "MeasModeButton" << QVariant(1) << "Select measure mode" << "LOG|RMS|ENV" << "RMS" << int(C::VT_MeasMode) << 1 << -1 << 0;
        QTest::newRow("level amplitude max, RMS") << 2 << "AmpMaxButton" << QVariant(300) << "Enter maximum amplitude" << "10 <= value <= 400000" << "300 µV" << int(C::VT_AmpMaxMicroVolt) << 300 << -1 << 0;
        QTest::newRow("level amplitude min, RMS") << 2 << "AmpMinButton" << QVariant(290) << "Enter minimum amplitude" << "0 <= value <= 290" << "290 µV" << int(C::VT_AmpMinMicroVolt) << 290 << -1 << 0;
        QTest::newRow("measure mode LOG") << 2 << "MeasModeButton" << QVariant(0) << "Select measure mode" << "LOG|RMS|ENV" << "LOG" << int(C::VT_MeasMode) << 0 << -1 << 0;
        QTest::newRow("dBm kept meanwhile") << 2 << "AmpMinButton" << QVariant() << "Enter minimum amplitude" << "-100 <= value <= -40" << "-60 dBm" << int(C::VT_AmpMinDbm) << -60 << -1 << 0;
        QTest::newRow("level gating time") << 2 << "GatingTimeButton" << QVariant(5) << "Enter gating time" << "1 <= value <= 80" << "5 ms" << int(C::VT_GatingTime) << 5 << -1 << 0;
        QTest::newRow("ant sel") << 5 << "AntSelButton" << QVariant(1) << "Ant Sel" << "Off|On" << "on" << -1 << 0 << 211 << 1;
        QTest::newRow("ant sel again") << 5 << "AntSelButton" << QVariant(1) << "Ant Sel" << "Off|On" << "on" << -1 << 0 << 211 << 1;
        QTest::newRow("ref bb cancelled") << 5 << "RefBBButton" << QVariant() << "Ref BB" << "Off|On" << "off" << -1 << 0 << 209 << 0;
        QTest::newRow("cycles high") << 6 << "CycleCountHighButton" << QVariant(7) << "Enter cycle count (high)" << "1 <= value <= 10" << "7" << int(C::VT_CycleCountHigh) << 7 << -1 << 0;
        QTest::newRow("gating high") << 6 << "GatingTimeHighButton" << QVariant(40) << "Enter gating time (high)" << "1 <= value <= 80" << "40 ms" << int(C::VT_GatingTimeHigh) << 40 << -1 << 0;
        QTest::newRow("smoothing") << 6 << "GradingFilterButton" << QVariant(100) << "Enter grading filter" << "1 <= value <= 100" << "100" << int(C::VT_GradingFilter) << 100 << -1 << 0;
        QTest::newRow("amplifier") << 6 << "AmplifierButton" << QVariant(1) << "Enable amplifier" << "Off|On" << "On" << int(C::VT_Amplifier) << 1 << -1 << 0;
        QTest::newRow("amplifier factor") << 6 << "AmplifierFactorButton" << QVariant(10) << "Enter amplifier factor" << "1 <= value <= 10" << "10" << int(C::VT_AmplifierFactorG) << 10 << -1 << 0;
        QTest::newRow("threshold 4") << 6 << "Threshold4Button" << QVariant(101) << "Enter threshold" << "0 <= value <= 100" << "0" << int(C::VT_Threshold4) << 0 << -1 << 0;
    }

    void rows()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        QFETCH(QVariant, choice);
        QFETCH(QString, prompt);
        QFETCH(QString, range);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, stored);
        QFETCH(int, gpio);
        QFETCH(int, level);
        Configuration::setValue(QStringLiteral("algorithm"), 1, "system");
        m_frame->setDialog(page, false);
        m_operator.choose(choice);
        DialogDriver::tap(button(page, name));
        QCOMPARE(m_operator.prompts.last(), prompt);
        if (range.contains(QLatin1String("<=")))
            QCOMPARE(m_operator.ranges.last(), range);
        else
            QCOMPARE(m_operator.options.join(QLatin1Char('|')), range);
        QCOMPARE(button(page, name)->text(), text);
        const QStringList paths = {"spectrum", "time", "level", "", "", "", "algorithm"};
        if (type >= 0)
            QCOMPARE(Configuration::getValue(Configuration::ValueType(type), paths.at(page)), stored);
        if (gpio >= 0)
            QCOMPARE(line(gpio), QByteArray::number(level));
    }

    void frequencyEditorsOfferTheMarkers()
    {
        for (int page : {1, 2}) {
            m_frame->setDialog(page, false);
            m_operator.choose(QVariant());
            DialogDriver::tap(button(page, "FreqButton"));
            QCOMPARE(m_operator.options, QStringList({"220 MHz\n[Marker 1]", "600 MHz\n[Marker 2]"}));
        }
        MarkerPresets::store({}, {});
        m_operator.choose(QVariant());
        DialogDriver::tap(button(2, "FreqButton"));
        QVERIFY(m_operator.options.isEmpty());
    }

    void rowsFollowSensorAndServiceMode_data()
    {
        QTest::addColumn<int>("antenna");
        QTest::addColumn<int>("service");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        QTest::newRow("UHF, service") << 0 << 1 << QStringList{"FreqButton", "BandwidthButton", "PreamplifierButton", "StartCalibButton"} << QStringList();
        QTest::newRow("TEV") << 1 << 0 << QStringList{"AmpMinButton", "GatingTimeButton"} << QStringList{"FreqButton", "BandwidthButton", "PreamplifierButton", "StartCalibButton"};
        QTest::newRow("HFCT") << 2 << 0 << QStringList{"MeasModeButton"} << QStringList{"FreqLabel", "BandwidthLabel", "PreamplifierLabel", "StartCalibLabel"};
    }

    void rowsFollowSensorAndServiceMode()
    {
        QFETCH(int, antenna);
        QFETCH(int, service);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        Configuration::setValue(Configuration::VT_Antenna, antenna, "system");
        Configuration::setValue(Configuration::VT_Service, service, "system");
        m_frame->setDialog(SetupDialog::DIALOG_LEVEL, true);
        QWidget* level = SetupDialog::pages().at(SetupDialog::DIALOG_LEVEL);
        for (const QString& name : shown)
            QVERIFY2(level->findChild<QWidget*>(name)->isVisibleTo(level), qPrintable(name));
        for (const QString& name : hidden)
            QVERIFY2(!level->findChild<QWidget*>(name)->isVisibleTo(level), qPrintable(name));
        // The time-domain page hides the same receiver rows; the spectrum page hides nothing.
        m_frame->setDialog(SetupDialog::DIALOG_TIME, true);
        QCOMPARE(button(1, "FreqButton")->isVisibleTo(m_frame), antenna == 0);
        Configuration::setValue(Configuration::VT_Antenna, 0, "system");
        Configuration::setValue(Configuration::VT_Service, 1, "system");
    }

    void levelCalibrationStartsAndAborts()
    {
        Configuration::setValue(Configuration::VT_Preamplifier, 0, "level");
        m_frame->setDialog(SetupDialog::DIALOG_LEVEL, true);
        QAbstractButton* start = button(2, "StartCalibButton");
        QCOMPARE(start->text(), QStringLiteral("Start"));
        DialogDriver::tap(start);
        QCOMPARE(start->text(), QStringLiteral("Up -75 dBm"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Meas_70, "system"), 1);
        for (auto [type, value] : {std::pair{Configuration::VT_MeasMode, 0}, {Configuration::VT_Preamplifier, 1},
                                   {Configuration::VT_Bandwidth, 1000}, {Configuration::VT_GatingTime, 5},
                                   {Configuration::VT_FreqMin, 500}})
            QCOMPARE(Configuration::getValue(type, "level"), value);
        QCOMPARE(line(213), QByteArray("0"));
        // The level meter advances the step; the button names the next level.
        Configuration::setValue(Configuration::VT_Meas_70, 8, "system");
        m_frame->setDialog(SetupDialog::DIALOG_LEVEL, true);
        QCOMPARE(start->text(), QStringLiteral("Up 150000 µV"));
        DialogDriver::tap(start);
        QCOMPARE(start->text(), QStringLiteral("Start"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Meas_70, "system"), 0);
    }

    void algorithmSwitchOpensAndClosesItsPage()
    {
        Configuration::setValue(QStringLiteral("algorithm"), 0, "system");
        Configuration::setValue(Configuration::VT_Amplifier, 0, "algorithm");
        m_frame->setDialog(SetupDialog::DIALOG_SERVICE, false);
        m_operator.choose(1);
        DialogDriver::tap(button(5, "AlgorithmButton"));
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_ALGORITHM));
        // Without the amplifier its factor stays in view but cannot be changed.
        QVERIFY(!button(6, "AmplifierFactorButton")->isEnabled());
        QCOMPARE(button(6, "AmplifierFactorButton")->text(), QStringLiteral("10"));
        m_frame->setDialog(SetupDialog::DIALOG_SERVICE, false);
        QVERIFY(m_frame->findChild<QWidget*>("CategoryNextButton")->isEnabled());
        m_operator.choose(0);
        DialogDriver::tap(button(5, "AlgorithmButton"));
        QCOMPARE(button(5, "AlgorithmButton")->text(), QStringLiteral("off"));
        QVERIFY(!m_frame->findChild<QWidget*>("CategoryNextButton")->isEnabled());
    }

    void hardwareKeysReachEveryButton_data()
    {
        QTest::addColumn<int>("page");
        for (int page = 0; page < SetupDialog::pages().count(); ++page)
            QTest::newRow(qPrintable(SetupDialog::pages().at(page)->title())) << page;
    }

    void hardwareKeysReachEveryButton()
    {
        QFETCH(int, page);
        Configuration::setValue(QStringLiteral("algorithm"), 1, "system");
        Configuration::setValue(Configuration::VT_Amplifier, 1, "algorithm");
        QApplication::setActiveWindow(m_frame);
        m_frame->setDialog(page, false);
        QSet<QWidget*> reached;
        for (int key : {Qt::Key_Up, Qt::Key_Down}) {
            for (int i = 0; i < 40; ++i) {
                reached << QApplication::focusWidget();
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_frame, Qt::Key(key));
            }
        }
        for (QAbstractButton* b : SetupDialog::pages().at(page)->findChildren<QAbstractButton*>()) {
            if (b->isVisibleTo(m_frame) && b->isEnabled())
                QVERIFY2(reached.contains(b), qPrintable(b->objectName()));
        }
    }
};

QTEST_MAIN(TestSetupMeasurementPages)
#include "tst_setupmeasurementpages.moc"
