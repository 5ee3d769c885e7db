#include "DialogDriver.h"
#include "SetupPageOperator.h"
#include "common/TestMain.h"
#include "common/TestRoot.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/SetupInfoDialog.h"
#include "dialogs/SetupSystemDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"
#include "util/MarkerPresets.h"

#include <QAbstractButton>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

// A page's widget (a button is tapped with the answer), the dialog's prompt (empty: none) and offer;
// then the widget's text (empty: unchecked), the setting, a board file ("path=content"), the notices
// and commands (a pattern). Without a widget the row stores the setting and writes the file.
struct Row
{
    int page;
    QString name;
    QVariant choice;
    QString prompt, offered, text;
    int type, stored;
    QString file, notices, log;
};
Q_DECLARE_METATYPE(Row)


// The setup frame (which pages it offers, locking, the category list and the bottom row, the hardware
// keys, and leaving), then its pages driven as an operator would, on a board whose files and
// commands the test sets.
class TestSetupPages : public QObject
{
    Q_OBJECT

    TestRoot m_root;
    SetupDialog* m_frame = SetupDialog::instance();
    SetupPageOperator m_operator;

    QPushButton* button(const char* name) const { return m_frame->findChild<QPushButton*>(name); }
    void tap(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void setSwitches(bool service, bool algorithm) const
    {
        Configuration::setValue(Configuration::VT_Service, service, "system");
        Configuration::setValue("algorithm", algorithm, "system");
        m_frame->updateButtons();
    }
    bool arrows(bool back, bool next) const
    {
        return button("CategoryPrevButton")->isEnabled() == back && button("CategoryNextButton")->isEnabled() == next;
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    QWidget* widget(int page, const QString& name) const { return SetupDialog::pages().at(page)->findChild<QWidget*>(name); }
    QString text(int page, const QString& name) const
    {
        QWidget* shown = widget(page, name);
        return !shown->isVisibleTo(m_frame) ? "(hidden)" : shown->property("text").toString() + (shown->isEnabled() ? "" : " (disabled)");
    }
    QString commands() const { return QString(m_root.readFile("/commands.log")).trimmed().replace('\n', '|'); }
    // Shows a page afresh, with no commands or notices so far; taps a button there.
    void show(int page, const QString& tapped = QString())
    {
        m_root.writeFile("/commands.log", "");
        m_operator.notices.clear();
        m_operator.offered.clear();
        QApplication::setActiveWindow(m_frame); // a closed selector leaves no window active offscreen
        m_frame->setDialog(page, false);
        auto* button = qobject_cast<QAbstractButton*>(widget(page, tapped));
        if (button && button->isVisibleTo(m_frame) && button->isEnabled())
            DialogDriver::tap(button);
    }

private slots:
    void initTestCase()
    {
        const QString log = "echo \"$(basename \"$0\") $*\" >> \"$CORVANE_ROOT/commands.log\"\n";
        for (const char* command : {"/bin/date", "/sbin/hwclock", "/sbin/ifup", "/sbin/ifdown"})
            QVERIFY(m_root.installScript(command, log));
        QVERIFY(m_root.installScript("/sbin/ifconfig", log + "[ $# -gt 1 ] || printf 'eth0  HWaddr 00:1E:C0:8A:21:5F\\n  inet addr:10.1.2.3\\n'"));
        QVERIFY(m_root.installScript("/bin/df", "printf 'Filesystem Size Used Available Use%% Mounted on\\n/dev/root 512.0M 196.5M 315.5M 39%% /\\n'"));
        QVERIFY(m_root.installScript("/bin/editenv", "echo 'CV2026-0042, Corvane PD detector'"));
        QVERIFY(m_root.installMount());
        QVERIFY(QDir().mkpath(m_root.path("/data/corvane_data")));
        const QStringList files = {"/etc/version.corvane=3.2.0 (image)", "/sys/class/backlight/backlight.7/brightness=127",
                                   "/sys/class/gpio/gpio207/value=0", "/sys/class/gpio/gpio211/value=0", "/sys/class/gpio/gpio213/value=0",
                                   "/sys/class/gpio/gpio234/value=1", "/sys/bus/iio/devices/iio:device0/in_temp0_raw=2600",
                                   "/proc/interrupts= 89:  5  7  GPIO  cc1101", "/sys/class/power_supply/ds2782-0/capacity=80",
                                   "/sys/class/power_supply/ds2782-0/voltage_now=1975000",
                                   "/sys/class/power_supply/ds2782-0/current_now=-420000", "/sys/class/power_supply/ds2782-0/temp=251"};
        for (const QString& file : files)
            m_root.writeFile(file.section('=', 0, 0), file.section('=', 1).toUtf8() + '\n');
        DialogDriver::applyStyleSheet();
        MarkerPresets::store({220, 600}, {-50, -60});
        m_frame->resize(640, 440);
        m_frame->show();
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
    }

    // A page is shown from its top with the focus on its first button, and announced; a page
    // that does not exist changes nothing. A language change re-shows the page unlocked; other
    // settings leave the frame alone.
    void setDialogShowsThePage()
    {
        QSignalSpy changed(m_frame, &SetupDialog::dialogChanged);
        auto* bar = m_frame->findChild<QScrollArea*>("ScrollArea")->verticalScrollBar();
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        QCOMPARE(focused(), m_frame->findChild<QWidget*>("CopyToUsbButton"));
        bar->setValue(bar->maximum());
        m_frame->setDialog(SetupDialog::DIALOG_INFO, true);
        QCOMPARE(bar->value(), 0);
        m_frame->setDialog(7, false);
        m_frame->setDialog(-1, false);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_INFO));
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("en"), "system");
        Configuration::setValue(Configuration::VT_Brightness, 50, "system");
        QCOMPARE(changed.count(), 3);
        QVERIFY(!m_frame->isLocked());
    }

    // The arrows step through the pages offered (Service and Algorithm only while their switches
    // are on, a disabled page never); a locked page disables them but not the category list.
    void arrowsAndLocking()
    {
        setSwitches(false, false);
        m_frame->setDialog(SetupDialog::DIALOG_SPECTRUM, false);
        QList<int> visited {m_frame->currentDialog()};
        while (button("CategoryNextButton")->isEnabled()) {
            tap("CategoryNextButton");
            visited << m_frame->currentDialog();
        }
        QCOMPARE(visited, QList<int>({0, 1, 2, 3, 4}));
        setSwitches(true, false);
        tap("CategoryNextButton");
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SERVICE));
        QVERIFY(arrows(true, false));
        setSwitches(true, true);
        tap("CategoryNextButton");
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_ALGORITHM));
        setSwitches(false, true);
        tap("CategoryPrevButton");
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_INFO));
        ISetupDialog* algorithm = SetupDialog::pages().at(SetupDialog::DIALOG_ALGORITHM);
        algorithm->setEnabled(false);
        QVERIFY(!algorithm->isAvailable());
        algorithm->setEnabled(true);
        m_frame->setDialog(SetupDialog::DIALOG_TIME, true);
        QVERIFY(m_frame->isLocked() && button("CategoryButton")->isEnabled() && arrows(false, false));
        m_frame->setDialog(SetupDialog::DIALOG_TIME, false);
        QVERIFY(arrows(true, true));
    }

    // The category list offers the available pages (the locked one's own row not selectable);
    // a choice unlocks the frame; the keys alone choose too; leaving it changes nothing.
    void categoryList()
    {
        setSwitches(false, false);
        m_frame->setDialog(SetupDialog::DIALOG_SPECTRUM, true);
        m_operator.choose("System");
        tap("CategoryButton");
        QCOMPARE(m_operator.offered.join('|'), "Select setup category|Spectrum-|Time Domain|Level|System|Info");
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        QVERIFY(!m_frame->isLocked());
        setSwitches(true, true);
        m_operator.choose(QVariant());
        tap("CategoryButton");
        QCOMPARE(m_operator.offered.mid(6), QStringList({"Service", "Algorithm"}));
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        DialogDriver::run(ValueSelectDialog::instance(), "Down Down Return", [&] { return tap("CategoryButton"), 0; });
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SERVICE));
    }

    // Up and Down reach every button of every page, in order and on into the bottom row (skipping
    // disabled ones), Return presses; the information page scrolls; Escape leaves from anywhere.
    void hardwareKeys()
    {
        for (int page = 0; page < SetupDialog::pages().count(); ++page) {
            show(page);
            QSet<QWidget*> reached;
            for (int i = 0; i < 80; ++i) {
                reached << focused();
                QTest::keyClick(focused() ? focused() : m_frame, i < 40 ? Qt::Key_Up : Qt::Key_Down);
            }
            for (QAbstractButton* b : SetupDialog::pages().at(page)->findChildren<QAbstractButton*>())
                QVERIFY2(reached.contains(b) || !b->isVisibleTo(m_frame) || !b->isEnabled(), qPrintable(b->objectName()));
        }
        show(SetupDialog::DIALOG_SPECTRUM);
        auto* bar = m_frame->findChild<QScrollArea*>("ScrollArea")->verticalScrollBar();
        QWidget* spectrum = SetupDialog::pages().at(SetupDialog::DIALOG_SPECTRUM);
        QWidget* first = spectrum->findChild<QWidget*>("CalibratorButton");
        QCOMPARE(focused(), first);
        QTest::keyClick(first, Qt::Key_Down);
        QCOMPARE(focused(), spectrum->findChild<QWidget*>("BandwidthButton"));
        QTest::keyClick(focused(), Qt::Key_Up);
        QTest::keyClick(focused(), Qt::Key_Up);
        QCOMPARE(focused(), first);
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(focused(), Qt::Key_Down);
        QCOMPARE(focused(), button("CategoryButton"));
        QTest::keyClick(focused(), Qt::Key_Down);
        QCOMPARE(focused(), button("CategoryNextButton"));
        QVERIFY(bar->value() > 0 || bar->maximum() == 0);
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_TIME));
        QCOMPARE(focused(), SetupDialog::pages().at(SetupDialog::DIALOG_TIME)->findChild<QWidget*>("BandwidthButton"));
        m_frame->setDialog(SetupDialog::DIALOG_INFO, false);
        QApplication::processEvents();
        if (bar->maximum() > 0) {
            QTest::keyClick(m_frame, Qt::Key_Down);
            QVERIFY(bar->value() > 0);
            QTest::keyClick(m_frame, Qt::Key_Up);
            QCOMPARE(bar->value(), 0);
        }
        QSignalSpy exitSpy(m_frame, &SetupDialog::exit);
        tap("ExitButton");
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, true);
        QTest::keyClick(focused(), Qt::Key_Escape); // from a page's button
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Left, Qt::Key_A})
            QTest::keyClick(m_frame, key);
        QCOMPARE(exitSpy.count(), 3);
    }

    void rows_data()
    {
        QTest::addColumn<Row>("row");
        const QString today = QDate::currentDate().toString("yyyy\\.MM\\.dd");
        using C = Configuration;
        // The rows build on each other: the spectrum's span and the amplitude limits follow the partner.
        QTest::newRow("service mode") << Row{3, "", QVariant(), "", "", "", int(C::VT_Service), 1, "", "", ""};
        QTest::newRow("start frequency") << Row{0, "FreqMinButton", QVariant(950), "Enter start frequency", "150 <= value <= 950", "950 MHz", int(C::VT_FreqMin), 950, "", "", ""};
        QTest::newRow("end frequency") << Row{0, "FreqMaxButton", QVariant(1000), "Enter end frequency", "1000 <= value <= 1000", QLocale().toString(1000) + " MHz", int(C::VT_FreqMax), 1000, "", "", ""};
        QTest::newRow("amplitude min") << Row{0, "AmpMinButton", QVariant(-40), "Enter minimum amplitude", "-100 <= value <= -40", "-40 dB", int(C::VT_AmpMinDbm), -40, "", "", ""};
        QTest::newRow("bandwidth") << Row{0, "BandwidthButton", QVariant(20000), "Select bandwidth", "1 MHz|5 MHz|20 MHz", "20 MHz", int(C::VT_Bandwidth), 20000, "", "", ""};
        QTest::newRow("gating time left") << Row{0, "GatingTimeButton", QVariant(), "Enter gating time", "1 <= value <= 80", "20 ms", int(C::VT_GatingTime), 20, "", "", ""};
        QTest::newRow("preamplifier line") << Row{0, "PreamplifierButton", QVariant(0), "Enable preamplifier", "Off|On", "Off", int(C::VT_Preamplifier), 0, "/sys/class/gpio/gpio213/value=1", "", ""};
        QTest::newRow("pulse generator, not stored") << Row{0, "CalibratorButton", QVariant(1), "Enable pulse generator", "Off|On", "On", -1, 0, "/sys/class/gpio/gpio207/value=1", "", ""};
        QTest::newRow("time frequency, markers") << Row{1, "FreqButton", QVariant(400), "Enter frequency", "150 <= value <= 1000|220 MHz\n[Marker 1]|600 MHz\n[Marker 2]", "400 MHz", int(C::VT_FreqMin), 400, "", "", ""};
        QTest::newRow("time preamplifier, no line") << Row{1, "PreamplifierButton", QVariant(1), "Enable Preamplifier", "Off|On", "On", int(C::VT_Preamplifier), 1, "/sys/class/gpio/gpio213/value=1", "", ""};
        QTest::newRow("time amplitude max") << Row{1, "AmpMaxButton", QVariant(50), "Enter maximum amplitude", "10 <= value <= 100", "50 %", int(C::VT_AmpMaxPercent), 50, "", "", ""};
        QTest::newRow("time amplitude min") << Row{1, "AmpMinButton", QVariant(40), "Enter minimum amplitude", "0 <= value <= 40", "40 %", int(C::VT_AmpMinPercent), 40, "", "", ""};
        QTest::newRow("persistency") << Row{1, "PersistencyButton", QVariant(0), "Persistency", "1|50|100|Infinite", "Infinite", int(C::VT_Persistency), 0, "", "", ""};
        QTest::newRow("level amplitude min, LOG") << Row{2, "AmpMinButton", QVariant(-60), "Enter minimum amplitude", "-100 <= value <= -40", "-60 dBm", int(C::VT_AmpMinDbm), -60, "", "", ""};
        QTest::newRow("measure mode RMS") << Row{2, "MeasModeButton", QVariant(1), "Select measure mode", "LOG|RMS|ENV", "RMS", int(C::VT_MeasMode), 1, "", "", ""};
        QTest::newRow("level amplitude max, RMS") << Row{2, "AmpMaxButton", QVariant(300), "Enter maximum amplitude", "10 <= value <= 400000", "300 µV", int(C::VT_AmpMaxMicroVolt), 300, "", "", ""};
        QTest::newRow("measure mode LOG") << Row{2, "MeasModeButton", QVariant(0), "Select measure mode", "LOG|RMS|ENV", "LOG", int(C::VT_MeasMode), 0, "", "", ""};
        QTest::newRow("calibration starts") << Row{2, "StartCalibButton", QVariant(), "", "", "Up -75 dBm", int(C::VT_GatingTime), 5, "/sys/class/gpio/gpio213/value=0", "", ""};
        QTest::newRow("calibration set-up") << Row{2, "FreqButton", QVariant(), "Enter frequency", "150 <= value <= 1000|220 MHz\n[Marker 1]|600 MHz\n[Marker 2]", "500 MHz", int(C::VT_Bandwidth), 1000, "", "", ""};
        QTest::newRow("calibration aborted") << Row{2, "StartCalibButton", QVariant(), "", "", "Start", int(C::VT_MeasMode), 0, "", "", ""};
        QTest::newRow("ant sel") << Row{5, "AntSelButton", QVariant(1), "Ant Sel", "Off|On", "on", -1, 0, "/sys/class/gpio/gpio211/value=1", "", ""};
        QTest::newRow("amplifier") << Row{6, "AmplifierButton", QVariant(1), "Enable amplifier", "Off|On", "On", int(C::VT_Amplifier), 1, "", "", ""};
        QTest::newRow("amplifier factor") << Row{6, "AmplifierFactorButton", QVariant(10), "Enter amplifier factor", "1 <= value <= 10", "10", int(C::VT_AmplifierFactorG), 10, "", "", ""};
        QTest::newRow("threshold above range") << Row{6, "Threshold4Button", QVariant(101), "Enter threshold", "0 <= value <= 100", "0", int(C::VT_Threshold4), 0, "", "", ""};
        // The clock takes 2000-01-01 .. 2037-12-31 (32-bit board time, four-digit folder years).
        QTest::newRow("date format") << Row{3, "DateFormatButton", QVariant(1), "Select date format", "DD.MM.YYYY|YYYY.MM.DD", "YYYY.MM.DD", int(C::VT_DateFormat), 1, "", "", ""};
        QTest::newRow("sweep rate") << Row{3, "SweepRateButton", QVariant(60), "Enter sweep rate", "20 <= value <= 300|50 Hz|60 Hz", "60 Hz", int(C::VT_SweepRate), 60, "", "", ""};
        QTest::newRow("brightness") << Row{3, "BrightnessButton", QVariant(40), "Adjust brightness", "", "40 %", int(C::VT_Brightness), 40, "/sys/class/backlight/backlight.7/brightness=50", "", ""};
        QTest::newRow("brightness moved, left") << Row{3, "BrightnessButton", QVariant(-10), "Adjust brightness", "", "40 %", int(C::VT_Brightness), 40, "/sys/class/backlight/backlight.7/brightness=50", "", ""};
        QTest::newRow("date past the end") << Row{3, "DateButton", QVariant(QDate(2038, 6, 1)), "Enter date", "", QDate::currentDate().toString("yyyy.MM.dd"), -1, 0, "", "", "^date -s 2037\\.12\\.31-\\d\\d:\\d\\d:\\d\\d\\|hwclock -u --systohc$"};
        QTest::newRow("date before the start") << Row{3, "DateButton", QVariant(QDate(1999, 1, 1)), "Enter date", "", "", -1, 0, "", "", "^date -s 2000\\.01\\.01-"};
        QTest::newRow("time") << Row{3, "TimeButton", QVariant(QTime(23, 59, 58)), "Enter time", "", "", -1, 0, "", "", "^date -s " + today + "-23:59:58\\|hwclock -u --systohc$"};
        QTest::newRow("service off") << Row{3, "ServiceButton", QVariant(), "", "", "Enable Service mode", int(C::VT_Service), 0, "", "Service mode disabled", "^$"};
        QTest::newRow("code empty") << Row{3, "ServiceButton", QVariant(0), "Enter code", "0 <= value <= 9999999", "Enable Service mode", int(C::VT_Service), 0, "", "Wrong code", "^$"};
        QTest::newRow("code wrong") << Row{3, "ServiceButton", QVariant(1384746), "Enter code", "0 <= value <= 9999999", "Enable Service mode", int(C::VT_Service), 0, "", "Wrong code", "^$"};
        QTest::newRow("code wrong a third time") << Row{3, "ServiceButton", QVariant(1384748), "Enter code", "0 <= value <= 9999999", "Enable Service mode", int(C::VT_Service), 0, "", "Wrong code", "^$"};
        QTest::newRow("code of eight digits") << Row{3, "ServiceButton", QVariant(13847470), "Enter code", "0 <= value <= 9999999", "Enable Service mode", int(C::VT_Service), 0, "", "", "^$"};
        QTest::newRow("service code") << Row{3, "ServiceButton", QVariant(1384747), "Enter code", "0 <= value <= 9999999", "", int(C::VT_Service), 1, "", "Service mode enabled", "^ifconfig eth0 192\\.168\\.1\\.23 netmask 255\\.255\\.255\\.0$"};
        // The network rows in service mode: defaults without a stanza, written with "inet"; addresses
        // stepped digit by digit, kept only when valid.
        QTest::newRow("no eth0 stanza") << Row{3, "", QVariant(), "", "", "", -1, 0, "/etc/network/interfaces=auto lo\niface lo inet loopback\n", "", ""};
        QTest::newRow("defaults: DHCP") << Row{3, "MethodButton", QVariant(), "Select method", "DHCP|Static", "DHCP", -1, 0, "", "", ""};
        QTest::newRow("defaults: address") << Row{3, "AddressButton", QVariant(), "", "", "0.0.0.0 (disabled)", -1, 0, "", "", ""};
        QTest::newRow("static written") << Row{3, "MethodButton", QVariant(1), "Select method", "DHCP|Static", "Static", -1, 0, "/etc/network/interfaces=auto lo\niface lo inet loopback\niface eth0 inet static\n        address 0.0.0.0\n        netmask 255.255.255.0\n        gateway 0.0.0.0", "", "^$"};
        QTest::newRow("eth0 stanza") << Row{3, "", QVariant(), "", "", "", -1, 0, "/etc/network/interfaces=auto lo\niface lo inet loopback\niface eth0 inet static\n        address 192.168.1.50\n        netmask 255.255.255.155\n        gateway 192.168.1.1", "", ""};
        QTest::newRow("gateway stepped") << Row{3, "GatewayButton", QVariantList{14, Qt::Key_Down, Qt::Key_Return}, "Enter gateway", "192.168.001.002", "192.168.1.2", -1, 0, "/etc/network/interfaces=" + QString("auto lo\niface lo inet loopback\niface eth0 inet static\n        address 192.168.1.50\n        netmask 255.255.255.155\n        gateway 192.168.1.1").replace("192.168.1.1", "192.168.1.2"), "", "^ifdown eth0\\|ifup eth0$"};
        // 155 -> 156 on the units, then the hundreds raised last: 256, which is dropped.
        QTest::newRow("netmask 256 dropped") << Row{3, "NetmaskButton", QVariantList{14, Qt::Key_Down, Qt::Key_Left, Qt::Key_Left, Qt::Key_Down, Qt::Key_Return, Qt::Key_Return, Qt::Key_Return}, "Enter mask", "255.255.255.256", "255.255.255.155", -1, 0, "/etc/network/interfaces=" + QString("auto lo\niface lo inet loopback\niface eth0 inet static\n        address 192.168.1.50\n        netmask 255.255.255.155\n        gateway 192.168.1.1").replace("192.168.1.1", "192.168.1.2"), "", "^$"};
        QTest::newRow("stanza without address") << Row{3, "", QVariant(), "", "", "", -1, 0, "/etc/network/interfaces=iface eth0 inet static", "", ""};
        // A blank that is no digit must not pull the stepped digit to the left.
        QTest::newRow("empty address: digit at the cursor") << Row{3, "AddressButton", QVariantList{6, Qt::Key_Down, Qt::Key_Down, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Escape}, "Enter address", "000.  1.   .   ", "", -1, 0, "/etc/network/interfaces=iface eth0 inet static", "", "^$"};
        QTest::newRow("unreadable network file") << Row{3, "", QVariant(), "", "", "", -1, 0, "/etc/network/interfaces=LOOP", "", ""};
        QTest::newRow("unreadable file kept") << Row{3, "MethodButton", QVariant(1), "Select method", "DHCP|Static", "DHCP", -1, 0, "/etc/network/interfaces=", "Network settings could not be saved!", "^$"};
        // Frequency, bandwidth and preamplifier belong to the UHF receiver.
        QTest::newRow("TEV sensor") << Row{3, "", QVariant(), "", "", "", int(C::VT_Antenna), 1, "", "", ""};
        QTest::newRow("TEV: no frequency") << Row{1, "FreqButton", QVariant(), "", "", "(hidden)", -1, 0, "", "", ""};
        QTest::newRow("TEV: no preamplifier") << Row{2, "PreamplifierButton", QVariant(), "", "", "(hidden)", -1, 0, "", "", ""};
        QTest::newRow("FPGA temperature") << Row{4, "FpgaTempValue", QVariant(), "", "", "46.8 °C", -1, 0, "", "", ""};
        QTest::newRow("radio pulses") << Row{4, "InterruptCountValue", QVariant(), "", "", "12", -1, 0, "", "", ""};
        QTest::newRow("battery voltage") << Row{4, "BatteryVoltageValue", QVariant(), "", "", "3.95 V", -1, 0, "", "", ""};
        QTest::newRow("battery temperature in tenths, charging disabled") << Row{4, "BatteryTemperatureValue", QVariant(), "", "", "25.1 °C\n(charging disabled)", -1, 0, "", "", ""};
        QTest::newRow("free") << Row{4, "FreeSpaceValue", QVariant(), "", "", "315.5M", -1, 0, "", "", ""};
        QTest::newRow("radio variant unreadable") << Row{4, "RadioVariant", QVariant(), "", "", "???", -1, 0, "", "", ""};
        QTest::newRow("factory defaults declined") << Row{3, "FactoryDefault", QVariant(0), "Load factory defaults?", "No|Yes", "", int(C::VT_Brightness), 40, "", "", "^$"};
        QTest::newRow("factory defaults") << Row{3, "FactoryDefault", QVariant(1), "Load factory defaults?", "No|Yes", "", int(C::VT_Brightness), 75, "/sys/class/backlight/backlight.7/brightness=95", "Factory defaults restored", "^$"};
        QTest::newRow("service rows hidden again") << Row{4, "InterruptCountValue", QVariant(), "", "", "(hidden)", -1, 0, "", "", ""};
    }

    void rows()
    {
        QFETCH(Row, row);
        const QStringList paths = {"spectrum", "time", "level", "system", "", "", "algorithm"};
        const QString file = m_root.path(row.file.section('=', 0, 0));
        if (row.name.isEmpty()) {
            if (row.type >= 0)
                Configuration::setValue(Configuration::ValueType(row.type), row.stored, paths.at(row.page));
            QFile::remove(file);
            if (!row.file.isEmpty())
                row.file.endsWith("=LOOP") ? QFile::link(file, file) : m_root.writeFile(row.file.section('=', 0, 0), row.file.section('=', 1).toUtf8());
            return;
        }
        if (!row.prompt.isEmpty())
            m_operator.choose(row.choice);
        // A file below /etc is replaced whole: a power cut leaves the old one or the new one, never half of it.
        const QByteArray old = m_root.readFile(row.file.section('=', 0, 0));
        QFile before(file);
        before.open(QIODevice::ReadOnly);
        show(row.page, row.name);
        QCOMPARE(m_operator.offered.join('|'), row.prompt.isEmpty() ? QString() : row.prompt + (row.offered.isEmpty() ? "" : "|" + row.offered));
        if (!row.text.isEmpty())
            QCOMPARE(text(row.page, row.name), row.text);
        if (row.type >= 0)
            QCOMPARE(Configuration::getValue(Configuration::ValueType(row.type), paths.at(row.page)), row.stored);
        if (!row.file.isEmpty())
            QCOMPARE(m_root.readFile(row.file.section('=', 0, 0)).trimmed(), row.file.section('=', 1).toUtf8());
        if (row.file.startsWith("/etc/"))
            QCOMPARE(before.readAll(), old);
        QCOMPARE(m_operator.notices.join('|'), row.notices);
        QVERIFY2(QRegularExpression(row.log).match(commands()).hasMatch(), qPrintable(commands()));
    }

    void algorithmSwitchOpensAndClosesItsPage()
    {
        Configuration::setValue(Configuration::VT_Amplifier, 0, "algorithm");
        Configuration::setValue(Configuration::VT_AmplifierFactorG, 7, "algorithm");
        m_operator.choose(1);
        show(SetupDialog::DIALOG_SERVICE, "AlgorithmButton");
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_ALGORITHM));
        // Without the amplifier its factor stays in view but cannot be changed.
        QCOMPARE(text(6, "AmplifierFactorButton"), "7 (disabled)");
        m_operator.choose(0);
        show(SetupDialog::DIALOG_SERVICE, "AlgorithmButton");
        QCOMPARE(text(5, "AlgorithmButton"), "off");
        QVERIFY(!button("CategoryNextButton")->isEnabled());
    }

    void refreshRunsOnlyWhileShown()
    {
        auto* system = static_cast<SetupSystemDialog*>(SetupDialog::pages().at(SetupDialog::DIALOG_SYSTEM));
        auto* info = static_cast<SetupInfoDialog*>(SetupDialog::pages().at(SetupDialog::DIALOG_INFO));
        show(SetupDialog::DIALOG_SYSTEM);
        QVERIFY(system->isRefreshing() && !info->isRefreshing());
        show(SetupDialog::DIALOG_INFO);
        QVERIFY(!system->isRefreshing() && info->isRefreshing());
        m_root.writeFile("/sys/class/power_supply/ds2782-0/capacity", "79");
        QTRY_COMPARE_WITH_TIMEOUT(text(SetupDialog::DIALOG_INFO, "BatteryCapacityValue"), "79 %", 5000);
        QTest::keyClick(m_frame, Qt::Key_Escape); // leaves setup
        QVERIFY(!system->isRefreshing() && !info->isRefreshing());
    }
};

CORVANE_TEST_MAIN(TestSetupPages)
#include "tst_setuppages.moc"
