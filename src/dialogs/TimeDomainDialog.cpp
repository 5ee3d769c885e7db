#include "dialogs/TimeDomainDialog.h"
#include "ui_TimeDomainDialog.h"

#include "dialogs/RecordSaving.h"
#include "dialogs/TimeDomainRecord.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "dialogs/ValueSliderDialog.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "hardware/SyncRadio.h"
#include "plot/CustomScaleDraw.h"
#include "plot/ImagePlot.h"
#include "plot/InfoBar.h"
#include "plot/QuantityColorScale.h"
#include "storage/RecordWriter.h"
#include "util/ConversionHelper.h"
#include "util/MarkerPresets.h"
#include "util/MutexLocker.h"
#include "util/SystemHelper.h"

#include <QDebug>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>

#include <qwt_math.h>
#include <qwt_picker_machine.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_legenditem.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_draw.h>

#include <cmath>
#include <ctime>

const QString TimeDomainDialog::NAME = QStringLiteral("time");

namespace {

const QString SYSTEM = QStringLiteral("system");
const QString ACTIVITY_LEVEL_KEY = QStringLiteral("ActivityLevel");
const int DEFAULT_ACTIVITY_LEVEL = 20;
const int SAMPLES_PER_SWEEP = 500;
const int SYNC_TIMEOUT_S = 60;
const int SYNC_MIN_INTERRUPTS = 10;
const int HANDLE_TASKS_DELAY_MS = 100;
const double SAMPLE_CLOCK_NS = 40.0;

// A setting as the store has it, brought into its kind's limits (the store hands back what the
// file holds).
int setting(Configuration::ValueType type, const QString& path = TimeDomainDialog::NAME)
{
    return Configuration::limit(type, Configuration::getValue(type, path));
}

} // namespace

TimeDomainDialog::TimeDomainDialog(DataWorker* worker, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::TimeDomainDialog)
    , m_grid(new QwtPlotGrid())
    , m_legendItem(new QwtPlotLegendItem())
    , m_picker(nullptr)
    , m_levelMarker(new QwtPlotMarker())
    , m_referenceCurve(new QwtPlotCurve())
    , m_lineCurve(new QwtPlotCurve(tr("Max")))
    , m_clearButton(nullptr)
    , m_worker(worker)
    , m_timerId(0)
    , m_syncDeadline(0)
    , m_expectedInterrupts(0)
    , m_clock([] { return qint64(std::time(nullptr)); })
    , m_sweepRate(50)
    , m_frequency(Configuration::getMin(Configuration::VT_FreqMin))
    , m_activity(0)
    , m_lowLevel(Calibration::CAL_AMPON_LOW_RMS)
    , m_offset(0)
    , m_factor(1.0)
    , m_defaultFactor(1.0)
    , m_bandwidth(5000)
    , m_sync(Configuration::SYNC_MAINS_RF)
    , m_volume(0)
    , m_antenna(Configuration::ANTENNA_UHF)
    , m_measureMode(Configuration::MEAS_MODE_RMS)
    , m_restartOwed(false)
    , m_handlingTasks(false)
    , m_displayImage(PersistenceImage::createImage())
    , m_tasks(TASK_NONE)
{
    ui->setupUi(this);
    setFocusPolicy(Qt::StrongFocus);
    ImagePlot* plot = ui->plot;
    plot->setAutoReplot(false);
    plot->setAxisScaleDraw(QwtPlot::xBottom, new CustomScaleDraw(QStringLiteral("t/ms")));
    plot->axisScaleDraw(QwtPlot::yLeft)->setMinimumExtent(49);
    plot->axisScaleDraw(QwtPlot::xBottom)->setMinimumExtent(32);
    ui->quantityColorScale->setPlot(plot);

    m_grid->setPen(Qt::gray, 0, Qt::SolidLine);
    m_grid->attach(plot);
    m_legendItem->setAlignment(Qt::AlignTop | Qt::AlignRight);
    m_legendItem->setMaxColumns(6);
    m_legendItem->attach(plot);
    m_levelMarker->setLineStyle(QwtPlotMarker::HLine);
    m_levelMarker->setLinePen(Qt::darkMagenta, 6);
    m_levelMarker->attach(plot);
    m_referenceCurve->setPen(Qt::black, 1);
    m_referenceCurve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    m_referenceCurve->setLegendAttribute(QwtPlotCurve::LegendShowSymbol, true);
    m_referenceCurve->attach(plot);
    m_lineCurve->setPen(Qt::darkRed, 2);

    // A tap on the canvas sets the activity level to the amplitude touched.
    m_picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, plot->canvas());
    m_picker->setStateMachine(new QwtPickerClickPointMachine());
    connect(m_picker, qOverload<const QPointF&>(&QwtPlotPicker::selected), this, &TimeDomainDialog::levelSelect);

    m_clearButton = new QPushButton(plot);
    m_clearButton->setObjectName(QStringLiteral("ClearButton"));
    m_clearButton->setIcon(QIcon(QStringLiteral(":/resources/images/trash.png")));
    m_clearButton->setFocusPolicy(Qt::NoFocus);
    m_clearButton->move(500, 0);
    m_clearButton->hide();
    connect(m_clearButton, &QPushButton::clicked, this, &TimeDomainDialog::restartDataWorker);
}

TimeDomainDialog::~TimeDomainDialog()
{
    stopDataWorker();
    // The plot deletes the attached items; the detached ones are ours.
    if (!m_lineCurve->plot())
        delete m_lineCurve;
    if (!m_legendItem->plot())
        delete m_legendItem;
    delete ui;
}

// ---- State -----------------------------------------------------------------------------------

ImagePlot* TimeDomainDialog::plot() const
{
    return ui->plot;
}

int TimeDomainDialog::activityLevel() const
{
    MutexLocker lock(&m_dataLock);
    return m_data.activityLevel();
}

int TimeDomainDialog::persistency() const
{
    MutexLocker lock(&m_dataLock);
    return m_data.persistency();
}

quint64 TimeDomainDialog::count() const
{
    MutexLocker lock(&m_dataLock);
    return m_data.count();
}

TimeDomainDialog::Tasks TimeDomainDialog::tasks() const
{
    MutexLocker lock(&m_dataLock);
    return m_tasks;
}

bool TimeDomainDialog::isLineMode() const
{
    return persistency() == 1;
}

double TimeDomainDialog::period() const
{
    return 1000.0 / m_sweepRate;
}

void TimeDomainDialog::setClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

int TimeDomainDialog::valueToPixel(int value) const
{
    MutexLocker lock(&m_dataLock);
    return m_data.valueToPixel(quint32(std::max(0, value)));
}

quint32 TimeDomainDialog::pixelToValue(int pixel) const
{
    MutexLocker lock(&m_dataLock);
    return m_data.pixelToValue(pixel);
}

int TimeDomainDialog::valueToCoordinate(quint32 value) const
{
    MutexLocker lock(&m_dataLock);
    return m_data.valueToCoordinate(value);
}

// ---- Settings --------------------------------------------------------------------------------

void TimeDomainDialog::exec()
{
    ui->retranslateUi(this);
    {
        MutexLocker lock(&m_dataLock);
        m_data.reset();
    }
    resetSyncTimeout();

    setResolution(Configuration::Resolution(setting(Configuration::VT_Resolution)));
    setSweepRate(setting(Configuration::VT_SweepRate, SYSTEM));
    setFrequency(setting(Configuration::VT_FreqMin));
    setAmplitudeRange(setting(Configuration::VT_AmpMinPercent), setting(Configuration::VT_AmpMaxPercent));
    setBandwidth(setting(Configuration::VT_Bandwidth));
    setSync(Configuration::Sync(setting(Configuration::VT_Sync)));
    setPersistency(setting(Configuration::VT_Persistency));
    setVolume(setting(Configuration::VT_Volume));

    setPulseGenerator(false);
    setAntenna(Configuration::Antenna(setting(Configuration::VT_Antenna, SYSTEM)));
    setMeasureMode(Configuration::MEAS_MODE_RMS);
    setLinearAmplifierValue(setting(Configuration::VT_LinearAmplifier));
    setActivityLevel(Configuration::valuePersistent(ACTIVITY_LEVEL_KEY, NAME, DEFAULT_ACTIVITY_LEVEL).toInt());
    setPreamplifier(m_antenna == Configuration::ANTENNA_UHF && setting(Configuration::VT_Preamplifier) != 0);
    setPulseMode(true);
    m_activity = 0;
    {
        MutexLocker lock(&m_dataLock);
        m_tasks = TASK_NONE;
    }
    startDataWorker();

    // At 60 Hz the time axis ends on a longer label ("16.67").
    ui->horizontalSpacer->changeSize(m_sweepRate == 50 ? 0 : 12, 1, QSizePolicy::Minimum, QSizePolicy::Minimum);
    ui->horizontalLayout->invalidate();
    updatePlot();
    // The hardware keys reach the screen (Escape leaves it).
    setFocus();
}

void TimeDomainDialog::setSweepRate(int sweepRate)
{
    m_sweepRate = Configuration::limit(Configuration::VT_SweepRate, sweepRate);
}

void TimeDomainDialog::setFrequency(int freq, bool save)
{
    m_frequency = Configuration::limit(Configuration::VT_FreqMin, freq);
    if (save)
        Configuration::setValue(Configuration::VT_FreqMin, m_frequency, NAME);
}

void TimeDomainDialog::setAmplitudeRange(int ampMin, int ampMax)
{
    MutexLocker lock(&m_dataLock);
    m_data.setAmplitudeRange(ampMin, ampMax);
}

void TimeDomainDialog::setBandwidth(int bandwidth, bool save)
{
    m_bandwidth = Configuration::limit(Configuration::VT_Bandwidth, bandwidth);
    ::setBandwidth(m_bandwidth);
    if (save)
        Configuration::setValue(Configuration::VT_Bandwidth, m_bandwidth, NAME);
}

void TimeDomainDialog::setVolume(int volume)
{
    m_volume = Configuration::limit(Configuration::VT_Volume, volume);
    if (m_worker)
        m_worker->setVolume(quint16(m_volume));
}

void TimeDomainDialog::setSync(Configuration::Sync sync, bool save)
{
    m_sync = Configuration::Sync(Configuration::limit(Configuration::VT_Sync, sync));
    const bool radio = m_sync == Configuration::SYNC_MAINS_RF;
    setSyncSource(m_sync);
    setReceiveMode(radio);
    if (m_worker)
        m_worker->setRadioSync(radio);
    if (save)
        Configuration::setValue(Configuration::VT_Sync, m_sync, NAME);
}

void TimeDomainDialog::setPersistency(int persistency, bool save)
{
    persistency = Configuration::limit(Configuration::VT_Persistency, persistency);
    {
        MutexLocker lock(&m_dataLock);
        m_data.setPersistency(persistency);
    }
    m_clearButton->setVisible(persistency == 0);
    if (save)
        Configuration::setValue(Configuration::VT_Persistency, persistency, NAME);
}

void TimeDomainDialog::setAntenna(Configuration::Antenna antenna)
{
    m_antenna = Configuration::Antenna(Configuration::limit(Configuration::VT_Antenna, antenna));
    setAntennaPath(m_antenna);
    ui->FreqButton->setEnabled(m_antenna == Configuration::ANTENNA_UHF);
}

void TimeDomainDialog::setMeasureMode(Configuration::MeasMode mode)
{
    m_measureMode = mode;
    setMeasMode(mode);
    ui->LinearAmplifierButton->setEnabled(mode != Configuration::MEAS_MODE_LOG);
}

void TimeDomainDialog::setLinearAmplifierValue(int value)
{
    setLinearAmplifier(value);
}

void TimeDomainDialog::setOffsetAmplifierValue(int value)
{
    setOffsetAmplifier(value);
}

void TimeDomainDialog::setActivityLevel(int level, bool save)
{
    int stored = 0;
    {
        MutexLocker lock(&m_dataLock);
        m_data.setActivityLevel(level);
        stored = m_data.activityLevel();
    }
    updatePlot();
    if (save)
        Configuration::setValuePersistent(ACTIVITY_LEVEL_KEY, stored, NAME);
}

void TimeDomainDialog::setResolution(Configuration::Resolution resolution)
{
    MutexLocker lock(&m_dataLock);
    m_data.setResolution(Configuration::limit(Configuration::VT_Resolution, resolution));
}

void TimeDomainDialog::setCalibration(int lowLevel, Calibration::ValueType offset, Calibration::ValueType factor)
{
    m_lowLevel = lowLevel;
    m_offset = Calibration::getInt(offset);
    m_factor = Calibration::getDouble(factor);
    m_defaultFactor = Calibration::getDefaultDouble(factor);
}

void TimeDomainDialog::setPreamplifier(bool enable)
{
    if (Configuration::getValue(Configuration::VT_Antenna, SYSTEM) != Configuration::ANTENNA_UHF) {
        setPreamplifierOff(true);
        setCalibration(Calibration::CAL_BB_LOW_RMS, Calibration::VT_BBRMSOffset, Calibration::VT_BBRMSFaktor);
        return;
    }
    setPreamplifierOff(!enable);
    if (preamplifierOff())
        setCalibration(Calibration::CAL_AMPOFF_LOW_RMS, Calibration::VT_AmpOffRMSOffset, Calibration::VT_AmpOffRMSFaktor);
    else
        setCalibration(Calibration::CAL_AMPON_LOW_RMS, Calibration::VT_AmpOnRMSOffset, Calibration::VT_AmpOnRMSFaktor);
}

double TimeDomainDialog::calcActivityVoltage() const
{
    const int amplifier = setting(Configuration::VT_LinearAmplifier);
    const double gain = std::pow(10.0, (amplifier * 0.0358943 - 14.6) / 20.0);
    // A factor of 0 (allowed by the calibration store) would make the voltage infinite.
    const double factor = m_factor != 0.0 ? m_factor : m_defaultFactor;
    const double counts = double(TimeDomainAccumulator::COUNTS_PER_PERCENT) * activityLevel() - m_offset;
    const double voltage = (counts / factor + m_lowLevel) / gain / 1000.0;
    return std::isfinite(voltage) && voltage >= 0.001 ? voltage : 0.0;
}

// ---- Acquisition -----------------------------------------------------------------------------

void TimeDomainDialog::onMeasurementFinished(quint32 /*frequency*/, const quint32* /*minValues*/,
                                             const quint32* /*avgValues*/, const quint32* maxValues,
                                             quint16 nSamples, bool* /*repeatMeasurement*/)
{
    bool pending = false;
    {
        MutexLocker lock(&m_dataLock);
        m_data.addSweep(maxValues, nSamples);
        pending = m_tasks != TASK_NONE;
    }
    if (pending) {
        // A request waits for a finished sweep: the GUI thread does it while this thread waits
        // here, then resumes it. Queued by name: no functor object made on this thread is run
        // and deleted on the GUI thread.
        QMetaObject::invokeMethod(this, "onDataCompleted", Qt::QueuedConnection);
        pauseDataWorker();
    }
}

void TimeDomainDialog::startDataWorker()
{
    stopDataWorker();
    resetSyncTimeout();
    m_restartOwed = false;
    {
        MutexLocker lock(&m_dataLock);
        m_data.reset();
        // The handler works from these copies: the settings store belongs to the GUI thread.
        m_data.setPhaseShift(setting(Configuration::VT_PhaseShift));
        m_data.setMaxQuantity(setting(Configuration::VT_MaxQuantity));
    }
    if (m_worker)
        m_worker->clearBuffers();

    static const Calibration::ValueType nullOffsets[] = {Calibration::VT_NullOffsetLOG, Calibration::VT_NullOffsetRMS,
                                                        Calibration::VT_NullOffsetENV};
    setOffsetAmplifierValue(Calibration::getInt(nullOffsets[setting(Configuration::VT_MeasMode)]));
    updatePlot();
    if (!m_worker)
        return;
    connect(m_worker, &DataWorker::measurementFinished, this, &TimeDomainDialog::onMeasurementFinished,
            Qt::DirectConnection);
    m_worker->setSweepRate(m_sweepRate);
    m_worker->setSyncMode(true);
    // 500 samples spread over one mains period.
    const double clocks = 1e9 / m_sweepRate / SAMPLE_CLOCK_NS / SAMPLES_PER_SWEEP;
    m_worker->setSampling(SAMPLES_PER_SWEEP, quint16(clocks));
    m_worker->startSingle(1000u * quint32(m_frequency), -1);
    startTimer();
}

void TimeDomainDialog::stopDataWorker()
{
    stopTimer();
    if (!m_worker)
        return;
    // The thread ends first (a paused one is woken), then the connection goes.
    m_worker->stop();
    disconnect(m_worker, &DataWorker::measurementFinished, this, &TimeDomainDialog::onMeasurementFinished);
    MutexLocker lock(&m_dataLock);
}

void TimeDomainDialog::restartDataWorker()
{
    stopTimer();
    {
        // Under the lock: a sweep being processed finishes first, a later one starts afresh.
        MutexLocker lock(&m_dataLock);
        m_data.reset();
        if (m_worker)
            m_worker->clearBuffers();
    }
    updatePlot();
    startTimer();
}

void TimeDomainDialog::pauseDataWorker()
{
    if (m_worker)
        m_worker->pause();
}

void TimeDomainDialog::resumeDataWorker()
{
    if (m_restartOwed) {
        // The sync source changed while the worker waited: it starts again with the new one.
        stopDataWorker();
        startDataWorker();
        return;
    }
    startTimer();
    if (m_worker && m_worker->isRunning())
        m_worker->resume();
}

void TimeDomainDialog::startTimer()
{
    stopTimer();
    m_timerId = QObject::startTimer(setting(Configuration::VT_UpdateInterval), Qt::CoarseTimer);
}

void TimeDomainDialog::stopTimer()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = 0;
}

// ---- Sync ------------------------------------------------------------------------------------

void TimeDomainDialog::resetSyncTimeout()
{
    m_syncDeadline = m_clock() + SYNC_TIMEOUT_S;
    m_expectedInterrupts = SystemHelper::interruptCount() + SYNC_MIN_INTERRUPTS;
    qDebug() << "reset time=" << m_syncDeadline << " IntCount=" << m_expectedInterrupts;
}

void TimeDomainDialog::processSyncTimeout()
{
    const qint64 now = m_clock();
    if (m_syncDeadline >= now)
        return;
    const int interrupts = SystemHelper::interruptCount();
    const bool silent = m_sync == Configuration::SYNC_MAINS_RF && m_expectedInterrupts > interrupts;
    if (silent) {
        qDebug() << "time=" << now << " > " << m_syncDeadline << " IntCount=" << interrupts << " < "
                 << m_expectedInterrupts;
    }
    // Re-armed first: the restart below runs a display tick of its own.
    m_syncDeadline = now + SYNC_TIMEOUT_S;
    m_expectedInterrupts = interrupts + SYNC_MIN_INTERRUPTS;
    qDebug() << "reset time=" << m_syncDeadline << " IntCount=" << m_expectedInterrupts;
    if (!silent)
        return;
    // A worker waiting for a save is left alone (stopping it would drop the sweep the save
    // waits for); it restarts with the internal sync once the save has resumed it.
    const bool running = !(m_worker && m_worker->isPaused());
    if (running)
        stopDataWorker();
    setSync(Configuration::SYNC_INT_E, true);
    if (running)
        startDataWorker();
    else
        m_restartOwed = true;
}

// ---- Display ---------------------------------------------------------------------------------

void TimeDomainDialog::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId || m_timerId == 0) {
        QWidget::timerEvent(event);
        return;
    }
    updateTick();
}

void TimeDomainDialog::updateTick()
{
    processSyncTimeout();
    bool lineMode = false;
    QVector<QPointF> line;
    {
        MutexLocker lock(&m_dataLock);
        lineMode = m_data.persistency() == 1;
        if (m_data.count() > 0) {
            if (lineMode) {
                const std::vector<quint32>& sweep = m_data.firstKeptSweep();
                const int m = int(sweep.size());
                line.reserve(m);
                for (int i = 0; i < m; ++i)
                    line.append(QPointF(i * period() / m,
                                        double(sweep[size_t(i)]) / TimeDomainAccumulator::COUNTS_PER_PERCENT));
            }
            m_activity = m_data.activity();
        }
        m_data.image().copyPixelsTo(&m_displayImage);
    }
    if (lineMode && !line.isEmpty())
        m_lineCurve->setSamples(line);
    updatePlotLegend();
    if (m_worker && m_worker->isPaused())
        stopTimer();
    ui->plot->replot();
    ui->quantityColorScale->update();
}

void TimeDomainDialog::updatePlot()
{
    ImagePlot* plot = ui->plot;
    int ampMin = 0;
    int ampMax = 100;
    int level = 0;
    int r = 1;
    int maxQuantity = 10;
    {
        MutexLocker lock(&m_dataLock);
        ampMin = m_data.ampMin();
        ampMax = m_data.ampMax();
        level = m_data.activityLevel();
        r = m_data.resolution();
        maxQuantity = m_data.maxQuantity();
    }
    m_levelMarker->setYValue(level);
    plot->setAxisScale(QwtPlot::yLeft, ampMin, ampMax);
    plot->setAxisScale(QwtPlot::xBottom, 0.0, period());

    // One mains period of a sine over the amplitude range.
    const double h = (ampMax - ampMin) / 2.0;
    QVector<QPointF> sine;
    for (int d = 0; d <= 360; d += 10)
        sine.append(QPointF(d * period() / 360.0, qFastSin(d * M_PI / 180.0) * h + (ampMax - h)));
    m_referenceCurve->setSamples(sine);

    if (isLineMode()) {
        m_lineCurve->attach(plot);
        m_legendItem->attach(plot);
        ui->quantityColorScale->hide();
        plot->setImage(nullptr);
    } else {
        m_lineCurve->detach();
        m_legendItem->detach();
        ui->quantityColorScale->show();
        ui->quantityColorScale->setMaxQuantity(maxQuantity);
        ui->quantityColorScale->setColors(Qt::darkBlue, Qt::darkGreen, Qt::darkRed);
        PersistenceImage::applyColourTable(&m_displayImage, maxQuantity);
        plot->setImage(&m_displayImage);
        // Row 0's top edge lies one row above the maximum; 262 - r rows span the range, and each
        // of the 501 columns is one sample's share of the period.
        const double row = (ampMax - ampMin) / double(PersistenceImage::HEIGHT - r);
        plot->setImageArea(QRectF(QPointF(0.0, ampMax + row),
                                  QPointF(period() * PersistenceImage::WIDTH / SAMPLES_PER_SWEEP,
                                          ampMax + row - PersistenceImage::HEIGHT * row)));
    }
    updateTick();
}

void TimeDomainDialog::updatePlotLegend()
{
    const QString entry = QStringLiteral("%1 <b>%2</b>");
    const QString entryWithUnit = QStringLiteral("%1 <b>%2%3</b>");
    QList<InfoBar::Info> entries;
    entries << InfoBar::Info(entry.arg(tr("Ant:"), Configuration::toString(m_antenna)));
    if (m_antenna == Configuration::ANTENNA_UHF) {
        entries << InfoBar::Info(entryWithUnit.arg(tr("Freq:"), QString::number(m_frequency), tr("MHz")));
        entries << InfoBar::Info(entryWithUnit.arg(tr("Band:"), QString::number(m_bandwidth / 1000.0), tr("MHz")));
    }
    QString syncStyle = QStringLiteral("color: red;");
    if (syncDetected())
        syncStyle = QStringLiteral("color: green;");
    else if (m_worker && m_worker->syncOk())
        syncStyle = QStringLiteral("color: orange;");
    entries << InfoBar::Info(entry.arg(tr("Sync:"), Configuration::toString(m_sync)), syncStyle);
    quint64 count = 0;
    int persistency = 0;
    int level = 0;
    {
        MutexLocker lock(&m_dataLock);
        count = m_data.count();
        persistency = m_data.persistency();
        level = m_data.activityLevel();
    }
    entries << InfoBar::Info(entry.arg(tr("Persist:"), persistency == 0 ? tr("Inf") : QString::number(count)));
    entries << InfoBar::Info(
        entryWithUnit.arg(tr("Phase:"), QString::number(setting(Configuration::VT_PhaseShift)), QStringLiteral("°")));
    entries << InfoBar::Info(entry.arg(tr("Act:"), QString::number(m_activity)));
    entries << InfoBar::Info(QStringLiteral("%1 <b>%2</b> = %3%4")
                                 .arg(tr("ActLvl:"), QString::number(level),
                                      QString::number(calcActivityVoltage(), 'g', 3), tr("mV")));
    // The last entry takes the rest of its row.
    const int columns = 4;
    entries.last().columnSpan = columns - (entries.size() - 1) % columns;
    ui->infoBar->setInfo(entries, columns);
}

// ---- Operator actions ------------------------------------------------------------------------

void TimeDomainDialog::levelSelect(const QPointF& pos)
{
    stopDataWorker();
    setActivityLevel(std::max(0, int(pos.y())), true);
    startDataWorker();
}

void TimeDomainDialog::on_FreqButton_clicked()
{
    if (ValueEditDialog::getFrequency(m_frequency) != 1)
        return;
    const int frequency = ValueEditDialog::instance()->value();
    int level = 0;
    if (MarkerPresets::amplitudeAt(frequency, &level)) {
        // A marker's frequency brings its level: the amplifiers are set for it (not stored).
        setLinearAmplifierValue(ConversionHelper::linearAmplifierForLevel(level));
        setPreamplifier(level < -34);
    }
    stopDataWorker();
    setFrequency(frequency, true);
    startDataWorker();
}

void TimeDomainDialog::on_SyncButton_clicked()
{
    if (ValueSelectDialog::selectSync(m_sync, tr("Select sync sensor")) != 1)
        return;
    stopDataWorker();
    setSync(Configuration::Sync(ValueSelectDialog::instance()->value().toInt()), true);
    resetSyncTimeout();
    startDataWorker();
}

void TimeDomainDialog::on_VolumeButton_clicked()
{
    ValueSliderDialog* slider = ValueSliderDialog::instance();
    slider->setRange(Configuration::getMin(Configuration::VT_Volume), Configuration::getMax(Configuration::VT_Volume));
    const QMetaObject::Connection preview
        = connect(slider, &ValueSliderDialog::valueChanged, this, &TimeDomainDialog::setVolume);
    if (slider->exec(m_volume, tr("Select volume"), QStringLiteral("%"), true) == 1)
        Configuration::setValue(Configuration::VT_Volume, slider->value(), NAME);
    disconnect(preview);
}

void TimeDomainDialog::on_LinearAmplifierButton_clicked()
{
    ValueSliderDialog* slider = ValueSliderDialog::instance();
    slider->setRange(Configuration::getMin(Configuration::VT_LinearAmplifier),
                     Configuration::getMax(Configuration::VT_LinearAmplifier));
    const QMetaObject::Connection preview
        = connect(slider, &ValueSliderDialog::valueChanged, this, &TimeDomainDialog::setLinearAmplifierValue);
    const QString title = tr("Adjust linear amplification") + QStringLiteral("\n[ ") + tr("Preamplifier")
        + QStringLiteral(": ") + (preamplifierOff() ? tr("Off") : tr("On")) + QStringLiteral(" ]");
    if (slider->exec(linearAmplifier(), title, QStringLiteral("%"), false) == 1)
        Configuration::setValue(Configuration::VT_LinearAmplifier, slider->value(), NAME);
    disconnect(preview);
    restartDataWorker();
}

void TimeDomainDialog::on_SaveButton_clicked()
{
    {
        MutexLocker lock(&m_dataLock);
        m_tasks |= TASK_SAVE;
    }
    QTimer::singleShot(HANDLE_TASKS_DELAY_MS, this, &TimeDomainDialog::handleTasks);
}

void TimeDomainDialog::on_SetupTimeButton_clicked()
{
    stopDataWorker();
    emit gotoSetup(SetupDialog::DIALOG_TIME);
}

void TimeDomainDialog::on_ExitButton_clicked()
{
    stopDataWorker();
    emit exit();
}

void TimeDomainDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        on_ExitButton_clicked();
    else
        event->ignore();
}

// ---- Saving ----------------------------------------------------------------------------------

void TimeDomainDialog::onDataCompleted()
{
    RecordSaving::setStatusText(QString());
    updatePlot();
    QTimer::singleShot(HANDLE_TASKS_DELAY_MS, this, &TimeDomainDialog::handleTasks);
}

void TimeDomainDialog::handleTasks()
{
    // The phase prompt and the notices run event loops of their own, in which the paused
    // worker's onDataCompleted may call here again: that call leaves the save to this one.
    if (m_handlingTasks)
        return;
    m_handlingTasks = true;
    if (tasks().testFlag(TASK_SAVE)) {
        saveRecord();
        // Cleared only now, so that the worker keeps waiting while the operator chooses.
        MutexLocker lock(&m_dataLock);
        m_tasks &= ~Tasks(TASK_SAVE);
    }
    m_handlingTasks = false;
    if (tasks() == TASK_NONE)
        resumeDataWorker();
}

void TimeDomainDialog::saveRecord()
{
    const QPixmap picture = grabScreen();
    Configuration::Phase phase = Configuration::PHASE_Unspecified;
    if (!RecordSaving::askPhase(&phase))
        return;
    RecordSaving::saveAndReport(NAME, picture, recordDocument(phase));
}

QDomDocument TimeDomainDialog::recordDocument(Configuration::Phase phase)
{
    TimeDomainRecord::Values values;
    values.measMode = m_measureMode;
    values.antenna = m_antenna;
    values.bandwidth = m_bandwidth;
    values.preamplifierOn = !preamplifierOff();
    values.calibratorOn = pulseGenerator();
    values.frequency = m_frequency;
    values.sync = m_sync;
    values.synchronized = syncDetected();
    values.linearAmplifier = linearAmplifier();
    values.pulseMode = pulseMode();
    values.maxQuantity = setting(Configuration::VT_MaxQuantity);
    values.phase = phase;
    values.activity = m_activity;
    values.activityVoltage = calcActivityVoltage();
    values.sweepRate = m_sweepRate;
    values.fpgaVersion = m_worker ? m_worker->fpgaVersion() : 0;
    values.folder = RecordSaving::recordFolder(false);
    MutexLocker lock(&m_dataLock);
    return TimeDomainRecord::build(values, m_data);
}
