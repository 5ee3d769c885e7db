#include "common/TestRoot.h"
#include "util/Configuration.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

// The operating-system services, always under a test root: commands run only as stand-ins from
// the root (or, for file-only commands, confined to it), and the parsers get the outputs the
// board's tools print.
class TestSystemHelper : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

private slots:
    void init()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->installMount());
    }
    void cleanup() { m_root.reset(); }

    // Board commands run as stand-ins from the root; the host's file-only commands stay inside it.
    void commandsRunAsStandInsOrConfined()
    {
        QVERIFY(m_root->installScript("/usr/bin/args", "for a in \"$@\"; do echo \"<$a>\"; done"));
        QByteArray out, err;
        QVERIFY(SystemHelper::execute("args", {"a b", "x'; touch /tmp/pwned; '", "/media/usb stick", "$(id)"}, &out));
        QCOMPARE(QString::fromLocal8Bit(out),
                 QStringLiteral("<a b>\n<x'; touch /tmp/pwned; '>\n<%1/media/usb stick>\n<$(id)>\n").arg(m_root->root()));
        QVERIFY(m_root->installScript("/usr/sbin/updater", "echo \"$1\""));
        QVERIFY(SystemHelper::execute("/usr/sbin/updater", {"/media/usb0/x.upd"}, &out));
        QCOMPARE(QString::fromLocal8Bit(out).trimmed(), m_root->path("/media/usb0/x.upd"));
        QVERIFY(m_root->installScript("/bin/failing", "echo out; echo oops >&2; exit 3"));
        QVERIFY(!SystemHelper::execute("failing", {}, &out, &err));
        QCOMPARE(out + err, QByteArray("out\noops\n"));
        QVERIFY(m_root->installScript("/bin/slow", "exec sleep 5"));
        QVERIFY(!SystemHelper::execute("slow", QStringList(), nullptr, nullptr, 200));
        // rm of a path outside the root removes (at most) the same path below the root, and ".."
        // cannot climb to it (both temporary folders share a parent).
        QTemporaryDir outside;
        const QString victim = outside.path() + "/victim";
        QVERIFY(QFile(victim).open(QIODevice::WriteOnly));
        SystemHelper::execute("rm", {"-r", outside.path()});
        QVERIFY(!SystemHelper::execute("rm", {"-rf", "/data/../../" + QFileInfo(outside.path()).fileName()}));
        QVERIFY(QFile::exists(victim));
    }

    // Nothing here may run on this machine or reach outside the root.
    void refusedCommands_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown tool") << "touch" << QStringList {"/tmp/corvane-must-not-exist"};
        QTest::newRow("shell") << "sh" << QStringList {"-c", "touch /tmp/corvane-must-not-exist"};
        QTest::newRow("climbing program path")
            << "/bin/../../../../../../../../../usr/bin/touch" << QStringList {"/tmp/corvane-must-not-exist"};
        QTest::newRow("climbing argument") << "cat" << QStringList {"/data/../../../../../../etc/passwd"};
        QTest::newRow("relative climbing") << "cat" << QStringList {"../../../../../../etc/passwd"};
        QTest::newRow("host file") << "cat" << QStringList {"/etc/passwd"};
        QTest::newRow("path in an option") << "cp" << QStringList {"--target-directory=/tmp", "/data"};
    }
    void refusedCommands()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QVERIFY(!SystemHelper::execute(program, arguments));
        // The command-line form is no way around it.
        QVERIFY(!SystemHelper::execute(program + " " + arguments.join(' ')));
        QVERIFY(!QFile::exists("/tmp/corvane-must-not-exist"));
    }

    // Brackets nest; only the outermost remounts; a failed remount opens nothing; a failed remount
    // back is reported and closes the bracket all the same.
    void remountBrackets()
    {
        const QStringList pair {"mount / -o remount,rw", "mount / -o remount,ro"};
        QVERIFY(!SystemHelper::unmountData()); // unbalanced: harmless
        QVERIFY(SystemHelper::mountData() && SystemHelper::mountData() && SystemHelper::mountData());
        QVERIFY(SystemHelper::unmountData() && SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog(), pair.mid(0, 1));
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog(), pair);
        m_root->setMountFails(true);
        QVERIFY(!SystemHelper::mountData());
        m_root->setMountFails(false);
        QVERIFY(SystemHelper::mountData());
        m_root->setMountFails(true);
        QVERIFY(!SystemHelper::unmountData());
        m_root->setMountFails(false);
        QVERIFY(SystemHelper::mountData() && SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog().mid(3), pair + pair);
    }

    // The bracket used from two threads at once while the GUI thread writes settings (the
    // calibration store takes writes from the acquisition thread): every writer finds the root
    // writable, the remounts alternate, and the nesting ends balanced (run it under ThreadSanitizer
    // too). The stand-in keeps the root's state, so a writer can see whether it really is writable.
    void remountBracketsFromTwoThreads()
    {
        QVERIFY(m_root->installScript("/bin/mount", "case \"$*\" in *rw*) echo rw;; *) echo ro;; esac"
                                                    " > \"$CORVANE_ROOT/rootfs\"\n"
                                                    "echo \"$*\" >> \"$CORVANE_ROOT/mount.log\""));
        std::atomic<int> readOnlyWrites{0};
        const auto writer = [this, &readOnlyWrites](int kind) {
            for (int i = 0; i < 20; ++i) {
                if (!SystemHelper::mountData())
                    continue;
                if (m_root->readFile("/rootfs").trimmed() != "rw")
                    ++readOnlyWrites;
                if (kind == 0 && SystemHelper::mountData()) // a nested bracket
                    SystemHelper::unmountData();
                SystemHelper::unmountData();
            }
        };
        // Qt's first-use type registrations (under a lock TSan cannot see) before the threads, as at start.
        Configuration::setValue(Configuration::VT_Brightness, 19, "system");
        std::unique_ptr<QThread> nesting(QThread::create(writer, 0));
        std::unique_ptr<QThread> other(QThread::create(writer, 1));
        nesting->start();
        other->start();
        for (int i = 0; i < 20; ++i)
            Configuration::setValue(Configuration::VT_Brightness, 20 + i, "system");
        QVERIFY(nesting->wait(120000) && other->wait(120000));
        QCOMPARE(readOnlyWrites.load(), 0);
        QVERIFY(m_root->readFile("/data/config.ini").contains("Brightness=39"));
        const QStringList log = m_root->mountLog();
        for (int i = 0; i < log.size(); ++i)
            QVERIFY2(log.at(i).endsWith(i % 2 ? "ro" : "rw"), qPrintable(log.join('|')));
        // Balanced: the next bracket remounts again.
        QVERIFY(log.size() % 2 == 0 && SystemHelper::mountData() && SystemHelper::unmountData());
        QCOMPARE(m_root->mountLog().size(), log.size() + 2);
    }

    void networkFile()
    {
        const QString file = QStringLiteral("/etc/network/interfaces");
        const QByteArray original
            = "auto lo\niface lo inet loopback\n\n# The primary network interface\nauto eth0\niface eth0 inet static\n"
              "        address 192.168.001.010\n        netmask 255.255.255.000\n        # inside the stanza\n"
              "        gateway 192.168.1.1\n        dns-nameservers 8.8.8.8\n\n# trailing comment\n"
              "iface usb0 inet dhcp\n";
        m_root->writeFile(file, original);
        const SystemHelper::InterfaceConfig eth0 = SystemHelper::readInterfaceConfig("eth0", file);
        QCOMPARE(QStringList({eth0.name, eth0.family, eth0.method, eth0.address, eth0.netmask, eth0.gateway}),
                 QStringList({"eth0", "inet", "static", "192.168.1.10", "255.255.255.0", "192.168.1.1"}));
        QCOMPARE(SystemHelper::readInterfaceConfig("lo", file).method, QStringLiteral("loopback"));
        QVERIFY(SystemHelper::readInterfaceConfig("wlan0", file).name.isEmpty());
        QVERIFY(SystemHelper::readInterfaceConfig("eth0", "/etc/network/nothing").address.isEmpty());
        // A failed remount leaves the file alone.
        SystemHelper::InterfaceConfig config {"eth0", "inet", "static", "010.000.000.002", "255.000.0.0", "10.0.0.1"};
        m_root->setMountFails(true);
        QVERIFY(!SystemHelper::writeInterfaceConfig(config, file));
        QCOMPARE(m_root->readFile(file), original);
        // The stanza is replaced, everything else kept, addresses written without padding.
        m_root->setMountFails(false);
        QVERIFY(SystemHelper::writeInterfaceConfig(config, file));
        QCOMPARE(m_root->readFile(file),
                 QByteArray("auto lo\niface lo inet loopback\n\n# The primary network interface\nauto eth0\n"
                            "iface eth0 inet static\n        address 10.0.0.2\n        netmask 255.0.0.0\n"
                            "        gateway 10.0.0.1\n\n# trailing comment\niface usb0 inet dhcp"));
        QCOMPARE(m_root->mountLog().mid(1), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
        // A missing stanza is appended; an empty gateway and a dhcp stanza's addresses are left out.
        m_root->writeFile(file, "auto lo\n");
        config.gateway.clear();
        QVERIFY(SystemHelper::writeInterfaceConfig(config, file));
        QCOMPARE(m_root->readFile(file),
                 QByteArray("auto lo\niface eth0 inet static\n        address 10.0.0.2\n        netmask 255.0.0.0"));
        config = {"eth0", "inet", "dhcp", "", "", ""};
        QVERIFY(SystemHelper::writeInterfaceConfig(config, file));
        QCOMPARE(m_root->readFile(file), QByteArray("auto lo\niface eth0 inet dhcp"));
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("padded");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "192.168.1.5" << "192.168.001.005" << "192.168.1.5" << true;
        QTest::newRow("zeros") << "000.0.00.255" << "000.000.000.255" << "0.0.0.255" << true;
        QTest::newRow("three parts") << "1.2.3" << "001.002.003" << "1.2.3" << false;
        QTest::newRow("five parts") << "1.2.3.4.5" << "001.002.003.004.005" << "1.2.3.4.5" << false;
        QTest::newRow("part 256") << "1.2.3.256" << "001.002.003.256" << "1.2.3.256" << false;
        QTest::newRow("empty part") << "1.2..4" << "001.002.000.004" << "1.2..4" << false;
        QTest::newRow("sign") << "+1.2.3.4" << "0+1.002.003.004" << "+1.2.3.4" << false;
        QTest::newRow("letters") << "a.b.c.d" << "00a.00b.00c.00d" << "a.b.c.d" << false;
    }
    void addresses()
    {
        QFETCH(QString, text);
        QTEST(SystemHelper::padAddress(text), "padded");
        QTEST(SystemHelper::trimAddress(text), "trimmed");
        QTEST(SystemHelper::isValidAddress(text), "valid");
    }

    void interfaceAddresses_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("expected");
        const QString up = "eth0      Link encap:Ethernet  HWaddr %1  \n"
                           "          inet addr:192.168.1.10  Bcast:192.168.1.255  Mask:255.255.255.0\n"
                           "          RX packets:10.20.30.40 errors:0\n";
        for (const QString mac : {"00:1A:2b:3C:4d:5E", "00-1A-2b-3C-4d-5E", "00.1A.2b.3C.4d.5E"})
            QTest::newRow(qPrintable(mac)) << up.arg(mac) << QStringList {mac, "192.168.1.10", "192.168.1.255", "255.255.255.0"};
        QTest::newRow("no address") << "eth0      Link encap:Ethernet  HWaddr 00:1A:2B\n          UP\n" << QStringList();
        QTest::newRow("no output") << QString() << QStringList();
    }
    void interfaceAddresses()
    {
        QFETCH(QString, output);
        m_root->writeFile("/ifconfig.out", output.toLatin1());
        QVERIFY(m_root->installScript("/sbin/ifconfig", "[ \"$1\" = eth0 ] || exit 1\ncat \"$CORVANE_ROOT/ifconfig.out\""));
        QTEST(SystemHelper::interfaceAddresses("eth0"), "expected");
    }

    void deviceFacts()
    {
        QCOMPARE(SystemHelper::osVersion("n/a"), QStringLiteral("n/a"));
        m_root->writeFile("/etc/version.corvane", "  3.1.4 (build 77)\nsecond line\n");
        QCOMPARE(SystemHelper::osVersion("n/a"), QStringLiteral("3.1.4"));
        QVERIFY(m_root->installScript("/bin/editenv", "echo ','")); // nothing left of the serial
        QCOMPARE(SystemHelper::productId("Unknown"), QStringLiteral("Unknown"));
        QCOMPARE(SystemHelper::radioCountryVariant(), QStringLiteral("???"));
        QCOMPARE(SystemHelper::interruptCount(), 0); // no file
        m_root->writeFile("/proc/interrupts", "           CPU0       CPU1\n189:         77         11   GIC  other\n"
                                              " 89:        123        456   GIC  cc1101\n 89:  1  1   GIC  second\n");
        QCOMPARE(SystemHelper::interruptCount(), 579);
        m_root->writeFile("/proc/interrupts", "           CPU0\n 89:        123\n");
        QCOMPARE(SystemHelper::interruptCount(), 0);
    }

    void diskUsage()
    {
        m_root->writeFile("/df.out", "Filesystem      Size  Used Avail Use% Mounted on\n/dev/root       1.8G  1.1G  640M  64% /\n"
                                     "tmpfs            64M     0   64M   0% /media/ram\n"
                                     "/dev/sda1       7.5G  2.0G  5.5G  27% /media/usb0\n\n"
                                     "/dev/sdb1        15G   10G  5.0G  67% /media/My Stick  2\nbroken line\n");
        QVERIFY(m_root->installScript("/bin/df", "[ \"$1\" = -h ] || exit 1\ncat \"$CORVANE_ROOT/df.out\""));
        const QList<QStringList> usb = SystemHelper::diskUsage(QRegExp("/media/[.]*"), {"/media/ram"});
        QCOMPARE(usb, QList<QStringList>({{"/dev/sda1", "7.5G", "2.0G", "5.5G", "27%", "/media/usb0"},
                                          {"/dev/sdb1", "15G", "10G", "5.0G", "67%", "/media/My Stick  2"}}));
        QCOMPARE(SystemHelper::diskUsage(QRegExp(".*"), {}).size(), 4);
        QFile::remove(m_root->path("/bin/df"));
        QVERIFY(SystemHelper::diskUsage(QRegExp(".*"), {}).isEmpty());
    }

    // Code that runs after a test root is gone finds nothing of this machine.
    void destroyedRootLeavesAHarmlessRoot()
    {
        m_root.reset();
        QVERIFY(Platform::isRooted());
        QVERIFY(!QFile::exists(Platform::path("/etc/passwd")));
        QFile file(Platform::path("/data/config.ini"));
        QVERIFY(!QDir().mkpath(QFileInfo(file).absolutePath()));
        QVERIFY(!file.open(QIODevice::WriteOnly));
        QVERIFY(!SystemHelper::mountData());
        QVERIFY(!SystemHelper::execute("date", {"-s", "2001-01-01 00:00"}));
    }
};

QTEST_GUILESS_MAIN(TestSystemHelper)
#include "tst_systemhelper.moc"
