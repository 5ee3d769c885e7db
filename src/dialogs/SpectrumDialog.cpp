#include "dialogs/SpectrumDialog.h"
#include "ui_SpectrumDialog.h"

#include "dialogs/AlgorithmDialog.h"
#include "dialogs/FrozenSlots.h"
#include "dialogs/MarkerHandOver.h"
#include "dialogs/RecordSaving.h"
#include "dialogs/TextEditDialog.h"

#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "hardware/SyncRadio.h"
#include "plot/CustomScaleDraw.h"
#include "plot/InfoBar.h"
#include "plot/LiveSpectrumTraces.h"
#include "plot/OverridingPlotData.h"
#include "plot/SpectrumMarkers.h"
#include "plot/SpectrumZoom.h"
#include "plot/WidePenPlotCurve.h"
#include "storage/RecallFile.h"
#include "storage/RecordWriter.h"
#include "util/Calibration.h"
#include "util/ConversionHelper.h"
#include "util/InfoMessageBox.h"
#include "util/MutexLocker.h"
#include "util/PlotZoomer.h"
#include "util/SystemHelper.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_legenditem.h>
#include <qwt_plot_zoneitem.h>

#include <algorithm>

const QString SpectrumDialog::NAME = QStringLiteral("spectrum");

namespace {

const int DISPLAY_INTERVAL_MS = 150;
const quint32 SAMPLE_MASK = 0x3FFF;
const double DEFAULT_FACTOR = 195.0;
const QString RECALL_FILE = QStringLiteral("recall.xml");
const QString RECALL_DIR = QStringLiteral("/data");
const QString CURVES_KEY = QStringLiteral("curves");
const QString SYSTEM = QStringLiteral("system");
// A press held longer than this places the next marker instead of moving the active one.
const qint64 LONG_PRESS_MS = 300;
// The sweep always has one step per slot: 500 steps of at least the smallest step.
const int SWEEP_STEPS = 500;

bool autodetectionSwitchedOn()
{
    return Configuration::value(AlgorithmDialog::NAME, SYSTEM, QVariant()).toBool();
}

QwtPlotCurve* makeCurve(const QString& title, const QColor& colour, int width)
{
    auto* curve = new WidePenPlotCurve(title);
    curve->setPen(colour, width, Qt::SolidLine);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, false);
    return curve;
}

int countOf(SpectrumDialog::CurveSelects curves)
{
    return SpectrumDialog::selectedLiveCurves(curves).size();
}

} // namespace

SpectrumDialog::SpectrumDialog(DataWorker* worker, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::SpectrumDialog)
    , m_grid(new QwtPlotGrid())
    , m_sweepCursor(new QwtPlotZoneItem())
    , m_legendItem(new QwtPlotLegendItem())
    , m_zoomer(nullptr)
    , m_live(new LiveSpectrumTraces(SLOT_COUNT))
    , m_frozen(new FrozenSlots())
    , m_freezeTarget(0)
    , m_freezeSource(CURVE_MAX)
    , m_markers(nullptr)
    , m_autodetectionCurve(nullptr)
    , m_worker(worker)
    , m_timerId(0)
    , m_active(false)
    , m_handlingTasks(false)
    , m_referencePhase(false)
    , m_freqMin(Configuration::getMin(Configuration::VT_FreqMin))
    , m_freqMax(Configuration::getMax(Configuration::VT_FreqMax))
    , m_ampMin(Configuration::getMin(Configuration::VT_AmpMinDbm))
    , m_ampMax(Configuration::getMax(Configuration::VT_AmpMaxDbm))
    , m_calibrationLevel(Calibration::CAL_AMPON_LOW_LOG)
    , m_calibrationOffset(0)
    , m_calibrationFactor(DEFAULT_FACTOR)
    , m_gatingTime(Configuration::getDefault(Configuration::VT_GatingTime).toInt())
    , m_bandwidth(Configuration::getDefault(Configuration::VT_Bandwidth).toInt())
    , m_frequencyStep(static_cast<unsigned>(Configuration::getMin(Configuration::VT_FreqStep)))
    , m_pllLocked(true)
    , m_curves(CURVE_MAX)
    , m_sweepMin(m_freqMin)
    , m_sweepMax(m_freqMax)
    , m_sweepStep(m_frequencyStep)
    , m_maxHold(false)
    , m_cursorFrequency(0.0)
    , m_lastAverageRaw(0.0)
{
    ui->setupUi(this);
    QwtPlot* plot = ui->plot;
    plot->setAutoReplot(false);
    plot->setAxisScaleDraw(QwtPlot::yLeft, new CustomScaleDraw(QStringLiteral("P/dBm")));
    plot->setAxisScaleDraw(QwtPlot::xBottom, new CustomScaleDraw(QStringLiteral("f/MHz")));

    m_grid->setPen(Qt::gray, 0, Qt::SolidLine);
    m_grid->attach(plot);

    m_sweepCursor->setOrientation(Qt::Vertical);
    m_sweepCursor->setPen(QColor(0, 0, 0, 30), 10);
    m_sweepCursor->setInterval(0.0, 0.0);
    m_sweepCursor->attach(plot);

    m_legendItem->setAlignment(Qt::AlignTop | Qt::AlignRight);
    m_legendItem->setMaxColumns(8);
    m_legendItem->attach(plot);

    m_zoomer = new PlotZoomer(plot);
    connect(m_zoomer, &PlotZoomer::selected, this, &SpectrumDialog::zoomPolygon);

    m_liveCurves[LiveSpectrumTraces::MAX] = makeCurve(tr("Max"), Qt::darkBlue, 2);
    m_liveCurves[LiveSpectrumTraces::AVG] = makeCurve(tr("Avg"), Qt::darkGreen, 2);
    m_liveCurves[LiveSpectrumTraces::REF_MAX] = makeCurve(tr("RefMax"), Qt::darkRed, 2);
    m_liveCurves[LiveSpectrumTraces::REF_AVG] = makeCurve(tr("RefAvg"), Qt::darkMagenta, 2);
    m_liveCurves[LiveSpectrumTraces::DIFF] = makeCurve(tr("Diff"), Qt::darkGray, 2);

    m_markers = new SpectrumMarkers(plot);
    m_markers->setBaseline(m_ampMin);

    setFrequencyRange(m_freqMin, m_freqMax);
    const int stored = Configuration::valuePersistent(CURVES_KEY, NAME, 1).toInt();
    setCurves(CurveSelects(stored));
    importRecall(RECALL_FILE, RECALL_DIR);
}

SpectrumDialog::~SpectrumDialog()
{
    stopDataWorker();
    setPulseGenerator(false);
    // The plot deletes the attached items; detached curves are ours.
    for (QwtPlotCurve* curve : m_liveCurves) {
        if (!curve->plot())
            delete curve;
    }
    delete m_live;
    delete m_frozen;
    if (m_autodetectionCurve && !m_autodetectionCurve->plot())
        delete m_autodetectionCurve;
    delete m_markers;
    delete ui;
}

// ---- Static helpers ------------------------------------------------------------------------

QList<SpectrumDialog::CurveSelect> SpectrumDialog::liveCurveOrder()
{
    return { CURVE_MAX, CURVE_AVG, CURVE_REF_MAX, CURVE_REF_AVG, CURVE_DIFF };
}

QList<SpectrumDialog::CurveSelect> SpectrumDialog::selectedLiveCurves(CurveSelects curves)
{
    QList<CurveSelect> selected;
    for (CurveSelect flag : liveCurveOrder()) {
        if (curves.testFlag(flag))
            selected.append(flag);
    }
    return selected;
}

SpectrumDialog::CurveSelect SpectrumDialog::freezeCurve(int slot)
{
    return CurveSelect(CURVE_FREEZE_1 << slot);
}

double SpectrumDialog::toDbm(double linearised, int level, int offset, double factor)
{
    return level + (linearised - offset) / factor;
}

double SpectrumDialog::differenceValue(double a, double b)
{
    return LiveSpectrumTraces::differenceValue(a, b);
}

SpectrumDialog::CurveSelects SpectrumDialog::repairedSelection(CurveSelects curves)
{
    if (!(curves & LIVE_CURVE_MASK))
        curves |= CURVE_MAX;
    if (curves.testFlag(CURVE_DIFF) && countOf(curves) != 3)
        curves &= ~CurveSelects(CURVE_DIFF);
    return curves;
}

int SpectrumDialog::liveIndex(CurveSelect curve)
{
    const int index = liveCurveOrder().indexOf(curve);
    // The order of the flags is the order of the traces.
    static_assert(LiveSpectrumTraces::MAX == 0 && LiveSpectrumTraces::DIFF == 4, "trace order");
    return index;
}

// ---- State -----------------------------------------------------------------------------------

SpectrumDialog::CurveSelects SpectrumDialog::curves() const
{
    MutexLocker lock(&m_dataLock);
    return m_curves;
}

int SpectrumDialog::calibrationLevel() const
{
    MutexLocker lock(&m_dataLock);
    return m_calibrationLevel;
}

int SpectrumDialog::calibrationOffset() const
{
    MutexLocker lock(&m_dataLock);
    return m_calibrationOffset;
}

double SpectrumDialog::calibrationFactor() const
{
    MutexLocker lock(&m_dataLock);
    return m_calibrationFactor;
}

bool SpectrumDialog::isPllLocked() const
{
    MutexLocker lock(&m_dataLock);
    return m_pllLocked;
}

bool SpectrumDialog::isReferencePhase() const
{
    MutexLocker lock(&m_dataLock);
    return m_referencePhase;
}

SpectrumDialog::Tasks SpectrumDialog::tasks() const
{
    return Tasks(m_tasks.pending());
}

OverridingPlotData* SpectrumDialog::series(CurveSelect curve) const
{
    const int live = liveIndex(curve);
    if (live >= 0)
        return m_live->series(LiveSpectrumTraces::Trace(live));
    for (int i = 0; i < FREEZE_COUNT; ++i) {
        if (curve == freezeCurve(i))
            return m_frozen->series(i);
    }
    return nullptr;
}

QwtPlotCurve* SpectrumDialog::curve(CurveSelect curve) const
{
    const int live = liveIndex(curve);
    if (live >= 0)
        return m_liveCurves[live];
    for (int i = 0; i < FREEZE_COUNT; ++i) {
        if (curve == freezeCurve(i))
            return m_frozen->curve(i);
    }
    return nullptr;
}

// ---- Start-up and settings -------------------------------------------------------------------

void SpectrumDialog::exec()
{
    ui->retranslateUi(this);
    setMeasMode(Configuration::MEAS_MODE_LOG);

    setBandwidth(Configuration::getValue(Configuration::VT_Bandwidth, NAME));
    setFrequencyRange(Configuration::getValue(Configuration::VT_FreqMin, NAME),
        Configuration::getValue(Configuration::VT_FreqMax, NAME));
    setAmplitudeRange(Configuration::getValue(Configuration::VT_AmpMinDbm, NAME),
        Configuration::getValue(Configuration::VT_AmpMaxDbm, NAME));
    setGatingTime(Configuration::getValue(Configuration::VT_GatingTime, NAME));
    setPreamplifier(Configuration::getValue(Configuration::VT_Preamplifier, NAME) != 0);
    setAntenna(Configuration::ANTENNA_UHF);

    const bool calibrator = pulseGenerator();
    if (calibrator) {
        // The pulse generator feeds the reference input: there is no reference to measure.
        setAntennaSelectB(true);
        MutexLocker lock(&m_dataLock);
        m_live->series(LiveSpectrumTraces::REF_MAX)->clear();
        m_live->series(LiveSpectrumTraces::REF_AVG)->clear();
    } else {
        setAntennaSelectB(false);
    }
    setPulseMode(false);
    setReceiveMode(false);
    if (m_worker)
        m_worker->setVolume(0);

    CurveSelects curves = this->curves();
    if (calibrator)
        curves &= ~CurveSelects(CURVE_REF_AVG | CURVE_REF_MAX);
    if (curves.testFlag(CURVE_DIFF) && countOf(curves) != 3)
        curves &= ~CurveSelects(CURVE_DIFF);
    if (!curves)
        curves = CURVE_MAX;
    setCurves(curves);

    {
        MutexLocker lock(&m_dataLock);
        m_pllLocked = true;
    }
    m_tasks.clear();
    setStopIcon(autodetectionSwitchedOn());
    startDataWorker();
}

void SpectrumDialog::setFrequencyRange(int freqMin, int freqMax, bool save)
{
    const int lowest = Configuration::getMin(Configuration::VT_FreqMin);
    const int highest = Configuration::getMax(Configuration::VT_FreqMax);
    freqMin = std::max(freqMin, lowest);
    freqMax = std::min(freqMax, highest);
    // A range whose minimum is not below its maximum (a stored value out of its limits, or an
    // edited file) would wrap the unsigned step into a huge value: sweep the range the other way
    // round, or the whole band when it is empty.
    freqMin = std::min(freqMin, highest);
    freqMax = std::max(freqMax, lowest);
    if (freqMin > freqMax)
        std::swap(freqMin, freqMax);
    if (freqMin == freqMax) {
        freqMin = lowest;
        freqMax = highest;
    }
    // Every slot of the series is one step of the sweep. A span too narrow for 500 steps of the
    // smallest step (an edited settings file; the setup page keeps 50 MHz) is widened to the
    // narrowest that has them, rather than spreading fewer points over the slots.
    const unsigned minimumStep = static_cast<unsigned>(Configuration::getMin(Configuration::VT_FreqStep));
    const int narrowest = int((SWEEP_STEPS * minimumStep + 999u) / 1000u);
    if (freqMax - freqMin < narrowest) {
        freqMax = std::min(freqMin + narrowest, highest);
        freqMin = std::max(freqMax - narrowest, lowest);
    }
    const unsigned step
        = std::max(1000u * static_cast<unsigned>(freqMax - freqMin) / unsigned(SWEEP_STEPS), minimumStep);
    {
        MutexLocker lock(&m_dataLock);
        m_freqMin = freqMin;
        m_freqMax = freqMax;
        m_frequencyStep = step;
    }
    if (save) {
        Configuration::setValue(Configuration::VT_FreqMin, freqMin, NAME);
        Configuration::setValue(Configuration::VT_FreqMax, freqMax, NAME);
    }
}

void SpectrumDialog::setAmplitudeRange(int ampMin, int ampMax, bool save)
{
    {
        MutexLocker lock(&m_dataLock);
        m_ampMin = ampMin;
        m_ampMax = ampMax;
    }
    if (save) {
        Configuration::setValue(Configuration::VT_AmpMinDbm, ampMin, NAME);
        Configuration::setValue(Configuration::VT_AmpMaxDbm, ampMax, NAME);
    }
}

void SpectrumDialog::setGatingTime(int gatingPeriodes, bool save)
{
    // A stored value outside its limits would give the worker no samples at all.
    gatingPeriodes = std::max(Configuration::getMin(Configuration::VT_GatingTime),
        std::min(gatingPeriodes, Configuration::getMax(Configuration::VT_GatingTime)));
    {
        MutexLocker lock(&m_dataLock);
        m_gatingTime = gatingPeriodes;
    }
    if (save)
        Configuration::setValue(Configuration::VT_GatingTime, gatingPeriodes, NAME);
}

void SpectrumDialog::setBandwidth(int bandwidth, bool save)
{
    {
        MutexLocker lock(&m_dataLock);
        m_bandwidth = bandwidth;
    }
    ::setBandwidth(bandwidth);
    if (save)
        Configuration::setValue(Configuration::VT_Bandwidth, bandwidth, NAME);
}

void SpectrumDialog::setAntenna(Configuration::Antenna antenna)
{
    setAntennaPath(antenna);
}

void SpectrumDialog::setPreamplifier(bool enable)
{
    setPreamplifierOff(!enable);
    const bool on = !preamplifierOff();
    const int level = on ? Calibration::CAL_AMPON_LOW_LOG : Calibration::CAL_AMPOFF_LOW_LOG;
    const int offset
        = Calibration::getInt(on ? Calibration::VT_AmpOnLOGOffset : Calibration::VT_AmpOffLOGOffset, QString());
    const double factor
        = Calibration::getDouble(on ? Calibration::VT_AmpOnLOGFaktor : Calibration::VT_AmpOffLOGFaktor, QString());
    setCalibration(level, offset, factor);
}

void SpectrumDialog::setCalibration(int level, int offset, double factor)
{
    MutexLocker lock(&m_dataLock);
    m_calibrationLevel = level;
    m_calibrationOffset = offset;
    m_calibrationFactor = factor;
}

void SpectrumDialog::setOffsetAmplifierValue(int linamplifier)
{
    setOffsetAmplifier(linamplifier);
}

void SpectrumDialog::setCurves(CurveSelects curves, bool save)
{
    {
        MutexLocker lock(&m_dataLock);
        m_curves = curves;
    }
    if (save) {
        const int value = int(curves) & ~FREEZE_CURVE_MASK;
        Configuration::setValuePersistent(CURVES_KEY, value, NAME);
    }
}

void SpectrumDialog::requestFreeze(int target, CurveSelect source)
{
    if (target < 0 || target >= FREEZE_COUNT || liveIndex(source) < 0)
        return;
    m_freezeTarget = target;
    m_freezeSource = source;
    m_tasks.add(TASK_FREEZE);
}

// ---- Acquisition -----------------------------------------------------------------------------

void SpectrumDialog::onMeasurementFinished(quint32 frequency, const quint32* /*minValues*/, const quint32* avgValues,
    const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement)
{
    // The GUI thread is reached by queued calls by name: no functor object made on this thread
    // is handed to the other one (the event queue's lock is invisible to ThreadSanitizer).
    bool repeat = false;
    bool complete = false;
    {
        MutexLocker lock(&m_dataLock);
        const bool referenceShown = m_curves & (CURVE_REF_AVG | CURVE_REF_MAX);
        const int slot = slotOf(frequency);
        if (frequency == 0 || slot < 0 || nSamples == 0 || !avgValues || !maxValues) {
            // Lost lock (or nothing measured): the step carries no data.
            if (frequency == 0 && m_pllLocked) {
                m_pllLocked = false;
                QMetaObject::invokeMethod(this, "updatePlotLegend", Qt::QueuedConnection);
                QMetaObject::invokeMethod(this, "showPllUnlocked", Qt::QueuedConnection);
            }
        } else {
            if (!m_pllLocked) {
                m_pllLocked = true;
                QMetaObject::invokeMethod(this, "updatePlotLegend", Qt::QueuedConnection);
            }
            quint64 sum = 0;
            quint32 maxRaw = 0;
            for (quint16 i = 0; i < nSamples; ++i) {
                sum += avgValues[i] & SAMPLE_MASK;
                maxRaw = std::max(maxRaw, maxValues[i] & SAMPLE_MASK);
            }
            const double avgRaw = static_cast<double>(sum / nSamples);
            m_lastAverageRaw = avgRaw;

            if (m_calibrationFactor == 0.0)
                m_calibrationFactor = DEFAULT_FACTOR;
            const double avgDbm = toDbm(ConversionHelper::linearizeValue(static_cast<int>(avgRaw)), m_calibrationLevel,
                m_calibrationOffset, m_calibrationFactor);
            const double maxDbm = toDbm(ConversionHelper::linearizeValue(static_cast<int>(maxRaw)), m_calibrationLevel,
                m_calibrationOffset, m_calibrationFactor);

            m_live->add(slot, m_sweepMin, m_sweepMax, avgDbm, maxDbm, m_referencePhase, m_maxHold);
            const QList<CurveSelect> selected = selectedLiveCurves(m_curves);
            if (selected.size() == 3 && (!referenceShown || m_referencePhase)) {
                m_live->addDifference(slot, m_sweepMin, m_sweepMax,
                    LiveSpectrumTraces::Trace(liveIndex(selected.at(0))),
                    LiveSpectrumTraces::Trace(liveIndex(selected.at(1))));
            }
            if (m_live->series(m_referencePhase ? LiveSpectrumTraces::REF_MAX : LiveSpectrumTraces::MAX)
                    ->isDataCompleted())
                QMetaObject::invokeMethod(this, "updatePlotLegend", Qt::QueuedConnection);

            m_referencePhase = referenceShown ? !m_referencePhase : false;
            setAntennaSelectA(!m_referencePhase);
            m_cursorFrequency = frequency / 1000.0;
        }
        repeat = referenceShown && m_referencePhase;
        complete = m_live->series(LiveSpectrumTraces::MAX)->isDataCompleted();
    }
    if (repeatMeasurement)
        *repeatMeasurement = repeat;
    if (!repeat && complete && m_tasks.pauseForRequests()) {
        // The sweep is complete and a request waits for it: the GUI thread does the work while
        // this thread waits here, then resumes it.
        QMetaObject::invokeMethod(this, "onDataCompleted", Qt::QueuedConnection);
        pauseDataWorker();
    }
}

int SpectrumDialog::slotOf(quint32 frequency) const
{
    const quint32 start = 1000u * quint32(m_sweepMin);
    if (m_sweepStep == 0 || frequency < start || (frequency - start) % m_sweepStep != 0)
        return -1;
    const quint32 slot = (frequency - start) / m_sweepStep;
    return slot < quint32(SLOT_COUNT) ? int(slot) : -1;
}

void SpectrumDialog::startDataWorker()
{
    stopDataWorker();
    int freqMin = 0;
    int freqMax = 0;
    unsigned step = 0;
    int gatingTime = 0;
    {
        MutexLocker lock(&m_dataLock);
        m_live->clear();
        m_referencePhase = false;
        m_maxHold = Configuration::getValue(Configuration::VT_MaxHold, NAME) == 1;
        freqMin = m_sweepMin = m_freqMin;
        freqMax = m_sweepMax = m_freqMax;
        step = m_sweepStep = m_frequencyStep;
        gatingTime = m_gatingTime;
    }
    setOffsetAmplifierValue(Calibration::getInt(Calibration::VT_NullOffsetLOG, QString()));
    // A run stopped in a reference step left the reference input switched in: the first step of
    // the new run belongs to the main input.
    setAntennaSelectA(true);
    m_active = true;
    updatePlot();
    if (!m_worker)
        return;
    connect(
        m_worker, &DataWorker::measurementFinished, this, &SpectrumDialog::onMeasurementFinished, Qt::DirectConnection);
    m_worker->setSyncMode(false);
    m_worker->setRadioSync(false);
    m_worker->setMeasurementTime(static_cast<quint16>(gatingTime), 1000);
    m_worker->start(1000u * static_cast<quint32>(freqMin), 1000u * static_cast<quint32>(freqMax), step, -1);
    startTimer();
}

void SpectrumDialog::stopDataWorker()
{
    stopTimer();
    if (!m_worker)
        return;
    // The thread ends first (after its current step), then the connection goes: no step can be
    // inside the handler while its connection is torn down.
    m_worker->stop();
    disconnect(m_worker, &DataWorker::measurementFinished, this, &SpectrumDialog::onMeasurementFinished);
    // A pause the handler asked for ended with the thread.
    m_tasks.takePause();
}

void SpectrumDialog::pauseDataWorker()
{
    if (m_worker)
        m_worker->pause();
}

void SpectrumDialog::resumeDataWorker()
{
    if (m_worker && m_worker->isRunning()) {
        startTimer();
        // Only a pause the handler asked for is released: a spare resume would let the next
        // pause pass straight through.
        if (m_tasks.takePause())
            m_worker->resume();
    } else {
        startDataWorker();
    }
}

void SpectrumDialog::startTimer()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = QObject::startTimer(DISPLAY_INTERVAL_MS, Qt::CoarseTimer);
}

void SpectrumDialog::stopTimer()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = 0;
}

void SpectrumDialog::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId || m_timerId == 0) {
        QWidget::timerEvent(event);
        return;
    }
    updateCurves();
    if (m_worker && m_worker->isPaused())
        stopTimer();
    ui->plot->replot();
}

void SpectrumDialog::updateCurves()
{
    static const CurveSelect order[] = { CURVE_AVG, CURVE_MAX, CURVE_DIFF, CURVE_REF_AVG, CURVE_REF_MAX, CURVE_FREEZE_1,
        CURVE_FREEZE_2, CURVE_FREEZE_3, CURVE_FREEZE_4 };
    MutexLocker lock(&m_dataLock);
    for (CurveSelect flag : order) {
        if (!m_curves.testFlag(flag))
            continue;
        // A copy of its own for the curve, so that the worker keeps writing into its series in
        // place (no allocation on its side).
        const QVector<QPointF>* points = series(flag)->getConstData();
        curve(flag)->setSamples(QVector<QPointF>(points->cbegin(), points->cend()));
    }
    m_sweepCursor->setInterval(m_cursorFrequency, m_cursorFrequency);
}

QString SpectrumDialog::maxTitle() const
{
    const bool hold = Configuration::getValue(Configuration::VT_MaxHold, NAME) == 1;
    return hold ? tr("Max") + tr("(H)") : tr("Max");
}

QString SpectrumDialog::refMaxTitle() const
{
    const bool hold = Configuration::getValue(Configuration::VT_MaxHold, NAME) == 1;
    return hold ? tr("RefMax") + tr("(H)") : tr("RefMax");
}

void SpectrumDialog::updatePlot()
{
    updatePlotLegend();
    m_liveCurves[LiveSpectrumTraces::MAX]->setTitle(maxTitle());
    m_liveCurves[LiveSpectrumTraces::AVG]->setTitle(tr("Avg"));
    m_liveCurves[LiveSpectrumTraces::REF_MAX]->setTitle(refMaxTitle());
    m_liveCurves[LiveSpectrumTraces::REF_AVG]->setTitle(tr("RefAvg"));
    m_liveCurves[LiveSpectrumTraces::DIFF]->setTitle(tr("Diff"));

    QwtPlot* plot = ui->plot;
    const CurveSelects curves = this->curves();
    plot->setAxisScale(QwtPlot::xBottom, m_freqMin, m_freqMax);
    plot->setAxisScale(QwtPlot::yLeft, std::min(m_ampMin, m_ampMax), std::max(m_ampMin, m_ampMax));
    static const CurveSelect order[] = { CURVE_FREEZE_1, CURVE_FREEZE_2, CURVE_FREEZE_3, CURVE_FREEZE_4, CURVE_MAX,
        CURVE_AVG, CURVE_DIFF, CURVE_REF_MAX, CURVE_REF_AVG };
    for (CurveSelect flag : order) {
        QwtPlotCurve* item = curve(flag);
        item->detach();
        if (curves.testFlag(flag))
            item->attach(plot);
    }
    updateCurves();
    plot->replot();
}

void SpectrumDialog::updatePlotLegend()
{
    QList<InfoBar::Info> entries;
    if (Configuration::getValue(Configuration::VT_Service, SYSTEM)) {
        double lastAverage = 0.0;
        int offset = 0;
        double factor = 0.0;
        {
            MutexLocker lock(&m_dataLock);
            lastAverage = m_lastAverageRaw;
            offset = m_calibrationOffset;
            factor = m_calibrationFactor;
        }
        entries << InfoBar::Info(
            tr("NullOff: <b>%1</b>").arg(Calibration::getInt(Calibration::VT_NullOffsetLOG, QString())));
        entries << InfoBar::Info(tr("AvgAmp: <b>%1</b>").arg(lastAverage));
        entries << InfoBar::Info(tr("AvgOff: <b>%1</b>").arg(offset));
        entries << InfoBar::Info(tr("AvgFak: <b>%1</b>").arg(factor));
    } else {
        entries << InfoBar::Info(QStringLiteral("%1 <b>%2</b>").arg(tr("Ant:"), tr("UHF")));
        entries << InfoBar::Info(
            QStringLiteral("%1 <b>%2%3</b>").arg(tr("Time:"), QString::number(m_gatingTime), tr("ms")));
        entries << InfoBar::Info(
            QStringLiteral("%1 <b>%2%3</b>").arg(tr("Band:"), QString::number(m_bandwidth / 1000.0), tr("MHz")));
    }
    m_markers->setBaseline(m_ampMin);
    for (int i = 0; i < SpectrumMarkers::COUNT; ++i) {
        if (!m_markers->isShown(i))
            continue;
        entries << InfoBar::Info(
            QStringLiteral("%1%2: <b>%3%4</b>")
                .arg(tr("Freq"), QString::number(i + 1), QString::number(m_markers->frequency(i)), tr("MHz")),
            i == m_markers->active() ? QStringLiteral("font-weight:bold;") : QString());
    }
    ui->infoBar->setInfo(entries, 4);
    ui->MarkerButton->setEnabled(m_markers->active() >= 0);
}

void SpectrumDialog::showPllUnlocked()
{
    InfoMessageBox::information(tr("PLL unlocked"), 1000, QString(), QMessageBox::Information);
}

// ---- Requests that wait for a complete sweep -------------------------------------------------

void SpectrumDialog::onDataCompleted()
{
    if (!m_active)
        return;
    RecordSaving::setStatusText(QString());
    updatePlot();
    QTimer::singleShot(100, this, &SpectrumDialog::handleTasks);
}

void SpectrumDialog::handleTasks()
{
    // Queued before the screen was left: the worker may belong to another page now.
    if (!m_active || m_handlingTasks)
        return;
    m_handlingTasks = true;
    runRequests(false);
    m_handlingTasks = false;
    if (tasks() == TASK_NONE)
        resumeDataWorker();
}

void SpectrumDialog::runRequests(bool needCompleteSweep)
{
    const Tasks tasks = this->tasks();
    bool complete = false;
    {
        MutexLocker lock(&m_dataLock);
        complete = m_live->series(LiveSpectrumTraces::MAX)->isDataCompleted();
    }
    const bool running = m_worker && m_worker->isRunning();
    if (tasks != TASK_NONE && (complete || (!running && !needCompleteSweep))) {
        RecordSaving::setStatusText(QString());
        if (tasks.testFlag(TASK_FREEZE))
            freezeTrace();
        if (tasks.testFlag(TASK_SAVE))
            saveRecord();
    } else if (tasks != TASK_NONE) {
        RecordSaving::setStatusText(tr("Wait for complete data..."));
    }
}

void SpectrumDialog::freezeTrace()
{
    m_tasks.remove(TASK_FREEZE);
    {
        MutexLocker lock(&m_dataLock);
        m_frozen->store(m_freezeTarget, *series(m_freezeSource));
    }
    setCurves(curves() | freezeCurve(m_freezeTarget));
    updatePlot();
    exportRecall();
}

void SpectrumDialog::saveRecord()
{
    m_tasks.remove(TASK_SAVE);
    const QPixmap picture = grabScreen();
    Configuration::Phase phase = Configuration::PHASE_Unspecified;
    if (!RecordSaving::askPhase(&phase))
        return;
    QDomDocument document;
    QDomElement root = createRecordRoot(document, NAME, 1);
    appendCommonHeader(document, root, m_worker ? m_worker->fpgaVersion() : 0, RecordSaving::recordFolder(false));
    recordBody(phase).appendTo(document, root);
    RecordSaving::saveAndReport(NAME, picture, document);
}

SpectrumRecordBody SpectrumDialog::recordBody(Configuration::Phase phase) const
{
    SpectrumRecordBody body;
    body.preamplifierOn = !preamplifierOff();
    body.calibratorOn = pulseGenerator();
    body.maxHold = Configuration::getValue(Configuration::VT_MaxHold, NAME) == 1;
    body.phase = phase;
    static const QPair<CurveSelect, const char*> tags[]
        = { { CURVE_MAX, "max" }, { CURVE_AVG, "avg" }, { CURVE_DIFF, "diff" }, { CURVE_REF_MAX, "ref_max" },
              { CURVE_REF_AVG, "ref_avg" }, { CURVE_FREEZE_1, "freeze1" }, { CURVE_FREEZE_2, "freeze2" },
              { CURVE_FREEZE_3, "freeze3" }, { CURVE_FREEZE_4, "freeze4" } };
    MutexLocker lock(&m_dataLock);
    body.bandwidth = m_bandwidth;
    body.gatingTime = m_gatingTime;
    body.ampMin = m_ampMin;
    body.ampMax = m_ampMax;
    // The range the live traces were measured over (a zoom while stopped changes only the axes).
    body.freqMin = m_sweepMin;
    body.freqMax = m_sweepMax;
    body.nsamples = m_live->series(LiveSpectrumTraces::MAX)->count();
    for (const auto& tag : tags) {
        if (!m_curves.testFlag(tag.first))
            continue;
        const bool frozen = liveIndex(tag.first) < 0;
        body.traces.append({ QLatin1String(tag.second), frozen ? curve(tag.first)->title().text() : QString(),
            *series(tag.first)->getConstData() });
    }
    return body;
}

void SpectrumDialog::leave()
{
    stopDataWorker();
    // Inactive first: a save shows dialogs whose event loops would run the queued handleTasks.
    m_active = false;
    if (!m_handlingTasks) {
        m_handlingTasks = true;
        runRequests(true);
        m_handlingTasks = false;
    }
    RecordSaving::setStatusText(QString());
    m_tasks.clear();
}

// ---- Markers and zoom ------------------------------------------------------------------------

void SpectrumDialog::setActiveMarker(int index)
{
    m_markers->setActive(index);
}

void SpectrumDialog::moveMarker(int index, unsigned freq)
{
    m_markers->move(index, freq, m_ampMin);
    handOverMarkers();
}

void SpectrumDialog::handOverMarkers()
{
    SpectrumMarkers::Readings readings;
    {
        MutexLocker lock(&m_dataLock);
        readings = m_markers->read(*m_live->series(LiveSpectrumTraces::MAX));
    }
    MarkerHandOver::publish(readings, bandwidth());
}

void SpectrumDialog::clearAllMarkers()
{
    for (int i = 0; i < SpectrumMarkers::COUNT; ++i)
        moveMarker(i, 0);
    setActiveMarker(-1);
}

void SpectrumDialog::zoomPolygon(QPolygon polygon, qint64 duration)
{
    if (polygon.size() != 2)
        return;
    const QRectF rect = m_zoomer->invTransform(QRect(polygon.first(), polygon.last()).normalized());
    const SpectrumRange limits = SpectrumZoom::limits();
    const SpectrumRange shown = { m_freqMin, m_freqMax, m_ampMin, m_ampMax };
    SpectrumRange zoomed = limits;
    switch (SpectrumZoom::classify(rect, polygon.first().x(), polygon.last().x(), shown)) {
    case SpectrumZoom::GESTURE_TAP: {
        const int marker = m_markers->markerForTap(duration > LONG_PRESS_MS);
        setActiveMarker(marker);
        moveMarker(marker, unsigned(SpectrumZoom::tapFrequency(rect, limits)));
        updatePlotLegend();
        ui->plot->replot();
        return;
    }
    case SpectrumZoom::GESTURE_ZOOM_IN:
        zoomed = SpectrumZoom::zoomedIn(rect, limits);
        break;
    case SpectrumZoom::GESTURE_ZOOM_OUT:
        break;
    case SpectrumZoom::GESTURE_NONE:
        return;
    }
    if (zoomed == shown)
        return;
    stopDataWorker();
    const bool mounted = SystemHelper::mountData();
    setFrequencyRange(zoomed.freqMin, zoomed.freqMax, true);
    setAmplitudeRange(zoomed.ampMin, zoomed.ampMax, true);
    if (mounted)
        SystemHelper::unmountData();
    // Stopped, the last sweep stays on the screen under the new axes.
    if (tasks().testFlag(TASK_STOP))
        updatePlot();
    else
        startDataWorker();
}

void SpectrumDialog::on_MarkerButton_clicked()
{
    ValueSelectDialog::Options options;
    for (int i = 0; i < SpectrumMarkers::COUNT; ++i) {
        if (!m_markers->isShown(i))
            continue;
        options << new ValueSelectDialog::Option(
            QStringLiteral("%1 %2 [%3 %4]")
                .arg(tr("Marker"), QString::number(i + 1), QString::number(m_markers->frequency(i), 'g', 6), tr("MHz")),
            i, i == m_markers->active(), true);
    }
    ValueSelectDialog* dialog = ValueSelectDialog::instance();
    dialog->customButton()->setText(tr("Clear all"));
    dialog->customButton()->setIcon(QIcon(QStringLiteral(":/resources/images/trash.png")));
    if (dialog->exec(m_markers->active(), tr("Select marker"), options, true, true) == 1) {
        const int value = dialog->value().toInt();
        if (value == ValueSelectDialog::VALUE_CUSTOM)
            clearAllMarkers();
        else
            setActiveMarker(value);
    }
    updatePlot();
}

// ---- Trace selection -------------------------------------------------------------------------

void SpectrumDialog::on_RefButton_clicked()
{
    const QStringList texts = { tr("Maximum"), tr("Average"), tr("Ref Maximum"), tr("Ref Average"), tr("Difference") };
    m_refOptions.clear();
    for (int k = 0; k < texts.size(); ++k)
        m_refOptions << new ValueSelectDialog::Option(texts.at(k), k, false, false);
    updateRefOptions(m_refOptions);
    ValueSelectDialog* dialog = ValueSelectDialog::instance();
    connect(dialog, &ValueSelectDialog::optionClicked, this, &SpectrumDialog::onRefOptionClicked);
    dialog->exec(-1, tr("Select trace"), m_refOptions, true, false);
    disconnect(dialog, &ValueSelectDialog::optionClicked, this, &SpectrumDialog::onRefOptionClicked);
    m_refOptions.clear();
}

void SpectrumDialog::updateRefOptions(ValueSelectDialog::Options options)
{
    const CurveSelects curves = this->curves();
    const int shown = countOf(curves & ~CurveSelects(CURVE_DIFF));
    const QList<CurveSelect> order = liveCurveOrder();
    for (int k = 0; k < options.size() && k < order.size(); ++k) {
        const bool checked = curves.testFlag(order.at(k));
        bool selectable = order.at(k) != CURVE_DIFF || shown == 2 || checked;
        // The last trace shown cannot be taken away.
        if (checked && countOf(curves) == 1)
            selectable = false;
        options.at(k)->setChecked(checked);
        options.at(k)->setSelectable(selectable);
    }
}

void SpectrumDialog::onRefOptionClicked(ValueSelectDialog::Option* option)
{
    const QList<CurveSelect> order = liveCurveOrder();
    const int k = option->value().toInt();
    if (k < 0 || k >= order.size())
        return;
    const CurveSelect flag = order.at(k);
    // The reference traces and the difference change what each step measures.
    const bool changesMeasuring = flag != CURVE_MAX && flag != CURVE_AVG;
    if (changesMeasuring)
        stopDataWorker();
    setCurves(curves() ^ flag, true);
    setCurves(repairedSelection(curves()));
    if (changesMeasuring)
        startDataWorker();
    else
        updatePlot();
    updateRefOptions(m_refOptions);
}

// ---- Frozen slots ----------------------------------------------------------------------------

void SpectrumDialog::on_StoreRecallButton_clicked()
{
    StoreRecallDialog* dialog = StoreRecallDialog::instance();
    m_frozen->prepare(dialog, int(curves() & FREEZE_CURVE_MASK) / CURVE_FREEZE_1);
    connect(dialog, &StoreRecallDialog::buttonPressed, this, &SpectrumDialog::onStoreRecallOptionClicked);
    const int result = dialog->exec(tr("Store-/Recall curve"));
    disconnect(dialog, &StoreRecallDialog::buttonPressed, this, &SpectrumDialog::onStoreRecallOptionClicked);
    int slot = -1;
    StoreRecallDialog::Button button = StoreRecallDialog::BUTTON_SELECT;
    dialog->pressed(slot, button);
    if (result != QDialog::Accepted) {
        // Left with exit: only the shown slots may have changed.
    } else if (button == StoreRecallDialog::BUTTON_CLEAR_ALL) {
        m_frozen->clearAll();
        setCurves(curves() & ~CurveSelects(FREEZE_CURVE_MASK));
        exportRecall();
    } else if (button == StoreRecallDialog::BUTTON_EDIT && slot >= 0 && slot < FREEZE_COUNT) {
        TextEditDialog* editor = TextEditDialog::instance();
        if (editor->exec(m_frozen->title(slot), tr("Edit curve name"), FrozenSlots::NAME_LENGTH) == 1
            && m_frozen->rename(slot, editor->text()))
            exportRecall();
    } else if (button == StoreRecallDialog::BUTTON_SAVE && slot >= 0 && slot < FREEZE_COUNT) {
        freezeIntoSlot(slot);
    }
    updatePlot();
}

void SpectrumDialog::freezeIntoSlot(int slot)
{
    const QList<CurveSelect> shown = selectedLiveCurves(curves());
    CurveSelect source = shown.value(0, CURVE_NONE);
    if (shown.size() > 1) {
        ValueSelectDialog::Options options;
        for (CurveSelect flag : shown)
            options << new ValueSelectDialog::Option(curve(flag)->title().text(), int(flag));
        ValueSelectDialog* dialog = ValueSelectDialog::instance();
        source = CURVE_NONE;
        if (dialog->exec(-1, tr("Select curve"), options, true, false) == 1
            && shown.contains(CurveSelect(dialog->value().toInt())))
            source = CurveSelect(dialog->value().toInt());
    }
    if (source == CURVE_NONE)
        return;
    requestFreeze(slot, source);
    handleTasks();
}

void SpectrumDialog::onStoreRecallOptionClicked(StoreRecallDialog::Button button, int index)
{
    if (button != StoreRecallDialog::BUTTON_SELECT || index < 0 || index >= FREEZE_COUNT)
        return;
    setCurves(curves() ^ freezeCurve(index));
    FrozenSlots::markShown(StoreRecallDialog::instance(), index, curves().testFlag(freezeCurve(index)));
    updatePlot();
}

// ---- Stored curves ---------------------------------------------------------------------------

void SpectrumDialog::exportRecall(const QString& file, const QString& dir)
{
    m_frozen->exportTo(RecallFile::path(file, dir));
}

void SpectrumDialog::exportRecall(const QString& file)
{
    exportRecall(file, RECALL_DIR);
}

void SpectrumDialog::exportRecall()
{
    exportRecall(RECALL_FILE, RECALL_DIR);
}

void SpectrumDialog::importRecall(const QString& file, const QString& dir)
{
    m_frozen->importFrom(RecallFile::path(file, dir));
}

void SpectrumDialog::importRecall(const QString& file)
{
    importRecall(file, RECALL_DIR);
}

void SpectrumDialog::importRecall()
{
    importRecall(RECALL_FILE, RECALL_DIR);
}

// ---- Buttons ---------------------------------------------------------------------------------

void SpectrumDialog::on_SaveButton_clicked()
{
    m_tasks.add(TASK_SAVE);
    QTimer::singleShot(100, this, &SpectrumDialog::handleTasks);
}

void SpectrumDialog::on_ExitButton_clicked()
{
    leave();
    emit exit();
}

void SpectrumDialog::on_SetupSpectrumButton_clicked()
{
    leave();
    emit gotoSetup(SetupDialog::DIALOG_SPECTRUM);
}

void SpectrumDialog::on_StopButton_clicked(bool /*checked*/)
{
    if (autodetectionSwitchedOn()) {
        runAutodetection();
        return;
    }
    if (tasks().testFlag(TASK_STOP))
        m_tasks.remove(TASK_STOP);
    else
        m_tasks.add(TASK_STOP);
    // While stopped the button offers to start again.
    setStopIcon(tasks().testFlag(TASK_STOP));
    handleTasks();
}

void SpectrumDialog::setStopIcon(bool stopped)
{
    ui->StopButton->setIcon(QIcon(
        stopped ? QStringLiteral(":/resources/svg/start_meas.svg") : QStringLiteral(":/resources/svg/stop_meas2.svg")));
}

// ---- Autodetection ---------------------------------------------------------------------------

void SpectrumDialog::runAutodetection()
{
    stopDataWorker();
    // The run measures on the main antenna, whichever input the last step of a reference trace
    // left switched.
    setAntennaSelectA(true);
    AlgorithmDialog* dialog = AlgorithmDialog::instance();
    const bool completed = dialog->exec(m_worker, tr("Autodetect algorithm")) == 1;
    if (completed) {
        clearAllMarkers();
        int next = 0;
        for (const QPointF& result : dialog->results()) {
            if (result.isNull() || next >= SpectrumMarkers::COUNT)
                continue;
            moveMarker(next, unsigned(result.x()));
            setActiveMarker(next);
            ++next;
        }
    }
    startDataWorker();
    if (completed)
        showAutodetectionTrace(dialog->correctedTrace());
}

void SpectrumDialog::showAutodetectionTrace(const QVector<QPointF>& counts)
{
    if (!m_autodetectionCurve)
        m_autodetectionCurve = makeCurve(QStringLiteral("Z"), Qt::black, 2);
    int level = 0;
    int offset = 0;
    double factor = DEFAULT_FACTOR;
    {
        MutexLocker lock(&m_dataLock);
        level = m_calibrationLevel;
        offset = m_calibrationOffset;
        factor = m_calibrationFactor == 0.0 ? DEFAULT_FACTOR : m_calibrationFactor;
    }
    QVector<QPointF> points;
    points.reserve(counts.size());
    for (const QPointF& point : counts)
        points.append(QPointF(point.x(), toDbm(point.y(), level, offset, factor)));
    m_autodetectionCurve->setSamples(points);
    m_autodetectionCurve->attach(ui->plot);
    ui->plot->replot();
}
