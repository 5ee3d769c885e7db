#include "common/TestRoot.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "util/Configuration.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

// The device information page on a board whose files and commands the test sets.
class TestSetupInfoDialog : public QObject
{
    Q_OBJECT

    TestRoot m_root;

    QString text(const char* name) const
    {
        return SetupDialog::pages().at(SetupDialog::DIALOG_INFO)->findChild<QLabel*>(name)->text();
    }
    bool shown(const char* name) const
    {
        QWidget* page = SetupDialog::pages().at(SetupDialog::DIALOG_INFO);
        return page->findChild<QWidget*>(name)->isVisibleTo(page);
    }
    void battery(const char* file, const QByteArray& value) const
    {
        m_root.writeFile(QStringLiteral("/sys/class/power_supply/ds2782-0/") + file, value);
    }

private slots:
    void initTestCase()
    {
        m_root.installScript("/sbin/ifconfig", "[ -e \"$CORVANE_ROOT/no-network\" ] && exit 1\n"
                                               "echo 'eth0      Link encap:Ethernet  HWaddr 00:1E:C0:8A:21:5F'\n"
                                               "echo '          inet addr:10.1.2.3  Bcast:10.1.255.255  Mask:255.255.0.0'");
        m_root.installScript("/bin/df", "echo 'Filesystem Size Used Available Use% Mounted on'\n"
                                        "echo '/dev/root 512.0M 196.5M 315.5M 39% /'");
        m_root.installScript("/bin/editenv", "echo 'CV2026-0042, Corvane PD detector'");
        m_root.writeFile("/etc/version.corvane", "3.2.0 (board image)\n");
        m_root.writeFile("/sys/class/cc1101/country_variant", "EU868\n");
        m_root.writeFile("/sys/bus/iio/devices/iio:device0/in_temp0_raw", "2600\n");
        m_root.writeFile("/proc/interrupts", "           CPU0       CPU1\n 89:         5          7   GPIO  cc1101\n");
        battery("status", "Not charging\n");
        battery("capacity", "80\n");
        battery("voltage_now", "1975000\n");
        battery("current_now", "-420000\n");
        battery("temp", "251\n");
        SetupDialog::instance()->resize(640, 440);
        SetupDialog::instance()->show();
    }

    void rows_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("network");
        QTest::addColumn<QByteArray>("chargingDisabled");
        QTest::newRow("service mode") << true << true << QByteArray("1");
        QTest::newRow("operator, no network") << false << false << QByteArray("0");
    }

    void rows()
    {
        QFETCH(bool, service);
        QFETCH(bool, network);
        QFETCH(QByteArray, chargingDisabled);
        Configuration::setValue(Configuration::VT_Service, service ? 1 : 0, "system");
        m_root.writeFile("/sys/class/gpio/gpio234/value", chargingDisabled);
        QFile::remove(m_root.path("/no-network"));
        if (!network)
            m_root.writeFile("/no-network", "");
        battery("capacity", "80\n");
        SetupDialog::instance()->setDialog(SetupDialog::DIALOG_INFO, false);

        QCOMPARE(text("SoftwareVersionValue"), QStringLiteral("2.0.14"));
        QCOMPARE(text("BetriebsSystemVersion"), QStringLiteral("3.2.0"));
        QCOMPARE(text("SerialNumberValue"), QStringLiteral("CV2026-0042"));
        QCOMPARE(text("RadioVariant"), QStringLiteral("EU868"));
        // Without an answer from the interface the addresses keep what they showed.
        QCOMPARE(text("MacAddres"), QStringLiteral("00:1E:C0:8A:21:5F"));
        QCOMPARE(text("IpAddres"), QStringLiteral("10.1.2.3"));
        QCOMPARE(text("AvailableSpaceValue"), QStringLiteral("512.0M"));
        QCOMPARE(text("FreeSpaceValue"), QStringLiteral("315.5M"));
        QCOMPARE(SetupDialog::pages().at(SetupDialog::DIALOG_INFO)->findChild<QProgressBar*>()->value(), 39);
        QCOMPARE(text("BatteryStatusValue"), QStringLiteral("Not charging"));
        QCOMPARE(text("BatteryVoltageValue"), QStringLiteral("3.95 V"));
        QCOMPARE(text("BatteryCurrentValue"), QStringLiteral("-420 mA"));
        QCOMPARE(text("BatteryTemperatureValue"),
                 chargingDisabled == "1" ? QStringLiteral("25.1 °C\n(charging disabled)") : QStringLiteral("25.1 °C"));
        for (const char* row : {"FpgaTempLabel", "FpgaTempValue", "InterruptCountLabel", "InterruptCountValue"})
            QCOMPARE(shown(row), service);
        if (service) {
            QCOMPARE(text("FpgaTempValue"), QStringLiteral("46.8 °C"));
            QCOMPARE(text("InterruptCountValue"), QStringLiteral("12"));
        }
        // The battery is read again every second.
        QCOMPARE(text("BatteryCapacityValue"), QStringLiteral("80 %"));
        battery("capacity", "79\n");
        QTRY_COMPARE_WITH_TIMEOUT(text("BatteryCapacityValue"), QStringLiteral("79 %"), 5000);
    }
};

QTEST_MAIN(TestSetupInfoDialog)
#include "tst_setupinfodialog.moc"
