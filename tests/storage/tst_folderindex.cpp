#include "storage/RecordWriter.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The scan that numbers today's record folders.
class TestFolderIndex : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<QTemporaryDir> m_dir;

    static QString today() { return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")); }
    void makeFolders(const QStringList& names)
    {
        for (const QString& name : names)
            QVERIFY(QDir(m_dir->path()).mkpath(name));
    }

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
    }

    void scan_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        const QString d = today();
        const QString yesterday = QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd"));
        QTest::newRow("nothing") << QStringList() << "Site" << -1;
        QTest::newRow("other days only") << QStringList{yesterday + "_Site", yesterday + "_Site_7"} << "Site" << -1;
        QTest::newRow("other name only") << QStringList{d + "_Other_4"} << "Site" << -1;
        QTest::newRow("plain and indexed") << QStringList{d + "_Site", d + "_Site_3"} << "Site" << 3;
        QTest::newRow("plain only") << QStringList{d + "_Site"} << "Site" << 0;
        QTest::newRow("no digits after underscore") << QStringList{d + "_Site_x"} << "Site" << 0;
        QTest::newRow("largest, not newest") << QStringList{d + "_Site_12", d + "_Site_2", d + "_Site_9"} << "Site" << 12;
        QTest::newRow("empty name, date only") << QStringList{d} << "" << 0;
        QTest::newRow("empty name, indexed") << QStringList{d, d + "_1", d + "_5"} << "" << 5;
        QTest::newRow("regex characters are literal")
            << QStringList{d + "_SiteX_4", d + "_Site.(1_2"} << "Site.(1" << 2;
        QTest::newRow("dot does not match any character") << QStringList{d + "_aXb_6"} << "a.b" << -1;
        QTest::newRow("plus is literal") << QStringList{d + "_aaa_6", d + "_a+_1"} << "a+" << 1;
        QTest::newRow("huge index ignored") << QStringList{d + "_Site_99999999999", d + "_Site_2147483647", d + "_Site_4"}
                                            << "Site" << 4;
    }
    void scan()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, name);
        QFETCH(int, expected);
        makeFolders(folders);
        QCOMPARE(findHighestFolderIndex(m_dir->path(), name), expected);
    }

    void onlyRealFoldersCount()
    {
        const QString d = today();
        QFile file(m_dir->path() + "/" + d + "_Site_8");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QTemporaryDir elsewhere;
        QVERIFY(QDir(elsewhere.path()).mkpath("target"));
        QVERIFY(QFile::link(elsewhere.path() + "/target", m_dir->path() + "/" + d + "_Site_9"));
        QCOMPARE(findHighestFolderIndex(m_dir->path(), QStringLiteral("Site")), -1);
        makeFolders({d + "_Site_1"});
        QCOMPARE(findHighestFolderIndex(m_dir->path(), QStringLiteral("Site")), 1);
    }

    void missingFolder()
    {
        QCOMPARE(findHighestFolderIndex(m_dir->path() + "/does/not/exist", QStringLiteral("Site")), -1);
        QCOMPARE(findHighestFolderIndex(QString(), QStringLiteral("Site")), -1);
    }
};

QTEST_GUILESS_MAIN(TestFolderIndex)
#include "tst_folderindex.moc"
