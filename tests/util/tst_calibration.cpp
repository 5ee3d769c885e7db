// The calibration store: what cut writes left removed at its start, values limited and written
// between remounts, damaged files, two threads, and, across program starts (child processes of
// this test), the copy in the boot loader's environment that restores lost values.
#include "MainWindow.h"
#include "common/TestRoot.h"
#include "util/BootEnvironment.h"
#include "util/Calibration.h"
#include "util/Configuration.h"
#include "util/Platform.h"
#include "util/ThreadAnnotations.h"

#include <QMetaEnum>
#include <QSettings>
#include <QtTest>

#include <cstring>

using Variables = QMap<QString, QString>;

namespace {

// The board's flash partition: one file under both device names.
void installEnvironment(const TestRoot& root, const QByteArray& image)
{
    QVERIFY(root.writeFile("/dev/mtdblock1", image));
    QFile::remove(root.path("/dev/mtd1"));
    QVERIFY(QFile::link(root.path("/dev/mtdblock1"), root.path("/dev/mtd1")));
}

QString fileValue(const TestRoot& root, const QString& key)
{
    return QSettings(root.path("/data/calib.ini"), QSettings::IniFormat).value(key).toString();
}

// A program start in a child process on the root: the store is made, the changes ("Key=value")
// stored, and every value printed as the store reads it.
Variables startInstrument(const TestRoot& root, const QStringList& changes = {})
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), QStringList {"--start", root.root()} + changes);
    Variables values;
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        qWarning() << "start failed" << process.readAllStandardError();
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        values.insert(line.section('=', 0, 0), line.section('=', 1));
    return values;
}

int runInstrumentStart(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Platform::setRoot(QString::fromLocal8Bit(argv[2]));
    Calibration::instance();
    const QMetaEnum types = QMetaEnum::fromType<Calibration::ValueType>();
    for (int i = 3; i < argc; ++i) {
        const QStringList change = QString::fromLocal8Bit(argv[i]).split('=');
        Calibration::setValue(Calibration::ValueType(types.keyToValue(qPrintable("VT_" + change.value(0)))), change.value(1).toDouble());
    }
    for (int type = 0; type < Calibration::VT_KalibTimestamp; ++type) {
        const auto t = Calibration::ValueType(type);
        std::printf("%s=%s\n", qPrintable(Calibration::keyName(t)), qPrintable(QString::number(Calibration::getDouble(t))));
    }
    return 0;
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    // What a write cut by a power loss leaves beside config.ini and calib.ini is gone once the
    // stores start (an empty lock file would make the first settings write wait 30 s), beside the
    // other files the instrument writes once the main window starts. Runs first in the process, so
    // that the stores start on its root.
    void leftoversAreRemovedAtTheStart()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        for (const char* name : {"config.ini.lock", "config.ini.lock.rmlock", "config.ini.Xy12Ab", "calib.ini.lock",
                                 "calib.ini.q9Z0aB", "config.ini.notes", "calib.ini.lock.keep", "recall.xml.qWeRtY",
                                 "recall.xml.lock", "corvane_screenshots/SCR_Kopie.png.ZzTopA",
                                 "corvane_data/res/qt_temp.WxYzab", "corvane_data/CV1/index.html.PqRsTu",
                                 "corvane_data/CV1/notes.txt.AbCdEf", "corvane_data/CV1/1/spectrum_1.xml.KqPwZr",
                                 "corvane_data/CV1/1/level_1.png.aBcDeF", "corvane_data/CV1/1/spectrum_1.xml"})
            QVERIFY(root.writeFile(QStringLiteral("/data/") + name, QByteArray()));
        for (const char* name : {"interfaces.yccjoz", "interfaces.orig", "hosts.GhKlmN"})
            QVERIFY(root.writeFile(QStringLiteral("/etc/network/") + name, QByteArray()));
        Configuration::getValue(Configuration::VT_Brightness, QStringLiteral("system"));
        Calibration::getInt(Calibration::VT_NullOffsetLOG);
        MainWindow::removeWriteLeftovers();
        QStringList left;
        for (const char* folder : {"/data", "/etc"})
            for (QDirIterator it(root.path(folder), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
                left << it.next().mid(root.root().size());
        left.sort();
        QCOMPARE(left, QStringList({"/data/calib.ini.lock.keep", "/data/config.ini.notes",
                                    "/data/corvane_data/CV1/1/spectrum_1.xml",
                                    "/data/corvane_data/CV1/notes.txt.AbCdEf", "/data/recall.xml.lock",
                                    "/etc/network/hosts.GhKlmN", "/etc/network/interfaces.orig"}));
    }

    // Every write limited to its range and written between remounts, as a new file renamed over
    // the old one (a power loss leaves the old or the new file); a group prefixes the key; a
    // failed remount keeps the value for this run only.
    void valuesAreLimitedAndWritten()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        Calibration::clear();
        QFile::remove(root.path("/mount.log"));
        const struct {
            Calibration::ValueType type;
            double value, stored;
        } writes[] = {{Calibration::VT_AmpOnLOGFaktor, 1000.0, 500.0}, {Calibration::VT_AmpOffLOGFaktor, 187.25, 187.25},
                      {Calibration::VT_NullOffsetRMS, -4, 0}, {Calibration::VT_NullOffsetLOG, 5000, 1023},
                      {Calibration::VT_BBRMSFaktor, qQNaN(), 1.0}};
        for (const auto& write : writes) {
            Calibration::setValue(write.type, write.value);
            QCOMPARE(Calibration::getDouble(write.type), write.stored);
            QCOMPARE(fileValue(root, Calibration::keyName(write.type)).toDouble(), write.stored);
        }
        Calibration::setValue(Calibration::VT_KalibTimestamp, QStringLiteral("2026-12-06 12:30:00"));
        QCOMPARE(fileValue(root, "KalibTimestamp"), QStringLiteral("2026-12-06 12:30:00"));
        Calibration::setValue(Calibration::VT_NullOffsetENV, 77, "bench");
        QCOMPARE(fileValue(root, "bench/NullOffsetENV") + " " + QString::number(Calibration::getInt(Calibration::VT_NullOffsetENV)),
                 QStringLiteral("77 65"));
        const QStringList log = root.mountLog();
        QCOMPARE(log.size(), 14);
        QCOMPARE(log.count("mount / -o remount,rw"), 7);
        QFile before(root.path("/data/calib.ini"));
        QVERIFY(before.open(QIODevice::ReadOnly));
        Calibration::setValue(Calibration::VT_BBLOGOffset, 6100);
        QVERIFY(!before.readAll().contains("6100")); // replaced by a new file, not rewritten in place
        QCOMPARE(QDir(root.path("/data")).entryList(QDir::Files), QStringList {"calib.ini"});
        root.setMountFails(true);
        Calibration::setValue(Calibration::VT_BBLOGOffset, 44);
        QCOMPARE(Calibration::getInt(Calibration::VT_BBLOGOffset), 44);
        QCOMPARE(fileValue(root, "BBLOGOffset"), QStringLiteral("6100"));
        Calibration::clear(); // without a writable root: the cache only
        QCOMPARE(Calibration::getInt(Calibration::VT_BBLOGOffset), 6100);
        root.setMountFails(false);
        Calibration::clear();
        QVERIFY(fileValue(root, "BBLOGOffset").isEmpty());
    }

    // Values read back are limited too; what is not a number gives the default.
    void damagedFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("expected");
        QTest::newRow("word") << QByteArray("abc") << int(Calibration::VT_AmpOnLOGOffset) << 7150.0;
        QTest::newRow("too large") << QByteArray("99999") << int(Calibration::VT_AmpOnLOGOffset) << 16383.0;
        QTest::newRow("far too large for an int") << QByteArray("99999999999999999999") << int(Calibration::VT_NullOffsetLOG) << 1023.0;
        QTest::newRow("negative") << QByteArray("-5") << int(Calibration::VT_NullOffsetLOG) << 0.0;
        QTest::newRow("infinite") << QByteArray("-inf") << int(Calibration::VT_AmpOnLOGFaktor) << 10.0;
        QTest::newRow("fraction") << QByteArray("600.6") << int(Calibration::VT_NullOffsetLOG) << 600.6;
        QTest::newRow("binary garbage") << QByteArray("\xff\xfe[[[=\n\0\0garbage=@Variant(\x01)\nAmpOnLOGOffset=\x80", 45)
                                        << int(Calibration::VT_AmpOnLOGOffset) << 7150.0;
    }
    void damagedFile()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, type);
        QFETCH(double, expected);
        TestRoot root;
        Calibration::clear();
        const auto t = Calibration::ValueType(type);
        QVERIFY(root.writeFile("/data/calib.ini", "[General]\n" + Calibration::keyName(t).toLatin1() + "=" + text + "\n"));
        QCOMPARE(Calibration::getDouble(t), expected);
        QCOMPARE(Calibration::getInt(t), int(std::lround(expected)));
        for (int other = 0; other < Calibration::VT_KalibTimestamp; ++other) {
            const auto o = Calibration::ValueType(other);
            QVERIFY(Calibration::getInt(o) >= Calibration::getMin(o) && Calibration::getInt(o) <= Calibration::getMax(o));
        }
    }

    void usableFromTwoThreads()
    {
        TestRoot root; // no stand-in mount: values stay in memory
        Calibration::clear();
        static int finished = 0; // the thread's end, made visible to ThreadSanitizer
        Q_UNUSED(finished)
        QThread* worker = QThread::create([] {
            for (int i = 0; i < 300; ++i)
                Calibration::setValue(Calibration::VT_NullOffsetRMS, i), Calibration::getInt(Calibration::VT_NullOffsetLOG);
            CORVANE_HAPPENS_BEFORE(&finished);
        });
        worker->start();
        for (int i = 0; i < 300; ++i)
            Calibration::setValue(Calibration::VT_NullOffsetLOG, i), Calibration::getInt(Calibration::VT_NullOffsetRMS);
        QVERIFY(worker->wait(20000));
        CORVANE_HAPPENS_AFTER(&finished);
        delete worker;
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS) + Calibration::getInt(Calibration::VT_NullOffsetLOG), 598);
    }

    // A start restores values missing from the file from the environment and mirrors the file's
    // values back, beside the boot loader's own variables; damaged values are neither restored nor mirrored.
    void environmentRestoresAndMirrors()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        const Variables environment {{"baudrate", "115200"}, {"bootcmd", "run mmcboot"}, {"calibAmpOnRMSOffset", "37"},
                                     {"calibNullOffsetRMS", "111"}, {"calibNullOffsetLOG", "broken"}};
        QByteArray image;
        QVERIFY(BootEnvironment::buildImage(environment, &image));
        installEnvironment(root, image);
        QVERIFY(root.writeFile("/data/calib.ini", "[General]\nNullOffsetRMS=200\nBBLOGOffset=abc\n"));
        const Variables values = startInstrument(root);
        QCOMPARE(values.value("AmpOnRMSOffset") + " " + values.value("NullOffsetRMS") + " " + values.value("NullOffsetLOG"),
                 QStringLiteral("37 200 630"));
        QCOMPARE(fileValue(root, "AmpOnRMSOffset") + "|" + fileValue(root, "NullOffsetLOG"), QStringLiteral("37|"));
        const auto mirrored = [&root] {
            Variables after;
            BootEnvironment::readPartition(root.path("/dev/mtdblock1"), &after);
            return QStringList {after.value("calibNullOffsetRMS"), after.value("calibAmpOnRMSOffset"),
                                after.value("bootcmd"), after.value("calibBBLOGOffset", "none")};
        };
        QCOMPARE(mirrored(), QStringList({"200", "37", "run mmcboot", "none"}));
        QCOMPARE(root.mountLog().size(), 4); // one remount for the restored values, one for the environment
        // A change reaches the environment at the next start; a start without change does not
        // touch the flash.
        QCOMPARE(startInstrument(root, {"NullOffsetRMS=210"}).value("NullOffsetRMS"), QStringLiteral("210"));
        QCOMPARE(mirrored().first(), QStringLiteral("200"));
        startInstrument(root);
        QCOMPARE(mirrored(), QStringList({"210", "37", "run mmcboot", "none"}));
        const int remounts = root.mountLog().size();
        startInstrument(root);
        QCOMPARE(root.mountLog().size(), remounts);
    }

    // A damaged or missing environment is neither used nor written.
    void badEnvironment_data()
    {
        QTest::addColumn<QByteArray>("image");
        QByteArray image;
        BootEnvironment::buildImage({{"calibAmpOnRMSOffset", "37"}}, &image);
        image[0] = char(image[0] ^ 0x5A);
        QTest::newRow("bad checksum") << image;
        QTest::newRow("none") << QByteArray();
    }
    void badEnvironment()
    {
        QFETCH(QByteArray, image);
        TestRoot root;
        QVERIFY(root.installMount());
        if (!image.isEmpty())
            installEnvironment(root, image);
        QVERIFY(root.writeFile("/data/calib.ini", "[General]\nNullOffsetLOG=600\n"));
        const Variables values = startInstrument(root);
        QCOMPARE(values.value("AmpOnRMSOffset") + " " + values.value("NullOffsetLOG"), QStringLiteral("0 600"));
        QCOMPARE(root.readFile("/dev/mtdblock1"), image);
        QVERIFY(root.mountLog().isEmpty());
    }
};

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--start") == 0)
        return runInstrumentStart(argc, argv);
    QCoreApplication app(argc, argv);
    TestCalibration test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calibration.moc"
