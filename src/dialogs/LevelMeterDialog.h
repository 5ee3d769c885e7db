#pragma once

#include "dialogs/SetupDialog.h"
#include "dialogs/SweepTasks.h"
#include "util/CalibrationTriple.h"
#include "util/Configuration.h"
#include "util/TwoPointCalibration.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QMutex>
#include <QPolygon>
#include <QString>
#include <QVector>
#include <QWidget>

namespace Ui {
class LevelMeterDialog;
}

class CustomScaleDraw;
class DataWorker;
class OverridingPlotData;
class PlotZoomer;
class QwtPlotCurve;
class QwtPlotGrid;
class QwtPlotZoneItem;

// The level meter: the level at one receive frequency over time. Each worker step (one gating
// time) gives one level, converted with the calibration of the detector in use (LOG in dBm, RMS
// and envelope in µV), and the strip chart shows the last 500 of them over 500 gating times.
// The operator zooms by dragging on the plot (rightwards in, leftwards out), changes frequency,
// gating time and linear amplification, and saves records. While a two-point level calibration
// runs ("system"/VT_Meas_70 at a step 1..18) the screen measures with that step's set-up and
// its save button confirms the step instead of saving a record.
//
// Threads: onMeasurementFinished runs on the worker's thread. It touches the levels and the
// members it shares with the GUI thread only under m_mutex, and reaches the GUI only through a
// zero-delay single shot. Everything else runs on the GUI thread.
class LevelMeterDialog : public QWidget
{
    Q_OBJECT

public:
    static const QString NAME;
    static const int SLOT_COUNT = 500;

    enum Task { TASK_NONE = 0, TASK_SAVE = 1 };
    Q_DECLARE_FLAGS(Tasks, Task)

    // The zoomed view a dragged rectangle asks for.
    struct ZoomRange
    {
        int ampMin;
        int ampMax;
        int gatingTime;
    };

    LevelMeterDialog(DataWorker* worker, QWidget* parent = nullptr);
    ~LevelMeterDialog() override;

    // The strip chart's length in seconds: 500 gating times (ms).
    static double timeAxisSeconds(int gatingTime);
    // The level of a step's peak count: dBm for LOG, µV behind the linear amplifier's gain for
    // RMS and envelope.
    static double levelOf(quint32 peak, Configuration::MeasMode mode, const CalibrationTriple& triple, double gain);
    // The view for a rectangle from `lower` to `upper` (level) whose right edge lies at
    // rightEdge seconds: the levels widened to multiples of 5 within the store's limits, the
    // time to an even number of seconds (1..40) and from there the gating time.
    static ZoomRange zoomedRange(double lower, double upper, double rightEdge, int storeMin, int storeMax);

    // State (GUI thread).
    int frequency() const { return m_frequency; }
    int bandwidth() const { return m_bandwidth; }
    Configuration::Antenna antenna() const { return m_antenna; }
    int gatingTime() const;
    int ampMin() const;
    int ampMax() const;
    Configuration::MeasMode measureMode() const;
    CalibrationTriple calibration() const;
    int calibrationStep() const;
    int averageRaw() const;
    Tasks tasks() const;
    QVector<QPointF> levels() const;
    double positionZone() const;
    bool isTimerRunning() const { return m_timerId != 0; }

    // The record of the levels now shown, with the phase the operator chose.
    QDomDocument buildRecord(Configuration::Phase phase) const;
    // A press of the save button while a calibration step runs, at a monotonic time in ms.
    void confirmCalibrationStep(qint64 nowMs);

signals:
    void exit();
    void gotoSetup(SetupDialog::Dialog dialog);

public slots:
    void exec();
    void setFrequency(int freq, bool save = false);
    void setAmplitudeRange(int ampMin, int ampMax, bool save = false);
    void setGatingTime(int gatingTime, bool save = false);
    void setBandwidth(int bandwidth, bool save = false);
    void setAntenna(Configuration::Antenna antenna, bool save = false);
    void setMeasureMode(Configuration::MeasMode mode);
    void setLinearAmplifierValue(int value);
    void setOffsetAmplifierValue(int value);
    // Switches the preamplifier (always off away from the UHF antenna) and takes the calibration
    // triple of the antenna, the preamplifier as read back and the detector.
    void setPreamplifier(bool enable);

    void onMeasurementFinished(quint32 frequency, const quint32* minValues, const quint32* avgValues,
                               const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement);
    void onDataCompleted();
    void zoomOut();
    void zoomPolygon(const QPolygon& polygon);
    void handleTasks();
    // Writes the record of a pending save once its pass is complete.
    void runSave();

    void startDataWorker();
    void stopDataWorker();
    void pauseDataWorker();
    void resumeDataWorker();
    void startTimer();
    void stopTimer();
    void updatePlot();
    void updatePlotLegend();

    void on_FreqButton_clicked();
    void on_GatingTimeButton_clicked();
    void on_LinearAmplifierButton_clicked();
    void on_SaveButton_clicked();
    void on_SetupLevelButton_clicked();
    void on_ExitButton_clicked();

protected:
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The receiver set-up of a calibration step (not saved).
    void applyCalibrationSetup(int step);
    // The stored level settings (not saved again).
    void applyNormalSettings();
    // The stored amplitude range of the detector in use.
    void applyAmplitudeRange();
    // The store's widest amplitude range of the detector in use.
    void fullAmplitudeRange(int* lowest, int* highest) const;
    // Hands the levels to the curve and moves the position zone.
    void refreshCurve();
    // Leaving the screen: a calibration left half-way puts the front end back to normal use.
    void leave();

    Ui::LevelMeterDialog* ui;
    QwtPlotGrid* m_grid;
    QwtPlotZoneItem* m_positionZone;
    PlotZoomer* m_zoomer;
    QwtPlotCurve* m_curve;
    CustomScaleDraw* m_levelScale;
    OverridingPlotData* m_levels;
    DataWorker* m_worker;
    int m_timerId;

    // GUI thread only.
    int m_frequency;
    int m_bandwidth;
    Configuration::Antenna m_antenna;
    int m_linearAmplifier; // the DAC value last set
    TwoPointCalibration m_calibration;
    QElapsedTimer m_pressClock;

    // GUI thread only. Active from exec() to leave(); handling while a save (with its dialogs)
    // is being written.
    bool m_active = false;
    bool m_handlingTasks = false;
    // Shared with the worker's thread: guarded by m_mutex.
    int m_gatingTime;
    int m_ampMin;
    int m_ampMax;
    Configuration::MeasMode m_measureMode;
    CalibrationTriple m_triple;
    double m_gain; // the linear amplifier's gain at m_linearAmplifier
    int m_calibrationStep;
    int m_averageRaw;
    double m_zoneX;
    // The pending save and whether the handler paused the worker for it (locked inside).
    SweepTasks m_requests;
    mutable QMutex m_mutex;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(LevelMeterDialog::Tasks)
