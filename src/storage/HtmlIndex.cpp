#include "storage/HtmlIndex.h"

#include "util/Configuration.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QDate>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <QTime>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>

namespace {

const char kTemplate[] = ":/resources/templates/template.html";
const char kResources[] = ":/resources/templates/res";
// Shown in place of the screen picture of a record saved without one.
const char kNoPicture[] = "NoPicture.png";

QString readTemplate()
{
    QFile file{QLatin1String(kTemplate)};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    return stream.readAll();
}

bool writePage(const QString& fileName, const QString& page)
{
    // Replaced whole: a stick pulled or a full disk leaves the previous page, never half of one.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = page.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString upLevels(int count)
{
    return QStringLiteral("../").repeated(qMax(0, count));
}

// The moment a record was saved: the time stamp in its name "<screen>_<yyyyMMdd>_<hhmmss>", or,
// for a name without one, the moment the file was last written.
QDateTime recordMoment(const QFileInfo& file)
{
    const QStringList parts = file.completeBaseName().split(QLatin1Char('_'));
    if (parts.size() == 3) {
        const QDate day = QDate::fromString(parts.at(1), QStringLiteral("yyyyMMdd"));
        const QTime clock = QTime::fromString(parts.at(2), QStringLiteral("hhmmss"));
        if (day.isValid() && clock.isValid())
            return QDateTime(day, clock);
    }
    return file.lastModified();
}

// Oldest first. The saving moment in the name comes before the file's time, which a copy
// (cp -r, a FAT stick's 2 s steps) does not keep; equal moments go by name.
QFileInfoList recordFiles(const QDir& dir, const QStringList& patterns)
{
    const QFileInfoList files = dir.entryInfoList(patterns, QDir::Files | QDir::NoSymLinks, QDir::Unsorted);
    QVector<QPair<QDateTime, QFileInfo>> keyed;
    keyed.reserve(files.size());
    for (const QFileInfo& file : files)
        keyed.append({recordMoment(file), file});
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.fileName() < b.second.fileName();
    });
    QFileInfoList sorted;
    sorted.reserve(keyed.size());
    for (const auto& entry : keyed)
        sorted.append(entry.second);
    return sorted;
}

// Appends the block body of key, filled with values, to the list value listKey.
void appendFilled(HtmlTemplate::Values& values, const QString& listKey, const QString& body)
{
    values[listKey] += HtmlTemplate::fillTemplate(body, values);
}

} // namespace

bool HtmlIndex::generateIndex(const QString& rootPath)
{
    if (!SystemHelper::mountData())
        return false;
    const bool written = writeIndex(Platform::path(rootPath), SystemHelper::productId(QStringLiteral("Unknown")));
    SystemHelper::unmountData();
    return written;
}

bool HtmlIndex::writeIndex(const QString& rootPath, const QString& deviceId)
{
    const QString pageTemplate = readTemplate();
    if (pageTemplate.isEmpty()) {
        qDebug() << "HtmlIndex: the page template cannot be read";
        return false;
    }
    HtmlTemplate::Values values;
    values.insert(QStringLiteral("TITLE"), HtmlTemplate::escapeText(tr("Corvane Traces")));
    values.insert(QStringLiteral("DEVICE_NAME"), QStringLiteral("Corvane"));
    values.insert(QStringLiteral("DEVICE_SN"), HtmlTemplate::escapeText(deviceId));

    bool written = true;
    if (QFileInfo(QDir(rootPath).filePath(deviceId)).isDir())
        written = processFolder(rootPath, QStringList{deviceId}, pageTemplate, values);
    return copyResources(rootPath) && written;
}

bool HtmlIndex::processFolder(const QString& basePath, const QStringList& segments, const QString& pageTemplate,
                              const HtmlTemplate::Values& pageValues)
{
    HtmlTemplate::Values values = pageValues;
    const QDir dir(basePath + QLatin1Char('/') + segments.join(QLatin1Char('/')));
    const QString resources = upLevels(segments.size()) + QStringLiteral("res");
    values[QStringLiteral("RESOURCE_DIRECTORY")] = resources;

    // Breadcrumb: one link per level from the top down to this folder.
    const QString crumb = HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("BREADCRUMB_ELEMENT"));
    const QString currentCrumb = HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("BREADCRUMB_ELEMENT_CURRENT"));
    values[QStringLiteral("BREADCRUMB_ELEMENT")].clear();
    values[QStringLiteral("BREADCRUMB_ELEMENT_CURRENT")].clear();
    for (int i = 0; i < segments.size(); ++i) {
        values[QStringLiteral("BREADCRUMB_ELEMENT_LINK")] = upLevels(segments.size() - i - 1) + QStringLiteral("index.html");
        values[QStringLiteral("BREADCRUMB_ELEMENT_NAME")] = HtmlTemplate::escapeText(segments.at(i));
        const bool last = i == segments.size() - 1;
        appendFilled(values, last ? QStringLiteral("BREADCRUMB_ELEMENT_CURRENT") : QStringLiteral("BREADCRUMB_ELEMENT"),
                     last ? currentCrumb : crumb);
    }
    values[QStringLiteral("BREADCRUMB")] = HtmlTemplate::fillTemplate(HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("BREADCRUMB")), values);

    // Subfolders, listed and then written (each page gets its own copy of the values).
    bool written = true;
    const QFileInfoList folders = orderedSubfolders(dir.path());
    const QString folderBody = HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("FOLDERS_ELEMENT"));
    values[QStringLiteral("FOLDERS_ELEMENT")].clear();
    for (const QFileInfo& folder : folders) {
        values[QStringLiteral("FOLDERS_ELEMENT_NAME")] = HtmlTemplate::escapeText(folder.fileName());
        values[QStringLiteral("FOLDERS_ELEMENT_LINK")]
            = HtmlTemplate::encodeLink(folder.fileName()) + QStringLiteral("/index.html");
        appendFilled(values, QStringLiteral("FOLDERS_ELEMENT"), folderBody);
    }
    values[QStringLiteral("FOLDERS_COUNT")] = QString::number(folders.size());
    values[QStringLiteral("FOLDERS")]
        = folders.isEmpty() ? QString() : HtmlTemplate::fillTemplate(HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("FOLDERS")), values);
    for (const QFileInfo& folder : folders)
        written = processFolder(basePath, segments + QStringList{folder.fileName()}, pageTemplate, pageValues) && written;

    // Trace records with their picture and settings.
    const QFileInfoList traces = recordFiles(
        dir, {QStringLiteral("spectrum*.xml"), QStringLiteral("time*.xml"), QStringLiteral("level*.xml")});
    const QString traceBody = HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("TRACES_ELEMENT"));
    values[QStringLiteral("TRACES_ELEMENT")].clear();
    for (const QFileInfo& trace : traces) {
        const QDateTime moment = recordMoment(trace);
        const QString base = trace.completeBaseName();
        const QString picture = base + QStringLiteral(".png");
        values[QStringLiteral("TRACES_ELEMENT_DATE")] = moment.toString(QStringLiteral("yyyy-MM-dd"));
        values[QStringLiteral("TRACES_ELEMENT_TIME")] = moment.toString(QStringLiteral("hh:mm:ss"));
        values[QStringLiteral("TRACES_ELEMENT_IMAGE")] = QFileInfo::exists(dir.filePath(picture))
            ? HtmlTemplate::encodeLink(picture)
            : resources + QLatin1Char('/') + QLatin1String(kNoPicture);
        values[QStringLiteral("TRACES_ELEMENT_XML")] = HtmlTemplate::encodeLink(trace.fileName());
        values[QStringLiteral("TRACES_ELEMENT_INFO")] = traceInfo(trace.filePath());
        appendFilled(values, QStringLiteral("TRACES_ELEMENT"), traceBody);
    }
    values[QStringLiteral("TRACES_COUNT")] = QString::number(traces.size());
    values[QStringLiteral("TRACES")]
        = traces.isEmpty() ? QString() : HtmlTemplate::fillTemplate(HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("TRACES")), values);

    // Autodetection records: a link each.
    const QFileInfoList runs = recordFiles(dir, {QStringLiteral("algorithm*.xml")});
    const QString runBody = HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("AUTODETECTION_ELEMENT"));
    values[QStringLiteral("AUTODETECTION_ELEMENT")].clear();
    for (const QFileInfo& run : runs) {
        values[QStringLiteral("AUTODETECTION_ELEMENT_XML")] = HtmlTemplate::encodeLink(run.fileName());
        appendFilled(values, QStringLiteral("AUTODETECTION_ELEMENT"), runBody);
    }
    values[QStringLiteral("AUTODETECTION_COUNT")] = QString::number(runs.size());
    values[QStringLiteral("AUTODETECTION")] = runs.isEmpty()
        ? QString()
        : HtmlTemplate::fillTemplate(HtmlTemplate::extractBlock(pageTemplate, QStringLiteral("AUTODETECTION")), values);

    const QString page = HtmlTemplate::escapeHtml(HtmlTemplate::fillTemplate(pageTemplate, values));
    if (!writePage(dir.filePath(QStringLiteral("index.html")), page)) {
        qDebug() << "HtmlIndex: page not written in" << dir.path();
        written = false;
    }
    return written;
}

QFileInfoList HtmlIndex::orderedSubfolders(const QString& dir)
{
    static const QRegularExpression dated(QStringLiteral("\\d{4}-\\d{2}-\\d{2}"));
    const QFileInfoList all
        = QDir(dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name | QDir::Reversed);
    QFileInfoList undatedFirst;
    QFileInfoList datedLast;
    for (const QFileInfo& folder : all)
        (dated.match(folder.fileName()).hasMatch() ? datedLast : undatedFirst) << folder;
    return undatedFirst + datedLast;
}

QString HtmlIndex::traceInfo(const QString& recordFile)
{
    QFile file(recordFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();

    // Only direct children of the record's root count; the whole file must still be well-formed.
    static const QStringList wanted{QStringLiteral("phase"),           QStringLiteral("preamplifier"),
                                    QStringLiteral("max_hold"),        QStringLiteral("linear_amplifier"),
                                    QStringLiteral("maxQuantity"),     QStringLiteral("sweep_rate")};
    QMap<QString, QString> found;
    QXmlStreamReader xml(&file);
    if (xml.readNextStartElement()) {
        while (xml.readNextStartElement()) {
            const QString name = xml.name().toString();
            if (wanted.contains(name) && !found.contains(name))
                found.insert(name, xml.readElementText(QXmlStreamReader::SkipChildElements));
            else
                xml.skipCurrentElement();
        }
    }
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        return QString();

    const auto flag = [](const QString& text) {
        if (text == QLatin1String("Yes"))
            return tr("Yes");
        if (text == QLatin1String("No"))
            return tr("No");
        if (text == QLatin1String("On"))
            return tr("On");
        if (text == QLatin1String("Off"))
            return tr("Off");
        return text;
    };
    const auto phase = [](const QString& text) {
        const int value = Configuration::keyToValue(QStringLiteral("Phase"), QStringLiteral("PHASE_") + text);
        return value < 0 ? text : Configuration::toString(Configuration::Phase(value));
    };
    struct Row {
        const char* element;
        QString label;
        std::function<QString(const QString&)> value;
        QString unit;
    };
    const auto plain = [](const QString& text) { return text; };
    const Row rows[] = {
        {"phase", tr("Phase"), phase, QString()},
        {"preamplifier", tr("Preamplifier"), flag, QString()},
        {"max_hold", tr("Hold maximum"), flag, QString()},
        {"linear_amplifier", tr("Amplifier"), plain, QString()},
        {"maxQuantity", tr("Maximum quantity"), plain, QString()},
        {"sweep_rate", tr("Sweep rate"), plain, tr("Hz")},
    };

    QString rowsText;
    for (const Row& row : rows) {
        const auto it = found.constFind(QLatin1String(row.element));
        if (it == found.constEnd())
            continue;
        QString value = row.value(it.value());
        if (!row.unit.isEmpty())
            value += QLatin1Char(' ') + row.unit;
        rowsText += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n")
                    .arg(HtmlTemplate::escapeText(row.label), HtmlTemplate::escapeText(value));
    }
    // A table needs at least one row to be valid markup.
    if (rowsText.isEmpty())
        return QString();
    return QStringLiteral("<br><table class=\"settings\">\n") + rowsText + QStringLiteral("</table>\n");
}

bool HtmlIndex::copyResources(const QString& rootPath)
{
    const QDir target(QDir(rootPath).filePath(QStringLiteral("res")));
    if (!target.exists() && !QDir().mkpath(target.path()))
        return false;
    bool copied = true;
    const QDir source{QLatin1String(kResources)};
    for (const QString& name : source.entryList(QDir::Files)) {
        const QString destination = target.filePath(name);
        if (QFileInfo::exists(destination))
            continue;
        if (!QFile::copy(source.filePath(name), destination)) {
            copied = false;
            continue;
        }
        // Files from the program's resources are read-only; the copy on a stick need not be.
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return copied;
}
