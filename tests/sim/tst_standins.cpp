// The simulator's stand-ins for the clock and the network, as the system page runs them: only
// forms that read the host's clock reach it, settings are checked like the board's tools do.

#include "common/SimulatedBoard.h"
#include "util/SystemHelper.h"

#include <QDir>
#include <QtTest>

class TestStandIns : public QObject
{
    Q_OBJECT

    SimulatedBoard m_board;

private slots:
    void initTestCase()
    {
        QVERIFY(m_board.prepare());
        m_board.useAsPlatformRoot();
    }

    void date_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::newRow("read") << QStringList() << true;
        QTest::newRow("read formatted") << QStringList{"-u", "+%Y"} << true;
        QTest::newRow("set") << QStringList{"-s", "2031.01.02-03:04:05"} << true;
        QTest::newRow("set, other form") << QStringList{"--set=2031-01-02 03:04"} << true;
        QTest::newRow("set garbage") << QStringList{"-s", "tomorrow; reboot"} << false;
        QTest::newRow("set nothing") << QStringList{"-s"} << false;
        // Forms the host's date would take are refused before they get there.
        QTest::newRow("unknown option") << QStringList{"--version"} << false;
        QTest::newRow("display form") << QStringList{"-d", "@0"} << false;
        QTest::newRow("two formats") << QStringList{"+%Y", "+%m"} << false;
    }

    void date()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, ok);
        QFile::remove(m_board.path("/sim/clock"));
        QByteArray out;
        QCOMPARE(SystemHelper::execute("date", arguments, &out, nullptr, 30000), ok);
        const bool set = arguments.value(0).startsWith("-s") || arguments.value(0).startsWith("--set");
        QCOMPARE(QFileInfo::exists(m_board.path("/sim/clock")), ok && set);
        QVERIFY(QDate::currentDate().year() < 2031);
    }

    void ifupChecksTheStanza_data()
    {
        QTest::addColumn<QByteArray>("stanza");
        QTest::addColumn<bool>("ok");
        QTest::newRow("static") << QByteArray("iface eth0 inet static\n        address 10.0.0.2\n") << true;
        QTest::newRow("dhcp") << QByteArray("iface eth0 inet dhcp\n") << true;
        QTest::newRow("no family") << QByteArray("iface eth0  static\n        address 10.0.0.2\n") << false;
        QTest::newRow("static without address") << QByteArray("iface eth0 inet static\n") << false;
        QTest::newRow("no stanza") << QByteArray("iface lo inet loopback\n") << false;
        QTest::newRow("unreadable") << QByteArray() << false;
    }

    void ifupChecksTheStanza()
    {
        QFETCH(QByteArray, stanza);
        QFETCH(bool, ok);
        const QString file = m_board.path("/etc/network/interfaces");
        QFile::remove(file);
        QDir().rmdir(file);
        if (stanza.isEmpty())
            QDir().mkpath(file);
        else
            QVERIFY(m_board.writeBoardFile("/etc/network/interfaces", "auto lo\niface lo inet loopback\n" + stanza));
        // The service address holds until the interface is started again from the file.
        QVERIFY(SystemHelper::execute("ifconfig", {"eth0", "192.168.1.23", "netmask", "255.255.255.0"}));
        QCOMPARE(SystemHelper::interfaceAddresses("eth0").value(1), QStringLiteral("192.168.1.23"));
        QCOMPARE(SystemHelper::execute("ifup", {"eth0"}), ok);
        QVERIFY(SystemHelper::interfaceAddresses("eth0").value(1) != QStringLiteral("192.168.1.23"));
    }
};

QTEST_GUILESS_MAIN(TestStandIns)
#include "tst_standins.moc"
