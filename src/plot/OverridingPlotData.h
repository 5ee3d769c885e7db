#pragma once

#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QVector>

#include <qwt_series_data.h>

// One trace of a repeating sweep: a fixed number of frequency slots filled in sweep order and,
// once the sweep has wrapped, overwritten slot by slot, so that a plot always shows the newest
// value of every frequency. Not locked: the screen that owns a series guards it with its own
// mutex when the acquisition thread fills it.
class OverridingPlotData : public QObject, public QwtSeriesData<QPointF> {
    Q_OBJECT

public:
    // slotCount is the number of frequency slots of one sweep (at least 1).
    explicit OverridingPlotData(int slotCount);

    Q_INVOKABLE void clear();
    Q_INVOKABLE int count() const;
    Q_INVOKABLE int getIndex() const;
    // True when the last added sample closed a full pass over every slot.
    Q_INVOKABLE bool isDataCompleted() const;

    // Adds y at the x of the current slot of a sweep from xMin to xMax; returns the slot used.
    Q_INVOKABLE int addSample(double xMin, double xMax, double y);
    // Appends until every slot is filled, then overwrites the current slot; returns the slot used.
    Q_INVOKABLE int addSample(const QPointF& sample);
    // Replaces a stored point; an index without a stored point is ignored.
    Q_INVOKABLE void setSample(int index, const QPointF& sample);
    // The stored point at index, or (0, 0) when there is none.
    Q_INVOKABLE QPointF getSample(int index) const;
    // The last point whose x lies strictly below frequency (slot 0 when none does), (0, 0) when
    // the series is empty.
    Q_INVOKABLE QPointF getSampleAtFrequency(int frequency) const;

    // The stored points in slot order, for QwtPlotCurve::setSamples and for iterating. (A curve
    // given the series itself with setData would take it over and delete it.)
    Q_INVOKABLE QVector<QPointF>* getData();
    Q_INVOKABLE const QVector<QPointF>* getConstData() const;

    // QwtSeriesData
    size_t size() const override;
    QPointF sample(size_t i) const override;
    QRectF boundingRect() const override;

private:
    QVector<QPointF> m_samples;
    int m_index;
    int m_size;
};
