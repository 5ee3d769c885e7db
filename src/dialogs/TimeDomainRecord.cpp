#include "dialogs/TimeDomainRecord.h"

#include "dialogs/TimeDomainAccumulator.h"
#include "dialogs/TimeDomainDialog.h"
#include "storage/RecordWriter.h"

#include <QStringList>

#include <algorithm>

namespace {

void appendText(QDomDocument& document, QDomElement& root, const char* tag, const QString& text)
{
    root.appendChild(createTextElement(document, QLatin1String(tag), text));
}

} // namespace

QDomDocument TimeDomainRecord::build(const Values& values, const TimeDomainAccumulator& data)
{
    QDomDocument document;
    QDomElement root = createRecordRoot(document, TimeDomainDialog::NAME, 1);
    appendCommonHeader(document, root, values.fpgaVersion, values.folder, values.moment);
    appendReceiverGroup(document, root, values.measMode, values.antenna, values.bandwidth, values.preamplifierOn,
                        values.calibratorOn);

    const int persistency = data.persistency();
    appendText(document, root, "gating_periodes", QStringLiteral("1"));
    appendText(document, root, "persistency",
               persistency == 0 ? QStringLiteral("Infinite") : QString::number(persistency));
    appendText(document, root, "frequency", QString::number(values.frequency));
    appendText(document, root, "sync", Configuration::keyName(values.sync));
    appendText(document, root, "synchronized", values.synchronized ? QStringLiteral("Yes") : QStringLiteral("No"));
    appendText(document, root, "linear_amplifier", QString::number(values.linearAmplifier));
    appendText(document, root, "pulsemode", onOffText(values.pulseMode));
    appendText(document, root, "maxQuantity", QString::number(values.maxQuantity));
    appendText(document, root, "phase", Configuration::keyName(values.phase));
    appendText(document, root, "activity", QString::number(values.activity));
    appendText(document, root, "activityLevel", QString::number(data.activityLevel()));
    appendText(document, root, "activityVoltage", QString::number(values.activityVoltage, 'g', 6));
    appendText(document, root, "minAmplitude", QString::number(data.ampMin()));
    appendText(document, root, "maxAmplitude", QString::number(data.ampMax()));

    const double period = 1000.0 / std::max(1, values.sweepRate);
    if (persistency == 1) {
        const std::vector<quint32>& sweep = data.firstKeptSweep();
        QStringList samples;
        samples.reserve(int(sweep.size()));
        for (quint32 value : sweep)
            samples << QString::number(value);
        appendText(document, root, "nsamples", QString::number(sweep.size()));
        QDomElement timescale = document.createElement(QStringLiteral("timescale"));
        timescale.setAttribute(QStringLiteral("min"), QStringLiteral("0"));
        timescale.setAttribute(QStringLiteral("max"), QString::number(period, 'f', 2));
        root.appendChild(timescale);
        appendText(document, root, "max", samples.join(QLatin1Char(' ')));
        return document;
    }

    const int r = data.resolution();
    const double step = period / TimeDomainAccumulator::MAX_SAMPLES;
    QStringList times;
    QStringList samples;
    QStringList pixels;
    QStringList quantities;
    for (int x = 0; x < TimeDomainAccumulator::MAX_SAMPLES; x += r) {
        for (int y = 0; y < PersistenceImage::HEIGHT; y += r) {
            const int quantity = data.image().quantity(x, y);
            if (quantity <= 0)
                continue;
            times << QString::number(x * step, 'f', 2);
            samples << QString::number(data.pixelToValue(y));
            pixels << QString::number(y);
            quantities << QString::number(quantity);
        }
    }
    appendText(document, root, "times", times.join(QLatin1Char(' ')));
    appendText(document, root, "sample", samples.join(QLatin1Char(' ')));
    appendText(document, root, "quantity", quantities.join(QLatin1Char(' ')));
    appendText(document, root, "pixel", pixels.join(QLatin1Char(' ')));
    return document;
}
