// The remount bracket used from two threads at once while the GUI thread writes settings (the
// calibration store takes writes from the acquisition thread): every writer finds the root
// writable, the remounts alternate, and the nesting ends balanced. Run it under ThreadSanitizer
// too (./test.sh thread -R mountbracket).

#include "common/TestRoot.h"
#include "util/Configuration.h"
#include "util/SystemHelper.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

class TestMountBracket : public QObject
{
    Q_OBJECT

private slots:
    void bracketsFromTwoThreadsNestAndAlternate()
    {
        TestRoot root;
        // The stand-in keeps the root's state, so a writer can see whether it really is writable.
        QVERIFY(root.installScript(QStringLiteral("/bin/mount"),
                                   "case \"$*\" in *rw*) echo rw;; *) echo ro;; esac > \"$CORVANE_ROOT/rootfs\"\n"
                                   "echo \"$*\" >> \"$CORVANE_ROOT/mount.log\""));
        std::atomic<int> readOnlyWrites{0};
        const auto writer = [&root, &readOnlyWrites](int kind) {
            for (int i = 0; i < 20; ++i) {
                if (!SystemHelper::mountData())
                    continue;
                if (root.readFile(QStringLiteral("/rootfs")).trimmed() != "rw")
                    ++readOnlyWrites;
                if (kind == 0 && SystemHelper::mountData()) // a nested bracket
                    SystemHelper::unmountData();
                SystemHelper::unmountData();
            }
        };
        // Qt's first-use type registrations (under a lock TSan cannot see) before the threads, as at start.
        Configuration::setValue(Configuration::VT_Brightness, 19, QStringLiteral("system"));
        std::unique_ptr<QThread> nesting(QThread::create(writer, 0));
        std::unique_ptr<QThread> other(QThread::create(writer, 1));
        nesting->start();
        other->start();
        for (int i = 0; i < 20; ++i)
            Configuration::setValue(Configuration::VT_Brightness, 20 + i, QStringLiteral("system"));
        QVERIFY(nesting->wait(120000) && other->wait(120000));

        QCOMPARE(readOnlyWrites.load(), 0);
        QVERIFY(root.readFile(QStringLiteral("/data/config.ini")).contains("Brightness=39"));
        const QStringList log = QString(root.readFile(QStringLiteral("/mount.log"))).split('\n', Qt::SkipEmptyParts);
        for (int i = 0; i < log.size(); ++i)
            QVERIFY2(log.at(i).endsWith(i % 2 ? QLatin1String("ro") : QLatin1String("rw")), qPrintable(log.join('|')));
        // Balanced: the next bracket remounts again.
        QVERIFY(log.size() % 2 == 0 && SystemHelper::mountData() && SystemHelper::unmountData());
        QCOMPARE(QString::fromUtf8(root.readFile(QStringLiteral("/mount.log"))).count('\n'), log.size() + 2);
    }
};

QTEST_MAIN(TestMountBracket)
#include "tst_mountbracket.moc"
