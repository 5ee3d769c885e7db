#pragma once

#include "plot/AutodetectionTraces.h"

#include <QDialog>
#include <QDomDocument>
#include <QMutex>
#include <QPointF>
#include <QString>
#include <QVector>

namespace Ui {
class AlgorithmDialog;
}

class DataWorker;

// The autodetection run: sweeps 150..1000 MHz with a long and then a short gating time (each for
// its number of sweeps), forms the traces of AutodetectionTraces, reports up to four suspicious
// frequencies, stores a record and closes. A small frameless window shows the progress; its exit
// button ends the run at any time without a record. One instance for the process. Parameters are
// the settings under "algorithm".
//
// Threads: onMeasurementFinished runs on the worker's thread and fills the sweep traces under
// m_lock; it reaches the dialog only through zero-delay single shots. The later steps run on the
// GUI thread once the worker has finished its sweeps.
class AlgorithmDialog : public QDialog {
    Q_OBJECT

public:
    static const QString NAME;

    enum Step {
        STEP_HIGH_SWEEPS = 1,
        STEP_LOW_SWEEPS = 2,
        STEP_DIFFERENCES = 3,
        STEP_FILTERS = 4,
        STEP_THRESHOLDS = 5,
        STEP_DONE = 6
    };
    Q_ENUM(Step)

    // The settings a run uses, read once when it starts.
    struct Parameters {
        int cycleCountHigh = 1;
        int gatingTimeHigh = 20;
        int cycleCountLow = 1;
        int gatingTimeLow = 1;
        int gradingFilter = 1;
        int amplifier = 0;
        int amplifierFactorG = 1;
        int thresholds[AutodetectionTraces::BLOCK_COUNT] = { 0, 0, 0, 0 };

        static Parameters fromSettings();
    };

    static AlgorithmDialog* instance();

    // Runs the whole procedure modally on the worker with the status text; 1 when it completed
    // and stored its record, 0 when the operator left (the worker is then stopped, nothing is
    // stored).
    int exec(DataWorker* worker, const QString& text);

    // The four block results of the last completed run (null points: nothing found).
    QVector<QPointF> results() const;
    // The last run's final trace (raw counts over MHz).
    QVector<QPointF> correctedTrace() const;
    int step() const;
    int progress() const;

    // The record body of a run, after the common header.
    static void appendRecordBody(
        QDomDocument& document, QDomElement& root, const Parameters& parameters, const AutodetectionTraces& traces);

public slots:
    void incProgress();
    void nextStep();
    void setStep(int step);
    void onMeasurementFinished(quint32 frequency, const quint32* minValues, const quint32* avgValues,
        const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement);

private:
    AlgorithmDialog();
    ~AlgorithmDialog() override;

    void startSweeps(int step, int sweeps, int gatingTime);
    void storeRecord();

    Ui::AlgorithmDialog* ui;
    DataWorker* m_worker;
    Parameters m_parameters;
    mutable QMutex m_lock;
    // Guarded by m_lock: shared with the worker's thread during the sweep phases.
    int m_step;
    int m_cyclesDone;
    int m_cyclesWanted;
    bool m_collecting;
    AutodetectionTraces m_traces;
    QVector<QPointF> m_results;
};
