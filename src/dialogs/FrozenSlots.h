#pragma once

#include <QPointF>
#include <QString>
#include <QVector>

class OverridingPlotData;
class QwtPlotCurve;
class StoreRecallDialog;

// The spectrum screen's four frozen traces: a sweep series and a named curve per slot, kept in
// the stored curves file so that they survive a restart, and shown in the store/recall dialog.
// GUI thread only (the acquisition thread never touches them).
class FrozenSlots {
public:
    static const int COUNT = 4;
    static const int NAME_LENGTH = 10;

    FrozenSlots();
    ~FrozenSlots();
    FrozenSlots(const FrozenSlots&) = delete;
    FrozenSlots& operator=(const FrozenSlots&) = delete;

    OverridingPlotData* series(int slot) const { return m_series[slot]; }
    QwtPlotCurve* curve(int slot) const { return m_curves[slot]; }
    QString title(int slot) const;
    bool isFilled(int slot) const;

    // Copies a trace's points (slot positions and all) into a slot.
    void store(int slot, const OverridingPlotData& trace);
    // A slot always has a name: an empty one is refused (false); longer ones are cut.
    bool rename(int slot, const QString& name);
    // Empties every slot and gives it its default name back.
    void clearAll();

    // The stored curves file at path: written inside the remount bracket (false when nothing
    // was written), read once at start (a missing or broken file changes nothing).
    bool exportTo(const QString& path) const;
    void importFrom(const QString& path);

    // The dialog's rows as the slots stand: names, enabled rows, show/hide marks (shownSlots:
    // bit i for slot i), and the clear-all button only while a slot holds a trace.
    void prepare(StoreRecallDialog* dialog, int shownSlots) const;
    // Marks the select button of a row shown or hidden.
    static void markShown(StoreRecallDialog* dialog, int slot, bool shown);

private:
    static QString defaultTitle(int slot);

    OverridingPlotData* m_series[COUNT];
    QwtPlotCurve* m_curves[COUNT];
};
