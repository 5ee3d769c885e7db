#include "dialogs/AlgorithmDialog.h"
#include "ui_AlgorithmDialog.h"

#include "dialogs/DialogPlacement.h"
#include "dialogs/RecordSaving.h"
#include "hardware/DataWorker.h"
#include "plot/OverridingPlotData.h"
#include "storage/RecordWriter.h"
#include "util/Configuration.h"
#include "util/MutexLocker.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

#include <algorithm>

const QString AlgorithmDialog::NAME = QStringLiteral("algorithm");

namespace {

const quint32 SWEEP_START_KHZ = 150000;
const quint32 SWEEP_STOP_KHZ = 1000000;
const quint32 SWEEP_STEP_KHZ = 1700;

} // namespace

AlgorithmDialog::Parameters AlgorithmDialog::Parameters::fromSettings()
{
    const auto get = [](Configuration::ValueType type) { return Configuration::getValue(type, NAME); };
    Parameters parameters;
    parameters.cycleCountHigh = std::max(1, get(Configuration::VT_CycleCountHigh));
    parameters.gatingTimeHigh = get(Configuration::VT_GatingTimeHigh);
    parameters.cycleCountLow = std::max(1, get(Configuration::VT_CycleCountLow));
    parameters.gatingTimeLow = get(Configuration::VT_GatingTimeLow);
    parameters.gradingFilter = get(Configuration::VT_GradingFilter);
    parameters.amplifier = get(Configuration::VT_Amplifier);
    parameters.amplifierFactorG = get(Configuration::VT_AmplifierFactorG);
    const Configuration::ValueType thresholds[] = { Configuration::VT_Threshold1, Configuration::VT_Threshold2,
        Configuration::VT_Threshold3, Configuration::VT_Threshold4 };
    for (int b = 0; b < AutodetectionTraces::BLOCK_COUNT; ++b)
        parameters.thresholds[b] = get(thresholds[b]);
    return parameters;
}

AlgorithmDialog* AlgorithmDialog::instance()
{
    static AlgorithmDialog* instance = new AlgorithmDialog();
    Q_ASSERT_X(instance != nullptr, "AlgorithmDialog", "NULL != instance");
    return instance;
}

AlgorithmDialog::AlgorithmDialog()
    : QDialog(nullptr, Qt::FramelessWindowHint)
    , ui(new Ui::AlgorithmDialog)
    , m_worker(nullptr)
    , m_step(0)
    , m_cyclesDone(0)
    , m_cyclesWanted(0)
    , m_collecting(false)
    , m_results(AutodetectionTraces::BLOCK_COUNT)
{
    ui->setupUi(this);
    connect(ui->pushButtonExit, &QPushButton::clicked, this, &QDialog::reject);
}

AlgorithmDialog::~AlgorithmDialog()
{
    delete ui;
}

int AlgorithmDialog::exec(DataWorker* worker, const QString& text)
{
    ui->retranslateUi(this);
    m_parameters = Parameters::fromSettings();
    ui->progressBar->setValue(0);
    ui->progressBar->setMaximum(m_parameters.cycleCountHigh + 3 + m_parameters.cycleCountLow);
    ui->labelStatusBar->setText(text);
    m_worker = worker;
    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    if (m_worker)
        connect(m_worker, &DataWorker::measurementFinished, this, &AlgorithmDialog::onMeasurementFinished,
            Qt::DirectConnection);
    {
        MutexLocker lock(&m_lock);
        m_step = 0;
        m_cyclesDone = 0;
        m_cyclesWanted = 0;
        m_collecting = false;
        m_traces.clear();
        m_results = QVector<QPointF>(AutodetectionTraces::BLOCK_COUNT);
    }
    setStep(STEP_HIGH_SWEEPS);
    const int result = QDialog::exec();
    if (m_worker) {
        // Left during a sweep: the worker must not go on sweeping for nobody. The thread ends
        // before its connection goes, so no step is inside the handler meanwhile.
        m_worker->stop();
        disconnect(m_worker, &DataWorker::measurementFinished, this, &AlgorithmDialog::onMeasurementFinished);
    }
    // Progress and step calls the worker queued for this run must not reach the next one.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    return result;
}

QVector<QPointF> AlgorithmDialog::results() const
{
    MutexLocker lock(&m_lock);
    return m_results;
}

QVector<QPointF> AlgorithmDialog::correctedTrace() const
{
    MutexLocker lock(&m_lock);
    return *m_traces.trace(AutodetectionTraces::Z).getConstData();
}

int AlgorithmDialog::step() const
{
    MutexLocker lock(&m_lock);
    return m_step;
}

int AlgorithmDialog::progress() const
{
    return ui->progressBar->value();
}

void AlgorithmDialog::incProgress()
{
    ui->progressBar->setValue(ui->progressBar->value() + 1);
}

void AlgorithmDialog::nextStep()
{
    incProgress();
    setStep(std::min(step() + 1, STEP_DONE + 1));
}

void AlgorithmDialog::setStep(int step)
{
    switch (step) {
    case STEP_HIGH_SWEEPS:
        startSweeps(step, m_parameters.cycleCountHigh, m_parameters.gatingTimeHigh);
        return;
    case STEP_LOW_SWEEPS:
        startSweeps(step, m_parameters.cycleCountLow, m_parameters.gatingTimeLow);
        return;
    case STEP_DIFFERENCES:
    case STEP_FILTERS:
    case STEP_THRESHOLDS: {
        MutexLocker lock(&m_lock);
        m_step = step;
        if (step == STEP_DIFFERENCES) {
            m_traces.computeDifferences();
        } else if (step == STEP_FILTERS) {
            m_traces.applyGradingFilter(m_parameters.gradingFilter);
            m_traces.applyAmplifierCorrection(m_parameters.amplifier != 0, m_parameters.amplifierFactorG);
        } else {
            m_results = m_traces.findResults(m_parameters.thresholds);
        }
        QTimer::singleShot(0, this, &AlgorithmDialog::nextStep);
        return;
    }
    case STEP_DONE: {
        MutexLocker lock(&m_lock);
        m_step = step;
    }
        qDebug() << "Done";
        storeRecord();
        accept();
        return;
    default:
        return;
    }
}

void AlgorithmDialog::startSweeps(int step, int sweeps, int gatingTime)
{
    {
        MutexLocker lock(&m_lock);
        m_step = step;
        m_cyclesDone = 0;
        m_cyclesWanted = sweeps;
        m_collecting = true;
    }
    // Outside the lock: start() waits for the previous run's thread, which may still be in the
    // handler.
    if (!m_worker)
        return;
    m_worker->setSyncMode(false);
    m_worker->setRadioSync(false);
    m_worker->setMeasurementTime(quint16(gatingTime), 1000);
    m_worker->start(SWEEP_START_KHZ, SWEEP_STOP_KHZ, SWEEP_STEP_KHZ, sweeps);
}

void AlgorithmDialog::onMeasurementFinished(quint32 /*frequency*/, const quint32* /*minValues*/,
    const quint32* avgValues, const quint32* maxValues, quint16 nSamples, bool* /*repeatMeasurement*/)
{
    if (!avgValues || !maxValues)
        return;
    double average = 0.0;
    double peak = 0.0;
    AutodetectionTraces::reduceStep(avgValues, maxValues, nSamples, &average, &peak);
    MutexLocker lock(&m_lock);
    if (!m_collecting)
        return;
    const AutodetectionTraces::Phase phase
        = m_step == STEP_HIGH_SWEEPS ? AutodetectionTraces::PHASE_HIGH : AutodetectionTraces::PHASE_LOW;
    // A sweep ends with its last slot (counted rather than read from the frequency, which a
    // synthesiser that lost lock reports as 0).
    if (m_traces.addStep(phase, average, peak) != AutodetectionTraces::SLOT_COUNT - 1)
        return;
    qDebug() << "AlgorithmDialog: sweeps finished" << m_cyclesDone;
    ++m_cyclesDone;
    // Queued by name: no functor object made on this thread is handed to the dialog's.
    if (m_cyclesDone != m_cyclesWanted) {
        QMetaObject::invokeMethod(this, "incProgress", Qt::QueuedConnection);
        return;
    }
    m_traces.finishPhase(phase, m_cyclesWanted);
    m_collecting = false;
    QMetaObject::invokeMethod(this, "nextStep", Qt::QueuedConnection);
}

void AlgorithmDialog::storeRecord()
{
    QDomDocument document;
    QDomElement root = createRecordRoot(document, NAME, 1);
    appendCommonHeader(document, root, m_worker ? m_worker->fpgaVersion() : 0, RecordSaving::recordFolder(false));
    {
        MutexLocker lock(&m_lock);
        appendRecordBody(document, root, m_parameters, m_traces);
    }
    RecordSaving::saveAndReport(NAME, grabScreen(), document);
}

void AlgorithmDialog::appendRecordBody(
    QDomDocument& document, QDomElement& root, const Parameters& parameters, const AutodetectionTraces& traces)
{
    const auto number = [&](const char* tag, int value) {
        root.appendChild(createTextElement(document, QLatin1String(tag), QString::number(value)));
    };
    number("minFrequency", int(AutodetectionTraces::FREQ_MIN));
    number("maxFrequency", int(AutodetectionTraces::FREQ_MAX));
    number("cycleCountHigh", parameters.cycleCountHigh);
    number("cycleCountLow", parameters.cycleCountLow);
    number("gatingTimeHigh", parameters.gatingTimeHigh);
    number("gatingTimeLow", parameters.gatingTimeLow);
    number("gradingFilter", parameters.gradingFilter);
    number("amplifier", parameters.amplifier);
    number("amplifierFactorG", parameters.amplifierFactorG);
    const char* thresholds[] = { "threshold1", "threshold2", "threshold3", "threshold4" };
    for (int b = 0; b < AutodetectionTraces::BLOCK_COUNT; ++b)
        number(thresholds[b], parameters.thresholds[b]);
    number("nsamples", AutodetectionTraces::SLOT_COUNT);
    using T = AutodetectionTraces;
    const auto group = [&](const char* tag, T::Trace max, T::Trace avg, T::Trace diff) {
        QDomElement element = document.createElement(QLatin1String(tag));
        element.appendChild(createSeriesElement(document, QStringLiteral("max"), traces.trace(max)));
        element.appendChild(createSeriesElement(document, QStringLiteral("avg"), traces.trace(avg)));
        element.appendChild(createSeriesElement(document, QStringLiteral("diff"), traces.trace(diff)));
        root.appendChild(element);
    };
    group("high", T::HIGH_MAX, T::HIGH_AVG, T::HIGH_DIFF);
    group("low", T::LOW_MAX, T::LOW_AVG, T::LOW_DIFF);
    root.appendChild(createSeriesElement(document, QStringLiteral("delta"), traces.trace(T::DELTA)));
    root.appendChild(createSeriesElement(document, QStringLiteral("y"), traces.trace(T::Y)));
    root.appendChild(createSeriesElement(document, QStringLiteral("z"), traces.trace(T::Z)));
}
