#include "common/TestRoot.h"
#include "util/Calibration.h"
#include "util/Configuration.h"

#include <QtTest>

// What a write cut by a power loss leaves beside config.ini and calib.ini is gone once the stores
// start: an empty lock file would make the first settings write wait 30 s.
class TestWriteLeftovers : public QObject
{
    Q_OBJECT

    TestRoot m_root;

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.installMount());
        for (const char* name : {"config.ini.lock", "config.ini.lock.rmlock", "config.ini.Xy12Ab", "calib.ini.lock",
                                 "calib.ini.q9Z0aB", "config.ini.notes", "calib.ini.lock.keep"})
            QVERIFY(m_root.writeFile(QStringLiteral("/data/") + name, QByteArray()));
        Configuration::getValue(Configuration::VT_Brightness, QStringLiteral("system"));
        Calibration::getInt(Calibration::VT_NullOffsetLOG);
    }

    void leftoversAreRemovedAtTheStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        for (const char* name : {"config.ini.lock", "config.ini.lock.rmlock", "config.ini.Xy12Ab", "calib.ini.lock", "calib.ini.q9Z0aB"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        for (const char* name : {"config.ini.notes", "calib.ini.lock.keep"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }

    void leftoversAreRemovedAtTheStart()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        QCOMPARE(m_root.exists(QStringLiteral("/data/") + name), !removed);
    }
};

QTEST_MAIN(TestWriteLeftovers)
#include "tst_writeleftovers.moc"
