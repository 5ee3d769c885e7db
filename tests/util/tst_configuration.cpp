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

    void persistentValueIsWrittenBetweenRemounts()
    {
        Configuration::setValue(Configuration::VT_FreqMin, 300, QStringLiteral("spectrum"));
        QCOMPARE(iniFile().value(QStringLiteral("spectrum/FreqMin")), QVariant(QStringLiteral("300")));
        // clear() in init() made one pair, the write another; each pair remounts rw then ro.
        const QStringList log = m_root->mountLog();
        QCOMPARE(log.size(), 4);
        QCOMPARE(log.at(2), QStringLiteral("mount / -o remount,rw"));
        QCOMPARE(log.at(3), QStringLiteral("mount / -o remount,ro"));
    }

    void textSetIsNotClampedAndNotifies()
    {
        QSignalSpy spy(Configuration::instance(), &Configuration::configurationChanged);
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("de"), QStringLiteral("system"));
        QCOMPARE(Configuration::getString(Configuration::VT_Language, QStringLiteral("system")), QStringLiteral("de"));
        QCOMPARE(iniFile().value(QStringLiteral("system/Language")).toString(), QStringLiteral("de"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("de"));
        // A number as text is not clamped either.
        Configuration::setValue(Configuration::VT_Volume, QStringLiteral("400"), QStringLiteral("time"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Volume, QStringLiteral("time")), 400);
    }

    void signalCrossesAQueuedConnection()
    {
        // Listeners in other threads get the signal queued: the enum must be a known meta-type.
        QObject receiver;
        Configuration::ValueType received = Configuration::VT_FreqMin;
        QString receivedPath;
        connect(
            Configuration::instance(), &Configuration::configurationChanged, &receiver,
            [&](Configuration::ValueType type, QVariant, QString path) {
                received = type;
                receivedPath = path;
            },
            Qt::QueuedConnection);
        Configuration::setValue(Configuration::VT_Threshold3, 42, QStringLiteral("algorithm"));
        QTRY_COMPARE(received, Configuration::VT_Threshold3);
        QCOMPARE(receivedPath, QStringLiteral("algorithm"));
    }

    void pathsAreIndependent()
    {
        Configuration::setValue(Configuration::VT_FreqMin, 400, QStringLiteral("spectrum"));
        Configuration::setValue(Configuration::VT_FreqMin, 800, QStringLiteral("level"));
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, QStringLiteral("spectrum")), 400);
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, QStringLiteral("level")), 800);
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, QStringLiteral("time")), 150);
        QSettings ini = iniFile();
        QCOMPARE(ini.value(QStringLiteral("spectrum/FreqMin")).toInt(), 400);
        QCOMPARE(ini.value(QStringLiteral("level/FreqMin")).toInt(), 800);
        QVERIFY(!ini.contains(QStringLiteral("time/FreqMin")));
    }

    void nonPersistentKindsStayInMemory()
    {
        QVERIFY(!Configuration::isPersistent(Configuration::VT_Service));
        QVERIFY(!Configuration::isPersistent(Configuration::VT_Screenshot));
        QVERIFY(!Configuration::isPersistent(Configuration::VT_Meas_70));
        const int mountsBefore = m_root->mountLog().size();
        Configuration::setValue(Configuration::VT_Service, 1, QStringLiteral("system"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, QStringLiteral("system")), 1);
        QCOMPARE(m_root->mountLog().size(), mountsBefore);
        QVERIFY(!iniFile().contains(QStringLiteral("system/Service")));
        // A value in the file is never read for a non-persistent kind: every start begins at 0.
        m_root->writeFile(QStringLiteral("/data/config.ini"), "[restart]\nService=1\n");
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, QStringLiteral("restart")), 0);
    }

    void clearRestoresDefaults()
    {
        Configuration::setValue(Configuration::VT_Brightness, 20, QStringLiteral("system"));
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("de"), QStringLiteral("system"));
        Configuration::setValue(Configuration::VT_Service, 1, QStringLiteral("system"));
        Configuration::clear();
        QCOMPARE(Configuration::getValue(Configuration::VT_Brightness, QStringLiteral("system")), 75);
        QCOMPARE(Configuration::getString(Configuration::VT_Language, QStringLiteral("system")), QStringLiteral("en"));
        QCOMPARE(Configuration::getValue(Configuration::VT_Service, QStringLiteral("system")), 0);
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

    void descriptorTable()
    {
        const QMetaEnum kinds = QMetaEnum::fromType<Configuration::ValueType>();
        QCOMPARE(kinds.keyCount(), 44);
        for (int i = 0; i < kinds.keyCount(); ++i) {
            const auto kind = Configuration::ValueType(kinds.value(i));
            QCOMPARE(kinds.value(i), i);
            QVERIFY2(Configuration::getMin(kind) <= Configuration::getMax(kind), kinds.key(i));
            if (kind != Configuration::VT_Language) {
                const int def = Configuration::getDefault(kind).toInt();
                QVERIFY2(def >= Configuration::getMin(kind) && def <= Configuration::getMax(kind), kinds.key(i));
            }
        }
        QCOMPARE(Configuration::getMin(Configuration::VT_AmpMaxMicroVolt), 100);
        QCOMPARE(Configuration::getMax(Configuration::VT_AmpMaxMicroVolt), 400000);
        QCOMPARE(Configuration::getDefault(Configuration::VT_Sync), QVariant(3));
        QCOMPARE(Configuration::getDefault(Configuration::VT_Language), QVariant(QStringLiteral("en")));
        QCOMPARE(Configuration::getDefault(Configuration::VT_GatingTimeLow), QVariant(1));
        QVERIFY(Configuration::isPersistent(Configuration::VT_PulseMode));
    }

    void keyNames()
    {
        QCOMPARE(Configuration::keyName(Configuration::VT_FreqMin), QStringLiteral("FreqMin"));
        QCOMPARE(Configuration::keyName(Configuration::VT_Meas_70), QStringLiteral("Meas_70"));
        QCOMPARE(Configuration::keyName(Configuration::VT_Threshold4), QStringLiteral("Threshold4"));
        QCOMPARE(Configuration::keyName(Configuration::RESOLUTION_COARSE), QStringLiteral("COARSE"));
        QCOMPARE(Configuration::keyName(Configuration::ANTENNA_HFCT), QStringLiteral("HFCT"));
        QCOMPARE(Configuration::keyName(Configuration::MEAS_MODE_ENV), QStringLiteral("ENV"));
        QCOMPARE(Configuration::keyName(Configuration::SYNC_INT_E), QStringLiteral("INT E"));
        QCOMPARE(Configuration::keyName(Configuration::SYNC_MAINS_RF), QStringLiteral("MAINS RF"));
        QCOMPARE(Configuration::keyName(Configuration::SYNC_SENSOR_H), QStringLiteral("SENSOR H"));
        QCOMPARE(Configuration::keyName(Configuration::PHASE_Unspecified), QStringLiteral("Unspecified"));
        QCOMPARE(Configuration::keyName(Configuration::PHASE_L2), QStringLiteral("L2"));
        QCOMPARE(Configuration::keyName(Configuration::Phase(9)), QString());
    }

    void keyToValue()
    {
        QCOMPARE(Configuration::keyToValue(QStringLiteral("Phase"), QStringLiteral("PHASE_L3")), 3);
        QCOMPARE(Configuration::keyToValue(QStringLiteral("Antenna"), QStringLiteral("ANTENNA_TEV")), 1);
        QCOMPARE(Configuration::keyToValue(QStringLiteral("MeasMode"), QStringLiteral("MEAS_MODE_KAL")), 3);
        QCOMPARE(Configuration::keyToValue(QStringLiteral("ValueType"), QStringLiteral("VT_Threshold4")), 43);
        QCOMPARE(Configuration::keyToValue(QStringLiteral("Phase"), QStringLiteral("PHASE_L4")), -1);
        QCOMPARE(Configuration::keyToValue(QStringLiteral("Phase"), QStringLiteral("L1")), -1);
        QCOMPARE(Configuration::keyToValue(QStringLiteral("NoSuchEnum"), QStringLiteral("PHASE_L1")), -1);
        QCOMPARE(Configuration::keyToValue(QString(), QString()), -1);
    }

    void displayLabels()
    {
        QCOMPARE(Configuration::toString(Configuration::RESOLUTION_FINE), QStringLiteral("Fine"));
        QCOMPARE(Configuration::toString(Configuration::RESOLUTION_MODERATE), QStringLiteral("Moderate"));
        QCOMPARE(Configuration::toString(Configuration::RESOLUTION_COARSE), QStringLiteral("Coarse"));
        QCOMPARE(Configuration::toString(Configuration::Resolution(4)), QStringLiteral("???"));
        QCOMPARE(Configuration::toString(Configuration::ANTENNA_UHF), QStringLiteral("UHF"));
        QCOMPARE(Configuration::toString(Configuration::ANTENNA_TEV), QStringLiteral("TEV"));
        QCOMPARE(Configuration::toString(Configuration::ANTENNA_HFCT), QStringLiteral("HFCT"));
        QCOMPARE(Configuration::toString(Configuration::Antenna(-1)), QStringLiteral("???"));
        QCOMPARE(Configuration::toString(Configuration::MEAS_MODE_LOG), QStringLiteral("LOG"));
        QCOMPARE(Configuration::toString(Configuration::MEAS_MODE_RMS), QStringLiteral("RMS"));
        QCOMPARE(Configuration::toString(Configuration::MEAS_MODE_ENV), QStringLiteral("ENV"));
        QCOMPARE(Configuration::toString(Configuration::MEAS_MODE_KAL), QStringLiteral("KAL"));
        QCOMPARE(Configuration::toString(Configuration::MeasMode(4)), QStringLiteral("???"));
        QCOMPARE(Configuration::toString(Configuration::SYNC_INT_E), QStringLiteral("Int E"));
        QCOMPARE(Configuration::toString(Configuration::SYNC_SENSOR_E), QStringLiteral("RQ4417 (E)"));
        QCOMPARE(Configuration::toString(Configuration::SYNC_SENSOR_H), QStringLiteral("RQ4417 (H)"));
        QCOMPARE(Configuration::toString(Configuration::SYNC_MAINS_RF), QStringLiteral("TL4418"));
        QCOMPARE(Configuration::toString(Configuration::Sync(5)), QStringLiteral("???"));
        QCOMPARE(Configuration::toString(Configuration::PHASE_Unspecified), QStringLiteral("Unspecified"));
        QCOMPARE(Configuration::toString(Configuration::PHASE_L1), QStringLiteral("L1"));
        QCOMPARE(Configuration::toString(Configuration::PHASE_L3), QStringLiteral("L3"));
        QCOMPARE(Configuration::toString(Configuration::Phase(7)), QStringLiteral("Unspecified"));
        QCOMPARE(Configuration::toString(Configuration::DATE_FORMAT_DD_MM_YYYY), QStringLiteral("DD.MM.YYYY"));
        QCOMPARE(Configuration::toString(Configuration::DATE_FORMAT_YYYY_MM_DD), QStringLiteral("YYYY.MM.DD"));
        QCOMPARE(Configuration::toString(Configuration::DateFormat(2)), QString());
        QCOMPARE(Configuration::dateFormatString(Configuration::DATE_FORMAT_DD_MM_YYYY), QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(Configuration::dateFormatString(Configuration::DATE_FORMAT_YYYY_MM_DD), QStringLiteral("yyyy.MM.dd"));
        QCOMPARE(Configuration::dateFormatString(Configuration::DateFormat(-1)), QString());
    }

    void rawKeysForScreenLists()
    {
        const QString path = QStringLiteral("raw");
        Configuration::setValuePersistent(QStringLiteral("Markers"), QVariant(QStringLiteral("1,2,3")), path);
        Configuration::setValue(QStringLiteral("Scratch"), QVariant(5), path);
        QCOMPARE(Configuration::valuePersistent(QStringLiteral("Markers"), path, QVariant()).toString(),
                 QStringLiteral("1,2,3"));
        QCOMPARE(Configuration::value(QStringLiteral("Scratch"), path, QVariant(0)).toInt(), 5);
        QCOMPARE(Configuration::value(QStringLiteral("Missing"), path, QVariant(17)).toInt(), 17);
        QCOMPARE(iniFile().value(QStringLiteral("raw/Markers")).toString(), QStringLiteral("1,2,3"));
        QVERIFY(!iniFile().contains(QStringLiteral("raw/Scratch")));
    }
};

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"
