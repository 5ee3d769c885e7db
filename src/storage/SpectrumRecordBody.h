#pragma once

#include "util/Configuration.h"

#include <QDomDocument>
#include <QDomElement>
#include <QPointF>
#include <QString>
#include <QVector>

// The body of a spectrum record, after the common header: the receiver set-up, the ranges, the
// phase, and one series element per shown trace ("max", "avg", "diff", "ref_max", "ref_avg",
// then "freeze1".."freeze4" with their names), in that order.
struct SpectrumRecordBody {
    struct Trace {
        QString tag;
        QString name; // written as the attribute "name" when not empty (the frozen traces)
        QVector<QPointF> points;
    };

    int bandwidth = 0;
    bool preamplifierOn = true;
    bool calibratorOn = false;
    int gatingTime = 0;
    bool maxHold = false;
    int ampMin = 0;
    int ampMax = 0;
    int freqMin = 0;
    int freqMax = 0;
    Configuration::Phase phase = Configuration::PHASE_Unspecified;
    int nsamples = 0; // points of the maximum trace
    QVector<Trace> traces; // shown traces only, in record order

    void appendTo(QDomDocument& document, QDomElement& root) const;
};
