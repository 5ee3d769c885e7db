#pragma once

#include "ScreenNavigator.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class FaultSwitcher;
class QRandomGenerator;

// The operator of one screen for a soak: every half second to few seconds one action from the
// screen's table (weighted at random), first walking there through the menus when an earlier
// action (or the screen itself) left the page. Actions are taps on the screen's buttons, taps
// and drags on its plot, and the procedures of the two calibrations; the dialogs they open are
// answered by the ModalResponder.
class SoakOperator : public QObject
{
    Q_OBJECT

public:
    // The screens a soak can drive.
    static QStringList screens();

    SoakOperator(const QString& screen, FaultSwitcher* faults, QRandomGenerator* random, QObject* parent = nullptr);

    bool isValid() const { return !m_actions.isEmpty(); }
    void start();
    void stop();
    // Operator actions done (including the taps that walked to them).
    int actions() const { return m_done + m_navigator.taps(); }

private:
    struct Action
    {
        int weight;
        ScreenNavigator::Page page;
        int setupPage;
        // Returns false while the action is not finished (it is tried again next time).
        std::function<bool()> run;
        // Whether the action makes sense now (always when empty).
        std::function<bool()> available;
    };

    void add(int weight, ScreenNavigator::Page page, std::function<bool()> run, int setupPage = -1,
             std::function<bool()> available = {});
    void addTap(int weight, ScreenNavigator::Page page, const char* button, int setupPage = -1);
    // A tap on the screen's setup button and then on one of the page's buttons (or the named one).
    void addSetupVisit(int weight, ScreenNavigator::Page page, const char* setupButton, const char* pageButton = nullptr);
    void addPlotActions(int tapWeight, int dragWeight, ScreenNavigator::Page page);
    void buildSpectrum();
    void buildTimeDomain();
    void buildLevel();
    void buildAutodetection();
    void buildOffsetCalibration();
    void buildLevelCalibration();
    void buildSetup();

    bool tapPlot();
    bool dragPlot();
    bool saveAndWait();
    static void ensureServiceMode();
    static void ensureAlgorithm();

    void scheduleNext();
    void step();

    QString m_screen;
    FaultSwitcher* m_faults;
    QRandomGenerator* m_random;
    ScreenNavigator m_navigator;
    QVector<Action> m_actions;
    int m_pending = -1;
    // Taps made so far to walk to the pending action's page.
    int m_walk = 0;
    bool m_running = false;
    bool m_inStep = false;
    int m_done = 0;
    // The level calibration: the step whose reference level was switched on, and since when.
    int m_referenceStep = 0;
    QElapsedTimer m_referenceSince;
    // The time domain: since when the operator watches radio sync with the radio silent.
    QElapsedTimer m_watch;
};
