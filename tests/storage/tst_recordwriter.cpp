#include "common/TestRoot.h"
#include "storage/RecordWriter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QThread>
#include <QtTest>

class TestRecordWriter : public QObject
{
    Q_OBJECT

private:
    static QStringList childTags(const QDomElement& root)
    {
        QStringList tags;
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            tags << e.tagName();
        return tags;
    }
    static QDomDocument sampleDocument()
    {
        QDomDocument document;
        QDomElement root = createRecordRoot(document, QStringLiteral("spectrum"), 1);
        root.appendChild(createTextElement(document, QStringLiteral("gating_time"), QStringLiteral("20")));
        return document;
    }
    static QPixmap samplePicture()
    {
        QPixmap picture(64, 48);
        picture.fill(Qt::red);
        return picture;
    }
    // Waits for the start of a fresh second, so that two saves fall into the same one.
    static void waitForFreshSecond()
    {
        while (QTime::currentTime().msec() > 200)
            QThread::msleep(20);
    }

private slots:
    void fileNamesFollowScreenAndMoment()
    {
        const QDateTime moment(QDate(2024, 1, 31), QTime(14, 25, 1));
        QCOMPARE(recordTimeStamp(moment), QStringLiteral("20240131_142501"));
        QCOMPARE(recordFilePath(QStringLiteral("/data/x"), QStringLiteral("spectrum"), recordTimeStamp(moment),
                                QStringLiteral("xml")),
                 QStringLiteral("/data/x/spectrum_20240131_142501.xml"));
    }

    void seriesTextHasSixSignificantDigits()
    {
        const QVector<QPointF> points{{150, -50.0}, {151.7, -73.123456}, {153.4, 0.0000001234}, {155, 12345678}};
        QCOMPARE(seriesText(points), QStringLiteral("-50 -73.1235 1.234e-07 1.23457e+07"));
        QCOMPARE(seriesText({}), QString());
        QDomDocument document;
        const QDomElement element = createSeriesElement(document, QStringLiteral("max"), points);
        QCOMPARE(element.tagName(), QStringLiteral("max"));
        QCOMPARE(element.text(), seriesText(points));
        QVERIFY(!element.hasAttributes());
    }

    void textElementHoldsOneTextChild()
    {
        QDomDocument document;
        const QDomElement element = createTextElement(document, QStringLiteral("system"), QString());
        QCOMPARE(element.childNodes().count(), 1);
        QVERIFY(element.firstChild().isText());
        QCOMPARE(createTextElement(document, QStringLiteral("a"), QStringLiteral("<&>")).text(),
                 QStringLiteral("<&>"));
    }

    void commonHeaderAndReceiverGroup()
    {
        TestRoot root;
        root.installScript(QStringLiteral("/bin/editenv"), QStringLiteral("echo 'CV123456,'"));
        QDomDocument document;
        QDomElement rootElement = createRecordRoot(document, QStringLiteral("spectrum"), 1);
        const QDateTime moment(QDate(2024, 1, 31), QTime(9, 5, 7));
        appendCommonHeader(document, rootElement, 0x0102000Au, QStringLiteral("2024-01-31_Folder_2"), moment);
        appendReceiverGroup(document, rootElement, Configuration::MEAS_MODE_LOG, Configuration::ANTENNA_UHF, 5000,
                            false, true);
        QCOMPARE(document.documentElement().tagName(), QStringLiteral("spectrum"));
        QCOMPARE(document.documentElement().attribute(QStringLiteral("version")), QStringLiteral("1"));
        QCOMPARE(childTags(rootElement),
                 QStringList({"system", "software_version", "fpga_version", "device_name", "device_serial",
                              "sweep_rate", "date", "time", "folder", "meas_mode", "antenna", "bandwidth",
                              "preamplifier", "calibrator"}));
        auto text = [&](const char* tag) { return rootElement.firstChildElement(QLatin1String(tag)).text(); };
        QCOMPARE(text("system"), QString());
        QCOMPARE(text("software_version"), QStringLiteral("2.0.14"));
        QCOMPARE(text("fpga_version"), QStringLiteral("1.2.10"));
        QCOMPARE(text("device_name"), QStringLiteral("Corvane"));
        QCOMPARE(text("device_serial"), QStringLiteral("CV123456"));
        QCOMPARE(text("sweep_rate"), QStringLiteral("50"));
        QCOMPARE(text("date"), QStringLiteral("2024-01-31"));
        QCOMPARE(text("time"), QStringLiteral("09:05:07"));
        QCOMPARE(text("folder"), QStringLiteral("2024-01-31_Folder_2"));
        QCOMPARE(text("meas_mode"), QStringLiteral("LOG"));
        QCOMPARE(text("antenna"), QStringLiteral("UHF"));
        QCOMPARE(text("bandwidth"), QStringLiteral("5000"));
        QCOMPARE(text("preamplifier"), QStringLiteral("Off"));
        QCOMPARE(text("calibrator"), QStringLiteral("On"));
    }

    void unreadableSerialIsUnknown()
    {
        TestRoot root;
        root.installScript(QStringLiteral("/bin/editenv"), QStringLiteral("exit 1"));
        QDomDocument document;
        QDomElement rootElement = createRecordRoot(document, QStringLiteral("level"), 1);
        appendCommonHeader(document, rootElement, 0, QString());
        QCOMPARE(rootElement.firstChildElement(QStringLiteral("device_serial")).text(), QStringLiteral("Unknown"));
        QCOMPARE(rootElement.firstChildElement(QStringLiteral("fpga_version")).text(), QStringLiteral("0.0.0"));
    }

    void saveWritesRecordAndPictureIntoNewFolders()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        const QString folder = root.path(QStringLiteral("/data/corvane_data/CV1/4711/2024-01-31_Folder"));
        QVERIFY(saveMeasurement(QStringLiteral("spectrum"), samplePicture(), sampleDocument(), folder));
        const QStringList xml = QDir(folder).entryList({QStringLiteral("spectrum_*.xml")});
        const QStringList png = QDir(folder).entryList({QStringLiteral("spectrum_*.png")});
        QCOMPARE(xml.size(), 1);
        QCOMPARE(png.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^spectrum_\\d{8}_\\d{6}\\.xml$")).match(xml.first()).hasMatch());
        QCOMPARE(QFileInfo(xml.first()).completeBaseName(), QFileInfo(png.first()).completeBaseName());
        QFile file(folder + QLatin1Char('/') + xml.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<spectrum version=\"1\">\n"
                                   "  <gating_time>20</gating_time>\n"));
        QCOMPARE(QImage(folder + QLatin1Char('/') + png.first()).size(), QSize(64, 48));
        QCOMPARE(root.mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
        // Nothing left behind by the atomic writes.
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    }

    void nullPictureWritesOnlyTheRecord()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        const QString folder = root.path(QStringLiteral("/data/records"));
        QVERIFY(saveMeasurement(QStringLiteral("level"), QPixmap(), sampleDocument(), folder));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
        QVERIFY(QDir(folder).entryList(QDir::Files).first().endsWith(QLatin1String(".xml")));
    }

    void twoSavesInOneSecondLeaveOnePair()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        const QString folder = root.path(QStringLiteral("/data/records"));
        waitForFreshSecond();
        saveMeasurement(QStringLiteral("time"), samplePicture(), sampleDocument(), folder);
        QDomDocument second;
        createRecordRoot(second, QStringLiteral("time"), 2);
        saveMeasurement(QStringLiteral("time"), samplePicture(), second, folder);
        const QStringList files = QDir(folder).entryList(QDir::Files);
        QCOMPARE(files.size(), 2);
        QFile file(folder + QLatin1Char('/') + QDir(folder).entryList({QStringLiteral("*.xml")}).first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("version=\"2\""));
    }

    void failedRemountWritesNothing()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        root.setMountFails(true);
        const QString folder = root.path(QStringLiteral("/data/records"));
        QVERIFY(!saveMeasurement(QStringLiteral("spectrum"), samplePicture(), sampleDocument(), folder));
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(root.mountLog(), QStringList({"mount / -o remount,rw"}));
    }

    void unwritableFolderWritesNothingAndUnmounts()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        // A file where a folder level should be: the record folder cannot be created.
        QVERIFY(root.writeFile(QStringLiteral("/data/blocked"), "x"));
        const QString folder = root.path(QStringLiteral("/data/blocked/records"));
        QVERIFY(!saveMeasurement(QStringLiteral("spectrum"), samplePicture(), sampleDocument(), folder));
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(root.mountLog(), QStringList({"mount / -o remount,rw", "mount / -o remount,ro"}));
    }

    void grabScreenTakesTheMainWindow()
    {
        QMainWindow window;
        window.setFixedSize(640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPixmap picture = grabScreen();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), QSize(640, 480));
    }
};

QTEST_MAIN(TestRecordWriter)
#include "tst_recordwriter.moc"
