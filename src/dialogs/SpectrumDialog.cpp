#include "dialogs/SpectrumDialog.h"
#include "ui_SpectrumDialog.h"

#include "dialogs/RecordSaving.h"

#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "hardware/SyncRadio.h"
#include "plot/CustomScaleDraw.h"
#include "plot/InfoBar.h"
#include "plot/OverridingPlotData.h"
#include "plot/WidePenPlotCurve.h"
#include "storage/RecallFile.h"
#include "util/Calibration.h"
#include "util/ConversionHelper.h"
#include "util/InfoMessageBox.h"
#include "util/MutexLocker.h"
#include "util/PlotZoomer.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QTimerEvent>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_legenditem.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_zoneitem.h>
#include <qwt_symbol.h>

#include <algorithm>

const QString SpectrumDialog::NAME = QStringLiteral("spectrum");

namespace {

const int DISPLAY_INTERVAL_MS = 150;
const quint32 SAMPLE_MASK = 0x3FFF;
const double DEFAULT_FACTOR = 195.0;
const QString RECALL_FILE = QStringLiteral("recall.xml");
const QString RECALL_DIR = QStringLiteral("/data");
const QString CURVES_KEY = QStringLiteral("curves");

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
    , m_freezeTarget(0)
    , m_freezeSource(CURVE_MAX)
    , m_activeMarker(-1)
    , m_worker(worker)
    , m_timerId(0)
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
    , m_tasks(TASK_NONE)
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

    m_liveCurves[LIVE_MAX] = makeCurve(tr("Max"), Qt::darkBlue, 2);
    m_liveCurves[LIVE_AVG] = makeCurve(tr("Avg"), Qt::darkGreen, 2);
    m_liveCurves[LIVE_REF_MAX] = makeCurve(tr("RefMax"), Qt::darkRed, 2);
    m_liveCurves[LIVE_REF_AVG] = makeCurve(tr("RefAvg"), Qt::darkMagenta, 2);
    m_liveCurves[LIVE_DIFF] = makeCurve(tr("Diff"), Qt::darkGray, 2);
    const QColor freezeColours[FREEZE_COUNT] = {QColor(51, 153, 255), Qt::yellow, Qt::darkYellow, Qt::green};
    for (int i = 0; i < FREEZE_COUNT; ++i) {
        m_freezeCurves[i] = makeCurve(QStringLiteral("RC%1").arg(i + 1), freezeColours[i], 3);
        m_freezeSeries[i] = new OverridingPlotData(SLOT_COUNT);
    }
    for (int i = 0; i < LIVE_COUNT; ++i)
        m_liveSeries[i] = new OverridingPlotData(SLOT_COUNT);

    for (QwtPlotMarker*& marker : m_markers) {
        marker = new QwtPlotMarker();
        marker->setLineStyle(QwtPlotMarker::VLine);
        marker->setLinePen(Qt::darkGray, 2, Qt::DashDotLine);
        marker->setSymbol(new QwtSymbol(QwtSymbol::DTriangle, QBrush(Qt::darkGray), QPen(Qt::darkGray), QSize(8, 8)));
        marker->setXAxis(QwtPlot::xBottom);
        marker->setYAxis(QwtPlot::yLeft);
        marker->setValue(0.0, m_ampMin);
        marker->setVisible(false);
        marker->attach(plot);
    }

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
    for (QwtPlotCurve* curve : m_freezeCurves) {
        if (!curve->plot())
            delete curve;
    }
    for (OverridingPlotData* series : m_liveSeries)
        delete series;
    for (OverridingPlotData* series : m_freezeSeries)
        delete series;
    delete ui;
}

// ---- Static helpers ------------------------------------------------------------------------

QList<SpectrumDialog::CurveSelect> SpectrumDialog::liveCurveOrder()
{
    return {CURVE_MAX, CURVE_AVG, CURVE_REF_MAX, CURVE_REF_AVG, CURVE_DIFF};
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
    const double hi = std::max(a, b);
    const double lo = std::min(a, b);
    return hi < 0 ? lo - hi : hi - lo;
}

int SpectrumDialog::liveIndex(CurveSelect curve)
{
    switch (curve) {
    case CURVE_MAX:
        return LIVE_MAX;
    case CURVE_AVG:
        return LIVE_AVG;
    case CURVE_REF_MAX:
        return LIVE_REF_MAX;
    case CURVE_REF_AVG:
        return LIVE_REF_AVG;
    case CURVE_DIFF:
        return LIVE_DIFF;
    default:
        return -1;
    }
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
    MutexLocker lock(&m_dataLock);
    return m_tasks;
}

OverridingPlotData* SpectrumDialog::series(CurveSelect curve) const
{
    const int live = liveIndex(curve);
    if (live >= 0)
        return m_liveSeries[live];
    for (int i = 0; i < FREEZE_COUNT; ++i) {
        if (curve == freezeCurve(i))
            return m_freezeSeries[i];
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
            return m_freezeCurves[i];
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
        m_liveSeries[LIVE_REF_MAX]->clear();
        m_liveSeries[LIVE_REF_AVG]->clear();
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
        m_tasks = TASK_NONE;
    }
    setStopIcon(Configuration::value(QStringLiteral("algorithm"), QStringLiteral("system"), QVariant()).toBool());
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
    unsigned step = 1000u * static_cast<unsigned>(freqMax - freqMin) / 500u;
    const unsigned minimumStep = static_cast<unsigned>(Configuration::getMin(Configuration::VT_FreqStep));
    if (step < minimumStep)
        step = minimumStep;
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
    const int offset = Calibration::getInt(on ? Calibration::VT_AmpOnLOGOffset : Calibration::VT_AmpOffLOGOffset,
                                           QString());
    const double factor = Calibration::getDouble(
        on ? Calibration::VT_AmpOnLOGFaktor : Calibration::VT_AmpOffLOGFaktor, QString());
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
    MutexLocker lock(&m_dataLock);
    m_tasks |= TASK_FREEZE;
}

// ---- Acquisition -----------------------------------------------------------------------------

void SpectrumDialog::onMeasurementFinished(quint32 frequency, const quint32* /*minValues*/, const quint32* avgValues,
                                           const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement)
{
    bool repeat = false;
    bool complete = false;
    Tasks tasks = TASK_NONE;
    {
        MutexLocker lock(&m_dataLock);
        const bool referenceShown = m_curves & (CURVE_REF_AVG | CURVE_REF_MAX);
        if (frequency == 0 || nSamples == 0 || !avgValues || !maxValues) {
            // Lost lock (or nothing measured): the step carries no data.
            if (frequency == 0 && m_pllLocked) {
                m_pllLocked = false;
                QTimer::singleShot(0, this, &SpectrumDialog::updatePlotLegend);
                QTimer::singleShot(0, this, &SpectrumDialog::showPllUnlocked);
            }
        } else {
            if (!m_pllLocked) {
                m_pllLocked = true;
                QTimer::singleShot(0, this, &SpectrumDialog::updatePlotLegend);
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
            const double avgDbm = toDbm(ConversionHelper::linearizeValue(static_cast<int>(avgRaw)),
                                        m_calibrationLevel, m_calibrationOffset, m_calibrationFactor);
            double maxDbm = toDbm(ConversionHelper::linearizeValue(static_cast<int>(maxRaw)), m_calibrationLevel,
                                  m_calibrationOffset, m_calibrationFactor);

            OverridingPlotData* averageTarget = m_liveSeries[m_referencePhase ? LIVE_REF_AVG : LIVE_AVG];
            OverridingPlotData* maximumTarget = m_liveSeries[m_referencePhase ? LIVE_REF_MAX : LIVE_MAX];
            const double xMin = m_freqMin;
            const double xMax = m_freqMax;
            const int slot = averageTarget->addSample(xMin, xMax, avgDbm);
            if (m_maxHold && maximumTarget->count() > slot)
                maxDbm = std::max(maxDbm, maximumTarget->getSample(slot).y());
            maximumTarget->addSample(xMin, xMax, maxDbm);

            const QList<CurveSelect> selected = selectedLiveCurves(m_curves);
            if (selected.size() == 3 && (!referenceShown || m_referencePhase)) {
                const OverridingPlotData* first = m_liveSeries[liveIndex(selected.at(0))];
                const OverridingPlotData* second = m_liveSeries[liveIndex(selected.at(1))];
                if (first->count() > slot && second->count() > slot) {
                    const double diff = differenceValue(first->getSample(slot).y(), second->getSample(slot).y());
                    m_liveSeries[LIVE_DIFF]->addSample(xMin, xMax, diff);
                }
            }
            if (maximumTarget->isDataCompleted())
                QTimer::singleShot(0, this, &SpectrumDialog::updatePlotLegend);

            m_referencePhase = referenceShown ? !m_referencePhase : false;
            setAntennaSelectA(!m_referencePhase);
            m_cursorFrequency = frequency / 1000.0;
        }
        repeat = referenceShown && m_referencePhase;
        complete = m_liveSeries[LIVE_MAX]->isDataCompleted();
        tasks = m_tasks;
    }
    if (repeatMeasurement)
        *repeatMeasurement = repeat;
    if (!repeat && complete && tasks != TASK_NONE) {
        // The sweep is complete and a request waits for it: the GUI thread does the work while
        // this thread waits here, then resumes it.
        QTimer::singleShot(0, this, &SpectrumDialog::onDataCompleted);
        pauseDataWorker();
    }
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
        for (OverridingPlotData* series : m_liveSeries)
            series->clear();
        m_referencePhase = false;
        m_maxHold = Configuration::getValue(Configuration::VT_MaxHold, NAME) == 1;
        freqMin = m_freqMin;
        freqMax = m_freqMax;
        step = m_frequencyStep;
        gatingTime = m_gatingTime;
    }
    setOffsetAmplifierValue(Calibration::getInt(Calibration::VT_NullOffsetLOG, QString()));
    updatePlot();
    if (!m_worker)
        return;
    connect(m_worker, &DataWorker::measurementFinished, this, &SpectrumDialog::onMeasurementFinished,
            Qt::DirectConnection);
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
    static const CurveSelect order[] = {CURVE_AVG,      CURVE_MAX,      CURVE_DIFF,     CURVE_REF_AVG, CURVE_REF_MAX,
                                        CURVE_FREEZE_1, CURVE_FREEZE_2, CURVE_FREEZE_3, CURVE_FREEZE_4};
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
    m_liveCurves[LIVE_MAX]->setTitle(maxTitle());
    m_liveCurves[LIVE_AVG]->setTitle(tr("Avg"));
    m_liveCurves[LIVE_REF_MAX]->setTitle(refMaxTitle());
    m_liveCurves[LIVE_REF_AVG]->setTitle(tr("RefAvg"));
    m_liveCurves[LIVE_DIFF]->setTitle(tr("Diff"));

    QwtPlot* plot = ui->plot;
    const CurveSelects curves = this->curves();
    plot->setAxisScale(QwtPlot::xBottom, m_freqMin, m_freqMax);
    plot->setAxisScale(QwtPlot::yLeft, std::min(m_ampMin, m_ampMax), std::max(m_ampMin, m_ampMax));
    static const CurveSelect order[] = {CURVE_FREEZE_1, CURVE_FREEZE_2, CURVE_FREEZE_3, CURVE_FREEZE_4, CURVE_MAX,
                                        CURVE_AVG,      CURVE_DIFF,     CURVE_REF_MAX,  CURVE_REF_AVG};
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
    if (Configuration::getValue(Configuration::VT_Service, QStringLiteral("system"))) {
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
    for (int i = 0; i < 4; ++i) {
        QwtPlotMarker* marker = m_markers[i];
        marker->setYValue(m_ampMin);
        marker->setVisible(marker->xValue() > 0);
        if (!marker->isVisible())
            continue;
        entries << InfoBar::Info(QStringLiteral("%1%2: <b>%3%4</b>")
                                     .arg(tr("Freq"), QString::number(i + 1), QString::number(marker->xValue()),
                                          tr("MHz")),
                                 i == m_activeMarker ? QStringLiteral("font-weight:bold;") : QString());
    }
    ui->infoBar->setInfo(entries, 4);
    ui->MarkerButton->setEnabled(m_activeMarker >= 0);
}

void SpectrumDialog::showPllUnlocked()
{
    InfoMessageBox::information(tr("PLL unlocked"), 1000, QString(), QMessageBox::Information);
}

// ---- Requests that wait for a complete sweep -------------------------------------------------

void SpectrumDialog::onDataCompleted()
{
    RecordSaving::setStatusText(QString());
    updatePlot();
    QTimer::singleShot(100, this, &SpectrumDialog::handleTasks);
}

void SpectrumDialog::handleTasks()
{
    Tasks tasks = TASK_NONE;
    bool complete = false;
    {
        MutexLocker lock(&m_dataLock);
        tasks = m_tasks;
        complete = m_liveSeries[LIVE_MAX]->isDataCompleted();
    }
    const bool running = m_worker && m_worker->isRunning();
    if (tasks != TASK_NONE && (complete || !running)) {
        RecordSaving::setStatusText(QString());
        if (tasks.testFlag(TASK_FREEZE)) {
            CurveSelect target = freezeCurve(m_freezeTarget);
            {
                MutexLocker lock(&m_dataLock);
                m_tasks &= ~Tasks(TASK_FREEZE);
                const OverridingPlotData* source = series(m_freezeSource);
                OverridingPlotData* frozen = series(target);
                if (source && frozen) {
                    frozen->clear();
                    for (const QPointF& point : *source->getConstData())
                        frozen->addSample(point);
                }
            }
            setCurves(curves() | target);
            updatePlot();
            exportRecall();
        }
    } else if (tasks != TASK_NONE) {
        RecordSaving::setStatusText(tr("Wait for complete data..."));
    }
    if (this->tasks() == TASK_NONE)
        resumeDataWorker();
}

// ---- Stored curves ---------------------------------------------------------------------------

void SpectrumDialog::exportRecall(const QString& file, const QString& dir)
{
    QVector<RecallFile::Trace> traces;
    {
        MutexLocker lock(&m_dataLock);
        for (int i = 0; i < FREEZE_COUNT; ++i)
            traces.append({m_freezeCurves[i]->title().text(), *m_freezeSeries[i]->getConstData()});
    }
    RecallFile::write(RecallFile::build(traces), RecallFile::path(file, dir));
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
    const QVector<RecallFile::Slot> loaded = RecallFile::read(RecallFile::path(file, dir));
    for (int i = 0; i < loaded.size() && i < FREEZE_COUNT; ++i) {
        const RecallFile::Slot& slot = loaded.at(i);
        if (!slot.present)
            continue;
        if (!slot.name.isEmpty())
            m_freezeCurves[i]->setTitle(slot.name);
        MutexLocker lock(&m_dataLock);
        OverridingPlotData* frozen = m_freezeSeries[i];
        frozen->clear();
        for (double value : slot.values)
            frozen->addSample(slot.freqMin, slot.freqMax, value);
    }
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

void SpectrumDialog::on_ExitButton_clicked()
{
    stopDataWorker();
    emit exit();
}

void SpectrumDialog::on_SetupSpectrumButton_clicked()
{
    stopDataWorker();
    emit gotoSetup(SetupDialog::DIALOG_SPECTRUM);
}

void SpectrumDialog::on_StopButton_clicked(bool /*checked*/)
{
    if (Configuration::value(QStringLiteral("algorithm"), QStringLiteral("system"), QVariant()).toBool())
        return; // the autodetection shortcut takes this button over
    {
        MutexLocker lock(&m_dataLock);
        m_tasks ^= TASK_STOP;
    }
    // While stopped the button offers to start again.
    setStopIcon(tasks().testFlag(TASK_STOP));
    handleTasks();
}

void SpectrumDialog::setStopIcon(bool stopped)
{
    ui->StopButton->setIcon(QIcon(stopped ? QStringLiteral(":/resources/svg/start_meas.svg")
                                          : QStringLiteral(":/resources/svg/stop_meas2.svg")));
}
