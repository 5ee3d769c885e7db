#include "common/TestRoot.h"
#include "util/BootEnvironment.h"
#include "util/Calibration.h"
#include "util/Platform.h"
#include "util/ThreadAnnotations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaEnum>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <QtTest>

#include <cstring>

#include <sys/stat.h>

using Variables = QMap<QString, QString>;


namespace {

const int IMAGE_SIZE = BootEnvironment::IMAGE_SIZE;

QByteArray environmentImage(const Variables& variables)
{
    QByteArray image;
    BootEnvironment::buildImage(variables, &image);
    return image;
}

Variables environmentOf(const TestRoot& root)
{
    Variables variables;
    if (BootEnvironment::readPartition(root.path("/dev/mtdblock1"), &variables) != BootEnvironment::READ_OK)
        qWarning("the environment does not read back");
    return variables;
}

// The board's flash partition as one file seen through both device names.
void installEnvironment(const TestRoot& root, const QByteArray& image)
{
    QVERIFY(root.writeFile(QStringLiteral("/dev/mtdblock1"), image));
    QFile::remove(root.path(QStringLiteral("/dev/mtd1")));
    QVERIFY(QFile::link(root.path(QStringLiteral("/dev/mtdblock1")), root.path(QStringLiteral("/dev/mtd1"))));
}

void writeCalibrationFile(const TestRoot& root, const QByteArray& lines)
{
    QVERIFY(root.writeFile(QStringLiteral("/data/calib.ini"), "[General]\n" + lines));
}

QString fileValue(const TestRoot& root, const QString& key)
{
    const QSettings settings(root.path(QStringLiteral("/data/calib.ini")), QSettings::IniFormat);
    return settings.value(key).toString();
}

ino_t inodeOf(const QString& fileName)
{
    struct stat info;
    return ::stat(QFile::encodeName(fileName).constData(), &info) == 0 ? info.st_ino : 0;
}

// Starts the instrument's calibration store in a fresh process on the given root (a program start),
// optionally stores values ("Key=value"), and returns every value as the store reads it.
Variables startInstrument(const QString& root, const QStringList& changes = QStringList())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QCoreApplication::applicationFilePath(), QStringList { QStringLiteral("--start"), root } + changes);
    Variables values;
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << "start failed" << process.readAllStandardError();
        return values;
    }
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("value ")))
            continue;
        const int separator = line.indexOf(QLatin1Char('='));
        values.insert(line.mid(6, separator - 6), line.mid(separator + 1));
    }
    return values;
}

Variables startInstrument(const TestRoot& root, const QStringList& changes = QStringList())
{
    return startInstrument(root.root(), changes);
}

// The started process: everything a program start does to the calibration store.
int runInstrumentStart(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Platform::setRoot(QString::fromLocal8Bit(argv[2]));
    Calibration::instance();
    const QMetaEnum types = QMetaEnum::fromType<Calibration::ValueType>();
    for (int i = 3; i < argc; ++i) {
        const QStringList change = QString::fromLocal8Bit(argv[i]).split(QLatin1Char('='));
        const int type = types.keyToValue(("VT_" + change.value(0)).toLatin1().constData());
        if (type < 0 || type == Calibration::VT_KalibTimestamp)
            return 2;
        Calibration::setValue(Calibration::ValueType(type), change.value(1).toDouble());
    }
    for (int type = 0; type < Calibration::VT_KalibTimestamp; ++type) {
        const auto t = Calibration::ValueType(type);
        std::printf("value %s=%s\n", qPrintable(Calibration::keyName(t)),
            qPrintable(QString::number(Calibration::getDouble(t))));
    }
    return 0;
}

Variables bootLoaderVariables()
{
    Variables variables;
    variables.insert(QStringLiteral("baudrate"), QStringLiteral("115200"));
    variables.insert(QStringLiteral("bootcmd"), QStringLiteral("run mmcboot"));
    return variables;
}

} // namespace

class TestCalibration : public QObject {
    Q_OBJECT

private slots:
    // Defaults from a fresh file; every write limited to its range, written between remounts as
    // a new file renamed over the old one (a power loss leaves the old or the new file); a failed
    // remount keeps the value for this run only.
    void valuesAreLimitedAndWritten()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        Calibration::clear();
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetLOG), 630);
        QCOMPARE(Calibration::getDouble(Calibration::VT_AmpOnLOGFaktor), 195.0);
        QVERIFY(Calibration::getString(Calibration::VT_KalibTimestamp).isEmpty());
        QFile::remove(root.path("/mount.log"));
        const struct {
            Calibration::ValueType type;
            double value, stored;
        } writes[] = {{Calibration::VT_AmpOnLOGFaktor, 1000.0, 500.0}, {Calibration::VT_AmpOffLOGFaktor, 187.25, 187.25},
                      {Calibration::VT_NullOffsetRMS, -4, 0},            {Calibration::VT_NullOffsetLOG, 5000, 1023},
                      {Calibration::VT_BBLOGFaktor, 2.0, 10.0},          {Calibration::VT_BBRMSFaktor, qQNaN(), 1.0}};
        for (const auto& write : writes) {
            Calibration::setValue(write.type, write.value);
            QCOMPARE(Calibration::getDouble(write.type), write.stored);
            QCOMPARE(fileValue(root, Calibration::keyName(write.type)).toDouble(), write.stored);
        }
        QCOMPARE(Calibration::getInt(Calibration::VT_AmpOffLOGFaktor), 187);
        Calibration::setValue(Calibration::VT_KalibTimestamp, QStringLiteral("2026-12-06 12:30:00"));
        QCOMPARE(fileValue(root, "KalibTimestamp"), QStringLiteral("2026-12-06 12:30:00"));
        // A group is a prefix of the key and does not touch the plain key.
        Calibration::setValue(Calibration::VT_NullOffsetENV, 77, QStringLiteral("bench"));
        QCOMPARE(fileValue(root, "bench/NullOffsetENV"), QStringLiteral("77"));
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetENV), 65);
        const QStringList log = root.mountLog();
        QCOMPARE(log.size(), 2 * 8);
        for (int i = 0; i < log.size(); ++i)
            QCOMPARE(log.at(i), i % 2 == 0 ? QStringLiteral("mount / -o remount,rw") : QStringLiteral("mount / -o remount,ro"));
        const QString file = root.path("/data/calib.ini");
        const ino_t before = inodeOf(file);
        Calibration::setValue(Calibration::VT_BBLOGOffset, 6100);
        QVERIFY(inodeOf(file) != before);
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

    void damagedFileValues_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("expected");
        const int logOffset = Calibration::VT_AmpOnLOGOffset;
        const int logFactor = Calibration::VT_AmpOnLOGFaktor;
        const int nullOffset = Calibration::VT_NullOffsetLOG;
        QTest::newRow("word") << QByteArray("abc") << logOffset << 7150.0;
        QTest::newRow("number with unit") << QByteArray("12dB") << logFactor << 195.0;
        QTest::newRow("too large") << QByteArray("99999") << logOffset << 16383.0;
        QTest::newRow("far too large for an int") << QByteArray("99999999999999999999") << nullOffset << 1023.0;
        QTest::newRow("negative") << QByteArray("-5") << nullOffset << 0.0;
        QTest::newRow("infinite") << QByteArray("-inf") << logFactor << 10.0;
        QTest::newRow("exponent") << QByteArray("1e9") << logFactor << 500.0;
        QTest::newRow("fraction read as int") << QByteArray("600.6") << nullOffset << 600.6;
    }

    void damagedFileValues()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, type);
        QFETCH(double, expected);
        TestRoot root;
        Calibration::clear();
        const auto t = Calibration::ValueType(type);
        writeCalibrationFile(root, Calibration::keyName(t).toLatin1() + "=" + text + "\n");
        QCOMPARE(Calibration::getDouble(t), expected);
        QCOMPARE(Calibration::getInt(t), int(std::lround(expected)));
    }

    void damagedFileDoesNotCrash()
    {
        TestRoot root;
        Calibration::clear();
        const char damaged[] = "\xff\xfe[[[=\n\0\0garbage=@Variant(\x01)\nAmpOnLOGOffset=\x80\n";
        QVERIFY(root.writeFile(QStringLiteral("/data/calib.ini"), QByteArray(damaged, sizeof(damaged) - 1)));
        for (int type = 0; type < Calibration::VT_KalibTimestamp; ++type) {
            const auto t = Calibration::ValueType(type);
            QVERIFY(Calibration::getInt(t) >= Calibration::getMin(t));
            QVERIFY(Calibration::getInt(t) <= Calibration::getMax(t));
        }
    }

    void usableFromTwoThreads()
    {
        TestRoot root; // no stand-in mount: values stay in memory
        Calibration::clear();
        static int finished = 0; // the thread's end, made visible to ThreadSanitizer
        Q_UNUSED(finished)
        QThread* worker = QThread::create([] {
            for (int i = 0; i < 300; ++i) {
                Calibration::setValue(Calibration::VT_NullOffsetRMS, i);
                Calibration::getInt(Calibration::VT_NullOffsetLOG);
            }
            CORVANE_HAPPENS_BEFORE(&finished);
        });
        worker->start();
        for (int i = 0; i < 300; ++i) {
            Calibration::setValue(Calibration::VT_NullOffsetLOG, i);
            Calibration::getInt(Calibration::VT_NullOffsetRMS);
        }
        QVERIFY(worker->wait(20000));
        CORVANE_HAPPENS_AFTER(&finished);
        delete worker;
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS), 299);
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetLOG), 299);
    }

    // Program starts in their own processes.

    void restoresMissingValuesFromTheEnvironment()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        Variables environment = bootLoaderVariables();
        environment.insert({{"calibAmpOnRMSOffset", "37"}, {"calibNullOffsetRMS", "111"}, {"calibNullOffsetLOG", "broken"}});
        installEnvironment(root, environmentImage(environment));
        writeCalibrationFile(root, "NullOffsetRMS=200\n");

        // The file wins; a damaged copy is not used.
        const Variables values = startInstrument(root);
        QCOMPARE(values.value("AmpOnRMSOffset") + " " + values.value("NullOffsetRMS") + " " + values.value("NullOffsetLOG"),
                 QStringLiteral("37 200 630"));
        QCOMPARE(fileValue(root, "AmpOnRMSOffset") + "|" + fileValue(root, "NullOffsetLOG"), QStringLiteral("37|"));
        // Mirrored back: the file's value replaces the environment's.
        const Variables after = environmentOf(root);
        QCOMPARE(after.value("calibNullOffsetRMS") + " " + after.value("calibAmpOnRMSOffset") + " " + after.value("bootcmd"),
                 QStringLiteral("200 37 run mmcboot"));
        // One remount for the restored values, one for the environment.
        QCOMPARE(root.mountLog().size(), 4);
    }

    void mirrorsAndUpdatesOnlyChangedValues()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        installEnvironment(root, environmentImage(bootLoaderVariables()));
        writeCalibrationFile(root, "AmpOnLOGFaktor=180.5\nNullOffsetLOG=600\nBBLOGOffset=abc\n");

        QCOMPARE(startInstrument(root).value(QStringLiteral("AmpOnLOGFaktor")), QStringLiteral("180.5"));
        const Variables first = environmentOf(root);
        Variables expected = bootLoaderVariables();
        expected.insert({{"calibAmpOnLOGFaktor", "180.5"}, {"calibNullOffsetLOG", "600"}});
        QCOMPARE(first, expected);

        // A change reaches the environment at the next start, and only that variable changes.
        QCOMPARE(startInstrument(root, {"NullOffsetLOG=610"}).value("NullOffsetLOG"), QStringLiteral("610"));
        QCOMPARE(environmentOf(root), first);
        startInstrument(root);
        expected["calibNullOffsetLOG"] = "610";
        QCOMPARE(environmentOf(root), expected);

        // A start without change does not touch the flash.
        const QByteArray image = root.readFile("/dev/mtdblock1");
        const int remounts = root.mountLog().size();
        startInstrument(root);
        QCOMPARE(root.mountLog().size(), remounts);
        QCOMPARE(root.readFile("/dev/mtdblock1"), image);
    }

    // A damaged, erased, short or missing boot environment is neither used nor written.
    void badEnvironment_data()
    {
        QTest::addColumn<QByteArray>("image");
        QByteArray image = environmentImage({{"calibAmpOnRMSOffset", "37"}});
        image[0] = char(image[0] ^ 0x5A);
        QTest::newRow("bad checksum") << image;
        QTest::newRow("erased") << QByteArray(IMAGE_SIZE, '\xFF');
        QTest::newRow("too short") << QByteArray(4096, '\0');
        QTest::newRow("none") << QByteArray();
    }
    void badEnvironment()
    {
        QFETCH(QByteArray, image);
        TestRoot root;
        QVERIFY(root.installMount());
        if (!image.isEmpty())
            installEnvironment(root, image);
        writeCalibrationFile(root, "NullOffsetLOG=600\n");
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
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calibration.moc"
