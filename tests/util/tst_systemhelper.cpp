#include "common/TestRoot.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

// The operating-system services, always under a test root: commands run only as stand-ins from
// the root (or, for file-only commands, confined to it), and the parsers get the outputs the
// board's tools print.
class TestSystemHelper : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

    static QByteArray interfacesFile()
    {
        return "# The loopback network interface\n"
               "auto lo\n"
               "iface lo inet loopback\n"
               "\n"
               "# The primary network interface\n"
               "auto eth0\n"
               "iface eth0 inet static\n"
               "        address 192.168.001.010\n"
               "        netmask 255.255.255.000\n"
               "        # a comment inside the stanza\n"
               "        gateway 192.168.1.1\n"
               "        dns-nameservers 8.8.8.8\n"
               "\n"
               "# trailing comment\n"
               "iface usb0 inet dhcp\n";
    }

    QString interfacesPath() const { return m_root->path(QStringLiteral("/etc/network/interfaces")); }

private slots:
    void init()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        QVERIFY(m_root->installMount());
    }
    void cleanup() { m_root.reset(); }

    // --- commands -------------------------------------------------------------------------

    void argumentsStayWhole()
    {
        QVERIFY(m_root->installScript(QStringLiteral("/usr/bin/args"), QStringLiteral("for a in \"$@\"; do echo \"<$a>\"; done")));
        QByteArray out;
        QVERIFY(SystemHelper::execute(QStringLiteral("args"),
                                      {QStringLiteral("a b"), QStringLiteral("x'; touch /tmp/pwned; '"),
                                       QStringLiteral("/media/usb stick"), QStringLiteral("$(id)")},
                                      &out, nullptr, 5000));
        const QString expected = QStringLiteral("<a b>\n<x'; touch /tmp/pwned; '>\n<%1/media/usb stick>\n<$(id)>\n")
                                     .arg(m_root->root());
        QCOMPARE(QString::fromLocal8Bit(out), expected);
    }

    void exitCodeAndStandardError()
    {
        QVERIFY(m_root->installScript(QStringLiteral("/bin/failing"), QStringLiteral("echo out; echo oops >&2; exit 3")));
        QByteArray out, err;
        QVERIFY(!SystemHelper::execute(QStringLiteral("failing"), QStringList(), &out, &err, 5000));
        QCOMPARE(out, QByteArray("out\n"));
        QCOMPARE(err, QByteArray("oops\n"));
        QVERIFY(m_root->installScript(QStringLiteral("/bin/fine"), QStringLiteral("exit 0")));
        QVERIFY(SystemHelper::execute(QStringLiteral("fine")));
    }

    void timeOutIsAFailure()
    {
        QVERIFY(m_root->installScript(QStringLiteral("/bin/slow"), QStringLiteral("exec sleep 5")));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!SystemHelper::execute(QStringLiteral("slow"), QStringList(), nullptr, nullptr, 200));
        QVERIFY(clock.elapsed() < 4000);
    }

    void standInByAbsolutePathAndMappedArguments()
    {
        QVERIFY(m_root->installScript(QStringLiteral("/usr/sbin/updater"), QStringLiteral("echo \"$1\"")));
        QByteArray out;
        QVERIFY(SystemHelper::execute(QStringLiteral("/usr/sbin/updater"), {QStringLiteral("/media/usb0/x.upd")}, &out,
                                      nullptr, 5000));
        QCOMPARE(QString::fromLocal8Bit(out).trimmed(), m_root->path(QStringLiteral("/media/usb0/x.upd")));
    }

    void stateChangingCommandsNeverRunOnTheHost_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("date") << "date" << QStringList{"-s", "2001-01-01 00:00"};
        QTest::newRow("hwclock") << "hwclock" << QStringList{"-u", "--systohc"};
        QTest::newRow("ifconfig") << "ifconfig" << QStringList{"lo", "down"};
        QTest::newRow("ifdown") << "ifdown" << QStringList{"eth0"};
        QTest::newRow("ifup") << "ifup" << QStringList{"eth0"};
        QTest::newRow("updater") << "/usr/sbin/updater" << QStringList{"/media/usb0/x.upd"};
        QTest::newRow("editenv") << "/bin/editenv" << QStringList{"--prodid"};
        QTest::newRow("unknown tool") << "touch" << QStringList{"/tmp/corvane-must-not-exist"};
        QTest::newRow("shell") << "sh" << QStringList{"-c", "touch /tmp/corvane-must-not-exist"};
    }
    void stateChangingCommandsNeverRunOnTheHost()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QByteArray out;
        QVERIFY(!SystemHelper::execute(program, arguments, &out, nullptr, 5000));
        QVERIFY(out.isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/corvane-must-not-exist")));
        // The command-line form is no way around it.
        QVERIFY(!SystemHelper::execute(QStringLiteral("%1 %2").arg(program, arguments.join(QLatin1Char(' ')))));
    }

    void mountWithoutStandInFails()
    {
        QFile::remove(m_root->path(QStringLiteral("/bin/mount")));
        QVERIFY(!SystemHelper::mountData());
        // The failed bracket opened nothing: a later remount is tried again once a stand-in exists.
        QVERIFY(m_root->installMount());
        QVERIFY(SystemHelper::mountData());
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
    }

    void hostFileCommandsStayInsideTheRoot()
    {
        QTemporaryDir outside;
        QVERIFY(outside.isValid());
        const QString victim = outside.path() + QStringLiteral("/victim");
        {
            QFile file(victim);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        // rm of an absolute path outside the root removes (at most) the same path below the root.
        SystemHelper::execute(QStringLiteral("rm"), {QStringLiteral("-r"), outside.path()}, nullptr, nullptr, 5000);
        QVERIFY(QFile::exists(victim));
        // Both temporary folders share a parent, so this would name the outside folder if ".." could
        // climb out of the root.
        const QString climbing = QStringLiteral("/data/../../") + QFileInfo(outside.path()).fileName();
        QVERIFY(!SystemHelper::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), climbing}, nullptr, nullptr, 5000));
        QVERIFY(QFile::exists(victim));
        QVERIFY(QFileInfo::exists(m_root->root()));
        // Reads are confined the same way.
        QByteArray out;
        QVERIFY(!SystemHelper::execute(QStringLiteral("cat"), {QStringLiteral("/data/../../../../../../etc/passwd")},
                                       &out, nullptr, 5000));
        QVERIFY(out.isEmpty());
        QVERIFY(!SystemHelper::execute(QStringLiteral("cat"), {QStringLiteral("../../../../../../etc/passwd")}, &out,
                                       nullptr, 5000));
        QVERIFY(!SystemHelper::execute(QStringLiteral("cat"), {QStringLiteral("/etc/passwd")}, &out, nullptr, 5000));
        QVERIFY(out.isEmpty());
        QVERIFY(!SystemHelper::execute(QStringLiteral("cp"), {QStringLiteral("--target-directory=/tmp"),
                                                              QStringLiteral("/data")}, &out, nullptr, 5000));
        QVERIFY(!SystemHelper::execute(QStringLiteral("/bin/cat"), {victim}, &out, nullptr, 5000));
        QVERIFY(out.isEmpty());
        // A file below the root is reached by its board path.
        m_root->writeFile(QStringLiteral("/etc/hello"), "inside\n");
        QVERIFY(SystemHelper::execute(QStringLiteral("cat"), {QStringLiteral("/etc/hello")}, &out, nullptr, 5000));
        QCOMPARE(out, QByteArray("inside\n"));
        m_root->writeFile(QStringLiteral("/data/a/b"), "x");
        QVERIFY(QDir().mkpath(m_root->path(QStringLiteral("/media/usb0"))));
        QVERIFY(SystemHelper::execute(QStringLiteral("cp"),
                                      {QStringLiteral("-r"), QStringLiteral("/data/a"), QStringLiteral("/media/usb0")},
                                      nullptr, nullptr, 5000));
        QCOMPARE(m_root->readFile(QStringLiteral("/media/usb0/a/b")), QByteArray("x"));
        QVERIFY(SystemHelper::execute(QStringLiteral("rm"), {QStringLiteral("-r"), QStringLiteral("/data/a")}, nullptr,
                                      nullptr, 5000));
        QVERIFY(!m_root->exists(QStringLiteral("/data/a")));
    }

    // --- remount nesting ------------------------------------------------------------------

    void mountPairsNest()
    {
        QVERIFY(SystemHelper::mountData());
        QVERIFY(SystemHelper::mountData());
        QVERIFY(SystemHelper::mountData());
        QCOMPARE(m_root->mountLog(), QStringList({"mount / -o remount,rw"}));
        QVERIFY(SystemHelper::unmountData());
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog().size(), 1);
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
        // A second outermost pair remounts again.
        QVERIFY(SystemHelper::mountData());
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog().size(), 4);
    }

    void failedRemountRecovers()
    {
        m_root->setMountFails(true);
        QVERIFY(!SystemHelper::mountData());
        QVERIFY(!SystemHelper::mountData());
        QCOMPARE(m_root->mountLog().size(), 2); // each attempt really tried the remount
        m_root->setMountFails(false);
        QVERIFY(SystemHelper::mountData());
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog().mid(2), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
    }

    void unbalancedUnmountDoesNotBreakLaterBrackets()
    {
        QVERIFY(!SystemHelper::unmountData());
        QVERIFY(m_root->mountLog().isEmpty());
        QVERIFY(SystemHelper::mountData());
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
    }

    void failedUnmountIsReported()
    {
        QVERIFY(SystemHelper::mountData());
        m_root->setMountFails(true);
        QVERIFY(!SystemHelper::unmountData());
        m_root->setMountFails(false);
        // The bracket is closed all the same: the next one remounts again.
        QVERIFY(SystemHelper::mountData());
        QCOMPARE(m_root->mountLog().size(), 3);
        QVERIFY(SystemHelper::unmountData());
    }

    // --- network configuration -------------------------------------------------------------

    void readInterfaceConfig()
    {
        m_root->writeFile(QStringLiteral("/etc/network/interfaces"), interfacesFile());
        const SystemHelper::InterfaceConfig eth0
            = SystemHelper::readInterfaceConfig(QStringLiteral("eth0"), QStringLiteral("/etc/network/interfaces"));
        QCOMPARE(eth0.name, QStringLiteral("eth0"));
        QCOMPARE(eth0.family, QStringLiteral("inet"));
        QCOMPARE(eth0.method, QStringLiteral("static"));
        QCOMPARE(eth0.address, QStringLiteral("192.168.1.10"));
        QCOMPARE(eth0.netmask, QStringLiteral("255.255.255.0"));
        QCOMPARE(eth0.gateway, QStringLiteral("192.168.1.1"));

        const SystemHelper::InterfaceConfig lo
            = SystemHelper::readInterfaceConfig(QStringLiteral("lo"), QStringLiteral("/etc/network/interfaces"));
        QCOMPARE(lo.method, QStringLiteral("loopback"));
        QVERIFY(lo.address.isEmpty());

        const SystemHelper::InterfaceConfig none
            = SystemHelper::readInterfaceConfig(QStringLiteral("wlan0"), QStringLiteral("/etc/network/interfaces"));
        QVERIFY(none.name.isEmpty() && none.family.isEmpty() && none.method.isEmpty() && none.address.isEmpty()
                && none.netmask.isEmpty() && none.gateway.isEmpty());
        const SystemHelper::InterfaceConfig missing
            = SystemHelper::readInterfaceConfig(QStringLiteral("eth0"), QStringLiteral("/etc/network/nothing"));
        QVERIFY(missing.name.isEmpty() && missing.address.isEmpty());
    }

    void rewriteKeepsEverythingElse()
    {
        m_root->writeFile(QStringLiteral("/etc/network/interfaces"), interfacesFile());
        SystemHelper::InterfaceConfig config{QStringLiteral("eth0"),        QStringLiteral("inet"),
                                             QStringLiteral("static"),      QStringLiteral("010.000.000.002"),
                                             QStringLiteral("255.000.0.0"), QStringLiteral("10.0.0.1")};
        QVERIFY(SystemHelper::writeInterfaceConfig(config, QStringLiteral("/etc/network/interfaces")));
        const QByteArray expected = "# The loopback network interface\n"
                                    "auto lo\n"
                                    "iface lo inet loopback\n"
                                    "\n"
                                    "# The primary network interface\n"
                                    "auto eth0\n"
                                    "iface eth0 inet static\n"
                                    "        address 10.0.0.2\n"
                                    "        netmask 255.0.0.0\n"
                                    "        gateway 10.0.0.1\n"
                                    "\n"
                                    "# trailing comment\n"
                                    "iface usb0 inet dhcp";
        QCOMPARE(m_root->readFile(QStringLiteral("/etc/network/interfaces")), expected);
        QCOMPARE(m_root->mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
        // And it reads back as written.
        const SystemHelper::InterfaceConfig back
            = SystemHelper::readInterfaceConfig(QStringLiteral("eth0"), QStringLiteral("/etc/network/interfaces"));
        QCOMPARE(back.address, QStringLiteral("10.0.0.2"));
        QCOMPARE(back.gateway, QStringLiteral("10.0.0.1"));
    }

    void missingStanzaIsAppendedAndEmptyGatewayOmitted()
    {
        m_root->writeFile(QStringLiteral("/etc/network/interfaces"), "auto lo\niface lo inet loopback\n");
        SystemHelper::InterfaceConfig config;
        config.name = QStringLiteral("eth0");
        config.family = QStringLiteral("inet");
        config.method = QStringLiteral("static");
        config.address = QStringLiteral("192.168.000.099");
        config.netmask = QStringLiteral("255.255.255.0");
        QVERIFY(SystemHelper::writeInterfaceConfig(config, QStringLiteral("/etc/network/interfaces")));
        QCOMPARE(m_root->readFile(QStringLiteral("/etc/network/interfaces")),
                 QByteArray("auto lo\niface lo inet loopback\niface eth0 inet static\n"
                            "        address 192.168.0.99\n        netmask 255.255.255.0"));

        // dhcp: no address lines at all.
        config.method = QStringLiteral("dhcp");
        config.address.clear();
        config.netmask.clear();
        QVERIFY(SystemHelper::writeInterfaceConfig(config, QStringLiteral("/etc/network/interfaces")));
        QCOMPARE(m_root->readFile(QStringLiteral("/etc/network/interfaces")),
                 QByteArray("auto lo\niface lo inet loopback\niface eth0 inet dhcp"));
    }

    void failedRemountLeavesTheNetworkFileAlone()
    {
        m_root->writeFile(QStringLiteral("/etc/network/interfaces"), interfacesFile());
        m_root->setMountFails(true);
        SystemHelper::InterfaceConfig config{QStringLiteral("eth0"), QStringLiteral("inet"), QStringLiteral("dhcp"),
                                             QString(), QString(), QString()};
        QVERIFY(!SystemHelper::writeInterfaceConfig(config, QStringLiteral("/etc/network/interfaces")));
        QCOMPARE(m_root->readFile(QStringLiteral("/etc/network/interfaces")), interfacesFile());
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("padded");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "192.168.1.5" << "192.168.001.005" << "192.168.1.5" << true;
        QTest::newRow("padded") << "192.168.001.005" << "192.168.001.005" << "192.168.1.5" << true;
        QTest::newRow("zeros") << "000.0.00.255" << "000.000.000.255" << "0.0.0.255" << true;
        QTest::newRow("three parts") << "1.2.3" << "001.002.003" << "1.2.3" << false;
        QTest::newRow("five parts") << "1.2.3.4.5" << "001.002.003.004.005" << "1.2.3.4.5" << false;
        QTest::newRow("part 256") << "1.2.3.256" << "001.002.003.256" << "1.2.3.256" << false;
        QTest::newRow("empty part") << "1.2..4" << "001.002.000.004" << "1.2..4" << false;
        QTest::newRow("empty") << "" << "000" << "" << false;
        QTest::newRow("sign") << "+1.2.3.4" << "0+1.002.003.004" << "+1.2.3.4" << false;
        QTest::newRow("blank") << "1.2.3. 4" << "001.002.003.0 4" << "1.2.3. 4" << false;
        QTest::newRow("letters") << "a.b.c.d" << "00a.00b.00c.00d" << "a.b.c.d" << false;
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, padded);
        QFETCH(QString, trimmed);
        QFETCH(bool, valid);
        QCOMPARE(SystemHelper::padAddress(text), padded);
        QCOMPARE(SystemHelper::trimAddress(text), trimmed);
        QCOMPARE(SystemHelper::isValidAddress(text), valid);
    }

    void interfaceAddresses_data()
    {
        QTest::addColumn<QString>("mac");
        QTest::newRow("colons") << "00:1A:2b:3C:4d:5E";
        QTest::newRow("dashes") << "00-1A-2b-3C-4d-5E";
        QTest::newRow("dots") << "00.1A.2b.3C.4d.5E";
    }
    void interfaceAddresses()
    {
        QFETCH(QString, mac);
        const QString output = QStringLiteral(
                                   "eth0      Link encap:Ethernet  HWaddr %1  \n"
                                   "          inet addr:192.168.1.10  Bcast:192.168.1.255  Mask:255.255.255.0\n"
                                   "          UP BROADCAST RUNNING MULTICAST  MTU:1500  Metric:1\n"
                                   "          RX packets:10.20.30.40 errors:0\n")
                                   .arg(mac);
        m_root->writeFile(QStringLiteral("/ifconfig.out"), output.toLatin1());
        QVERIFY(m_root->installScript(QStringLiteral("/sbin/ifconfig"),
                                      QStringLiteral("[ \"$1\" = eth0 ] || exit 1\ncat \"$CORVANE_ROOT/ifconfig.out\"")));
        QCOMPARE(SystemHelper::interfaceAddresses(QStringLiteral("eth0")),
                 QStringList({mac, "192.168.1.10", "192.168.1.255", "255.255.255.0"}));
    }

    void interfaceAddressesWithoutToolOrAddress()
    {
        QVERIFY(SystemHelper::interfaceAddresses(QStringLiteral("eth0")).isEmpty());
        QVERIFY(m_root->installScript(QStringLiteral("/sbin/ifconfig"),
                                      QStringLiteral("echo 'eth0      Link encap:Ethernet  HWaddr 00:1A:2B'\n"
                                                     "echo '          UP BROADCAST MULTICAST  MTU:1500'")));
        QVERIFY(SystemHelper::interfaceAddresses(QStringLiteral("eth0")).isEmpty());
    }

    // --- device facts ----------------------------------------------------------------------

    void osVersion()
    {
        QCOMPARE(SystemHelper::osVersion(QStringLiteral("n/a")), QStringLiteral("n/a"));
        m_root->writeFile(QStringLiteral("/etc/version.corvane"), "");
        QCOMPARE(SystemHelper::osVersion(QStringLiteral("n/a")), QStringLiteral("n/a"));
        m_root->writeFile(QStringLiteral("/etc/version.corvane"), "  3.1.4 (build 77)\nsecond line\n");
        QCOMPARE(SystemHelper::osVersion(QStringLiteral("n/a")), QStringLiteral("3.1.4"));
    }

    void productId()
    {
        QCOMPARE(SystemHelper::productId(QStringLiteral("Unknown")), QStringLiteral("Unknown")); // no tool
        QVERIFY(m_root->installScript(QStringLiteral("/bin/editenv"), QStringLiteral("exit 1")));
        QCOMPARE(SystemHelper::productId(QStringLiteral("Unknown")), QStringLiteral("Unknown")); // tool fails
        QVERIFY(m_root->installScript(QStringLiteral("/bin/editenv"),
                                      QStringLiteral("[ \"$1\" = --prodid ] || exit 1\necho 'CV-0815, rev B'")));
        QCOMPARE(SystemHelper::productId(QStringLiteral("Unknown")), QStringLiteral("CV-0815"));
        QVERIFY(m_root->installScript(QStringLiteral("/bin/editenv"), QStringLiteral("echo ','")));
        QCOMPARE(SystemHelper::productId(QStringLiteral("Unknown")), QStringLiteral("Unknown"));
    }

    void radioCountryVariant()
    {
        QCOMPARE(SystemHelper::radioCountryVariant(), QStringLiteral("???"));
        m_root->writeFile(QStringLiteral("/sys/class/cc1101/country_variant"), "EU868\n");
        QCOMPARE(SystemHelper::radioCountryVariant(), QStringLiteral("EU868"));
    }

    void fpgaVersionText()
    {
        QCOMPARE(SystemHelper::fpgaVersionText(0x0203002Au), QStringLiteral("2.3.42"));
        QCOMPARE(SystemHelper::fpgaVersionText(0xFFFFFFFFu), QStringLiteral("255.255.65535"));
        QCOMPARE(SystemHelper::fpgaVersionText(0), QStringLiteral("0.0.0"));
    }

    void diskUsage()
    {
        m_root->writeFile(QStringLiteral("/df.out"),
                          "Filesystem      Size  Used Avail Use% Mounted on\n"
                          "/dev/root       1.8G  1.1G  640M  64% /\n"
                          "tmpfs            64M     0   64M   0% /media/ram\n"
                          "/dev/sda1       7.5G  2.0G  5.5G  27% /media/usb0\n"
                          "\n"
                          "/dev/sdb1        15G   10G  5.0G  67% /media/My Stick  2\n"
                          "/dev/mmc0p1     100M   10M   90M  10% /data\n"
                          "broken line\n");
        QVERIFY(m_root->installScript(QStringLiteral("/bin/df"),
                                      QStringLiteral("[ \"$1\" = -h ] || exit 1\ncat \"$CORVANE_ROOT/df.out\"")));
        const QList<QStringList> usb
            = SystemHelper::diskUsage(QRegExp(QStringLiteral("/media/[.]*")), {QStringLiteral("/media/ram")});
        QCOMPARE(usb.size(), 2);
        QCOMPARE(usb.at(0), QStringList({"/dev/sda1", "7.5G", "2.0G", "5.5G", "27%", "/media/usb0"}));
        QCOMPARE(usb.at(1), QStringList({"/dev/sdb1", "15G", "10G", "5.0G", "67%", "/media/My Stick  2"}));
        const QList<QStringList> all = SystemHelper::diskUsage(QRegExp(QStringLiteral(".*")), QStringList());
        QCOMPARE(all.size(), 5);
        QCOMPARE(all.at(0).at(5), QStringLiteral("/"));

        QFile::remove(m_root->path(QStringLiteral("/bin/df")));
        QVERIFY(SystemHelper::diskUsage(QRegExp(QStringLiteral(".*")), QStringList()).isEmpty());
    }

    void interruptCount()
    {
        QCOMPARE(SystemHelper::interruptCount(), 0); // no file
        m_root->writeFile(QStringLiteral("/proc/interrupts"), "           CPU0       CPU1\n"
                                                              "189:         77         11   GIC  other\n"
                                                              " 29:       1000        200   GIC  timer\n"
                                                              " 89:        123        456   GIC  cc1101\n"
                                                              " 89:          1          1   GIC  second\n");
        QCOMPARE(SystemHelper::interruptCount(), 579);
        m_root->writeFile(QStringLiteral("/proc/interrupts"), "           CPU0\n 89:        123\n");
        QCOMPARE(SystemHelper::interruptCount(), 0);
        m_root->writeFile(QStringLiteral("/proc/interrupts"), "           CPU0\n 90:  1  2\n");
        QCOMPARE(SystemHelper::interruptCount(), 0);
        // Unreadable: a folder in the file's place.
        QFile::remove(m_root->path(QStringLiteral("/proc/interrupts")));
        QDir().mkpath(m_root->path(QStringLiteral("/proc/interrupts")));
        QCOMPARE(SystemHelper::interruptCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSystemHelper)
#include "tst_systemhelper.moc"
