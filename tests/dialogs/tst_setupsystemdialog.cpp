#include "DialogDriver.h"
#include "SetupPageOperator.h"
#include "common/TestRoot.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/SetupInfoDialog.h"
#include "dialogs/SetupSystemDialog.h"
#include "util/Configuration.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QDialog>
#include <QSlider>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimeEdit>

// The system page driven as an operator would: its rows, the clock, service mode, the network
// rows in service mode, factory defaults, and the refresh that runs only while it is shown.
class TestSetupSystemDialog : public QObject
{
    Q_OBJECT

    TestRoot m_root;
    SetupDialog* m_frame = nullptr;
    SetupPageOperator m_operator;

    QAbstractButton* button(const QString& name) const
    {
        return SetupDialog::pages().at(SetupDialog::DIALOG_SYSTEM)->findChild<QAbstractButton*>(name);
    }
    QStringList commands() const
    {
        return QString::fromUtf8(m_root.readFile("/commands.log")).split('\n', Qt::SkipEmptyParts);
    }
    void show(bool service)
    {
        QFile::remove(m_root.path("/commands.log"));
        Configuration::setValue(Configuration::VT_Service, service ? 1 : 0, "system");
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, false);
    }
    static void press(QDialog* dialog, const QList<int>& keys)
    {
        for (int key : keys)
            DialogDriver::pressKey(dialog, key);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.installMount());
        const QString logger = "echo \"$(basename \"$0\") $*\" >> \"$CORVANE_ROOT/commands.log\"";
        for (const char* command : {"/bin/date", "/sbin/hwclock", "/sbin/ifconfig", "/sbin/ifup", "/sbin/ifdown"})
            QVERIFY(m_root.installScript(command, logger));
        m_root.writeFile("/sys/class/backlight/backlight.7/brightness", "127\n");
        DialogDriver::applyStyleSheet();
        m_frame = SetupDialog::instance();
        m_frame->resize(640, 440);
        m_frame->show();
    }

    void rows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("choice");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("offered"); // the editor's range, or the options joined by "|"
        QTest::addColumn<QString>("text");
        QTest::newRow("date format") << "DateFormatButton" << QVariant(1) << "Select date format" << "DD.MM.YYYY|YYYY.MM.DD" << "YYYY.MM.DD";
        QTest::newRow("sweep rate") << "SweepRateButton" << QVariant(60) << "Enter sweep rate" << "20 <= value <= 300" << "60 Hz";
        QTest::newRow("sweep rate presets") << "SweepRateButton" << QVariant() << "Enter sweep rate" << "50 Hz|60 Hz" << "60 Hz";
        QTest::newRow("phase prompt") << "PromptPhaseButton" << QVariant(1) << "Enable phase prompt" << "Off|On" << "On";
        QTest::newRow("brightness") << "BrightnessButton" << QVariant(40) << "Adjust brightness" << "" << "40 %";
    }

    void rows()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, choice);
        QFETCH(QString, prompt);
        QFETCH(QString, offered);
        QFETCH(QString, text);
        show(false);
        m_operator.choose(choice);
        DialogDriver::tap(button(name));
        QCOMPARE(m_operator.prompts.last(), prompt);
        if (offered.contains("<="))
            QCOMPARE(m_operator.ranges.last(), offered);
        else
            QCOMPARE(m_operator.options.join('|'), offered);
        QCOMPARE(button(name)->text(), text);
        QCOMPARE(button("DateButton")->text(), QDate::currentDate().toString("yyyy.MM.dd"));
    }

    void brightnessFollowsTheSliderAndCancelRestores()
    {
        show(false);
        QByteArray live;
        m_operator.then([&](QDialog* dialog) {
            auto* slider = dialog->findChild<QSlider*>("Slider");
            slider->setFocus();
            slider->setValue(10);
            live = m_root.readFile("/sys/class/backlight/backlight.7/brightness");
            DialogDriver::pressKey(slider, Qt::Key_Escape);
        });
        DialogDriver::tap(button("BrightnessButton"));
        QCOMPARE(live, QByteArray("12"));
        QCOMPARE(m_root.readFile("/sys/class/backlight/backlight.7/brightness"), QByteArray("50"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Brightness, "system"), 40);
    }

    void clockIsSetWithinTheBoardsBounds()
    {
        Configuration::setValue(Configuration::VT_DateFormat, 0, "system");
        show(false);
        // dd.MM.yyyy: the year is the third section; the bounds are 2000-01-01 and 2037-12-31.
        m_operator.then([](QDialog* dialog) {
            dialog->findChild<QDateEdit*>("dateEdit")->setDate(QDate(2037, 12, 31));
            press(dialog, {Qt::Key_Return, Qt::Key_Return, Qt::Key_Up, Qt::Key_Up, Qt::Key_Return});
        });
        DialogDriver::tap(button("DateButton"));
        m_operator.then([](QDialog* dialog) {
            dialog->findChild<QDateEdit*>("dateEdit")->setDate(QDate(2000, 1, 1));
            press(dialog, {Qt::Key_Return, Qt::Key_Return, Qt::Key_Down, Qt::Key_Return});
        });
        DialogDriver::tap(button("DateButton"));
        m_operator.then([](QDialog* dialog) {
            dialog->findChild<QTimeEdit*>("timeEdit")->setTime(QTime(23, 59, 58));
            press(dialog, {Qt::Key_Return, Qt::Key_Return, Qt::Key_Return});
        });
        DialogDriver::tap(button("TimeButton"));
        m_operator.choose(QVariant()); // left: nothing is set
        DialogDriver::tap(button("TimeButton"));
        const QStringList log = commands();
        QCOMPARE(log.size(), 6);
        QVERIFY2(log.at(0).startsWith("date -s 2037.12.31-"), qPrintable(log.at(0)));
        QVERIFY2(log.at(2).startsWith("date -s 2000.01.01-"), qPrintable(log.at(2)));
        QCOMPARE(log.at(4), "date -s " + QDate::currentDate().toString("yyyy.MM.dd") + "-23:59:58");
        QCOMPARE(log.at(5), QStringLiteral("hwclock -u --systohc"));
    }

    void serviceModeNeedsTheCode_data()
    {
        QTest::addColumn<QVariantList>("entries");
        QTest::addColumn<QStringList>("notices");
        QTest::addColumn<bool>("on");
        QTest::newRow("empty") << QVariantList{0} << QStringList{"Wrong code"} << false;
        QTest::newRow("wrong three times") << QVariantList{1384746, 4711, 1384748} << QStringList{"Wrong code", "Wrong code", "Wrong code"} << false;
        QTest::newRow("eight digits") << QVariantList{13847470} << QStringList() << false;
        QTest::newRow("left") << QVariantList{QVariant()} << QStringList() << false;
        QTest::newRow("the code") << QVariantList{1384747} << QStringList{"Service mode enabled"} << true;
    }

    void serviceModeNeedsTheCode()
    {
        QFETCH(QVariantList, entries);
        QFETCH(QStringList, notices);
        QFETCH(bool, on);
        show(false);
        m_operator.notices.clear();
        for (const QVariant& entry : entries) {
            m_operator.choose(entry);
            DialogDriver::tap(button("ServiceButton"));
        }
        QCOMPARE(m_operator.notices, notices);
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, "system"), int(on));
        QCOMPARE(Configuration::getValue(Configuration::VT_Screenshot, "system"), int(on));
        QCOMPARE(m_frame->currentDialog(), int(on ? SetupDialog::DIALOG_SERVICE : SetupDialog::DIALOG_SYSTEM));
        QCOMPARE(commands(), on ? QStringList{"ifconfig eth0 192.168.1.23 netmask 255.255.255.0"} : QStringList());
        if (!on)
            return;
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        QCOMPARE(button("ServiceButton")->text(), QStringLiteral("Disable Service mode"));
        DialogDriver::tap(button("ServiceButton"));
        QCOMPARE(m_operator.notices.last(), QStringLiteral("Service mode disabled"));
        QVERIFY(!button("MethodButton")->isVisibleTo(m_frame));
    }

    void networkRows_data()
    {
        const QByteArray lo = "auto lo\niface lo inet loopback\n";
        const QByteArray eth0 = lo + "iface eth0 inet static\n        address 192.168.1.50\n        netmask 255.255.255.155\n        gateway 192.168.1.1";
        QTest::addColumn<QByteArray>("file"); // "LOOP": a file there that cannot be read
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("keys"); // on the address editor; empty: choose "Static"
        QTest::addColumn<QStringList>("shown"); // method, address, mask, gateway before
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("no stanza: defaults, written with inet") << lo << "MethodButton" << QList<int>()
            << QStringList{"DHCP", "0.0.0.0", "255.255.255.0", "0.0.0.0"}
            << lo + "iface eth0 inet static\n        address 0.0.0.0\n        netmask 255.255.255.0\n        gateway 0.0.0.0" << QStringList();
        QTest::newRow("gateway stepped") << eth0 << "GatewayButton" << QList<int>{Qt::Key_Down, Qt::Key_Return}
            << QStringList{"Static", "192.168.1.50", "255.255.255.155", "192.168.1.1"}
            << QByteArray(eth0).replace("192.168.1.1", "192.168.1.2") << QStringList{"ifdown eth0", "ifup eth0"};
        // 155 -> 156 on the units, then the hundreds raised last: 256, which is dropped.
        QTest::newRow("netmask 256 dropped") << eth0 << "NetmaskButton" << QList<int>{Qt::Key_Down, Qt::Key_Left, Qt::Key_Left, Qt::Key_Down, Qt::Key_Return, Qt::Key_Return, Qt::Key_Return}
            << QStringList{"Static", "192.168.1.50", "255.255.255.155", "192.168.1.1"} << eth0 << QStringList();
        QTest::newRow("unreadable file kept") << QByteArray("LOOP") << "MethodButton" << QList<int>()
            << QStringList{"DHCP", "0.0.0.0", "255.255.255.0", "0.0.0.0"} << QByteArray() << QStringList();
    }

    void networkRows()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, shown);
        QFETCH(QByteArray, written);
        QFETCH(QStringList, commands);
        const QString path = m_root.path("/etc/network/interfaces");
        QFile::remove(path);
        if (file == "LOOP")
            QFile::link(path, path);
        else
            m_root.writeFile("/etc/network/interfaces", file);
        QFile before(path);
        before.open(QIODevice::ReadOnly);
        show(true);
        QCOMPARE((QStringList{button("MethodButton")->text(), button("AddressButton")->text(),
                              button("NetmaskButton")->text(), button("GatewayButton")->text()}),
                 shown);
        QCOMPARE(button("AddressButton")->isEnabled(), shown.first() == "Static");
        m_operator.notices.clear();
        if (keys.isEmpty())
            m_operator.choose(1);
        else
            m_operator.then([keys](QDialog* dialog) {
                dialog->findChild<QLineEdit*>("lineEditText")->setCursorPosition(14);
                press(dialog, keys);
            });
        DialogDriver::tap(button(name));
        QCOMPARE(this->commands(), commands);
        if (file == "LOOP") {
            QCOMPARE(m_operator.notices, QStringList{"Network settings could not be saved!"});
            QVERIFY(QFileInfo(path).isSymLink());
            return;
        }
        QCOMPARE(m_root.readFile("/etc/network/interfaces"), written);
        // Replaced whole: a reader of the old file still sees all of it.
        QCOMPARE(before.readAll(), file);
    }

    void addressDigitLandsAtTheCursor()
    {
        QFile::remove(m_root.path("/etc/network/interfaces"));
        m_root.writeFile("/etc/network/interfaces", "iface eth0 inet static\n");
        show(true);
        QString text;
        m_operator.then([&](QDialog* dialog) {
            auto* line = dialog->findChild<QLineEdit*>("lineEditText");
            line->setCursorPosition(5); // the tens of the second group, blank
            press(dialog, {Qt::Key_Down, Qt::Key_Down});
            text = line->displayText();
            press(dialog, {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Escape});
        });
        DialogDriver::tap(button("AddressButton"));
        QCOMPARE(text, QStringLiteral("000. 1 .   .   "));
        QCOMPARE(m_root.readFile("/etc/network/interfaces"), QByteArray("iface eth0 inet static\n"));
    }

    void factoryDefaults_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("brightness");
        QTest::newRow("no") << 0 << 30;
        QTest::newRow("yes") << 1 << 75;
    }

    void factoryDefaults()
    {
        QFETCH(int, answer);
        QFETCH(int, brightness);
        Configuration::setValue(Configuration::VT_Brightness, 30, "system");
        show(true);
        m_operator.choose(answer);
        DialogDriver::tap(button("FactoryDefault"));
        QCOMPARE(m_operator.prompts.last(), QStringLiteral("Load factory defaults?"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Brightness, "system"), brightness);
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, "system"), 1 - answer);
        QCOMPARE(button("BrightnessButton")->text(), QStringLiteral("%1 %").arg(brightness));
    }

    void refreshRunsOnlyWhileShown()
    {
        auto* system = static_cast<SetupSystemDialog*>(SetupDialog::pages().at(SetupDialog::DIALOG_SYSTEM));
        auto* info = static_cast<SetupInfoDialog*>(SetupDialog::pages().at(SetupDialog::DIALOG_INFO));
        show(false);
        QVERIFY(system->isRefreshing() && !info->isRefreshing());
        m_frame->setDialog(SetupDialog::DIALOG_INFO, false);
        QVERIFY(!system->isRefreshing() && info->isRefreshing());
        QTest::keyClick(m_frame, Qt::Key_Escape); // leaves setup
        QVERIFY(!system->isRefreshing() && !info->isRefreshing());
        show(false);
        QVERIFY(system->isRefreshing());
        // The time runs live.
        const QString before = button("TimeButton")->text();
        QTRY_VERIFY_WITH_TIMEOUT(button("TimeButton")->text() != before, 5000);
    }
};

QTEST_MAIN(TestSetupSystemDialog)
#include "tst_setupsystemdialog.moc"
