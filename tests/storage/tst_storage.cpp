// The files the instrument keeps: measurement records with their pictures, the record folders'
// running index, the stored curves, and the record index pages.
#include "common/TestMain.h"
#include "common/TestRoot.h"
#include "storage/HtmlIndex.h"
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
    // "name freqMin freqMax values" for each slot ("-": empty); more than 100 values as "count:last".
    static QStringList summary(const QVector<RecallFile::Slot>& recalled)
    {
        QStringList loaded;
        for (const RecallFile::Slot& slot : recalled) {
            QStringList numbers;
            for (double value : slot.values)
                numbers << QString::number(value);
            const QString values = slot.values.size() > 100 ? QString("%1:%2").arg(slot.values.size()).arg(slot.values.last()) : numbers.join(',');
            loaded << (slot.present ? QString("%1 %2 %3 %4").arg(slot.name).arg(slot.freqMin).arg(slot.freqMax).arg(values) : "-");
        }
        return loaded;
    }

private slots:
    // The record's file name, text and series elements, and its header and receiver group in document order.
    void recordDocument()
    {
        const QDateTime moment(QDate(2024, 1, 31), QTime(14, 25, 1));
        QCOMPARE(recordFilePath("/data/x", "spectrum", recordTimeStamp(moment), "xml"), QStringLiteral("/data/x/spectrum_20240131_142501.xml"));
        const QVector<QPointF> points {{150, -50.0}, {151.7, -73.123456}, {153.4, 0.0000001234}, {155, 12345678}};
        QDomDocument document;
        QCOMPARE(createSeriesElement(document, "max", points).text(), QStringLiteral("-50 -73.1235 1.234e-07 1.23457e+07"));
        const QDomElement empty = createTextElement(document, "system", QString());
        QVERIFY(empty.childNodes().count() == 1 && empty.firstChild().isText());
        QCOMPARE(createTextElement(document, "a", "<&>").text(), QStringLiteral("<&>"));
        TestRoot root;
        QStringList expected {"system=", "software_version=2.0.14", "fpga_version=1.2.10", "device_name=Corvane",
                              "device_serial=CV123456", "sweep_rate=50", "date=2024-01-31", "time=09:05:07",
                              "folder=2024-01-31_Folder_2", "meas_mode=LOG", "antenna=UHF", "bandwidth=5000",
                              "preamplifier=Off", "calibrator=On"};
        for (const QString& editenv : {QString("echo 'CV123456,'"), QString("exit 1")}) {
            root.installScript("/bin/editenv", editenv);
            QDomDocument document;
            QDomElement element = createRecordRoot(document, "spectrum", 1);
            appendCommonHeader(document, element, editenv == "exit 1" ? 0 : 0x0102000Au, "2024-01-31_Folder_2",
                               QDateTime(QDate(2024, 1, 31), QTime(9, 5, 7)));
            appendReceiverGroup(document, element, Configuration::MEAS_MODE_LOG, Configuration::ANTENNA_UHF, 5000, false, true);
            QStringList texts; // in document order
            for (QDomElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
                texts << e.tagName() + "=" + e.text();
            QCOMPARE(texts, expected);
            expected[2] = "fpga_version=0.0.0";
            expected[4] = "device_serial=Unknown"; // an unreadable serial
        }
    }

    // Record and picture land together in folders made for them, between remounts, or nothing.
    void saving_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("mountFails");
        QTest::addColumn<bool>("withPicture");
        QTest::addColumn<bool>("saved");
        QTest::newRow("new folders") << "/data/corvane_data/CV1/4711/2024-01-31_Folder" << false << true << true;
        QTest::newRow("no picture") << "/data/records" << false << false << true;
        QTest::newRow("remount fails") << "/data/records" << true << true << false;
        QTest::newRow("a file in the folder's way") << "/data/blocked/records" << false << true << false;
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
        const QStringList pair {"mount / -o remount,rw", "mount / -o remount,ro"};
        QCOMPARE(root.mountLog(), mountFails ? QStringList(pair.first()) : pair);
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
        traces[1] = {"One", {{300, -1}}};
        traces[3] = {"Partial", sweep(300, 150, 1000, -70)};
        const QDomDocument document = RecallFile::build(traces);
        const QDomElement empty = document.documentElement().childNodes().at(2).toElement();
        QVERIFY(empty.tagName() == "freeze" && !empty.hasAttributes() && empty.text().isEmpty());
        QVERIFY(RecallFile::write(document, path));
        QVERIFY(root.readFile("/data/recall.xml").startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<recall>\n  <freeze"));
        QCOMPARE(root.mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
        QCOMPARE(summary(RecallFile::read(path)),
                 QStringList({"RC1 100 600 501:-55", "One 300 300 -1", "-", "Partial 150 1000 300:-67.01"}));
        QCOMPARE(RecallFile::rangeEnd({}, 501), 0.0);
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
        QTest::addColumn<QStringList>("loaded"); // as summary() gives it
        QByteArray values;
        for (int i = 0; i < 600; ++i)
            values += (i ? " " : "") + QByteArray::number(-i);
        QTest::newRow("missing") << QByteArray("missing") << QStringList();
        QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\"?>\n<recall>\n  <freeze name=\"A\" freqMin=\"150\">-50 -5")
                                   << QStringList();
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
        QTEST(summary(RecallFile::read(root.path("/data/recall.xml"))), "loaded");
    }
};

// The record index over a small tree: the template rules, escaping, the order of folders and
// traces, the settings tables, the resource paths and breadcrumbs, and valid pages.
class TestHtmlIndex : public QObject
{
    Q_OBJECT

    TestRoot m_root;
    QString data() const { return m_root.path(QStringLiteral("/data/corvane_data")); }
    QString page(const QString& folder) const
    {
        return QString::fromUtf8(m_root.readFile("/data/corvane_data/CV-1/" + folder + "/index.html"));
    }
    void record(const QString& file, const QByteArray& body, int minutesOld, bool picture = false)
    {
        const QString path = "/data/corvane_data/CV-1/" + file;
        QVERIFY(m_root.writeFile(path, body));
        QFile f(m_root.path(path));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesOld), QFileDevice::FileModificationTime));
        if (picture)
            QVERIFY(m_root.writeFile(path.chopped(3) + "png", "png"));
    }
    // The marker-free parts of the page in document order, e.g. the folder links.
    static QStringList all(const QString& text, const QString& pattern)
    {
        QStringList found;
        auto it = QRegularExpression(pattern).globalMatch(text);
        while (it.hasNext())
            found << it.next().captured(1);
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.installMount());
        QVERIFY(m_root.installScript(QStringLiteral("/bin/editenv"), QStringLiteral("echo 'CV-1,'")));
        const QString weird = QStringLiteral("S\u00e9 <b>&\"#x###TITLE###");
        for (const QString& folder : {QStringLiteral("Site/2024-02-01/deep"), QStringLiteral("2024-01-31"),
                                      QStringLiteral("2024-02-01_A"), weird})
            QVERIFY(QDir().mkpath(data() + "/CV-1/" + folder));
        record("Site/spectrum_20240201_101500.xml",
               "<?xml version=\"1.0\"?><spectrum version=\"1\"><sweep_rate>50</sweep_rate><preamplifier>Off</preamplifier>"
               "<max_hold>On</max_hold><phase>L2</phase><x><phase>L3</phase></x><max>1 2</max></spectrum>", 10, true);
        record("Site/time_20240201_101000.xml",
               "<time version=\"1\"><sweep_rate>60</sweep_rate><preamplifier>On</preamplifier><linear_amplifier>67"
               "</linear_amplifier><synchronized>Yes</synchronized><maxQuantity>20</maxQuantity><phase>Q&lt;&amp;"
               "</phase></time>", 5); // copied: older file, newer name
        record("Site/level_broken.xml", "<level><phase>L1</level>", 1);
        record("Site/spectrum_other.xml", "<algorithm version=\"1\"><nsamples>501</nsamples></algorithm>", 2);
        record("Site/algorithm_20240201_100000.xml", "<algorithm/>", 3);
        record(weird + "/level_20240131_235959.xml", "<level><phase>Unspecified</phase></level>", 0, true);
        QVERIFY(m_root.writeFile(QStringLiteral("/data/corvane_data/res/style.css"), "kept"));
        QVERIFY(HtmlIndex::generateIndex(QStringLiteral("/data/corvane_data")));
    }

    // The template rules (rows with key/value pairs) and the escaping of text (rows without).
    void templateRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("expected");
        QTest::newRow("placeholder") << "a###K###b###K###" << QStringList{"K", "x"} << "axbx";
        QTest::newRow("block replaced whole") << "a###K_BEGIN###b###K###c###K_END###d" << QStringList{"K", "v"} << "avd";
        QTest::newRow("empty block: placeholders") << "###K_BEGIN######K_END###-###K###" << QStringList{"K", "v"} << "-v";
        QTest::newRow("no end marker") << "###K_BEGIN###b###K###" << QStringList{"K", "v"} << "bv";
        QTest::newRow("later key sees earlier") << "###A###" << QStringList{"A", "###B###", "B", "x"} << "x";
        QTest::newRow("earlier key does not") << "###B###" << QStringList{"A", "y", "B", "###A###"} << "";
        QTest::newRow("case-sensitive, leftovers removed") << "1###k###2###Z###3" << QStringList{"K", "v"} << "123";
        const QStringList none;
        QTest::newRow("escaped markup and marker") << "<a&b>\"'#" << none << "&#60;a&#38;b&#62;&#34;&#39;&#35;";
        QTest::newRow("127 and 128 are no text") << QString("~\u007f\u0080") << none << "~&#65533;&#65533;";
        QTest::newRow("above 128") << QString("\u00a0\u00e4") << none << "&#160;&#228;";
        QTest::newRow("astral plane: one reference") << QString::fromUtf8("\xf0\x9f\x98\x80") << none << "&#128512;";
        QTest::newRow("control character") << QString("a\u0001b\tc") << none << "a&#65533;b\tc";
    }
    void templateRules()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        HtmlTemplate::Values map;
        for (int i = 0; i + 1 < values.size(); i += 2)
            map.insert(values.at(i), values.at(i + 1));
        QTEST(values.isEmpty() ? HtmlTemplate::escapeText(text) : HtmlTemplate::fillTemplate(text, map), "expected");
    }

    void pages_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("resources");
        QTest::addColumn<QStringList>("crumbs");
        QTest::newRow("top") << "." << "../res" << QStringList{"index.html"};
        QTest::newRow("traces") << "Site" << "../../res" << QStringList{"../index.html", "index.html"};
        QTest::newRow("two levels down") << "Site/2024-02-01" << "../../../res"
                                         << QStringList{"../../index.html", "../index.html", "index.html"};
        QTest::newRow("escaped name") << QString("S\u00e9 <b>&\"#x###TITLE###") << "../../res"
                                      << QStringList{"../index.html", "index.html"};
    }
    void pages()
    {
        QFETCH(QString, folder);
        const QString html = page(folder);
        QFETCH(QString, resources);
        QVERIFY(html.contains("href=\"" + resources + "/style.css\""));
        QCOMPARE(all(html, "(?s)(<div class=\"breadcrumb\">.*?</div>)").size(), 1);
        QTEST(all(html, "href=\"((?:\\.\\./)*index\\.html)\""), "crumbs");
        QVERIFY(!html.contains("###"));
        // Passes the HTML validator without a warning.
        QProcess tidy;
        tidy.start(QStringLiteral("tidy"), {"-q", "-e", m_root.path("/data/corvane_data/CV-1/" + folder + "/index.html")});
        QVERIFY2(tidy.waitForFinished(30000), "tidy (Debian package) is needed");
        QCOMPARE(QString::fromUtf8(tidy.readAllStandardError()), QString());
        QCOMPARE(tidy.exitCode(), 0);
    }

    // The top page lists the folders in order, escaped; the resources already there are kept.
    void topPageAndResources()
    {
        const QString html = page(QStringLiteral("."));
        QCOMPARE(all(html, "Folder.png\"[^>]*><a href=\"([^\"]*)\""),
                 (QStringList{"S%C3%A9%20%3Cb%3E%26%22%23x%23%23%23TITLE%23%23%23/index.html", "Site/index.html",
                              "2024-02-01_A/index.html", "2024-01-31/index.html"}));
        QVERIFY(html.contains(">S&#233; &#60;b&#62;&#38;&#34;&#35;x&#35;&#35;&#35;TITLE&#35;&#35;&#35;</a>"));
        QVERIFY(html.contains("S/N: CV-1<"));
        // A folder with nothing in it: headline and breadcrumb only.
        QVERIFY(!page(QStringLiteral("2024-01-31")).contains("<h3>"));
        QCOMPARE(m_root.readFile(QStringLiteral("/data/corvane_data/res/style.css")), QByteArray("kept"));
        for (const char* name : {"Home.png", "Folder.png", "Document.png", "LogoTovrin.png", "NoPicture.png"})
            QVERIFY(!QImage(data() + "/res/" + name).isNull());
    }

    void tracesWithSettings()
    {
        const QString html = page(QStringLiteral("Site"));
        QCOMPARE(all(html, "<a href=\"([^\"]*\\.xml)\">"),
                 (QStringList{"algorithm_20240201_100000.xml", "time_20240201_101000.xml",
                              "spectrum_20240201_101500.xml", "spectrum_other.xml", "level_broken.xml"}));
        QCOMPARE(all(html, "<b>([^<]*)</b>").mid(0, 2), (QStringList{"2024-02-01, 10:10:00", "2024-02-01, 10:15:00"}));
        QCOMPARE(all(html, "<tr><td>(.*?)</tr>"),
                 (QStringList{"Phase</td><td>Q&#60;&#38;</td>", "Preamplifier</td><td>On</td>",
                              "Amplifier</td><td>67</td>", "Maximum quantity</td><td>20</td>", "Sweep rate</td><td>60 Hz</td>",
                              "Phase</td><td>L2</td>", "Preamplifier</td><td>Off</td>", "Hold maximum</td><td>On</td>",
                              "Sweep rate</td><td>50 Hz</td>"}));
        // Only the record with a picture links one; the others show the placeholder.
        QCOMPARE(all(html, "src=\"([^\"]*)\" width=\"640\""),
                 (QStringList{"../../res/NoPicture.png", "spectrum_20240201_101500.png", "../../res/NoPicture.png",
                              "../../res/NoPicture.png"}));
        QCOMPARE(all(html, "<h3>(.*)</h3>"), (QStringList{"Folders (1)", "Autodetection algorithm (1)", "Traces (4)"}));
    }

    void nothingWithoutRemount()
    {
        QVERIFY(QFile::remove(data() + "/CV-1/index.html"));
        m_root.setMountFails(true);
        QVERIFY(!HtmlIndex::generateIndex(QStringLiteral("/data/corvane_data")));
        m_root.setMountFails(false);
        QVERIFY(!QFile::exists(data() + "/CV-1/index.html"));
    }
};

CORVANE_TEST_MAIN(TestStorage, TestHtmlIndex)
#include "tst_storage.moc"
