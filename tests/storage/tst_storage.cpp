// The files the instrument keeps: measurement records with their pictures, the record folders'
// running index, and the stored curves.
#include "common/TestMain.h"
#include "common/TestRoot.h"
#include "storage/RecallFile.h"
#include "storage/RecordWriter.h"

#include <QMainWindow>
#include <QtTest>

class TestStorage : public QObject
{
    Q_OBJECT

    static QDomDocument record(int version = 1)
    {
        QDomDocument document;
        QDomElement root = createRecordRoot(document, "spectrum", version);
        root.appendChild(createTextElement(document, "gating_time", "20"));
        return document;
    }
    static QPixmap picture()
    {
        QPixmap picture(64, 48);
        picture.fill(Qt::red);
        return picture;
    }

    static QVector<QPointF> sweep(int count, double freqMin, double freqMax, double level)
    {
        QVector<QPointF> points;
        for (int i = 0; i < count; ++i)
            points.append(QPointF(freqMin + i * (freqMax - freqMin) / 500, level + i * 0.01));
        return points;
    }

private slots:
    void texts()
    {
        const QDateTime moment(QDate(2024, 1, 31), QTime(14, 25, 1));
        QCOMPARE(recordFilePath("/data/x", "spectrum", recordTimeStamp(moment), "xml"), QStringLiteral("/data/x/spectrum_20240131_142501.xml"));
        const QVector<QPointF> points {{150, -50.0}, {151.7, -73.123456}, {153.4, 0.0000001234}, {155, 12345678}};
        QDomDocument document;
        QCOMPARE(createSeriesElement(document, "max", points).text(), QStringLiteral("-50 -73.1235 1.234e-07 1.23457e+07"));
        const QDomElement empty = createTextElement(document, "system", QString());
        QVERIFY(empty.childNodes().count() == 1 && empty.firstChild().isText());
        QCOMPARE(createTextElement(document, "a", "<&>").text(), QStringLiteral("<&>"));
    }

    void commonHeaderAndReceiverGroup()
    {
        TestRoot root;
        QMap<QString, QString> expected {{"system", ""}, {"software_version", "2.0.14"}, {"fpga_version", "1.2.10"},
                                         {"device_name", "Corvane"}, {"device_serial", "CV123456"}, {"sweep_rate", "50"},
                                         {"date", "2024-01-31"}, {"time", "09:05:07"}, {"folder", "2024-01-31_Folder_2"},
                                         {"meas_mode", "LOG"}, {"antenna", "UHF"}, {"bandwidth", "5000"},
                                         {"preamplifier", "Off"}, {"calibrator", "On"}};
        for (const QString& editenv : {QString("echo 'CV123456,'"), QString("exit 1")}) {
            root.installScript("/bin/editenv", editenv);
            QDomDocument document;
            QDomElement element = createRecordRoot(document, "spectrum", 1);
            appendCommonHeader(document, element, editenv == "exit 1" ? 0 : 0x0102000Au, "2024-01-31_Folder_2",
                               QDateTime(QDate(2024, 1, 31), QTime(9, 5, 7)));
            appendReceiverGroup(document, element, Configuration::MEAS_MODE_LOG, Configuration::ANTENNA_UHF, 5000, false, true);
            QMap<QString, QString> texts;
            QStringList order;
            for (QDomElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
                texts.insert(e.tagName(), e.text()), order << e.tagName();
            QCOMPARE(texts, expected);
            QCOMPARE(order.mid(0, 3), QStringList({"system", "software_version", "fpga_version"}));
            QCOMPARE(document.documentElement().attribute("version"), QStringLiteral("1"));
            expected["device_serial"] = "Unknown"; // an unreadable serial
            expected["fpga_version"] = "0.0.0";
        }
    }

    // Record and picture land together in folders made for them, between remounts, or nothing.
    void saving_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("mountFails");
        QTest::addColumn<bool>("withPicture");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QStringList>("mounts");
        const QStringList pair {"mount / -o remount,rw", "mount / -o remount,ro"};
        QTest::newRow("new folders") << "/data/corvane_data/CV1/4711/2024-01-31_Folder" << false << true << true << pair;
        QTest::newRow("no picture") << "/data/records" << false << false << true << pair;
        QTest::newRow("remount fails") << "/data/records" << true << true << false << QStringList(pair.mid(0, 1));
        QTest::newRow("a file in the folder's way") << "/data/blocked/records" << false << true << false << pair;
    }
    void saving()
    {
        QFETCH(QString, folder);
        QFETCH(bool, mountFails);
        QFETCH(bool, withPicture);
        QFETCH(bool, saved);
        TestRoot root;
        QVERIFY(root.installMount() && root.writeFile("/data/blocked", "x"));
        root.setMountFails(mountFails);
        const QString path = root.path(folder);
        QCOMPARE(saveMeasurement("spectrum", withPicture ? picture() : QPixmap(), record(), path), saved);
        QTEST(root.mountLog(), "mounts");
        const QStringList files = QDir(path).entryList(QDir::Files);
        QCOMPARE(files.size(), saved ? (withPicture ? 2 : 1) : 0); // nothing left by the atomic writes
        QCOMPARE(QFileInfo::exists(path), saved);
        if (!saved)
            return;
        QVERIFY(QRegularExpression("^spectrum_\\d{8}_\\d{6}\\.xml$").match(files.last()).hasMatch());
        QFile file(path + "/" + files.last());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<spectrum version=\"1\">\n"
                                          "  <gating_time>20</gating_time>\n"));
        if (withPicture) {
            QCOMPARE(QFileInfo(files.first()).completeBaseName(), QFileInfo(files.last()).completeBaseName());
            QCOMPARE(QImage(path + "/" + files.first()).size(), QSize(64, 48));
        }
        // A second save in the same second replaces the pair.
        while (QTime::currentTime().msec() > 200)
            QThread::msleep(20);
        QVERIFY(saveMeasurement("spectrum", picture(), record(1), path + "/again"));
        QVERIFY(saveMeasurement("spectrum", picture(), record(2), path + "/again"));
        QCOMPARE(QDir(path + "/again").entryList(QDir::Files).size(), 2);
    }

    void grabScreenTakesTheMainWindow()
    {
        QMainWindow window;
        window.setFixedSize(640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(grabScreen().size(), QSize(640, 480));
    }

    // The highest running index among today's folders of a name (-1: none, 0: the plain name).
    void folderIndex_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        const QString d = QDate::currentDate().toString("yyyy-MM-dd");
        const QString yesterday = QDate::currentDate().addDays(-1).toString("yyyy-MM-dd");
        QTest::newRow("other days and names only") << QStringList {yesterday + "_Site_7", d + "_Other_4"} << "Site" << -1;
        QTest::newRow("plain and indexed") << QStringList {d + "_Site", d + "_Site_3"} << "Site" << 3;
        QTest::newRow("no digits after underscore") << QStringList {d + "_Site_x"} << "Site" << 0;
        QTest::newRow("largest, not newest") << QStringList {d + "_Site_12", d + "_Site_2", d + "_Site_9"} << "Site" << 12;
        QTest::newRow("empty name, indexed") << QStringList {d, d + "_1", d + "_5"} << "" << 5;
        QTest::newRow("regex characters are literal") << QStringList {d + "_SiteX_4", d + "_Site.(1_2"} << "Site.(1" << 2;
        QTest::newRow("dot matches only a dot") << QStringList {d + "_aXb_6"} << "a.b" << -1;
        QTest::newRow("huge index ignored") << QStringList {d + "_Site_99999999999", d + "_Site_4"} << "Site" << 4;
        QTest::newRow("only real folders count") << QStringList {"file:" + d + "_Site_8", "link:" + d + "_Site_9", d + "_Site_1"}
                                                 << "Site" << 1;
    }
    void folderIndex()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, name);
        QTemporaryDir dir, elsewhere;
        for (const QString& folder : folders) {
            if (folder.startsWith("file:"))
                QFile(dir.filePath(folder.mid(5))).open(QIODevice::WriteOnly);
            else if (folder.startsWith("link:"))
                QVERIFY(QFile::link(elsewhere.path(), dir.filePath(folder.mid(5))));
            else
                QVERIFY(QDir(dir.path()).mkpath(folder));
        }
        QTEST(findHighestFolderIndex(dir.path(), name), "expected");
        QCOMPARE(findHighestFolderIndex(dir.path() + "/does/not/exist", name), -1);
    }

    // Four slots, empty ones without attributes; a slot stored before its sweep completed keeps
    // the range of its sweep, so its points keep their frequencies when read back.
    void roundTrip()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        const QString path = RecallFile::path("recall.xml", "/data");
        QCOMPARE(path, root.path("/data/recall.xml"));
        QVector<RecallFile::Trace> traces(4);
        traces[0] = {"RC1", sweep(501, 100, 600, -60)};
        traces[3] = {"Partial", sweep(300, 150, 1000, -70)};
        const QDomDocument document = RecallFile::build(traces);
        const QDomElement empty = document.documentElement().childNodes().at(1).toElement();
        QVERIFY(empty.tagName() == "freeze" && !empty.hasAttributes() && empty.text().isEmpty());
        QVERIFY(RecallFile::write(document, path));
        QVERIFY(root.readFile("/data/recall.xml").startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<recall>\n  <freeze"));
        QCOMPARE(root.mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
        const QVector<RecallFile::Slot> loaded = RecallFile::read(path);
        QCOMPARE(loaded.size(), 4);
        QVERIFY(loaded[0].present && !loaded[1].present && !loaded[2].present && loaded[3].present);
        QCOMPARE(loaded[0].name, QStringLiteral("RC1"));
        QCOMPARE(QString("%1 %2 %3").arg(loaded[0].freqMin).arg(loaded[0].freqMax).arg(loaded[0].values.size()), QStringLiteral("100 600 501"));
        QCOMPARE(loaded[0].values.at(10), -59.9);
        QCOMPARE(QString("%1 %2 %3").arg(loaded[3].freqMin).arg(loaded[3].freqMax).arg(loaded[3].values.size()), QStringLiteral("150 1000 300"));
        QCOMPARE(RecallFile::rangeEnd({}, 501), 0.0);
        QCOMPARE(RecallFile::rangeEnd({{300, -1}}, 501), 300.0);
        QCOMPARE(RecallFile::rangeEnd(sweep(2, 200, 700, -50), 501), 700.0);
        // A failed remount or a folder that cannot take the temporary file keeps the previous file.
        root.setMountFails(true);
        QVERIFY(!RecallFile::write(RecallFile::build({}), path));
        root.setMountFails(false);
        QVERIFY(!RecallFile::write(RecallFile::build({}), root.path("/data/missing/recall.xml")));
        QCOMPARE(RecallFile::read(path).size(), 4);
        QCOMPARE(QDir(root.path("/data")).entryList(QDir::Files), QStringList({"recall.xml"}));
    }

    // Bad files load nothing; odd content follows the reading rules: a long slot keeps all its
    // values, attributes that are not unsigned integers and values that are not finite numbers
    // read 0 (an empty part between two blanks too), other elements and a fifth slot are ignored.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("loaded"); // name freqMin freqMax values
        QByteArray values;
        for (int i = 0; i < 600; ++i)
            values += (i ? " " : "") + QByteArray::number(-i);
        QTest::newRow("missing") << QByteArray("missing") << QStringList();
        QTest::newRow("not xml") << QByteArray("this is not xml at all") << QStringList();
        QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\"?>\n<recall>\n  <freeze name=\"A\" freqMin=\"150\">-50 -5")
                                   << QStringList();
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe<recall>", 12) << QStringList();
        QTest::newRow("odd content") << "<recall><freeze name=\"Long\" freqMin=\"200\" freqMax=\"700\">" + values
                                            + "</freeze><freeze freqMin=\"abc\" freqMax=\"-5.5\">1 x  nan inf 1e999 2.5</freeze>"
                                              "<other>ignored</other><freeze name=\"Empty\" freqMin=\"1\" freqMax=\"2\"></freeze>"
                                              "<freeze name=\"Fourth\" freqMin=\"150.5\" freqMax=\"1000\">-1</freeze>"
                                              "<freeze name=\"Fifth\" freqMin=\"150\" freqMax=\"1000\">-2</freeze></recall>"
                                     << QStringList {"Long 200 700 600:-599", " 0 0 1,0,0,0,0,0,2.5", "-", "Fourth 150 1000 -1"};
    }
    void reading()
    {
        QFETCH(QByteArray, content);
        TestRoot root;
        if (content != "missing")
            QVERIFY(root.writeFile("/data/recall.xml", content));
        QStringList loaded;
        for (const RecallFile::Slot& slot : RecallFile::read(root.path("/data/recall.xml"))) {
            QStringList numbers;
            for (double value : slot.values)
                numbers << QString::number(value);
            const QString values = slot.values.size() > 100 ? QString("%1:%2").arg(slot.values.size()).arg(slot.values.last()) : numbers.join(',');
            loaded << (slot.present ? QString("%1 %2 %3 %4").arg(slot.name).arg(slot.freqMin).arg(slot.freqMax).arg(values) : "-");
        }
        QTEST(loaded, "loaded");
    }
};

CORVANE_TEST_MAIN(TestStorage)
#include "tst_storage.moc"
