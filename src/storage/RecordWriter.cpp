#include "storage/RecordWriter.h"

#include "plot/OverridingPlotData.h"
#include "util/SoftwareVersion.h"
#include "util/SystemHelper.h"

#include <QApplication>
#include <QDate>
#include <QDebug>
#include <QDir>
#include <QGuiApplication>
#include <QMainWindow>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QTextCodec>
#include <QTextStream>
#include <QWidget>

#include <limits>

namespace {

const char* const DEVICE_NAME = "Corvane";

bool writeDocument(const QDomDocument& document, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream stream(&file);
    stream.setCodec(QTextCodec::codecForName("UTF-8"));
    // The stream's encoding policy writes the XML declaration naming the stream's encoding.
    document.save(stream, 2, QDomNode::EncodingFromTextStream);
    stream.flush();
    if (stream.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool writePicture(const QPixmap& picture, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (!picture.save(&file, "png")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QWidget* findMainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget))
            return widget;
    }
    return QApplication::activeWindow();
}

} // namespace

bool saveMeasurement(const QString& name, const QPixmap& picture, const QDomDocument& document, const QString& folder)
{
    if (!SystemHelper::mountData()) {
        qDebug() << "saveMeasurement(): the file system could not be made writable";
        return false;
    }
    bool written = false;
    QDir directory(folder);
    if (!directory.exists())
        directory.mkpath(QStringLiteral("."));
    if (directory.exists()) {
        const QString stamp = recordTimeStamp(QDateTime::currentDateTime());
        const QString recordFile = recordFilePath(folder, name, stamp, QStringLiteral("xml"));
        const QString pictureFile = recordFilePath(folder, name, stamp, QStringLiteral("png"));
        // The picture goes first: a record is only listed by its XML file, so a picture
        // without its XML is never shown as a half record, and it is removed again below.
        const bool pictureWritten = picture.isNull() || writePicture(picture, pictureFile);
        written = pictureWritten && writeDocument(document, recordFile);
        if (!written) {
            qDebug() << "saveMeasurement(): record not written in" << folder;
            if (!picture.isNull())
                QFile::remove(pictureFile);
        }
    } else {
        qDebug() << "saveMeasurement(): no record folder" << folder;
    }
    SystemHelper::unmountData();
    return written;
}

QPixmap grabScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QPixmap();
    QPixmap picture;
    if (QWidget* window = findMainWindow())
        picture = screen->grabWindow(window->winId(), 0, 0, -1, -1);
    if (picture.isNull())
        picture = screen->grabWindow(0);
    return picture;
}

QDomElement createTextElement(QDomDocument& document, const QString& tag, const QString& text)
{
    QDomElement element = document.createElement(tag);
    element.appendChild(document.createTextNode(text));
    return element;
}

QString seriesText(const QVector<QPointF>& points)
{
    QString text;
    text.reserve(points.size() * 9);
    for (int i = 0; i < points.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text += QString::number(points.at(i).y(), 'g', 6);
    }
    return text;
}

QDomElement createSeriesElement(QDomDocument& document, const QString& tag, const QVector<QPointF>& points)
{
    return createTextElement(document, tag, seriesText(points));
}

QDomElement createSeriesElement(QDomDocument& document, const QString& tag, const OverridingPlotData& series)
{
    return createSeriesElement(document, tag, *series.getConstData());
}

QString recordTimeStamp(const QDateTime& moment)
{
    return QStringLiteral("%1_%2").arg(moment.toString(QStringLiteral("yyyyMMdd")),
                                       moment.toString(QStringLiteral("hhmmss")));
}

QString recordFilePath(const QString& folder, const QString& name, const QString& stamp, const QString& suffix)
{
    return QStringLiteral("%1/%2_%3.%4").arg(folder, name, stamp, suffix);
}

QDomElement createRecordRoot(QDomDocument& document, const QString& name, int version)
{
    QDomElement root = document.createElement(name);
    root.setAttribute(QStringLiteral("version"), version);
    document.appendChild(root);
    return root;
}

void appendCommonHeader(QDomDocument& document, QDomElement& root, quint32 fpgaVersion,
                        const QString& relativeFolder, const QDateTime& moment)
{
    root.appendChild(createTextElement(document, QStringLiteral("system"), QString()));
    root.appendChild(createTextElement(document, QStringLiteral("software_version"), SoftwareVersion::text()));
    root.appendChild(
        createTextElement(document, QStringLiteral("fpga_version"), SystemHelper::fpgaVersionText(fpgaVersion)));
    root.appendChild(createTextElement(document, QStringLiteral("device_name"), QLatin1String(DEVICE_NAME)));
    root.appendChild(createTextElement(document, QStringLiteral("device_serial"),
                                       SystemHelper::productId(QStringLiteral("Unknown"))));
    root.appendChild(
        createTextElement(document, QStringLiteral("sweep_rate"),
                          QString::number(Configuration::getValue(Configuration::VT_SweepRate, QStringLiteral("system")))));
    root.appendChild(createTextElement(document, QStringLiteral("date"), moment.toString(QStringLiteral("yyyy-MM-dd"))));
    root.appendChild(createTextElement(document, QStringLiteral("time"), moment.toString(QStringLiteral("HH:mm:ss"))));
    root.appendChild(createTextElement(document, QStringLiteral("folder"), relativeFolder));
}

void appendReceiverGroup(QDomDocument& document, QDomElement& root, Configuration::MeasMode measMode,
                         Configuration::Antenna antenna, int bandwidth, bool preamplifierOn, bool calibratorOn)
{
    root.appendChild(createTextElement(document, QStringLiteral("meas_mode"), Configuration::keyName(measMode)));
    root.appendChild(createTextElement(document, QStringLiteral("antenna"), Configuration::keyName(antenna)));
    root.appendChild(createTextElement(document, QStringLiteral("bandwidth"), QString::number(bandwidth)));
    root.appendChild(createTextElement(document, QStringLiteral("preamplifier"), onOffText(preamplifierOn)));
    root.appendChild(createTextElement(document, QStringLiteral("calibrator"), onOffText(calibratorOn)));
}

QString onOffText(bool on)
{
    return on ? QStringLiteral("On") : QStringLiteral("Off");
}

int findHighestFolderIndex(const QString& path, const QString& folderName)
{
    // QDir("") would be the working folder.
    if (path.isEmpty())
        return -1;
    const QFileInfoList entries
        = QDir(path).entryInfoList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Time | QDir::Reversed);

    // The folder name is the operator's text: it is matched literally, so that a name such as
    // "Site (2)" or "a+b" neither breaks the pattern nor matches other folders.
    QString pattern = QRegularExpression::escape(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    if (!folderName.isEmpty())
        pattern += QStringLiteral("_%1").arg(QRegularExpression::escape(folderName));
    pattern += QStringLiteral("(_(\\d*))?");
    const QRegularExpression expression(pattern);

    int result = -1;
    for (const QFileInfo& entry : entries) {
        const QRegularExpressionMatch match = expression.match(entry.fileName());
        if (!match.hasMatch())
            continue;
        bool ok = false;
        const uint index = match.captured(2).isEmpty() ? 0u : match.captured(2).toUInt(&ok, 10);
        // An index too large to be followed by another one is ignored rather than wrapped.
        if (!match.captured(2).isEmpty() && (!ok || index >= uint(std::numeric_limits<int>::max())))
            continue;
        if (int(index) > result)
            result = int(index);
    }
    return result;
}
