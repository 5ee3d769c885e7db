#pragma once

#include <QDomDocument>
#include <QPointF>
#include <QString>
#include <QVector>

// The stored curves file "recall.xml": the four frozen traces of the spectrum screen, one
// "freeze" element per slot, so that they survive a restart.
class RecallFile
{
public:
    static const int SLOT_COUNT = 4;

    // One frozen trace as the screen holds it.
    struct Trace
    {
        QString title;
        QVector<QPointF> points;
    };

    // One "freeze" element as read back. Only a slot with `present` set is loaded; its values are
    // to be added again over [freqMin, freqMax] so that the x positions follow the slot rule.
    struct Slot
    {
        bool present = false;
        QString name;
        quint32 freqMin = 0;
        quint32 freqMax = 0;
        QVector<double> values;
    };

    // The document of the four traces (missing traces are written as empty slots). slotCount is
    // the number of slots of one sweep of the traces.
    static QDomDocument build(const QVector<Trace>& traces, int slotCount = 501);
    // The sweep range a trace's points were measured over: its first x, and the x its last slot
    // would have (the x of the last point once the sweep is complete). Written as the range, so
    // that a trace stored before its sweep completed keeps its frequencies when read back.
    static double rangeEnd(const QVector<QPointF>& points, int slotCount);
    // Writes the document to the full path inside the remount bracket. The file is replaced
    // atomically: a power loss during the write leaves the previous file. False when nothing was
    // written.
    static bool write(const QDomDocument& document, const QString& fileName);
    // Reads at most four slots (index = position in the file). A missing, unreadable or
    // malformed file gives no slots.
    static QVector<Slot> read(const QString& fileName);
    // dir (a board path such as "/data") + the native separator + file, below the platform root.
    static QString path(const QString& file, const QString& dir);
};
