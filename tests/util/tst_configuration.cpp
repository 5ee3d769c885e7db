#include "common/TestRoot.h"
#include "util/Configuration.h"

#include <QMetaEnum>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

// The settings store: clamping and the change signal, write-through to config.ini between remounts,
// non-persistent kinds, damaged files. It caches every key it has read for the rest of the process,
// so each case that reads from the file uses a path of its own.
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
        QVERIFY(m_root->installMount());
        Configuration::clear();
    }
    void cleanup() { m_root.reset(); }

    // Values are limited to their range and announced with their kind and path (listeners in other
    // threads get them queued, which needs the kind registered as a meta-type: so does the spy).
    void typedSetClamps_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("above max") << int(Configuration::VT_FreqMin) << "spectrum" << 2000 << 1000;
        QTest::newRow("below min") << int(Configuration::VT_AmpMinDbm) << "level" << -150 << -100;
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
        Configuration::setValue(kind, value, path);
        QCOMPARE(Configuration::getValue(kind, path), stored);
        QCOMPARE(QList<QVariantList>(spy), QList<QVariantList>({{QVariant::fromValue(kind), stored, path}}));
    }

    // Persistent values go to config.ini between remounts, under their path; text values are
    // not clamped; raw keys serve the screens' own lists.
    void writesReachTheFile()
    {
        Configuration::setValue(Configuration::VT_FreqMin, 400, "spectrum");
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("de"), "system");
        Configuration::setValue(Configuration::VT_Volume, QStringLiteral("400"), "time");
        QVERIFY(Configuration::setValuePersistent("Markers", QStringLiteral("1,2,3"), "raw"));
        Configuration::setValue("Scratch", 5, "raw");
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, "time"), 150); // a default read is not written
        QCOMPARE(Configuration::getValue(Configuration::VT_Volume, "time"), 400);
        QCOMPARE(Configuration::value("Scratch", "raw", 0).toInt(), 5);
        QCOMPARE(Configuration::value("Missing", "raw", 17).toInt(), 17);
        QSettings ini = iniFile();
        QCOMPARE(ini.value("spectrum/FreqMin").toInt(), 400);
        QCOMPARE(ini.value("system/Language").toString(), QStringLiteral("de"));
        QCOMPARE(ini.value("raw/Markers").toString(), QStringLiteral("1,2,3"));
        QVERIFY(!ini.contains("time/FreqMin") && !ini.contains("raw/Scratch"));
        // clear() in init() made one remount pair, each write one more.
        const QStringList log = m_root->mountLog();
        QCOMPARE(log.size(), 10);
        QCOMPARE(log.mid(8), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
    }

    // Non-persistent kinds never touch the file: every start begins at their default.
    void nonPersistentKindsAndClear()
    {
        const int mountsBefore = m_root->mountLog().size();
        Configuration::setValue(Configuration::VT_Service, 1, "system");
        QCOMPARE(m_root->mountLog().size(), mountsBefore);
        m_root->writeFile("/data/config.ini", "[restart]\nService=1\n");
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, "restart"), 0);
        Configuration::setValue(Configuration::VT_Brightness, 20, "system");
        Configuration::clear();
        QCOMPARE(Configuration::getValue(Configuration::VT_Brightness, "system"), 75);
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, "system"), 0);
        QVERIFY(iniFile().allKeys().isEmpty());
    }

    // Values read back: each key once; no clamping on read; what is not a number reads 0; a
    // missing key, file or a folder in the file's place gives the default.
    void valuesReadBack()
    {
        m_root->writeFile("/data/config.ini", "[damaged]\nFreqMin=abc\nFreqMax=5000\nAmpMinDbm=-1000\nLanguage=\n"
                                              "Brightness=12.5\n[other]\nGatingTime=30\n");
        QList<int> values;
        for (auto type : {Configuration::VT_FreqMin, Configuration::VT_FreqMax, Configuration::VT_AmpMinDbm, Configuration::VT_Brightness,
                          Configuration::VT_GatingTime})
            values << Configuration::getValue(type, "damaged");
        QCOMPARE(values, QList<int>({0, 5000, -1000, 0, 20}));
        QCOMPARE(Configuration::getString(Configuration::VT_Language, "damaged"), QString());
        QCOMPARE(Configuration::getValue(Configuration::VT_GatingTime, "other"), 30);
        m_root->writeFile("/data/config.ini", "[other]\nGatingTime=90\n");
        QCOMPARE(Configuration::getValue(Configuration::VT_GatingTime, "other"), 30);
        QFile::remove(m_root->path("/data/config.ini"));
        QCOMPARE(Configuration::getString(Configuration::VT_Language, "nofile"), QStringLiteral("en"));
        QDir().mkpath(m_root->path("/data/config.ini"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Persistency, "nofile2"), 50);
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
        QVERIFY(QDir(m_root->path("/data/config.ini")).removeRecursively());
        m_root->setMountFails(true);
        QSignalSpy spy(Configuration::instance(), &Configuration::configurationChanged);
        QVERIFY(!Configuration::setValue(Configuration::VT_FreqMin, 260, "spectrum"));
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, "spectrum"), 260);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!m_root->exists("/data/config.ini"));
        QVERIFY(Configuration::setValue(Configuration::VT_Service, 1, "system")); // kept in memory only
        // The failed bracket left no count behind: the next write remounts and lands in the file.
        m_root->setMountFails(false);
        QVERIFY(Configuration::setValue(Configuration::VT_FreqMin, 270, "spectrum"));
        QCOMPARE(iniFile().value("spectrum/FreqMin").toInt(), 270);
        QCOMPARE(m_root->mountLog().last(), QStringLiteral("mount / -o remount,ro"));
    }
};

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"
