#pragma once

#include "util/Configuration.h"

#include <QMutex>
#include <QString>
#include <QWidget>

namespace Ui {
class KalibDialog;
}

class DataWorker;

// The offset calibration: with the input disconnected (calibration switch on) it finds the null
// offsets of the offset amplifier for the three detectors. RMS and envelope are derived from the
// mean reading at offset 0; for LOG the offset amplifier is raised in steps of 5 until the mean
// reading falls to the floor. The three results and the time of the calibration reach the
// calibration store together at the end, written on the GUI thread; every measurement screen
// applies them when it starts.
// The service page opens this screen through the main window.
//
// Threads: onMeasurementFinished runs the procedure on the worker's thread under m_mutex; it
// sets the receiver up from there and reaches the labels and the store only through queued
// calls.
class KalibDialog : public QWidget
{
    Q_OBJECT

public:
    // The procedure's states: idle, RMS set-up, settle, RMS result, settle, envelope result,
    // settle, LOG set-up, settle, LOG search (alternating with its settle state).
    enum State {
        STATE_IDLE = 0,
        STATE_RMS_SETUP,
        STATE_RMS_SETTLE,
        STATE_RMS_RESULT,
        STATE_ENV_SETTLE,
        STATE_ENV_RESULT,
        STATE_LOG_WAIT,
        STATE_LOG_SETUP,
        STATE_LOG_SETTLE,
        STATE_LOG_SEARCH
    };

    KalibDialog(DataWorker* worker, QWidget* parent = nullptr);
    ~KalibDialog() override;

    // The RMS and envelope null offset of a mean reading at offset 0: 100000 x average / 195055
    // - 10, not below 0.
    static int linearNullOffset(unsigned average);

    // State (any thread).
    unsigned state() const;
    int logOffset() const;
    int rmsOffset() const;
    int envOffset() const;

signals:
    void exit();

public slots:
    void exec();
    void onMeasurementFinished(quint32 frequency, const quint32* minValues, const quint32* avgValues,
                               const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement);
    void startDataWorker();
    void stopDataWorker();
    void updateForm();
    void on_ExitButton_clicked();
    void on_StartKalButton_clicked();
    void setOffsetAmplifierValue(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    // Queued from the worker's thread.
    void showValue(int label, int value);
    // Stores the three null offsets and the time stamp.
    void storeResults(int rmsOffset, int envOffset, int logOffset);

private:
    // The front end for a measurement with the input disconnected: broadband path, preamplifier
    // off, 1 MHz, linear amplifier 0, the detector and its line 227, offset amplifier 0 when
    // asked, pulse mode off, calibration switch on.
    void setFrontEnd(Configuration::MeasMode detector, bool line227, bool offsetToZero);
    // One step of the procedure with the step's mean reading; m_mutex held.
    void advance(unsigned average);
    // The value labels, in form order.
    enum ValueLabel {
        LABEL_AVERAGE,
        LABEL_LOG_READING,
        LABEL_LOG_OFFSET,
        LABEL_RMS_READING,
        LABEL_RMS_OFFSET,
        LABEL_ENV_READING,
        LABEL_ENV_OFFSET
    };
    // Shows a number in a value label, on the GUI thread.
    void showLater(ValueLabel label, int value);

    Ui::KalibDialog* ui;
    DataWorker* m_worker;
    // Guarded by m_mutex.
    int m_logOffset;
    int m_rmsOffset;
    int m_envOffset;
    unsigned m_average;
    unsigned m_state;
    int m_delay;
    mutable QMutex m_mutex;
};
