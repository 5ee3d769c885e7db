#include "storage/RecallFile.h"

#include "storage/RecordWriter.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextStream>

#include <cmath>

namespace {

const QString FREEZE = QStringLiteral("freeze");

// The range attributes are whole MHz in practice; a last slot position that differs from a whole
// number only by rounding of the slot arithmetic is written as that whole number, because the
// reader accepts unsigned integers only.
QString rangeText(double x)
{
    const double whole = std::round(x);
    if (std::fabs(x - whole) < 1e-6 && whole >= 0.0 && whole <= 4294967295.0)
        return QString::number(static_cast<quint32>(whole));
    return QString::number(x, 'g', 17);
}

// Whole MHz. A slot stored before its sweep completed ends at a fractional position; such a
// value is truncated to whole MHz rather than read as 0, which would spread the points downwards
// from the start frequency. Anything that is not a non-negative number reads 0.
quint32 readUnsigned(const QDomElement& element, const QString& name)
{
    const QString text = element.attribute(name);
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (ok)
        return value;
    const double number = text.toDouble(&ok);
    if (ok && std::isfinite(number) && number >= 0.0 && number < 4294967296.0)
        return static_cast<quint32>(number);
    return 0u;
}

double readValue(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    // Not a number, or not a finite one: counts as 0 like any other unreadable value.
    return ok && std::isfinite(value) ? value : 0.0;
}

} // namespace

double RecallFile::rangeEnd(const QVector<QPointF>& points, int slotCount)
{
    if (points.isEmpty())
        return 0.0;
    const int n = points.size();
    if (n < 2 || n >= slotCount)
        return points.last().x();
    const double first = points.first().x();
    return first + (points.last().x() - first) * (slotCount - 1) / (n - 1);
}

QDomDocument RecallFile::build(const QVector<Trace>& traces, int slotCount)
{
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("recall"));
    document.appendChild(root);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const Trace trace = i < traces.size() ? traces.at(i) : Trace();
        QDomElement element = createSeriesElement(document, FREEZE, trace.points);
        if (!trace.points.isEmpty()) {
            element.setAttribute(QStringLiteral("name"), trace.title);
            element.setAttribute(QStringLiteral("freqMin"), rangeText(trace.points.first().x()));
            element.setAttribute(QStringLiteral("freqMax"), rangeText(rangeEnd(trace.points, slotCount)));
        }
        root.appendChild(element);
    }
    return document;
}

bool RecallFile::write(const QDomDocument& document, const QString& fileName)
{
    if (!SystemHelper::mountData())
        return false;
    bool written = false;
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream stream(&file);
        stream.setCodec(QTextCodec::codecForName("UTF-8"));
        document.save(stream, 2, QDomNode::EncodingFromTextStream);
        stream.flush();
        if (stream.status() == QTextStream::Ok)
            written = file.commit();
        else
            file.cancelWriting();
    }
    SystemHelper::unmountData();
    return written;
}

QVector<RecallFile::Slot> RecallFile::read(const QString& fileName)
{
    QVector<Slot> loaded;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return loaded;
    QDomDocument document;
    if (!document.setContent(&file, true))
        return loaded;
    for (QDomElement element = document.documentElement().firstChildElement(FREEZE);
         !element.isNull() && loaded.size() < SLOT_COUNT; element = element.nextSiblingElement(FREEZE)) {
        Slot slot;
        const QString text = element.text();
        if (!text.isEmpty()) {
            slot.present = true;
            slot.name = element.attribute(QStringLiteral("name"));
            slot.freqMin = readUnsigned(element, QStringLiteral("freqMin"));
            slot.freqMax = readUnsigned(element, QStringLiteral("freqMax"));
            const QVector<QStringRef> parts = text.splitRef(QLatin1Char(' '));
            slot.values.reserve(parts.size());
            for (const QStringRef& part : parts)
                slot.values.append(readValue(part.toString()));
        }
        loaded.append(slot);
    }
    return loaded;
}

QString RecallFile::path(const QString& file, const QString& dir)
{
    return Platform::path(dir) + QDir::separator() + file;
}
