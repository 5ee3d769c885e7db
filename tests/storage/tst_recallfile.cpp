#include "common/TestRoot.h"
#include "storage/RecallFile.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestRecallFile : public QObject
{
    Q_OBJECT

private:
    static QVector<QPointF> sweep(int count, double freqMin, double freqMax, double level)
    {
        QVector<QPointF> points;
        for (int i = 0; i < count; ++i)
            points.append(QPointF(freqMin + i * (freqMax - freqMin) / 500, level + i * 0.01));
        return points;
    }
    static QString recallPath(const TestRoot& root) { return root.path(QStringLiteral("/data/recall.xml")); }

private slots:
    void pathIsBelowTheRoot()
    {
        TestRoot root;
        QCOMPARE(RecallFile::path(QStringLiteral("recall.xml"), QStringLiteral("/data")), recallPath(root));
    }

    void onlyFilledSlotsCarryAttributes()
    {
        QVector<RecallFile::Trace> traces(4);
        traces[2] = {QStringLiteral("Cable end"), sweep(501, 150, 1000, -80)};
        const QDomDocument document = RecallFile::build(traces);
        const QDomElement root = document.documentElement();
        QCOMPARE(root.tagName(), QStringLiteral("recall"));
        QCOMPARE(root.childNodes().count(), 4);
        QDomElement e = root.firstChildElement();
        for (int i = 0; i < 4; ++i, e = e.nextSiblingElement()) {
            QCOMPARE(e.tagName(), QStringLiteral("freeze"));
            if (i != 2) {
                QVERIFY(e.text().isEmpty());
                QVERIFY(!e.hasAttributes());
            }
        }
        const QDomElement filled = root.childNodes().at(2).toElement();
        QCOMPARE(filled.attribute(QStringLiteral("name")), QStringLiteral("Cable end"));
        // The last slot's position carries rounding of the slot arithmetic; it is written whole.
        QCOMPARE(filled.attribute(QStringLiteral("freqMin")), QStringLiteral("150"));
        QCOMPARE(filled.attribute(QStringLiteral("freqMax")), QStringLiteral("1000"));
        QCOMPARE(filled.text().split(QLatin1Char(' ')).size(), 501);
        QVERIFY(filled.text().startsWith(QLatin1String("-80 -79.99 -79.98")));
    }

    void roundTripThroughTheFile()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        QVector<RecallFile::Trace> traces(4);
        traces[0] = {QStringLiteral("RC1"), sweep(501, 100, 600, -60)};
        traces[3] = {QStringLiteral("Partial"), sweep(300, 150, 1000, -70)};
        QVERIFY(RecallFile::write(RecallFile::build(traces), recallPath(root)));
        const QByteArray content = root.readFile(QStringLiteral("/data/recall.xml"));
        QVERIFY(content.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<recall>\n  <freeze"));
        QCOMPARE(root.mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));

        const QVector<RecallFile::Slot> loaded = RecallFile::read(recallPath(root));
        QCOMPARE(loaded.size(), 4);
        QVERIFY(loaded[0].present);
        QVERIFY(!loaded[1].present);
        QVERIFY(!loaded[2].present);
        QVERIFY(loaded[3].present);
        QCOMPARE(loaded[0].name, QStringLiteral("RC1"));
        QCOMPARE(loaded[0].freqMin, 100u);
        QCOMPARE(loaded[0].freqMax, 600u);
        QCOMPARE(loaded[0].values.size(), 501);
        QCOMPARE(loaded[0].values.at(10), -59.9);
        // A slot stored before its sweep completed is written with the range of its sweep, so
        // that its points keep their frequencies when they are read back.
        QCOMPARE(loaded[3].freqMin, 150u);
        QCOMPARE(loaded[3].freqMax, 1000u);
        QCOMPARE(loaded[3].values.size(), 300);
    }

    void rangeEndOfPartialSweeps()
    {
        QCOMPARE(RecallFile::rangeEnd({}, 501), 0.0);
        QCOMPARE(RecallFile::rangeEnd({{300, -1}}, 501), 300.0);
        QCOMPARE(RecallFile::rangeEnd(sweep(2, 200, 700, -50), 501), 700.0);
        QVERIFY(qAbs(RecallFile::rangeEnd(sweep(300, 150, 1000, -50), 501) - 1000.0) < 1e-9);
        QCOMPARE(RecallFile::rangeEnd(sweep(501, 150, 1000, -50), 501), sweep(501, 150, 1000, -50).last().x());
    }

    void failedRemountKeepsThePreviousFile()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        QVERIFY(root.writeFile(QStringLiteral("/data/recall.xml"), "previous"));
        root.setMountFails(true);
        QVERIFY(!RecallFile::write(RecallFile::build({}), recallPath(root)));
        QCOMPARE(root.readFile(QStringLiteral("/data/recall.xml")), QByteArray("previous"));
    }

    void failedWriteKeepsThePreviousFile()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        QVERIFY(root.writeFile(QStringLiteral("/data/recall.xml"), "previous"));
        // The target is replaced by renaming a finished temporary file; a folder that cannot take
        // the temporary file leaves the target alone.
        QVERIFY(!RecallFile::write(RecallFile::build({}), root.path(QStringLiteral("/data/missing/recall.xml"))));
        QCOMPARE(root.readFile(QStringLiteral("/data/recall.xml")), QByteArray("previous"));
        QVERIFY(RecallFile::write(RecallFile::build({}), recallPath(root)));
        QVERIFY(root.readFile(QStringLiteral("/data/recall.xml")).contains("<recall>"));
        QCOMPARE(QDir(root.path(QStringLiteral("/data"))).entryList(QDir::Files), QStringList({"recall.xml"}));
    }

    void badFilesLoadNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not xml") << QByteArray("this is not xml at all");
        QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\"?>\n<recall>\n  <freeze name=\"A\" "
                                                 "freqMin=\"150\" freqMax=\"1000\">-50 -51 -5");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe<recall>", 12);
    }
    void badFilesLoadNothing()
    {
        QFETCH(QByteArray, content);
        TestRoot root;
        QVERIFY(root.writeFile(QStringLiteral("/data/recall.xml"), content));
        QVERIFY(RecallFile::read(recallPath(root)).isEmpty());
    }

    void missingFileLoadsNothing()
    {
        TestRoot root;
        QVERIFY(RecallFile::read(recallPath(root)).isEmpty());
    }

    void oddContentFollowsTheReadingRules()
    {
        TestRoot root;
        QByteArray values;
        for (int i = 0; i < 600; ++i)
            values += (i ? " " : "") + QByteArray::number(-i);
        const QByteArray content = "<recall>"
                                   "<freeze name=\"Long\" freqMin=\"200\" freqMax=\"700\">"
                                   + values
                                   + "</freeze>"
                                     "<freeze freqMin=\"abc\" freqMax=\"-5.5\">1 x  nan inf 1e999 2.5</freeze>"
                                     "<other>ignored</other>"
                                     "<freeze name=\"Empty\" freqMin=\"1\" freqMax=\"2\"></freeze>"
                                     "<freeze name=\"Fourth\" freqMin=\"150.5\" freqMax=\"1000\">-1</freeze>"
                                     "<freeze name=\"Fifth\" freqMin=\"150\" freqMax=\"1000\">-2</freeze>"
                                     "</recall>";
        QVERIFY(root.writeFile(QStringLiteral("/data/recall.xml"), content));
        const QVector<RecallFile::Slot> loaded = RecallFile::read(recallPath(root));
        QCOMPARE(loaded.size(), 4);
        QCOMPARE(loaded[0].values.size(), 600);
        QCOMPARE(loaded[0].values.last(), -599.0);
        // Attributes that are not unsigned integers read 0; values that are not finite numbers read
        // 0; an empty part between two blanks is a value 0; the name is missing.
        QVERIFY(loaded[1].present);
        QVERIFY(loaded[1].name.isEmpty());
        QCOMPARE(loaded[1].freqMin, 0u);
        QCOMPARE(loaded[1].freqMax, 0u);
        QCOMPARE(loaded[1].values, QVector<double>({1, 0, 0, 0, 0, 0, 2.5}));
        QVERIFY(!loaded[2].present);
        QCOMPARE(loaded[3].name, QStringLiteral("Fourth"));
        QCOMPARE(loaded[3].freqMin, 150u);
        QCOMPARE(loaded[3].freqMax, 1000u);
    }
};

QTEST_MAIN(TestRecallFile)
#include "tst_recallfile.moc"
