// Save, freeze, stop and leaving the screen while the worker measures on the simulated board: a
// request waits for the end of its sweep, is carried out once, and the worker is never left
// blocked nor restarted behind another page.

#include "DialogDriver.h"
#include "common/SimulatedBoard.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "hardware/DataWorker.h"
#include "plot/OverridingPlotData.h"
#include "util/MutexLocker.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <qwt_plot.h>

#include <memory>

using namespace DialogDriver;
using CS = SpectrumDialog::CurveSelect;

class TestSpectrumCycle : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SimulatedBoard> m_board;
    std::unique_ptr<DataWorker> m_worker;
    std::unique_ptr<SpectrumDialog> m_dialog;
    QStringList m_saved; // "Data saved" notices, closed at once
    QTimer m_closer;

    int index()
    {
        MutexLocker lock(m_dialog->dataLock());
        return m_dialog->series(CS::CURVE_MAX)->getIndex();
    }
    int records() const { return QDir(m_board->path("/data/corvane_data")).entryList({"spectrum_*.xml"}).size(); }
    void click(const char* name) { QTest::mouseClick(m_dialog->findChild<QPushButton*>(name), Qt::LeftButton); }
    void waitMidSweep() { QTRY_VERIFY_WITH_TIMEOUT(index() > 50 && index() < 300, 10000); }

private slots:
    void initTestCase()
    {
        m_board = std::make_unique<SimulatedBoard>();
        QVERIFY(m_board->start());
        m_board->useAsPlatformRoot();
        Configuration::setValue(Configuration::VT_GatingTime, 1, SpectrumDialog::NAME);
        Configuration::setValuePersistent(QStringLiteral("curves"), int(CS::CURVE_MAX), SpectrumDialog::NAME);
        m_worker = std::make_unique<DataWorker>();
        m_dialog = std::make_unique<SpectrumDialog>(m_worker.get());
        m_dialog->resize(640, 440);
        m_dialog->show();
        connect(&m_closer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (box->text().startsWith("Data saved"))
                    m_saved << box->text();
                box->done(0);
            }
        });
        m_closer.start(20);
    }
    void init()
    {
        m_saved.clear();
        m_dialog->exec();
    }
    void cleanupTestCase()
    {
        m_dialog->stopDataWorker();
        m_dialog.reset();
        m_worker.reset();
        m_board.reset();
    }

    void saveWaitsForItsSweepAndWritesOnce()
    {
        waitMidSweep();
        const int before = records();
        click("SaveButton");
        QTest::qWait(200);
        QCOMPARE(records(), before);
        QTRY_COMPARE_WITH_TIMEOUT(m_saved.size(), 1, 10000);
        QCOMPARE(records(), before + 1);
        // Measuring goes on, and nothing is written again.
        QTRY_VERIFY_WITH_TIMEOUT(!m_worker->isPaused() && index() > 100, 5000);
        QTest::qWait(1500);
        QCOMPARE(m_saved.size(), 1);
    }

    void saveCancelledAtThePhasePrompt()
    {
        Configuration::setValue(Configuration::VT_PromptPhase, 1, "system");
        ValueSelectDialog* phase = ValueSelectDialog::instance();
        whenShown(phase, [phase] { pressKey(phase, Qt::Key_Escape); });
        const int before = records();
        click("SaveButton");
        QTRY_VERIFY_WITH_TIMEOUT(m_dialog->tasks() == SpectrumDialog::TASK_NONE, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_worker->isPaused() && index() > 100, 5000);
        QCOMPARE(records(), before);
        QVERIFY(m_saved.isEmpty());
        Configuration::setValue(Configuration::VT_PromptPhase, 0, "system");
    }

    void stopDuringSaveAndFreezeThenZoomWhileStopped()
    {
        waitMidSweep();
        const int before = records();
        click("SaveButton");
        m_dialog->requestFreeze(0, CS::CURVE_MAX);
        click("StopButton");
        QTRY_COMPARE_WITH_TIMEOUT(m_saved.size(), 1, 10000);
        QCOMPARE(records(), before + 1);
        QCOMPARE(m_dialog->series(CS::CURVE_FREEZE_1)->count(), SpectrumDialog::SLOT_COUNT);
        QTest::qWait(300);
        QVERIFY(m_worker->isPaused());
        QCOMPARE(m_dialog->tasks(), SpectrumDialog::Tasks(SpectrumDialog::TASK_STOP));
        // A zoom while stopped does not start measuring; start does, over the new range.
        auto* plot = m_dialog->findChild<QwtPlot*>();
        const auto at = [plot](double f, double a) {
            return QPoint(int(plot->canvasMap(QwtPlot::xBottom).transform(f)),
                int(plot->canvasMap(QwtPlot::yLeft).transform(a)));
        };
        m_dialog->zoomPolygon(QPolygon(QVector<QPoint> {at(420, -80), at(560, -40)}), 300);
        QVERIFY(!m_worker->isRunning());
        QCOMPARE(m_dialog->freqMin(), 400);
        QCOMPARE(m_dialog->series(CS::CURVE_MAX)->count(), SpectrumDialog::SLOT_COUNT);
        click("StopButton");
        QTRY_VERIFY_WITH_TIMEOUT(index() > 10, 5000);
        MutexLocker lock(m_dialog->dataLock());
        QCOMPARE(m_dialog->series(CS::CURVE_MAX)->getSample(0).x(), 400.0);
        lock.unlock();
        m_dialog->setFrequencyRange(150, 1000, true);
    }

    void leavingBetweenThePauseAndTheTasks()
    {
        QSignalSpy left(m_dialog.get(), &SpectrumDialog::exit);
        waitMidSweep();
        click("SaveButton");
        // The handler has paused the worker; the tasks run 100 ms later. Leave now.
        while (!m_worker->isPaused())
            QTest::qWait(1);
        click("ExitButton");
        QCOMPARE(left.size(), 1);
        QCOMPARE(m_saved.size(), 1); // the sweep was complete: the save is not lost
        QTest::qWait(400);
        QVERIFY(!m_worker->isRunning());
        QCOMPARE(m_saved.size(), 1);
    }

    void leavingWhileStopped()
    {
        click("StopButton");
        QTRY_VERIFY_WITH_TIMEOUT(m_worker->isPaused(), 10000);
        click("ExitButton");
        QVERIFY(!m_worker->isRunning());
        QVERIFY(m_saved.isEmpty());
    }
};

QTEST_MAIN(TestSpectrumCycle)
#include "tst_spectrumcycle.moc"
