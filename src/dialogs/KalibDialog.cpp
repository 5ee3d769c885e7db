#include "dialogs/KalibDialog.h"
#include "ui_KalibDialog.h"

#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "util/Calibration.h"
#include "util/MutexLocker.h"
#include "util/SystemHelper.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

namespace {

const quint32 SAMPLE_MASK = 0x3FFF;
const int DETECTOR_LINE = 227;
const int OFFSET_CEILING = 1023;
const int LOG_SEARCH_STEP = 5;
// A mean reading at or below this is the LOG detector's floor.
const unsigned LOG_FLOOR = 3;
// Steps (of 20 ms) the LOG detector settles before the search.
const int LOG_SETTLE_STEPS = 30;
const quint32 CALIBRATION_FREQUENCY_KHZ = 500000;

} // namespace

KalibDialog::KalibDialog(DataWorker* worker, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::KalibDialog)
    , m_worker(worker)
    , m_logOffset(0)
    , m_rmsOffset(0)
    , m_envOffset(0)
    , m_average(0)
    , m_state(STATE_IDLE)
    , m_delay(0)
{
    ui->setupUi(this);
}

KalibDialog::~KalibDialog()
{
    stopDataWorker();
    delete ui;
}

int KalibDialog::linearNullOffset(unsigned average)
{
    const int offset = int(100000u * quint32(average) / 195055u) - 10;
    return std::max(0, offset);
}

unsigned KalibDialog::state() const
{
    MutexLocker lock(&m_mutex);
    return m_state;
}

int KalibDialog::logOffset() const
{
    MutexLocker lock(&m_mutex);
    return m_logOffset;
}

int KalibDialog::rmsOffset() const
{
    MutexLocker lock(&m_mutex);
    return m_rmsOffset;
}

int KalibDialog::envOffset() const
{
    MutexLocker lock(&m_mutex);
    return m_envOffset;
}

void KalibDialog::exec()
{
    ui->retranslateUi(this);
    {
        MutexLocker lock(&m_mutex);
        m_state = STATE_IDLE;
        m_delay = 0;
        m_logOffset = Calibration::getInt(Calibration::VT_NullOffsetLOG);
    }
    setFrontEnd(Configuration::MEAS_MODE_KAL, true, true);
    // The null offsets in force until a calibration replaces them.
    ui->LogOffsetLabel->setText(QStringLiteral("%1").arg(Calibration::getInt(Calibration::VT_NullOffsetLOG)));
    ui->RMSOffsetLabel->setText(QStringLiteral("%1").arg(Calibration::getInt(Calibration::VT_NullOffsetRMS)));
    ui->ENVOffsetLabel->setText(QStringLiteral("%1").arg(Calibration::getInt(Calibration::VT_NullOffsetENV)));
    for (QLabel* label : {ui->AdwValAvgLabel, ui->LogAdwValLabel, ui->RMSAdwValLabel, ui->ENVAdwValLabel})
        label->clear();
    ui->KalibDoneLabel->clear();
    startDataWorker();
}

void KalibDialog::setFrontEnd(Configuration::MeasMode detector, bool line227, bool offsetToZero)
{
    setPulseGenerator(false);
    setAntennaPath(Configuration::ANTENNA_TEV);
    setPreamplifierOff(true);
    setBandwidth(1000);
    setLinearAmplifier(0);
    setMeasMode(detector);
    gpioSetValue(DETECTOR_LINE, line227);
    if (offsetToZero)
        setOffsetAmplifierValue(0);
    setPulseMode(false);
    setCalibrationSwitch(true);
}

void KalibDialog::startDataWorker()
{
    stopDataWorker();
    ui->KalibDoneLabel->clear();
    if (!m_worker)
        return;
    connect(m_worker, &DataWorker::measurementFinished, this, &KalibDialog::onMeasurementFinished,
            Qt::DirectConnection);
    m_worker->setSyncMode(false);
    m_worker->setRadioSync(false);
    m_worker->setMeasurementTime(20, 1000);
    m_worker->startSingle(CALIBRATION_FREQUENCY_KHZ, -1);
}

void KalibDialog::stopDataWorker()
{
    if (!m_worker)
        return;
    m_worker->stop();
    disconnect(m_worker, &DataWorker::measurementFinished, this, &KalibDialog::onMeasurementFinished);
}

void KalibDialog::updateForm()
{
}

void KalibDialog::setOffsetAmplifierValue(int value)
{
    setOffsetAmplifier(value);
}

void KalibDialog::showLater(ValueLabel label, int value)
{
    // Only numbers cross the threads, as arguments of a queued call; the text is made on the GUI
    // thread.
    QMetaObject::invokeMethod(this, "showValue", Qt::QueuedConnection, Q_ARG(int, label), Q_ARG(int, value));
}

void KalibDialog::showValue(int label, int value)
{
    QLabel* const labels[] = {ui->AdwValAvgLabel, ui->LogAdwValLabel, ui->LogOffsetLabel, ui->RMSAdwValLabel,
                              ui->RMSOffsetLabel,  ui->ENVAdwValLabel, ui->ENVOffsetLabel};
    if (label >= 0 && label < int(sizeof(labels) / sizeof(labels[0])))
        labels[label]->setText(QStringLiteral("%1").arg(value));
}

void KalibDialog::onMeasurementFinished(quint32 /*frequency*/, const quint32* /*minValues*/, const quint32* avgValues,
                                        const quint32* /*maxValues*/, quint16 nSamples, bool* /*repeatMeasurement*/)
{
    if (nSamples == 0 || !avgValues)
        return;
    quint64 sum = 0;
    for (quint16 i = 0; i < nSamples; ++i)
        sum += avgValues[i] & SAMPLE_MASK;
    const unsigned average = unsigned(sum / nSamples);
    MutexLocker lock(&m_mutex);
    m_average = average;
    showLater(LABEL_AVERAGE, int(average));
    advance(average);
}

void KalibDialog::advance(unsigned average)
{
    switch (m_state) {
    case STATE_IDLE:
        break;
    case STATE_RMS_SETUP:
        setFrontEnd(Configuration::MEAS_MODE_RMS, true, true);
        m_state = STATE_RMS_SETTLE;
        break;
    case STATE_RMS_RESULT:
        m_rmsOffset = linearNullOffset(average);
        showLater(LABEL_RMS_READING, int(average));
        showLater(LABEL_RMS_OFFSET, m_rmsOffset);
        setMeasMode(Configuration::MEAS_MODE_ENV);
        setCalibrationSwitch(true);
        m_state = STATE_ENV_SETTLE;
        break;
    case STATE_ENV_RESULT:
        m_envOffset = linearNullOffset(average);
        showLater(LABEL_ENV_READING, int(average));
        showLater(LABEL_ENV_OFFSET, m_envOffset);
        m_state = STATE_LOG_WAIT;
        break;
    case STATE_LOG_SETUP:
        setFrontEnd(Configuration::MEAS_MODE_LOG, false, false);
        m_logOffset = 0;
        setOffsetAmplifierValue(0);
        m_delay = LOG_SETTLE_STEPS;
        m_state = STATE_LOG_SETTLE;
        break;
    case STATE_LOG_SEARCH:
        if (m_logOffset < OFFSET_CEILING && average > LOG_FLOOR) {
            m_logOffset = std::min(OFFSET_CEILING, m_logOffset + LOG_SEARCH_STEP);
            setOffsetAmplifierValue(m_logOffset);
            m_state = STATE_LOG_SETTLE; // one step to settle, then the next look
            break;
        }
        showLater(LABEL_LOG_READING, int(average));
        showLater(LABEL_LOG_OFFSET, m_logOffset);
        // The GUI thread stores the three results together, like every other write of settings
        // and calibration.
        QMetaObject::invokeMethod(this, "storeResults", Qt::QueuedConnection, Q_ARG(int, m_rmsOffset),
                                  Q_ARG(int, m_envOffset), Q_ARG(int, m_logOffset));
        m_state = STATE_IDLE;
        break;
    default: // the settle states
        if (m_delay > 0)
            --m_delay;
        else
            ++m_state;
        break;
    }
}

void KalibDialog::storeResults(int rmsOffset, int envOffset, int logOffset)
{
    // All three together at the end, in one writable window: a calibration left half-way
    // stores nothing.
    const bool bracket = SystemHelper::mountData();
    Calibration::setValue(Calibration::VT_NullOffsetRMS, rmsOffset);
    Calibration::setValue(Calibration::VT_NullOffsetENV, envOffset);
    Calibration::setValue(Calibration::VT_NullOffsetLOG, logOffset);
    Calibration::setValue(Calibration::VT_KalibTimestamp,
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    if (bracket)
        SystemHelper::unmountData();
    ui->KalibDoneLabel->setText(tr("Calibration Done."));
}

void KalibDialog::on_StartKalButton_clicked()
{
    {
        MutexLocker lock(&m_mutex);
        m_delay = 0;
        m_state = STATE_RMS_SETUP;
    }
    ui->KalibDoneLabel->setText(tr("Calibration running..."));
}

void KalibDialog::on_ExitButton_clicked()
{
    stopDataWorker();
    {
        MutexLocker lock(&m_mutex);
        m_state = STATE_IDLE;
    }
    // Back to the receiver of normal use: input connected, LOG detector at its stored null
    // offset, the operator's sensor.
    setCalibrationSwitch(false);
    setMeasMode(Configuration::MEAS_MODE_LOG);
    setOffsetAmplifierValue(Calibration::getInt(Calibration::VT_NullOffsetLOG));
    setAntennaPath(Configuration::getValue(Configuration::VT_Antenna, QStringLiteral("system")));
    emit exit();
}

void KalibDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        on_ExitButton_clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}
