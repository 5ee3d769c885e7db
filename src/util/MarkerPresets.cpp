#include "util/MarkerPresets.h"

#include "util/Configuration.h"

#include <QCoreApplication>
#include <QVariant>

namespace {

const QString PATH = QStringLiteral("markers");
const QString FREQUENCIES = QStringLiteral("frequencies");
const QString AMPLITUDES = QStringLiteral("amplitudes");

QVariantList toVariants(const QList<int>& values)
{
    QVariantList list;
    list.reserve(values.size());
    for (int value : values)
        list.append(value);
    return list;
}

// Entries that are not whole numbers are dropped: the lists are only ever written by store(),
// but a value that does not convert must not turn into a preset at 0 MHz.
QList<int> toInts(const QVariant& value)
{
    QList<int> list;
    for (const QVariant& entry : value.toList()) {
        bool ok = false;
        const int number = entry.toInt(&ok);
        if (ok)
            list.append(number);
    }
    return list;
}

} // namespace

void MarkerPresets::store(const QList<int>& frequencies, const QList<int>& amplitudes)
{
    Configuration::setValue(FREQUENCIES, toVariants(frequencies), PATH);
    Configuration::setValue(AMPLITUDES, toVariants(amplitudes), PATH);
}

QList<int> MarkerPresets::frequencies()
{
    return toInts(Configuration::value(FREQUENCIES, PATH, QVariant()));
}

QList<int> MarkerPresets::amplitudes()
{
    return toInts(Configuration::value(AMPLITUDES, PATH, QVariant()));
}

QList<QPair<int, QString>> MarkerPresets::frequencyPresets()
{
    QList<QPair<int, QString>> presets;
    const QList<int> list = frequencies();
    for (int i = 0; i < list.size(); ++i) {
        presets.append(qMakePair(list.at(i),
            QStringLiteral("%1 %2\n[%3 %4]")
                .arg(list.at(i))
                .arg(QCoreApplication::translate("MarkerPresets", "MHz"),
                    QCoreApplication::translate("MarkerPresets", "Marker"))
                .arg(i + 1)));
    }
    return presets;
}

bool MarkerPresets::amplitudeAt(int frequency, int* amplitude)
{
    const int index = frequencies().indexOf(frequency);
    const QList<int> levels = amplitudes();
    if (index < 0 || index >= levels.size())
        return false;
    *amplitude = levels.at(index);
    return true;
}
