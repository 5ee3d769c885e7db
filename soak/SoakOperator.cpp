#include "SoakOperator.h"

#include "DialogDriver.h"
#include "FaultSwitcher.h"
#include "SoakLog.h"
#include "MainWindow.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/KalibDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

using Page = ScreenNavigator::Page;

namespace {

const QString kSystem = QStringLiteral("system");
// The reference generator must feed a calibration step this long before the operator confirms.
constexpr qint64 ReferenceSettleMs = 4000;
// Taps to walk to an action's page before the operator gives the action up.
constexpr int MaxWalk = 12;
// How long the time-domain operator watches radio sync while the radio is silent.
constexpr int RadioWatchMs = 90000;

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

QStringList SoakOperator::screens()
{
    return {QStringLiteral("spectrum"),    QStringLiteral("timedomain"),  QStringLiteral("level"),
            QStringLiteral("autodetection"), QStringLiteral("offsetcalibration"), QStringLiteral("levelcalibration"),
            QStringLiteral("setup")};
}

SoakOperator::SoakOperator(const QString& screen, FaultSwitcher* faults, QRandomGenerator* random, QObject* parent)
    : QObject(parent)
    , m_screen(screen)
    , m_faults(faults)
    , m_random(random)
    , m_navigator(random)
{
    const QStringList all = screens();
    const std::function<void()> builders[] = {
        [this] { buildSpectrum(); },    [this] { buildTimeDomain(); },        [this] { buildLevel(); },
        [this] { buildAutodetection(); }, [this] { buildOffsetCalibration(); }, [this] { buildLevelCalibration(); },
        [this] { buildSetup(); }};
    if (all.contains(screen))
        builders[all.indexOf(screen)]();
}

void SoakOperator::add(int weight, Page page, std::function<bool()> run, int setupPage, std::function<bool()> available)
{
    m_actions.append({weight, page, setupPage, std::move(run), std::move(available)});
}

void SoakOperator::addTap(int weight, Page page, const char* button, int setupPage)
{
    add(weight, page, [this, button] { m_navigator.tap(m_navigator.currentWidget(), button); return true; }, setupPage);
}

void SoakOperator::addSetupVisit(int weight, Page page, const char* setupButton, const char* pageButton)
{
    add(weight, page, [this, setupButton, pageButton] {
        if (!m_navigator.tap(m_navigator.currentWidget(), setupButton) || !m_navigator.isAt(Page::Setup))
            return true;
        QWidget* shown = SetupDialog::pages().value(SetupDialog::instance()->currentDialog());
        if (pageButton)
            m_navigator.tap(shown, pageButton);
        else
            m_navigator.tapAny(shown);
        return true;
    });
}

void SoakOperator::addPlotActions(int tapWeight, int dragWeight, Page page)
{
    add(tapWeight, page, [this] { return tapPlot(); });
    add(dragWeight, page, [this] { return dragPlot(); });
}

void SoakOperator::buildSpectrum()
{
    // Markers by taps, zoom by drags, reference and frozen traces, records, stop and start.
    addPlotActions(3, 1, Page::Spectrum);
    addTap(2, Page::Spectrum, "MarkerButton");
    addTap(3, Page::Spectrum, "RefButton");
    addTap(3, Page::Spectrum, "StoreRecallButton");
    addTap(2, Page::Spectrum, "SaveButton");
    addTap(1, Page::Spectrum, "StopButton");
    addSetupVisit(1, Page::Spectrum, "SetupSpectrumButton");
    addTap(1, Page::Spectrum, "ExitButton");
}

void SoakOperator::buildTimeDomain()
{
    // The persistence modes and the phase shift on the setup page; the sync choice; the activity
    // level by taps. Now and then the operator picks radio sync and watches for 90 s while the
    // radio is silent: the screen must fall back to the internal sync after a minute. Meanwhile
    // nothing that restarts the measurement (and so the sync watch) is touched: only volume and save.
    const auto calm = [this] { return !m_watch.isValid() || m_watch.elapsed() > RadioWatchMs; };
    addTap(1, Page::Time, "VolumeButton");
    addTap(2, Page::Time, "SaveButton");
    add(2, Page::Time, [this] { return tapPlot(); }, -1, calm);
    for (const char* button : {"ClearButton", "FreqButton", "SyncButton", "LinearAmplifierButton"})
        add(1, Page::Time, [this, button] { return m_navigator.tap(m_navigator.currentWidget(), button) || true; }, -1, calm);
    add(1, Page::Time, [this] {
        DialogDriver::whenShown(ValueSelectDialog::instance(), [] {
            for (QListWidget* list : ValueSelectDialog::instance()->findChildren<QListWidget*>())
                for (QListWidgetItem* item : list->findItems(QStringLiteral("TL4418"), Qt::MatchContains)) {
                    soakLog(QStringLiteral("  tap row \"TL4418\" on ValueSelectDialog"));
                    return DialogDriver::tap(list, item);
                }
        });
        m_navigator.tap(m_navigator.currentWidget(), "SyncButton");
        m_faults->throwFor(QStringLiteral("radio-silent"), RadioWatchMs);
        m_watch.start();
        return true;
    }, -1, calm);
    const std::pair<const char*, int> setupVisits[] = {{"PersistencyButton", 3}, {"PhaseShiftButton", 1}, {nullptr, 1}};
    for (const auto& [button, weight] : setupVisits) {
        addSetupVisit(weight, Page::Time, "SetupTimeButton", button);
        m_actions.last().available = calm;
    }
    add(1, Page::Time, [this] { return m_navigator.tap(m_navigator.currentWidget(), "ExitButton") || true; }, -1, calm);
}

void SoakOperator::buildLevel()
{
    addPlotActions(0, 3, Page::Level);
    addTap(1, Page::Level, "FreqButton");
    addTap(2, Page::Level, "GatingTimeButton");
    addTap(1, Page::Level, "LinearAmplifierButton");
    addTap(2, Page::Level, "SaveButton");
    addSetupVisit(1, Page::Level, "SetupLevelButton");
    addTap(1, Page::Level, "ExitButton");
}

void SoakOperator::buildAutodetection()
{
    // With the algorithm switched on (service page) the stop button runs the autodetection.
    add(6, Page::Spectrum, [this] {
        ensureAlgorithm();
        m_navigator.tap(m_navigator.currentWidget(), "StopButton");
        return true;
    });
    addTap(1, Page::Spectrum, "SaveButton");
    add(1, Page::Spectrum, [this] { return tapPlot(); });
    add(1, Page::Setup, [this] {
        return m_navigator.tapAny(SetupDialog::pages().value(SetupDialog::DIALOG_ALGORITHM)) || true;
    }, SetupDialog::DIALOG_ALGORITHM);
    addTap(1, Page::Spectrum, "ExitButton");
}

void SoakOperator::buildOffsetCalibration()
{
    // Opened from the service page; run to its end, sometimes left half-way.
    add(1, Page::Kalib, [this] {
        auto* kalib = qobject_cast<KalibDialog*>(m_navigator.currentWidget());
        if (kalib == nullptr)
            return true;
        if (kalib->state() == KalibDialog::STATE_IDLE)
            m_navigator.tap(kalib, m_random->bounded(6) ? "StartKalButton" : "ExitButton");
        else if (m_random->bounded(40) == 0)
            m_navigator.tap(kalib, "ExitButton");
        return true;
    });
}

void SoakOperator::buildLevelCalibration()
{
    // Started on the level page (service mode); at every step the reference generator feeds the
    // step's level and the save button confirms it; now and then the calibration is aborted.
    const auto step = [] { return Configuration::getValue(Configuration::VT_Meas_70, kSystem); };
    add(1, Page::Setup, [this, step] {
        if (step() < 1 || m_random->bounded(30) == 0)
            m_navigator.tap(m_navigator.currentWidget(), "StartCalibButton");
        m_referenceStep = 0;
        return true;
    }, SetupDialog::DIALOG_LEVEL);
    add(12, Page::Level, [this, step] {
        const int now = step();
        if (now < 1)
            return true;
        if (m_referenceStep != now) {
            // The generator gives one level at a time (both switched on would mean high).
            m_faults->set(QLatin1String(now % 2 ? "reference-high" : "reference-low"), false);
            m_faults->set(QLatin1String(now % 2 ? "reference-low" : "reference-high"), true);
            m_referenceStep = now;
            m_referenceSince.start();
            return false;
        }
        if (m_referenceSince.elapsed() < ReferenceSettleMs)
            return false;
        m_navigator.tap(m_navigator.currentWidget(), "SaveButton");
        return true;
    }, -1, [step] { return step() >= 1; });
}

void SoakOperator::buildSetup()
{
    // The system page's maintenance actions, with records from the spectrum to copy and clear.
    const int system = SetupDialog::DIALOG_SYSTEM;
    addTap(3, Page::Setup, "CopyToUsbButton", system);
    addTap(2, Page::Setup, "clearDataButton", system);
    addTap(2, Page::Setup, "SoftwareUpdateButton", system);
    addTap(1, Page::Setup, "FactoryDefault", system);
    add(2, Page::Setup, [this, system] { return m_navigator.tapAny(SetupDialog::pages().value(system)) || true; }, system);
    add(1, Page::Setup, [this] { return m_navigator.tapAny(SetupDialog::pages().value(SetupDialog::DIALOG_INFO)) || true; },
        SetupDialog::DIALOG_INFO);
    // The measurement pages are offered from their screens.
    addSetupVisit(1, Page::Spectrum, "SetupSpectrumButton");
    addSetupVisit(1, Page::Time, "SetupTimeButton");
    addSetupVisit(1, Page::Level, "SetupLevelButton");
    addTap(1, Page::Setup, "CategoryButton");
    add(2, Page::Spectrum, [this] { return saveAndWait(); });
}

bool SoakOperator::saveAndWait()
{
    // A save waits for the end of the sweep; leaving earlier drops it. This operator wants a
    // record to copy and clear, so waits for it (at most half a minute).
    auto* spectrum = qobject_cast<SpectrumDialog*>(m_navigator.currentWidget());
    if (spectrum == nullptr || !m_navigator.tap(spectrum, "SaveButton"))
        return true;
    QElapsedTimer clock;
    clock.start();
    while ((spectrum->tasks() & SpectrumDialog::TASK_SAVE) && clock.elapsed() < 30000)
        QTest::qWait(200);
    return true;
}

void SoakOperator::ensureServiceMode()
{
    if (Configuration::getValue(Configuration::VT_Service, kSystem) == 0)
        Configuration::setValue(Configuration::VT_Service, 1, kSystem);
}

void SoakOperator::ensureAlgorithm()
{
    // What the service page's algorithm switch does.
    ensureServiceMode();
    Configuration::setValue(QStringLiteral("algorithm"), 1, kSystem);
    SetupDialog::instance()->updateButtons();
}

bool SoakOperator::tapPlot()
{
    auto* plot = m_navigator.currentWidget() ? m_navigator.currentWidget()->findChild<QwtPlot*>() : nullptr;
    if (plot == nullptr || !plot->canvas()->isVisible())
        return true;
    QWidget* canvas = plot->canvas();
    const QPoint at(m_random->bounded(canvas->width()), m_random->bounded(canvas->height()));
    soakLog(QStringLiteral("tap plot at %1,%2").arg(at.x()).arg(at.y()));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, at);
    ++m_done;
    return true;
}

bool SoakOperator::dragPlot()
{
    auto* plot = m_navigator.currentWidget() ? m_navigator.currentWidget()->findChild<QwtPlot*>() : nullptr;
    if (plot == nullptr || !plot->canvas()->isVisible())
        return true;
    QWidget* canvas = plot->canvas();
    const auto randomPoint = [&] { return QPoint(m_random->bounded(canvas->width()), m_random->bounded(canvas->height())); };
    const QPoint from = randomPoint(), to = randomPoint();
    soakLog(QStringLiteral("drag plot %1,%2 to %3,%4").arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y()));
    sendMouse(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 5; ++i) {
        QTest::qWait(m_random->bounded(20, 120));
        sendMouse(canvas, QEvent::MouseMove, from + (to - from) * i / 5, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(canvas, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    ++m_done;
    return true;
}

void SoakOperator::start()
{
    m_running = true;
    scheduleNext();
}

void SoakOperator::stop()
{
    m_running = false;
}

void SoakOperator::scheduleNext()
{
    if (m_running)
        QTimer::singleShot(m_random->bounded(400, 2500), this, &SoakOperator::step);
}

void SoakOperator::step()
{
    // Nothing while a dialog is open (the responder answers it) or an earlier action still runs
    // a dialog of its own in a nested loop.
    if (!m_running)
        return;
    if (m_inStep || QApplication::activeModalWidget()) {
        scheduleNext();
        return;
    }
    m_inStep = true;
    if (m_pending < 0) {
        QVector<int> weights;
        int total = 0;
        for (const Action& action : m_actions) {
            weights.append(!action.available || action.available() ? action.weight : 0);
            total += weights.last();
        }
        int pick = m_random->bounded(total);
        for (m_pending = 0; pick >= weights.at(m_pending); ++m_pending)
            pick -= weights.at(m_pending);
    }
    const Action& action = m_actions.at(m_pending);
    if (action.setupPage == SetupDialog::DIALOG_ALGORITHM)
        ensureAlgorithm();
    else if (action.page == Page::Kalib || action.setupPage == SetupDialog::DIALOG_SERVICE
             || m_screen == QLatin1String("levelcalibration"))
        ensureServiceMode();
    if (m_navigator.isAt(action.page, action.setupPage)) {
        m_walk = 0;
        if (action.run())
            m_pending = -1;
    } else if (++m_walk > MaxWalk || !m_navigator.stepTowards(action.page, action.setupPage)) {
        m_walk = 0;
        m_pending = -1; // no way there now: another action next time
    }
    m_inStep = false;
    scheduleNext();
}
