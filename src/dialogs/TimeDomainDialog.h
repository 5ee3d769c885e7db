#pragma once

#include "dialogs/SetupDialog.h"
#include "dialogs/TimeDomainAccumulator.h"
#include "util/Calibration.h"
#include "util/Configuration.h"

#include <QDomDocument>
#include <QImage>
#include <QMutex>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <functional>

namespace Ui {
class TimeDomainDialog;
}

class DataWorker;
class ImagePlot;
class QPushButton;
class QwtPlotCurve;
class QwtPlotGrid;
class QwtPlotLegendItem;
class QwtPlotMarker;
class QwtPlotPicker;

// The phase-resolved screen. The receiver stays at one frequency with the RMS detector; the
// worker delivers one block of 500 detector maxima per mains period, started by the sync
// source (internal field probe, the two sensors, or the radio link from a mains sensor). Each
// sweep is drawn into the persistence image (phase across, amplitude up), so that discharges
// recurring at the same phase build up bright clusters over the reference sine; persistency 1
// shows the newest sweep as a line instead. The activity figure tells how far the samples rise
// above the activity level, which a tap on the plot sets.
//
// Threads: onMeasurementFinished runs on the worker's thread and touches the accumulator and
// the task flags only under m_dataLock; it reaches the GUI only through zero-delay single
// shots. Painting never reads the worker's raster: every display tick copies it under the lock
// into m_displayImage, which belongs to the GUI thread alone and is what the plot paints.
// Everything else runs on the GUI thread.
class TimeDomainDialog : public QWidget
{
    Q_OBJECT

public:
    static const QString NAME;

    enum Task { TASK_NONE = 0, TASK_SAVE = 1 };
    Q_DECLARE_FLAGS(Tasks, Task)

    TimeDomainDialog(DataWorker* worker, QWidget* parent = nullptr);
    ~TimeDomainDialog() override;

    // State (GUI thread).
    int sweepRate() const { return m_sweepRate; }
    int frequency() const { return m_frequency; }
    int bandwidth() const { return m_bandwidth; }
    int volume() const { return m_volume; }
    int activity() const { return m_activity; }
    Configuration::Sync sync() const { return m_sync; }
    Configuration::Antenna antenna() const { return m_antenna; }
    int calibrationLevel() const { return m_lowLevel; }
    int calibrationOffset() const { return m_offset; }
    double calibrationFactor() const { return m_factor; }
    int activityLevel() const;
    int persistency() const;
    quint64 count() const;
    Tasks tasks() const;
    bool isTimerRunning() const { return m_timerId != 0; }
    qint64 syncDeadline() const { return m_syncDeadline; }
    int expectedInterruptCount() const { return m_expectedInterrupts; }
    // The collected data; read it under dataLock() while the worker runs.
    const TimeDomainAccumulator& data() const { return m_data; }
    QMutex* dataLock() { return &m_dataLock; }
    ImagePlot* plot() const;
    QwtPlotCurve* lineCurve() const { return m_lineCurve; }
    QwtPlotCurve* referenceCurve() const { return m_referenceCurve; }
    // Seconds since the epoch for the sync time-out (time() unless replaced).
    void setClock(std::function<qint64()> clock);

    // The record of the data as it stands, with the given phase.
    QDomDocument recordDocument(Configuration::Phase phase);
    // One display tick: the sync time-out, the line or the raster copy, the activity, the info
    // bar, the replot.
    void updateTick();

signals:
    void exit();
    void gotoSetup(SetupDialog::Dialog dialog);

public slots:
    void exec();
    void setSweepRate(int sweepRate);
    void setFrequency(int freq, bool save = false);
    void setAmplitudeRange(int ampMin, int ampMax);
    void setBandwidth(int bandwidth, bool save = false);
    void setVolume(int volume);
    void setSync(Configuration::Sync sync, bool save = false);
    void setPersistency(int persistency, bool save = false);
    void setAntenna(Configuration::Antenna antenna);
    void setMeasureMode(Configuration::MeasMode mode);
    void setLinearAmplifierValue(int value);
    void setOffsetAmplifierValue(int value);
    void setActivityLevel(int level, bool save = false);
    void setPreamplifier(bool enable);
    void setResolution(Configuration::Resolution resolution);

    void onMeasurementFinished(quint32 frequency, const quint32* minValues, const quint32* avgValues,
                               const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement);
    void onDataCompleted();
    void handleTasks();
    void levelSelect(const QPointF& pos);

    void startDataWorker();
    void stopDataWorker();
    void restartDataWorker();
    void pauseDataWorker();
    void resumeDataWorker();
    void startTimer();
    void stopTimer();
    void updatePlot();
    void updatePlotLegend();

    int valueToPixel(int value) const;
    quint32 pixelToValue(int pixel) const;
    int valueToCoordinate(quint32 value) const;
    double calcActivityVoltage() const;

    void resetSyncTimeout();
    void processSyncTimeout();

    void on_FreqButton_clicked();
    void on_SyncButton_clicked();
    void on_VolumeButton_clicked();
    void on_LinearAmplifierButton_clicked();
    void on_SaveButton_clicked();
    void on_SetupTimeButton_clicked();
    void on_ExitButton_clicked();

protected:
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool isLineMode() const;
    // The period of the mains in ms, the length of the time axis.
    double period() const;
    void setCalibration(int lowLevel, Calibration::ValueType offset, Calibration::ValueType factor);
    void saveRecord();

    Ui::TimeDomainDialog* ui;
    QwtPlotGrid* m_grid;
    QwtPlotLegendItem* m_legendItem;
    QwtPlotPicker* m_picker;
    QwtPlotMarker* m_levelMarker;
    QwtPlotCurve* m_referenceCurve;
    QwtPlotCurve* m_lineCurve;
    QPushButton* m_clearButton;
    DataWorker* m_worker;
    int m_timerId;
    qint64 m_syncDeadline;
    int m_expectedInterrupts;
    std::function<qint64()> m_clock;
    int m_sweepRate;
    int m_frequency;
    int m_activity;
    int m_lowLevel;
    int m_offset;
    double m_factor;
    // Replaces a factor of 0 (which the calibration store allows) when the level is converted.
    double m_defaultFactor;
    int m_bandwidth;
    Configuration::Sync m_sync;
    int m_volume;
    Configuration::Antenna m_antenna;
    Configuration::MeasMode m_measureMode;
    // The sync fell back while the worker waited for a save: it restarts once the save is done.
    bool m_restartOwed;
    bool m_handlingTasks;
    // GUI thread only: what the plot paints.
    QImage m_displayImage;

    // Shared with the worker's thread: guarded by m_dataLock.
    TimeDomainAccumulator m_data;
    Tasks m_tasks;
    mutable QMutex m_dataLock;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TimeDomainDialog::Tasks)
