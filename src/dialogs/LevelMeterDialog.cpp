#include "dialogs/LevelMeterDialog.h"
#include "ui_LevelMeterDialog.h"

#include "dialogs/RecordSaving.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSliderDialog.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "hardware/SyncRadio.h"
#include "plot/CustomScaleDraw.h"
#include "plot/InfoBar.h"
#include "plot/OverridingPlotData.h"
#include "storage/RecordWriter.h"
#include "util/MutexLocker.h"
#include "util/PlotZoomer.h"

#include <QKeyEvent>
#include <QTimer>
#include <QTimerEvent>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_zoneitem.h>

#include <algorithm>
#include <cmath>

const QString LevelMeterDialog::NAME = QStringLiteral("level");

namespace {

const QString SYSTEM = QStringLiteral("system");
const int DISPLAY_INTERVAL_MS = 150;
const quint32 SAMPLE_MASK = 0x3FFF;
// The receiver set-up of the two-point calibration.
const int CALIBRATION_FREQUENCY = 501;
const int CALIBRATION_GATING_TIME = 10;
const int CALIBRATION_BANDWIDTH = 5000;
const int ZOOM_OUT_GATING_TIME = 80;

int storedLevelSetting(Configuration::ValueType type)
{
    // A damaged settings file must not reach the receiver out of its limits.
    return Configuration::limit(type, Configuration::getValue(type, LevelMeterDialog::NAME));
}

int nullOffset(Configuration::MeasMode mode)
{
    switch (mode) {
    case Configuration::MEAS_MODE_RMS:
        return Calibration::getInt(Calibration::VT_NullOffsetRMS);
    case Configuration::MEAS_MODE_ENV:
        return Calibration::getInt(Calibration::VT_NullOffsetENV);
    default:
        return Calibration::getInt(Calibration::VT_NullOffsetLOG);
    }
}

int floorTo(double value, int step)
{
    return int(std::floor(value / step)) * step;
}

int ceilTo(double value, int step)
{
    return int(std::ceil(value / step)) * step;
}

} // namespace

LevelMeterDialog::LevelMeterDialog(DataWorker* worker, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::LevelMeterDialog)
    , m_grid(new QwtPlotGrid())
    , m_positionZone(new QwtPlotZoneItem())
    , m_zoomer(nullptr)
    , m_curve(new QwtPlotCurve())
    , m_levelScale(new CustomScaleDraw(QStringLiteral("P/dBm")))
    , m_levels(new OverridingPlotData(SLOT_COUNT))
    , m_worker(worker)
    , m_timerId(0)
    , m_frequency(Configuration::getDefault(Configuration::VT_FreqMin).toInt())
    , m_bandwidth(Configuration::getDefault(Configuration::VT_Bandwidth).toInt())
    , m_antenna(Configuration::ANTENNA_UHF)
    , m_linearAmplifier(Configuration::getDefault(Configuration::VT_LinearAmplifier).toInt())
    , m_gatingTime(Configuration::getDefault(Configuration::VT_GatingTime).toInt())
    , m_ampMin(Configuration::getDefault(Configuration::VT_AmpMinDbm).toInt())
    , m_ampMax(Configuration::getDefault(Configuration::VT_AmpMaxDbm).toInt())
    , m_measureMode(Configuration::MEAS_MODE_LOG)
    , m_gain(CalibrationTriple::linearGain(m_linearAmplifier))
    , m_calibrationStep(0)
    , m_averageRaw(0)
    , m_zoneX(0.0)
{
    ui->setupUi(this);
    QwtPlot* plot = ui->plot;
    plot->setAutoReplot(false);
    plot->setAxisScaleDraw(QwtPlot::yLeft, m_levelScale);
    plot->setAxisScaleDraw(QwtPlot::xBottom, new CustomScaleDraw(QStringLiteral("t/s")));

    m_grid->setPen(Qt::gray, 0, Qt::SolidLine);
    m_grid->attach(plot);

    m_positionZone->setOrientation(Qt::Vertical);
    m_positionZone->setPen(QColor(0, 0, 0, 30), 10);
    m_positionZone->setInterval(0.0, 0.0);
    m_positionZone->attach(plot);

    m_curve->setPen(Qt::darkBlue, 1, Qt::SolidLine);
    m_curve->attach(plot);

    m_zoomer = new PlotZoomer(plot);
    connect(m_zoomer, SIGNAL(selected(QPolygon, qint64)), this, SLOT(zoomPolygon(QPolygon)));
    m_pressClock.start();
}

LevelMeterDialog::~LevelMeterDialog()
{
    stopDataWorker();
    delete m_levels;
    delete ui;
}

// ---- Conversions and zoom rules --------------------------------------------------------------

double LevelMeterDialog::timeAxisSeconds(int gatingTime)
{
    // In floating point: at 1 ms the chart is half a second long.
    return 500.0 * gatingTime / 1000.0;
}

double LevelMeterDialog::levelOf(quint32 peak, Configuration::MeasMode mode, const CalibrationTriple& triple,
                                 double gain)
{
    if (mode == Configuration::MEAS_MODE_RMS || mode == Configuration::MEAS_MODE_ENV)
        return triple.microVolts(double(peak), gain);
    return triple.logLevel(int(peak));
}

LevelMeterDialog::ZoomRange LevelMeterDialog::zoomedRange(double lower, double upper, double rightEdge, int storeMin,
                                                          int storeMax)
{
    // Widened outwards, so that the whole rectangle stays in view.
    int ampMin = std::max(floorTo(std::min(lower, upper), 5), storeMin);
    int ampMax = std::min(ceilTo(std::max(lower, upper), 5), storeMax);
    if (ampMax <= ampMin) {
        ampMax = std::min(ampMin + 5, storeMax);
        ampMin = ampMax - 5;
    }
    int seconds = int(rightEdge);
    if (seconds % 2 != 0)
        seconds += seconds > 0 ? 1 : -1;
    seconds = qBound(1, seconds, 40);
    return {ampMin, ampMax, 1000 * seconds / 500};
}

// ---- State -----------------------------------------------------------------------------------

int LevelMeterDialog::gatingTime() const
{
    MutexLocker lock(&m_mutex);
    return m_gatingTime;
}

int LevelMeterDialog::ampMin() const
{
    MutexLocker lock(&m_mutex);
    return m_ampMin;
}

int LevelMeterDialog::ampMax() const
{
    MutexLocker lock(&m_mutex);
    return m_ampMax;
}

Configuration::MeasMode LevelMeterDialog::measureMode() const
{
    MutexLocker lock(&m_mutex);
    return m_measureMode;
}

CalibrationTriple LevelMeterDialog::calibration() const
{
    MutexLocker lock(&m_mutex);
    return m_triple;
}

int LevelMeterDialog::calibrationStep() const
{
    MutexLocker lock(&m_mutex);
    return m_calibrationStep;
}

int LevelMeterDialog::averageRaw() const
{
    MutexLocker lock(&m_mutex);
    return m_averageRaw;
}

LevelMeterDialog::Tasks LevelMeterDialog::tasks() const
{
    return Tasks(m_requests.pending());
}

QVector<QPointF> LevelMeterDialog::levels() const
{
    MutexLocker lock(&m_mutex);
    return *m_levels->getConstData();
}

double LevelMeterDialog::positionZone() const
{
    return m_positionZone->interval().minValue();
}

// ---- Start-up and settings -------------------------------------------------------------------

void LevelMeterDialog::exec()
{
    ui->retranslateUi(this);
    setPulseGenerator(false);
    int step = Configuration::getValue(Configuration::VT_Meas_70, SYSTEM);
    if (step != 0 && !TwoPointCalibration::isStep(step)) {
        // The setting allows values past the procedure's last step: no calibration runs then.
        step = 0;
        Configuration::setValue(Configuration::VT_Meas_70, 0, SYSTEM);
    }
    {
        MutexLocker lock(&m_mutex);
        m_calibrationStep = step;
    }
    m_requests.clear();
    if (step != 0) {
        applyCalibrationSetup(step);
        m_calibration.resetPressGuard();
    } else {
        applyNormalSettings();
    }
    setPulseMode(false);
    setReceiveMode(false);
    ui->SaveButton->setEnabled(true);
    m_active = true;
    startDataWorker();
}

void LevelMeterDialog::applyCalibrationSetup(int step)
{
    const TwoPointCalibration::Case calibrationCase = TwoPointCalibration::stepCase(step);
    setAntenna(calibrationCase.broadband ? Configuration::ANTENNA_TEV : Configuration::ANTENNA_UHF);
    setMeasureMode(calibrationCase.measMode);
    setFrequency(CALIBRATION_FREQUENCY);
    setGatingTime(CALIBRATION_GATING_TIME);
    setBandwidth(CALIBRATION_BANDWIDTH);
    setLinearAmplifierValue(0);
    // The step's own preamplifier, on for both levels of a preamplifier case.
    setPreamplifier(calibrationCase.preamplifierOn);
    applyAmplitudeRange();
}

void LevelMeterDialog::applyNormalSettings()
{
    const auto antenna = Configuration::Antenna(
        Configuration::limit(Configuration::VT_Antenna, Configuration::getValue(Configuration::VT_Antenna, SYSTEM)));
    setAntenna(antenna);
    setMeasureMode(Configuration::MeasMode(storedLevelSetting(Configuration::VT_MeasMode)));
    setFrequency(storedLevelSetting(Configuration::VT_FreqMin));
    setGatingTime(storedLevelSetting(Configuration::VT_GatingTime));
    setBandwidth(storedLevelSetting(Configuration::VT_Bandwidth));
    setLinearAmplifierValue(storedLevelSetting(Configuration::VT_LinearAmplifier));
    setPreamplifier(antenna == Configuration::ANTENNA_UHF
                    && Configuration::getValue(Configuration::VT_Preamplifier, NAME) != 0);
    applyAmplitudeRange();
}

void LevelMeterDialog::applyAmplitudeRange()
{
    if (measureMode() == Configuration::MEAS_MODE_LOG) {
        setAmplitudeRange(Configuration::getValue(Configuration::VT_AmpMinDbm, NAME),
                          Configuration::getValue(Configuration::VT_AmpMaxDbm, NAME));
    } else {
        setAmplitudeRange(Configuration::getValue(Configuration::VT_AmpMinMicroVolt, NAME),
                          Configuration::getValue(Configuration::VT_AmpMaxMicroVolt, NAME));
    }
}

void LevelMeterDialog::fullAmplitudeRange(int* lowest, int* highest) const
{
    const bool log = measureMode() == Configuration::MEAS_MODE_LOG;
    *lowest = Configuration::getMin(log ? Configuration::VT_AmpMinDbm : Configuration::VT_AmpMinMicroVolt);
    *highest = Configuration::getMax(log ? Configuration::VT_AmpMaxDbm : Configuration::VT_AmpMaxMicroVolt);
}

void LevelMeterDialog::setFrequency(int freq, bool save)
{
    m_frequency = freq;
    if (save)
        Configuration::setValue(Configuration::VT_FreqMin, freq, NAME);
}

void LevelMeterDialog::setAmplitudeRange(int ampMin, int ampMax, bool save)
{
    Configuration::MeasMode mode;
    {
        MutexLocker lock(&m_mutex);
        m_ampMin = ampMin;
        m_ampMax = ampMax;
        mode = m_measureMode;
    }
    if (!save)
        return;
    const bool log = mode == Configuration::MEAS_MODE_LOG;
    Configuration::setValue(log ? Configuration::VT_AmpMinDbm : Configuration::VT_AmpMinMicroVolt, ampMin, NAME);
    Configuration::setValue(log ? Configuration::VT_AmpMaxDbm : Configuration::VT_AmpMaxMicroVolt, ampMax, NAME);
}

void LevelMeterDialog::setGatingTime(int gatingTime, bool save)
{
    gatingTime = Configuration::limit(Configuration::VT_GatingTime, gatingTime);
    {
        MutexLocker lock(&m_mutex);
        m_gatingTime = gatingTime;
    }
    if (save)
        Configuration::setValue(Configuration::VT_GatingTime, gatingTime, NAME);
}

void LevelMeterDialog::setBandwidth(int bandwidth, bool save)
{
    m_bandwidth = bandwidth;
    ::setBandwidth(bandwidth);
    if (save)
        Configuration::setValue(Configuration::VT_Bandwidth, bandwidth, NAME);
}

void LevelMeterDialog::setAntenna(Configuration::Antenna antenna, bool save)
{
    m_antenna = antenna;
    setAntennaPath(antenna);
    ui->FreqButton->setEnabled(antenna == Configuration::ANTENNA_UHF);
    if (save)
        Configuration::setValue(Configuration::VT_Antenna, antenna, SYSTEM);
}

void LevelMeterDialog::setMeasureMode(Configuration::MeasMode mode)
{
    {
        MutexLocker lock(&m_mutex);
        m_measureMode = mode;
    }
    setMeasMode(mode);
    ui->LinearAmplifierButton->setEnabled(mode != Configuration::MEAS_MODE_LOG);
}

void LevelMeterDialog::setLinearAmplifierValue(int value)
{
    setLinearAmplifier(value);
    m_linearAmplifier = value;
    // The gain of the value the DAC holds now: also while the slider previews a value and while a
    // calibration step runs with the amplifier at 0.
    MutexLocker lock(&m_mutex);
    m_gain = CalibrationTriple::linearGain(qBound(0, value, 1023));
}

void LevelMeterDialog::setOffsetAmplifierValue(int value)
{
    setOffsetAmplifier(value);
}

void LevelMeterDialog::setPreamplifier(bool enable)
{
    // The antenna in force (a calibration step's, or the one chosen in the main menu).
    const bool uhf = m_antenna == Configuration::ANTENNA_UHF;
    setPreamplifierOff(!uhf || !enable);
    const CalibrationTriple triple = CalibrationTriple::load(m_antenna, !preamplifierOff(), measureMode());
    MutexLocker lock(&m_mutex);
    m_triple = triple;
}

// ---- Acquisition -----------------------------------------------------------------------------

void LevelMeterDialog::onMeasurementFinished(quint32 /*frequency*/, const quint32* /*minValues*/,
                                             const quint32* avgValues, const quint32* maxValues, quint16 nSamples,
                                             bool* /*repeatMeasurement*/)
{
    if (nSamples == 0 || !avgValues || !maxValues)
        return;
    quint32 peak = 0;
    quint64 sum = 0;
    for (quint16 i = 0; i < nSamples; ++i) {
        peak = std::max(peak, maxValues[i] & SAMPLE_MASK);
        sum += avgValues[i] & SAMPLE_MASK;
    }
    bool complete = false;
    {
        MutexLocker lock(&m_mutex);
        m_averageRaw = int(sum / nSamples);
        const double level = levelOf(peak, m_measureMode, m_triple, m_gain);
        const double bounded
            = qBound(double(std::min(m_ampMin, m_ampMax)), level, double(std::max(m_ampMin, m_ampMax)));
        const int slot = m_levels->addSample(0.0, timeAxisSeconds(m_gatingTime), bounded);
        m_zoneX = m_levels->getSample(slot).x();
        complete = m_levels->isDataCompleted();
    }
    if (complete && m_requests.pauseForRequests()) {
        // A pass is complete and a save waits for it: the GUI thread writes the record while this
        // thread waits here.
        QMetaObject::invokeMethod(this, "onDataCompleted", Qt::QueuedConnection);
        pauseDataWorker();
    }
}

void LevelMeterDialog::startDataWorker()
{
    stopDataWorker();
    int gatingTime = 0;
    Configuration::MeasMode mode;
    {
        MutexLocker lock(&m_mutex);
        m_levels->clear();
        m_zoneX = 0.0;
        gatingTime = m_gatingTime;
        mode = m_measureMode;
    }
    // The null offset of the detector in use (a calibration step's own detector included).
    setOffsetAmplifierValue(nullOffset(mode));
    updatePlot();
    if (!m_worker)
        return;
    connect(m_worker, &DataWorker::measurementFinished, this, &LevelMeterDialog::onMeasurementFinished,
            Qt::DirectConnection);
    m_worker->setSyncMode(false);
    m_worker->setRadioSync(false);
    m_worker->setMeasurementTime(quint16(gatingTime), 1000);
    m_worker->startSingle(1000u * quint32(std::max(0, m_frequency)), -1);
    startTimer();
}

void LevelMeterDialog::stopDataWorker()
{
    stopTimer();
    if (!m_worker)
        return;
    // The thread ends first (after its current step), then the connection goes.
    m_worker->stop();
    disconnect(m_worker, &DataWorker::measurementFinished, this, &LevelMeterDialog::onMeasurementFinished);
    // A pause the handler asked for ended with the thread.
    m_requests.takePause();
}

void LevelMeterDialog::pauseDataWorker()
{
    if (m_worker)
        m_worker->pause();
}

void LevelMeterDialog::resumeDataWorker()
{
    if (!m_worker || !m_worker->isRunning())
        return;
    startTimer();
    // Only a pause the handler asked for is released: a spare resume would let the next pause
    // pass straight through.
    if (m_requests.takePause())
        m_worker->resume();
}

void LevelMeterDialog::startTimer()
{
    stopTimer();
    m_timerId = QObject::startTimer(DISPLAY_INTERVAL_MS, Qt::CoarseTimer);
}

void LevelMeterDialog::stopTimer()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = 0;
}

void LevelMeterDialog::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId || m_timerId == 0) {
        QWidget::timerEvent(event);
        return;
    }
    refreshCurve();
    if (m_worker && m_worker->isPaused())
        stopTimer();
    // The service entries follow the readings (the operator watches them while calibrating).
    if (Configuration::getValue(Configuration::VT_Service, SYSTEM))
        updatePlotLegend();
    ui->plot->replot();
}

void LevelMeterDialog::refreshCurve()
{
    MutexLocker lock(&m_mutex);
    // A copy of its own for the curve, so that the worker keeps writing in place.
    const QVector<QPointF>* points = m_levels->getConstData();
    m_curve->setSamples(QVector<QPointF>(points->cbegin(), points->cend()));
    m_positionZone->setInterval(m_zoneX, m_zoneX);
}

void LevelMeterDialog::updatePlot()
{
    updatePlotLegend();
    int low = 0;
    int high = 0;
    int gatingTime = 0;
    Configuration::MeasMode mode;
    {
        MutexLocker lock(&m_mutex);
        low = std::min(m_ampMin, m_ampMax);
        high = std::max(m_ampMin, m_ampMax);
        gatingTime = m_gatingTime;
        mode = m_measureMode;
    }
    QwtPlot* plot = ui->plot;
    plot->setAxisScale(QwtPlot::xBottom, 0.0, timeAxisSeconds(gatingTime));
    m_levelScale->setUnit(mode == Configuration::MEAS_MODE_LOG ? QStringLiteral("P/dBm")
                                                                : QStringLiteral("U/\u00b5V"));
    plot->setAxisScale(QwtPlot::yLeft, low, high);
    refreshCurve();
    plot->replot();
}

void LevelMeterDialog::updatePlotLegend()
{
    QList<InfoBar::Info> entries;
    entries << InfoBar::Info(
        QStringLiteral("%1 <b>%2</b>").arg(tr("Ant:"), Configuration::toString(m_antenna)), QString());
    if (m_antenna == Configuration::ANTENNA_UHF) {
        entries << InfoBar::Info(
            QStringLiteral("%1 <b>%2%3</b>").arg(tr("Freq:"), QString::number(m_frequency), tr("MHz")), QString());
        entries << InfoBar::Info(QStringLiteral("%1 <b>%2%3</b>")
                                     .arg(tr("Band:"), QString::number(m_bandwidth / 1000.0, 'g'), tr("MHz")),
                                 QString());
    }
    CalibrationTriple triple;
    int step = 0;
    int average = 0;
    int gatingTime = 0;
    {
        MutexLocker lock(&m_mutex);
        triple = m_triple;
        step = m_calibrationStep;
        average = m_averageRaw;
        gatingTime = m_gatingTime;
    }
    entries << InfoBar::Info(
        QStringLiteral("%1 <b>%2%3</b>").arg(tr("Time:"), QString::number(gatingTime), tr("ms")), QString());
    if (Configuration::getValue(Configuration::VT_Service, SYSTEM)) {
        entries << InfoBar::Info(tr("AvgOff: <b>%1</b>").arg(triple.offset), QString());
        entries << InfoBar::Info(tr("AvgFak: <b>%1</b>").arg(QString::number(triple.factor, 'g')), QString());
        entries << InfoBar::Info(tr("Value: <b>%1</b>").arg(average), QString());
        if (TwoPointCalibration::isStep(step)) {
            // The reference level the generator must feed now.
            const int level = TwoPointCalibration::referenceLevel(step);
            entries << InfoBar::Info(TwoPointCalibration::isLogStep(step) ? tr("Cal: <b>%1 dBm</b>").arg(level)
                                                                          : tr("Cal: <b>%1 µV</b>").arg(level),
                                     QString());
        }
    }
    ui->infoBar->setInfo(entries, 4);
}

// ---- Zoom ------------------------------------------------------------------------------------

void LevelMeterDialog::zoomPolygon(const QPolygon& polygon)
{
    if (polygon.size() != 2)
        return;
    const QPoint first = polygon.first();
    const QPoint last = polygon.last();
    if (first.x() > last.x()) {
        zoomOut();
        return;
    }
    if (first.x() == last.x())
        return;
    const QRectF area = m_zoomer->invTransform(QRect(first, last).normalized());
    int lowest = 0;
    int highest = 0;
    fullAmplitudeRange(&lowest, &highest);
    const ZoomRange zoom = zoomedRange(std::min(area.top(), area.bottom()), std::max(area.top(), area.bottom()),
                                       std::max(area.left(), area.right()), lowest, highest);
    stopDataWorker();
    setAmplitudeRange(zoom.ampMin, zoom.ampMax, true);
    setGatingTime(zoom.gatingTime, true);
    startDataWorker();
}

void LevelMeterDialog::zoomOut()
{
    int lowest = 0;
    int highest = 0;
    fullAmplitudeRange(&lowest, &highest);
    if (ampMin() == lowest && ampMax() == highest && gatingTime() == ZOOM_OUT_GATING_TIME)
        return;
    stopDataWorker();
    setAmplitudeRange(lowest, highest, true);
    setGatingTime(ZOOM_OUT_GATING_TIME, false);
    startDataWorker();
}

// ---- Saving ----------------------------------------------------------------------------------

void LevelMeterDialog::onDataCompleted()
{
    if (!m_active)
        return;
    RecordSaving::setStatusText(QString());
    updatePlot();
    QTimer::singleShot(100, this, &LevelMeterDialog::handleTasks);
}

void LevelMeterDialog::handleTasks()
{
    // Queued before the screen was left: the worker may belong to another page now. A save's
    // dialogs run event loops that may deliver a second queued call.
    if (!m_active || m_handlingTasks)
        return;
    m_handlingTasks = true;
    runSave();
    m_handlingTasks = false;
    if (tasks() == TASK_NONE)
        resumeDataWorker();
}

void LevelMeterDialog::runSave()
{
    bool complete = false;
    {
        MutexLocker lock(&m_mutex);
        complete = m_levels->isDataCompleted();
    }
    const bool save = tasks().testFlag(TASK_SAVE);
    if (save && complete) {
        m_requests.remove(TASK_SAVE);
        RecordSaving::setStatusText(QString());
        const QPixmap picture = grabScreen();
        Configuration::Phase phase = Configuration::PHASE_Unspecified;
        if (RecordSaving::askPhase(&phase))
            RecordSaving::saveAndReport(NAME, picture, buildRecord(phase));
    } else if (save && m_active) {
        RecordSaving::setStatusText(tr("Wait for complete data..."));
    }
}

QDomDocument LevelMeterDialog::buildRecord(Configuration::Phase phase) const
{
    QDomDocument document;
    QDomElement root = createRecordRoot(document, NAME, 1);
    appendCommonHeader(document, root, m_worker ? m_worker->fpgaVersion() : 0, RecordSaving::recordFolder(false));
    appendReceiverGroup(document, root, measureMode(), m_antenna, m_bandwidth, !preamplifierOff(), pulseGenerator());
    const int gating = gatingTime();
    const auto text = [&](const char* tag, const QString& value) {
        root.appendChild(createTextElement(document, QLatin1String(tag), value));
    };
    text("gating_time", QString::number(gating));
    text("frequency", QString::number(m_frequency));
    text("linear_amplifier", QString::number(linearAmplifier()));
    text("pulsemode", onOffText(pulseMode()));
    text("minAmplitude", QString::number(ampMin()));
    text("maxAmplitude", QString::number(ampMax()));
    text("phase", Configuration::keyName(phase));
    MutexLocker lock(&m_mutex);
    text("nsamples", QString::number(m_levels->count()));
    QDomElement timescale = document.createElement(QStringLiteral("timescale"));
    timescale.setAttribute(QStringLiteral("min"), QString::number(0.0, 'g', 6));
    timescale.setAttribute(QStringLiteral("max"), QString::number(timeAxisSeconds(gating), 'g', 6));
    root.appendChild(timescale);
    root.appendChild(createSeriesElement(document, QStringLiteral("max"), *m_levels));
    return document;
}

// ---- Two-point calibration -------------------------------------------------------------------

void LevelMeterDialog::confirmCalibrationStep(qint64 nowMs)
{
    int step = 0;
    int average = 0;
    {
        MutexLocker lock(&m_mutex);
        step = m_calibrationStep;
        average = m_averageRaw;
    }
    int dac = linearAmplifier();
    if (dac < 0)
        dac = m_linearAmplifier; // no read-back: the value set
    const TwoPointCalibration::Result result = m_calibration.press(step, average, dac, nowMs);
    if (result.outcome == TwoPointCalibration::PRESS_IGNORED)
        return;
    Configuration::setValue(Configuration::VT_Meas_70, result.nextStep, SYSTEM);
    {
        MutexLocker lock(&m_mutex);
        m_calibrationStep = result.nextStep;
        if (result.outcome == TwoPointCalibration::CASE_STORED) {
            m_triple.offset = result.offset;
            m_triple.factor = result.factor;
        }
    }
    if (result.outcome == TwoPointCalibration::LOW_TAKEN) {
        updatePlotLegend();
        return;
    }
    // The next case's set-up, or the normal settings after the last one; the worker waits, so
    // that no step is measured half with the old set-up.
    stopDataWorker();
    if (result.nextStep != 0)
        applyCalibrationSetup(result.nextStep);
    else
        applyNormalSettings();
    startDataWorker();
}

// ---- Buttons ---------------------------------------------------------------------------------

void LevelMeterDialog::on_FreqButton_clicked()
{
    if (ValueEditDialog::getFrequency(m_frequency) != 1)
        return;
    stopDataWorker();
    setFrequency(ValueEditDialog::instance()->value(), true);
    startDataWorker();
}

void LevelMeterDialog::on_GatingTimeButton_clicked()
{
    if (ValueEditDialog::getGatingTime(gatingTime(), tr("Enter gating time")) != 1)
        return;
    stopDataWorker();
    setGatingTime(ValueEditDialog::instance()->value(), true);
    startDataWorker();
}

void LevelMeterDialog::on_LinearAmplifierButton_clicked()
{
    ValueSliderDialog* slider = ValueSliderDialog::instance();
    slider->setRange(Configuration::getMin(Configuration::VT_LinearAmplifier),
                     Configuration::getMax(Configuration::VT_LinearAmplifier));
    const QMetaObject::Connection preview
        = connect(slider, &ValueSliderDialog::valueChanged, this, &LevelMeterDialog::setLinearAmplifierValue);
    const int current = linearAmplifier();
    if (slider->exec(current >= 0 ? current : m_linearAmplifier, tr("Adjust linear amplification"),
                     QStringLiteral("%"), false)
        == 1)
        Configuration::setValue(Configuration::VT_LinearAmplifier, slider->value(), NAME);
    disconnect(preview);
}

void LevelMeterDialog::on_SaveButton_clicked()
{
    if (calibrationStep() != 0) {
        confirmCalibrationStep(m_pressClock.elapsed());
        return;
    }
    m_requests.add(TASK_SAVE);
    QTimer::singleShot(100, this, &LevelMeterDialog::handleTasks);
}

void LevelMeterDialog::on_SetupLevelButton_clicked()
{
    leave();
    emit gotoSetup(SetupDialog::DIALOG_LEVEL);
}

void LevelMeterDialog::on_ExitButton_clicked()
{
    leave();
    emit exit();
}

void LevelMeterDialog::leave()
{
    stopDataWorker();
    // Inactive first: a save shows dialogs whose event loops would run the queued handleTasks.
    // A save whose pass is complete is still written; one still waiting for its pass is dropped.
    m_active = false;
    if (!m_handlingTasks) {
        m_handlingTasks = true;
        runSave();
        m_handlingTasks = false;
    }
    RecordSaving::setStatusText(QString());
    m_requests.clear();
    // A calibration left half-way: its step stays for the next visit, nothing of the open case
    // is stored, and the receiver goes back to the operator's own set-up.
    if (calibrationStep() != 0) {
        applyNormalSettings();
        setOffsetAmplifierValue(nullOffset(measureMode()));
    }
}

void LevelMeterDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        on_ExitButton_clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}
