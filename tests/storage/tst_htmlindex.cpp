#include "common/TestRoot.h"
#include "storage/HtmlIndex.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

// The record index over a small tree: the template rules, escaping, the order of folders and
// traces, the settings tables, the resource paths and breadcrumbs, and valid pages.
class TestHtmlIndex : public QObject
{
    Q_OBJECT

private:
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
    }
    void templateRules()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        HtmlTemplate::Values map;
        for (int i = 0; i + 1 < values.size(); i += 2)
            map.insert(values.at(i), values.at(i + 1));
        QTEST(HtmlTemplate::fillTemplate(text, map), "expected");
    }

    void escaping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("markup and marker") << "<a&b>\"'#" << "&#60;a&#38;b&#62;&#34;&#39;&#35;";
        QTest::newRow("127 and 128 are no text") << QString("~\u007f\u0080") << "~&#65533;&#65533;";
        QTest::newRow("above 128") << QString("\u00a0\u00e4") << "&#160;&#228;";
        QTest::newRow("outside the first plane: one reference") << QString::fromUtf8("\xf0\x9f\x98\x80") << "&#128512;";
        QTest::newRow("control character") << QString("a\u0001b\tc") << "a&#65533;b\tc";
    }
    void escaping()
    {
        QFETCH(QString, text);
        QTEST(HtmlTemplate::escapeText(text), "expected");
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

    void foldersInOrderEscaped()
    {
        const QString html = page(QStringLiteral("."));
        QCOMPARE(all(html, "Folder.png\"[^>]*><a href=\"([^\"]*)\""),
                 (QStringList{"S%C3%A9%20%3Cb%3E%26%22%23x%23%23%23TITLE%23%23%23/index.html", "Site/index.html",
                              "2024-02-01_A/index.html", "2024-01-31/index.html"}));
        QVERIFY(html.contains(">S&#233; &#60;b&#62;&#38;&#34;&#35;x&#35;&#35;&#35;TITLE&#35;&#35;&#35;</a>"));
        QVERIFY(html.contains("S/N: CV-1<"));
        // A folder with nothing in it: headline and breadcrumb only.
        QVERIFY(!page(QStringLiteral("2024-01-31")).contains("<h3>"));
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

    void resourcesCopiedOnce()
    {
        QCOMPARE(m_root.readFile(QStringLiteral("/data/corvane_data/res/style.css")), QByteArray("kept"));
        for (const char* name : {"Home.png", "Folder.png", "Document.png", "LogoTovrin.png", "NoPicture.png"})
            QVERIFY(!QImage(data() + "/res/" + name).isNull());
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

QTEST_MAIN(TestHtmlIndex)
#include "tst_htmlindex.moc"
