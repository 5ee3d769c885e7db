// The spectrum screen on the simulated board, its worker thread running the per-step handler: a
// request waits for the end of its sweep, is carried out once, and the worker is never left
// blocked nor restarted behind another page. The autodetection finds the discharge sources.

#include "DialogDriver.h"
#include "common/SimulatedBoard.h"
#include "dialogs/AlgorithmDialog.h"
#include "dialogs/SpectrumDialog.h"
#include "hardware/DataWorker.h"
#include "plot/OverridingPlotData.h"
#include "plot/SpectrumMarkers.h"
#include "util/MutexLocker.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <memory>

using namespace DialogDriver;
using CS = SpectrumDialog::CurveSelect;

class TestSpectrumOnBoard : public QObject {
    Q_OBJECT

private:
    // Gone in this order at the end: the screen, the worker, the board.
    std::unique_ptr<SimulatedBoard> m_board;
    std::unique_ptr<DataWorker> m_worker;
    std::unique_ptr<SpectrumDialog> m_dialog;
    int m_saved = 0; // "Data saved in folder:" notices, closed at once
    QTimer m_closer;

    // Slot `slot` of a series, or (slot < 0) its index and count, read under the screen's lock.
    QPointF point(int slot, CS curve = CS::CURVE_MAX)
    {
        MutexLocker lock(m_dialog->dataLock());
        const OverridingPlotData* series = m_dialog->series(curve);
        return slot < 0 ? QPointF(series->getIndex(), series->count()) : series->getSample(slot);
    }
    int index(CS curve = CS::CURVE_MAX) { return int(point(-1, curve).x()); }
    int count(CS curve) { return int(point(-1, curve).y()); }
    void click(const char* name) { QTest::mouseClick(m_dialog->findChild<QPushButton*>(name), Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        m_board = std::make_unique<SimulatedBoard>();
        QVERIFY(m_board->start());
        m_board->useAsPlatformRoot();
        Configuration::setValue(Configuration::VT_GatingTime, 1, SpectrumDialog::NAME);
        Configuration::setValuePersistent("curves", int(CS::CURVE_MAX), SpectrumDialog::NAME);
        m_worker = std::make_unique<DataWorker>();
        m_dialog = std::make_unique<SpectrumDialog>(m_worker.get());
        m_dialog->show();
        connect(&m_closer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_saved += box->text().startsWith("Data saved in folder:");
                box->done(0);
            }
        });
        m_closer.start(200); // longer than the 100 ms before queued tasks run
    }
    void init()
    {
        m_saved = 0;
        m_dialog->exec();
    }
    // Every frequency is measured twice, normal then reference; the display timer hands the series
    // to the curves.
    void sweepsWithTheReferenceTraces()
    {
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_REF_MAX | CS::CURVE_DIFF);
        m_dialog->exec();
        QTRY_VERIFY_WITH_TIMEOUT(count(CS::CURVE_MAX) == SpectrumDialog::SLOT_COUNT, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(count(CS::CURVE_REF_MAX) == SpectrumDialog::SLOT_COUNT, 5000);
        QVERIFY(qAbs(index(CS::CURVE_MAX) - index(CS::CURVE_REF_MAX)) <= 1);
        QVERIFY(count(CS::CURVE_DIFF) >= SpectrumDialog::SLOT_COUNT - 1);
        QTRY_COMPARE_WITH_TIMEOUT(int(m_dialog->curve(CS::CURVE_MAX)->dataSize()), SpectrumDialog::SLOT_COUNT, 2000);
        QVERIFY(m_dialog->curve(CS::CURVE_REF_MAX)->dataSize() > 0 && m_dialog->curve(CS::CURVE_AVG)->dataSize() == 0);
        m_dialog->setCurves(CS::CURVE_MAX);
    }

    void saveStopFreezeZoomAndLeave()
    {
        // A save cancelled at the phase prompt saves nothing; the worker measures on.
        Configuration::setValue(Configuration::VT_PromptPhase, 1, "system");
        whenShown(ValueSelectDialog::instance(), [] { pressKey(ValueSelectDialog::instance(), Qt::Key_Escape); });
        click("SaveButton");
        QTRY_VERIFY_WITH_TIMEOUT(m_dialog->tasks() == SpectrumDialog::TASK_NONE, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_worker->isPaused() && index() > 100, 5000);
        QCOMPARE(m_saved, 0);
        Configuration::setValue(Configuration::VT_PromptPhase, 0, "system");
        // Save, freeze and stop mid-sweep: all wait for the end of the sweep, then it stays stopped.
        QTRY_VERIFY_WITH_TIMEOUT(index() > 50 && index() < 300, 10000);
        click("SaveButton");
        m_dialog->requestFreeze(0, CS::CURVE_MAX);
        click("StopButton");
        QTest::qWait(200); // mid-sweep: nothing is written yet
        QCOMPARE(m_saved, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_saved, 1, 10000);
        QCOMPARE(m_dialog->series(CS::CURVE_FREEZE_1)->count(), SpectrumDialog::SLOT_COUNT);
        QTest::qWait(300);
        QVERIFY(m_worker->isPaused() && !m_dialog->isTimerRunning());
        QCOMPARE(index(), 0); // held after a complete sweep
        QCOMPARE(m_dialog->tasks(), SpectrumDialog::Tasks(SpectrumDialog::TASK_STOP));
        // A zoom while stopped keeps the last sweep; start measures the new range.
        auto* plot = m_dialog->findChild<QwtPlot*>();
        const auto x = [plot](double f) { return int(plot->canvasMap(QwtPlot::xBottom).transform(f)); };
        m_dialog->zoomPolygon(QPolygon(QVector<QPoint> { QPoint(x(420), 200), QPoint(x(560), 20) }), 300);
        QVERIFY(!m_worker->isRunning());
        QCOMPARE(QPointF(m_dialog->freqMin(), point(-1).y()), QPointF(400, SpectrumDialog::SLOT_COUNT));
        click("StopButton");
        QVERIFY(m_dialog->tasks() == SpectrumDialog::TASK_NONE && m_dialog->isTimerRunning());
        QTRY_VERIFY_WITH_TIMEOUT(index() > 10, 5000);
        QCOMPARE(point(0).x(), 400.0);
        m_dialog->setFrequencyRange(150, 1000, true);
        // Stop and save: at the end of the sweep the handler pauses the worker and queues the tasks
        // for 100 ms later. Leaving now releases the worker and keeps the save.
        click("StopButton");
        click("SaveButton");
        while (!m_worker->isPaused())
            QTest::qWait(1);
        click("ExitButton");
        QCOMPARE(m_saved, 2);
        QTest::qWait(400); // past the queued tasks: nothing restarts nor runs again
        QVERIFY(!m_worker->isRunning() && !m_dialog->isTimerRunning());
        QCOMPARE(m_saved, 2);
    }

    void autodetectionFindsTheSourcesNotTheCarrier()
    {
        const auto records = [this] { return QDir(m_board->path("/data/corvane_data")).entryList({ "algorithm_*" }); };
        // Left early, nothing is stored and the worker is stopped.
        m_dialog->stopDataWorker();
        AlgorithmDialog* dialog = AlgorithmDialog::instance();
        whenShown(dialog, [dialog] { QTimer::singleShot(300, dialog, &QDialog::reject); });
        QCOMPARE(dialog->exec(m_worker.get(), "Autodetect algorithm"), 0);
        QVERIFY(!m_worker->isRunning() && records().isEmpty());

        // Three short sweeps: one alone may catch a source's pulses by chance and favour its flank.
        Configuration::setValue(Configuration::VT_CycleCountLow, 3, AlgorithmDialog::NAME);
        Configuration::setValue("algorithm", true, "system");
        click("StopButton");
        Configuration::setValue("algorithm", false, "system");
        const QVector<QPointF> results = dialog->results();
        const double sources[] = { 220, 0, 600, 850 };
        for (int b : { 0, 2, 3 })
            QVERIFY2(qAbs(results.at(b).x() - sources[b]) < 40, qPrintable(QString::number(results.at(b).x())));
        for (const QPointF& result : results)
            QVERIFY(qAbs(result.x() - 446.1) > 20);
        QCOMPARE(int(m_dialog->markers()->frequency(3)), int(results.at(3).x()));
        QCOMPARE(records().size(), 1);
        QVERIFY(m_worker->isRunning()); // the spectrum measures again
    }
};

QTEST_MAIN(TestSpectrumOnBoard)
#include "tst_spectrumonboard.moc"
