#include "MainWindow.h"
#include "common/TestRoot.h"
#include "util/Calibration.h"
#include "util/Configuration.h"

#include <QtTest>

// What a write cut by a power loss leaves beside config.ini and calib.ini is gone once the stores
// start (an empty lock file would make the first settings write wait 30 s); beside the other
// files the instrument writes once the main window starts.
class TestWriteLeftovers : public QObject
{
    Q_OBJECT

    TestRoot m_root;
    static constexpr const char* kRemoved[] = {
        "/data/config.ini.lock", "/data/config.ini.lock.rmlock", "/data/config.ini.Xy12Ab", "/data/calib.ini.lock",
        "/data/calib.ini.q9Z0aB", "/data/recall.xml.qWeRtY", "/etc/network/interfaces.yccjoz",
        "/data/corvane_screenshots/SCR_Kopie.png.ZzTopA", "/data/corvane_data/CV1/2026-12-07_Folder_1/spectrum_20261207_052400.xml.KqPwZr",
        "/data/corvane_data/CV1/2026-12-07_Folder_1/spectrum_20261207_052400.png.aBcDeF", "/data/corvane_data/CV1/index.html.PqRsTu",
        "/data/corvane_data/res/qt_temp.WxYzab"};
    // Not what a cut write leaves beside these files.
    static constexpr const char* kKept[] = {
        "/data/config.ini.notes", "/data/calib.ini.lock.keep", "/data/recall.xml.lock", "/etc/network/interfaces.orig",
        "/etc/network/hosts.GhKlmN", "/data/corvane_data/CV1/notes.txt.AbCdEf",
        "/data/corvane_data/CV1/2026-12-07_Folder_1/spectrum_20261207_052400.xml"};

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.installMount());
        for (const char* name : kRemoved)
            QVERIFY(m_root.writeFile(name, QByteArray()));
        for (const char* name : kKept)
            QVERIFY(m_root.writeFile(name, QByteArray()));
        Configuration::getValue(Configuration::VT_Brightness, QStringLiteral("system"));
        Calibration::getInt(Calibration::VT_NullOffsetLOG);
        MainWindow::removeWriteLeftovers();
    }

    void leftoversAreRemovedAtTheStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        for (const char* name : kRemoved)
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        for (const char* name : kKept)
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }

    void leftoversAreRemovedAtTheStart()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        QCOMPARE(m_root.exists(name), !removed);
    }
};

QTEST_MAIN(TestWriteLeftovers)
#include "tst_writeleftovers.moc"
