#include "common/TestRoot.h"
#include "util/Configuration.h"

#include <QMetaEnum>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

// The settings store: clamping, write-through to config.ini between remounts, the change signal,
// paths, non-persistent kinds, values read back from a damaged file, and the enum texts.
// The store caches every key it has read for the rest of the process, so each case that reads
// from the file uses a path of its own.
class TestConfiguration : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

    QSettings iniFile() const
    {
        return QSettings(m_root->path(QStringLiteral("/data/config.ini")), QSettings::IniFormat);
    }

private slots:
    void init()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        QVERIFY(m_root->installMount());
        Configuration::clear();
    }
    void cleanup() { m_root.reset(); }

    void typedSetClamps_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("above max") << int(Configuration::VT_FreqMin) << "spectrum" << 2000 << 1000;
        QTest::newRow("below min") << int(Configuration::VT_AmpMinDbm) << "level" << -150 << -100;
        QTest::newRow("equal min") << int(Configuration::VT_GatingTime) << "spectrum" << 1 << 1;
        QTest::newRow("equal max") << int(Configuration::VT_Brightness) << "system" << 100 << 100;
        QTest::newRow("inside") << int(Configuration::VT_Bandwidth) << "time" << 20000 << 20000;
        QTest::newRow("KAL cannot be stored") << int(Configuration::VT_MeasMode) << "level" << 3 << 2;
        QTest::newRow("resolution 4 allowed") << int(Configuration::VT_Resolution) << "time" << 4 << 4;
        QTest::newRow("non-persistent") << int(Configuration::VT_Meas_70) << "system" << 99 << 80;
    }
    void typedSetClamps()
    {
        QFETCH(int, type);
        QFETCH(QString, path);
        QFETCH(int, value);
        QFETCH(int, stored);
        const auto kind = Configuration::ValueType(type);
        QSignalSpy spy(Configuration::instance(), &Configuration::configurationChanged);
        QCOMPARE(Configuration::limit(kind, value), stored);
        Configuration::setValue(kind, value, path);
        QCOMPARE(Configuration::getValue(kind, path), stored);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<Configuration::ValueType>(), kind);
        QCOMPARE(spy.at(0).at(1), QVariant(stored));
        QCOMPARE(spy.at(0).at(2).toString(), path);
    }

    // Persistent values go to config.ini between remounts, under their path; text values are
    // not clamped; raw keys serve the screens' own lists.
    void writesReachTheFile()
    {
        Configuration::setValue(Configuration::VT_FreqMin, 400, "spectrum");
        Configuration::setValue(Configuration::VT_FreqMin, 800, "level");
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("de"), "system");
        Configuration::setValue(Configuration::VT_Volume, QStringLiteral("400"), "time");
        QVERIFY(Configuration::setValuePersistent("Markers", QStringLiteral("1,2,3"), "raw"));
        Configuration::setValue("Scratch", 5, "raw");
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, "time"), 150);
        QCOMPARE(Configuration::getValue(Configuration::VT_Volume, "time"), 400);
        QCOMPARE(Configuration::value("Scratch", "raw", 0).toInt(), 5);
        QCOMPARE(Configuration::value("Missing", "raw", 17).toInt(), 17);
        QSettings ini = iniFile();
        QCOMPARE(ini.value("spectrum/FreqMin").toInt(), 400);
        QCOMPARE(ini.value("level/FreqMin").toInt(), 800);
        QCOMPARE(ini.value("system/Language").toString(), QStringLiteral("de"));
        QCOMPARE(ini.value("raw/Markers").toString(), QStringLiteral("1,2,3"));
        QVERIFY(!ini.contains("time/FreqMin") && !ini.contains("raw/Scratch"));
        // clear() in init() made one remount pair, each write one more.
        const QStringList log = m_root->mountLog();
        QCOMPARE(log.size(), 12);
        QCOMPARE(log.mid(10), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
    }

    void signalCrossesAQueuedConnection()
    {
        // Listeners in other threads get the signal queued: the enum must be a known meta-type.
        QObject receiver;
        Configuration::ValueType received = Configuration::VT_FreqMin;
        connect(
            Configuration::instance(), &Configuration::configurationChanged, &receiver,
            [&](Configuration::ValueType type, QVariant, QString) { received = type; }, Qt::QueuedConnection);
        Configuration::setValue(Configuration::VT_Threshold3, 42, "algorithm");
        QTRY_COMPARE(received, Configuration::VT_Threshold3);
    }

    // Non-persistent kinds never touch the file: every start begins at their default.
    void nonPersistentKindsAndClear()
    {
        const int mountsBefore = m_root->mountLog().size();
        Configuration::setValue(Configuration::VT_Service, 1, "system");
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, "system"), 1);
        QCOMPARE(m_root->mountLog().size(), mountsBefore);
        m_root->writeFile("/data/config.ini", "[restart]\nService=1\n");
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, "restart"), 0);
        Configuration::setValue(Configuration::VT_Brightness, 20, "system");
        Configuration::clear();
        QCOMPARE(Configuration::getValue(Configuration::VT_Brightness, "system"), 75);
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, "system"), 0);
        QVERIFY(iniFile().allKeys().isEmpty());
    }

    void valuesReadBackFromADamagedFile()
    {
        m_root->writeFile(QStringLiteral("/data/config.ini"), "[damaged]\n"
                                                              "FreqMin=abc\n"
                                                              "FreqMax=5000\n"
                                                              "AmpMinDbm=-1000\n"
                                                              "Antenna=7\n"
                                                              "Language=\n"
                                                              "Brightness=12.5\n"
                                                              "[other]\nGatingTime=30\n");
        const QString path = QStringLiteral("damaged");
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, path), 0);       // not a number
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMax, path), 5000);    // no clamp on read
        QCOMPARE(Configuration::getValue(Configuration::VT_AmpMinDbm, path), -1000); // no clamp on read
        QCOMPARE(Configuration::getValue(Configuration::VT_Antenna, path), 7);
        QCOMPARE(Configuration::getString(Configuration::VT_Language, path), QString());
        QCOMPARE(Configuration::getValue(Configuration::VT_Brightness, path), 0);
        QCOMPARE(Configuration::getValue(Configuration::VT_GatingTime, path), 20); // missing: default
        QCOMPARE(Configuration::getValue(Configuration::VT_GatingTime, QStringLiteral("other")), 30);
    }

    void fileIsReadOncePerKey()
    {
        m_root->writeFile(QStringLiteral("/data/config.ini"), "[once]\nVolume=30\n");
        QCOMPARE(Configuration::getValue(Configuration::VT_Volume, QStringLiteral("once")), 30);
        m_root->writeFile(QStringLiteral("/data/config.ini"), "[once]\nVolume=90\n");
        QCOMPARE(Configuration::getValue(Configuration::VT_Volume, QStringLiteral("once")), 30);
    }

    void missingOrUnreadableFileGivesDefaults()
    {
        QFile::remove(m_root->path(QStringLiteral("/data/config.ini")));
        QCOMPARE(Configuration::getValue(Configuration::VT_SweepRate, QStringLiteral("nofile")), 50);
        QCOMPARE(Configuration::getString(Configuration::VT_Language, QStringLiteral("nofile")), QStringLiteral("en"));
        // A folder in the file's place cannot be read either.
        QDir().mkpath(m_root->path(QStringLiteral("/data/config.ini")));
        QCOMPARE(Configuration::getValue(Configuration::VT_Persistency, QStringLiteral("nofile2")), 50);
    }

    void failedRemountKeepsValueInMemoryOnly()
    {
        m_root->setMountFails(true);
        QFile::remove(m_root->path(QStringLiteral("/data/config.ini")));
        QSignalSpy spy(Configuration::instance(), &Configuration::configurationChanged);
        Configuration::setValue(Configuration::VT_FreqMax, 700, QStringLiteral("spectrum"));
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMax, QStringLiteral("spectrum")), 700);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!m_root->exists(QStringLiteral("/data/config.ini")));
        QCOMPARE(m_root->mountLog().last(), QStringLiteral("mount / -o remount,rw"));

        // The failed bracket left no count behind: the next write remounts and lands in the file.
        m_root->setMountFails(false);
        Configuration::setValue(Configuration::VT_FreqMax, 900, QStringLiteral("spectrum"));
        QCOMPARE(iniFile().value(QStringLiteral("spectrum/FreqMax")).toInt(), 900);
        QCOMPARE(m_root->mountLog().last(), QStringLiteral("mount / -o remount,ro"));
    }

    // Every kind's default lies in its range; enum names read back into values.
    void kindsAreConsistent()
    {
        const QMetaEnum kinds = QMetaEnum::fromType<Configuration::ValueType>();
        for (int i = 0; i < kinds.keyCount(); ++i) {
            const auto kind = Configuration::ValueType(kinds.value(i));
            const int def = Configuration::getDefault(kind).toInt();
            QVERIFY2(kind == Configuration::VT_Language
                         || (def >= Configuration::getMin(kind) && def <= Configuration::getMax(kind)),
                     kinds.key(i));
        }
        QCOMPARE(Configuration::keyToValue("Phase", "PHASE_L3"), 3);
        QCOMPARE(Configuration::keyToValue("Phase", "L1"), -1);
        QCOMPARE(Configuration::keyToValue("NoSuchEnum", "PHASE_L1"), -1);
    }

    // A settings file that cannot be written is reported; the value holds for this run.
    void failedWriteIsReported()
    {
        QVERIFY(QDir().mkpath(m_root->path("/data/config.ini"))); // a folder where the file belongs
        QVERIFY(!Configuration::setValue(Configuration::VT_FreqMin, 250, "spectrum"));
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, "spectrum"), 250);
        QVERIFY(!Configuration::setValuePersistent("Markers", "1", "raw"));
        m_root->setMountFails(true);
        QVERIFY(!Configuration::setValue(Configuration::VT_FreqMin, 260, "spectrum"));
        QVERIFY(Configuration::setValue(Configuration::VT_Service, 1, "system")); // kept in memory only
        QVERIFY(QDir(m_root->path("/data/config.ini")).removeRecursively());
        m_root->setMountFails(false);
        QVERIFY(Configuration::setValue(Configuration::VT_FreqMin, 270, "spectrum"));
    }

};

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"
