#include "storage/SpectrumRecordBody.h"

#include "storage/RecordWriter.h"

void SpectrumRecordBody::appendTo(QDomDocument& document, QDomElement& root) const
{
    appendReceiverGroup(document, root, Configuration::MEAS_MODE_LOG, Configuration::ANTENNA_UHF, bandwidth,
        preamplifierOn, calibratorOn);
    const auto text = [&](const char* tag, const QString& value) {
        root.appendChild(createTextElement(document, QLatin1String(tag), value));
    };
    text("gating_time", QString::number(gatingTime));
    text("max_hold", onOffText(maxHold));
    text("minAmplitude", QString::number(ampMin));
    text("maxAmplitude", QString::number(ampMax));
    text("minFrequency", QString::number(freqMin));
    text("maxFrequency", QString::number(freqMax));
    text("phase", Configuration::keyName(phase));
    text("nsamples", QString::number(nsamples));
    QDomElement range = document.createElement(QStringLiteral("freq"));
    range.setAttribute(QStringLiteral("min"), freqMin);
    range.setAttribute(QStringLiteral("max"), freqMax);
    root.appendChild(range);
    for (const Trace& trace : traces) {
        QDomElement element = createSeriesElement(document, trace.tag, trace.points);
        if (!trace.name.isEmpty())
            element.setAttribute(QStringLiteral("name"), trace.name);
        root.appendChild(element);
    }
}
