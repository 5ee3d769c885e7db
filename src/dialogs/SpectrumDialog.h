#pragma once

#include "dialogs/SetupDialog.h"
#include "dialogs/StoreRecallDialog.h"
#include "dialogs/SweepTasks.h"
#include "dialogs/ValueSelectDialog.h"
#include "storage/SpectrumRecordBody.h"
#include "util/Configuration.h"

#include <QMutex>
#include <QPolygon>
#include <QString>
#include <QWidget>

namespace Ui {
class SpectrumDialog;
}

class DataWorker;
class FrozenSlots;
class LiveSpectrumTraces;
class OverridingPlotData;
class PlotZoomer;
class QwtPlotCurve;
class QwtPlotGrid;
class QwtPlotLegendItem;
class QwtPlotZoneItem;
class SpectrumMarkers;

// The swept-spectrum screen. It sets the receiver up for a sweep (LOG detector, UHF path,
// bandwidth, preamplifier, offset amplifier), runs the acquisition worker over the chosen range,
// turns every finished step into dBm and keeps the live traces (maximum, average, reference
// maximum, reference average, difference) and four frozen traces in sweep series that a 150 ms
// display timer copies into the plot. The operator places four markers by tapping the plot (their
// frequencies go to the time-domain and level settings), zooms by dragging, picks the traces,
// keeps traces in four frozen slots, saves records, stops and restarts the sweep, and (while the
// autodetection is switched on) runs the autodetection from the stop button.
//
// Threads: onMeasurementFinished runs on the worker's thread. It touches the series and the
// members it shares with the GUI thread only under m_dataLock, and reaches the GUI only through
// zero-delay single shots. Everything else runs on the GUI thread.
class SpectrumDialog : public QWidget {
    Q_OBJECT

public:
    static const QString NAME;
    static const int SLOT_COUNT = 501;
    static const int FREEZE_COUNT = 4;

    enum CurveSelect {
        CURVE_NONE = 0,
        CURVE_MAX = 1,
        CURVE_AVG = 2,
        CURVE_REF_MAX = 4,
        CURVE_REF_AVG = 8,
        CURVE_DIFF = 16,
        CURVE_FREEZE_1 = 32,
        CURVE_FREEZE_2 = 64,
        CURVE_FREEZE_3 = 128,
        CURVE_FREEZE_4 = 256
    };
    Q_DECLARE_FLAGS(CurveSelects, CurveSelect)
    Q_FLAG(CurveSelects)
    static const int LIVE_CURVE_MASK = CURVE_MAX | CURVE_AVG | CURVE_REF_MAX | CURVE_REF_AVG | CURVE_DIFF;
    static const int FREEZE_CURVE_MASK = CURVE_FREEZE_1 | CURVE_FREEZE_2 | CURVE_FREEZE_3 | CURVE_FREEZE_4;

    enum Task {
        TASK_NONE = SweepTasks::NONE,
        TASK_SAVE = SweepTasks::SAVE,
        TASK_STOP = SweepTasks::STOP,
        TASK_FREEZE = SweepTasks::FREEZE
    };
    Q_DECLARE_FLAGS(Tasks, Task)
    Q_FLAG(Tasks)

    SpectrumDialog(DataWorker* worker, QWidget* parent = nullptr);
    ~SpectrumDialog() override;

    // The five live flags in their fixed order (max, avg, ref max, ref avg, diff).
    static QList<CurveSelect> liveCurveOrder();
    // The selected live flags in that order.
    static QList<CurveSelect> selectedLiveCurves(CurveSelects curves);
    // The frozen slot's flag (slot 0..3).
    static CurveSelect freezeCurve(int slot);
    // The trace value of one step: P/dBm = level + (linearised - offset) / factor.
    static double toDbm(double linearised, int level, int offset, double factor);
    // The difference trace's rule for the values a and b of one slot.
    static double differenceValue(double a, double b);
    // A selection after a change of the trace selection: at least one live trace, and the
    // difference only beside exactly two others.
    static CurveSelects repairedSelection(CurveSelects curves);

    // State read by the operator functions and by tests (GUI thread).
    CurveSelects curves() const;
    int freqMin() const { return m_freqMin; }
    int freqMax() const { return m_freqMax; }
    int ampMin() const { return m_ampMin; }
    int ampMax() const { return m_ampMax; }
    int gatingTime() const { return m_gatingTime; }
    int bandwidth() const { return m_bandwidth; }
    unsigned frequencyStep() const { return m_frequencyStep; }
    int calibrationLevel() const;
    int calibrationOffset() const;
    double calibrationFactor() const;
    bool isPllLocked() const;
    bool isReferencePhase() const;
    Tasks tasks() const;
    bool isTimerRunning() const { return m_timerId != 0; }
    // The series and curve of a flag (a single live or freeze flag), null for others. Read the
    // series under dataLock() while the worker runs.
    OverridingPlotData* series(CurveSelect curve) const;
    QwtPlotCurve* curve(CurveSelect curve) const;
    QMutex* dataLock() { return &m_dataLock; }
    QwtPlotZoneItem* sweepCursor() const { return m_sweepCursor; }
    DataWorker* dataWorker() const { return m_worker; }
    SpectrumMarkers* markers() const { return m_markers; }
    FrozenSlots* frozenSlots() const { return m_frozen; }
    PlotZoomer* zoomer() const { return m_zoomer; }
    // The autodetection's corrected trace in dBm, null before the first run.
    QwtPlotCurve* autodetectionCurve() const { return m_autodetectionCurve; }
    // What a record saved now would hold after its header (the phase as given).
    SpectrumRecordBody recordBody(Configuration::Phase phase) const;
    // Hands the selected series to their curves and moves the sweep cursor: the display tick's
    // work before the replot.
    void updateCurves();

signals:
    void exit();
    void gotoSetup(SetupDialog::Dialog dialog);

public slots:
    void exec();
    void setFrequencyRange(int freqMin, int freqMax, bool save = false);
    void setAmplitudeRange(int ampMin, int ampMax, bool save = false);
    void setGatingTime(int gatingPeriodes, bool save = false);
    void setBandwidth(int bandwidth, bool save = false);
    void setAntenna(Configuration::Antenna antenna);
    void setPreamplifier(bool enable);
    void setOffsetAmplifierValue(int linamplifier);
    // The calibration triple the steps are converted with (setPreamplifier loads it from the
    // calibration store).
    void setCalibration(int level, int offset, double factor);
    void setCurves(SpectrumDialog::CurveSelects curves, bool save = false);
    // Marks a freeze of the live trace `source` into frozen slot `target` (0..3); it is carried
    // out by handleTasks once the sweep is complete.
    void requestFreeze(int target, SpectrumDialog::CurveSelect source);

    void onMeasurementFinished(quint32 frequency, const quint32* minValues, const quint32* avgValues,
        const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement);

    void startDataWorker();
    void stopDataWorker();
    void pauseDataWorker();
    void resumeDataWorker();
    void startTimer();
    void stopTimer();
    void updatePlot();
    void updatePlotLegend();
    void onDataCompleted();
    void handleTasks();

    void setActiveMarker(int index);
    void moveMarker(int index, unsigned freq);
    void clearAllMarkers();
    void zoomPolygon(QPolygon polygon, qint64 duration);
    void updateRefOptions(ValueSelectDialog::Options options);
    void onRefOptionClicked(ValueSelectDialog::Option* option);
    void onStoreRecallOptionClicked(StoreRecallDialog::Button button, int index);

    void exportRecall(const QString& file, const QString& dir);
    void exportRecall(const QString& file);
    void exportRecall();
    void importRecall(const QString& file, const QString& dir);
    void importRecall(const QString& file);
    void importRecall();

    void on_MarkerButton_clicked();
    void on_RefButton_clicked();
    void on_StoreRecallButton_clicked();
    void on_SaveButton_clicked();
    void on_ExitButton_clicked();
    void on_SetupSpectrumButton_clicked();
    void on_StopButton_clicked(bool checked);

protected:
    void timerEvent(QTimerEvent* event) override;

private slots:
    // Queued from the worker's thread.
    void showPllUnlocked();

private:
    // Which live trace a flag stands for (index into the live arrays), -1 for none.
    static int liveIndex(CurveSelect curve);
    QString maxTitle() const;
    QString refMaxTitle() const;
    void setStopIcon(bool stopped);
    // The slot of a reported frequency in the running sweep, -1 for none (under m_dataLock).
    int slotOf(quint32 frequency) const;
    // Runs the pending save and freeze when their sweep is complete (or, unless the sweep must
    // be complete, when no worker is running); otherwise tells the operator to wait.
    void runRequests(bool needCompleteSweep);
    void freezeTrace();
    void saveRecord();
    // Stops measuring before another page is shown; requests whose sweep is complete are still
    // carried out, the others are dropped.
    void leave();
    void runAutodetection();
    void showAutodetectionTrace(const QVector<QPointF>& counts);
    void handOverMarkers();
    void freezeIntoSlot(int slot);

    Ui::SpectrumDialog* ui;
    QwtPlotGrid* m_grid;
    QwtPlotZoneItem* m_sweepCursor;
    QwtPlotLegendItem* m_legendItem;
    PlotZoomer* m_zoomer;
    QwtPlotCurve* m_liveCurves[5];
    // Guarded by m_dataLock (the acquisition thread fills them).
    LiveSpectrumTraces* m_live;
    // GUI thread only.
    FrozenSlots* m_frozen;
    int m_freezeTarget;
    CurveSelect m_freezeSource;
    SpectrumMarkers* m_markers;
    QwtPlotCurve* m_autodetectionCurve;
    DataWorker* m_worker;
    int m_timerId;
    SweepTasks m_tasks;
    // True between exec() and leaving the screen: queued work for the screen does nothing while
    // another page may be using the shared worker.
    bool m_active;
    // handleTasks runs dialogs with event loops of their own; a second call meanwhile waits.
    bool m_handlingTasks;
    // The trace options while the trace selection is open.
    ValueSelectDialog::Options m_refOptions;

    // Shared with the worker's thread: guarded by m_dataLock.
    bool m_referencePhase;
    int m_freqMin;
    int m_freqMax;
    int m_ampMin;
    int m_ampMax;
    int m_calibrationLevel;
    int m_calibrationOffset;
    double m_calibrationFactor;
    int m_gatingTime;
    int m_bandwidth;
    unsigned m_frequencyStep;
    bool m_pllLocked;
    CurveSelects m_curves;
    // The range and step the live series are measured over (set when measuring starts; the shown
    // range may change by a zoom while stopped).
    int m_sweepMin;
    int m_sweepMax;
    unsigned m_sweepStep;
    // The max hold setting as it stood when measuring started: the settings store belongs to
    // the GUI thread, the handler reads this copy.
    bool m_maxHold;
    // Where the sweep cursor goes at the next display tick (MHz); the plot item itself is only
    // touched by the GUI thread.
    double m_cursorFrequency;
    // The last raw average of a step (counts), shown by the service entries of the info bar.
    double m_lastAverageRaw;
    mutable QMutex m_dataLock;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SpectrumDialog::CurveSelects)
Q_DECLARE_OPERATORS_FOR_FLAGS(SpectrumDialog::Tasks)
