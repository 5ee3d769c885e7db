// The spectrum screen measuring on the simulated board: the worker thread runs the per-step
// handler while the GUI thread draws, with the reference traces on, and a stop and a freeze that
// pause the worker at the end of a sweep and resume it.
#include "common/SimulatedBoard.h"
#include "dialogs/SpectrumDialog.h"
#include "hardware/DataWorker.h"
#include "plot/OverridingPlotData.h"
#include "util/Configuration.h"
#include "util/MutexLocker.h"

#include <QPushButton>
#include <QtTest>

#include <qwt_plot_curve.h>

#include <memory>

using CS = SpectrumDialog::CurveSelect;

class TestSpectrumSweep : public QObject
{
    Q_OBJECT

    SimulatedBoard m_board;
    std::unique_ptr<DataWorker> m_worker;
    std::unique_ptr<SpectrumDialog> m_dialog;

    // Slot index and count of a series, read under the screen's lock.
    QPair<int, int> state(CS curve)
    {
        MutexLocker lock(m_dialog->dataLock());
        return {m_dialog->series(curve)->getIndex(), m_dialog->series(curve)->count()};
    }
    QVector<QPointF> points(CS curve) // a copy of its own: the worker keeps writing the series
    {
        MutexLocker lock(m_dialog->dataLock());
        const QVector<QPointF>* data = m_dialog->series(curve)->getConstData();
        return QVector<QPointF>(data->cbegin(), data->cend());
    }
    void clickStop() { QTest::mouseClick(m_dialog->findChild<QPushButton*>("StopButton"), Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_board.start());
        m_board.useAsPlatformRoot();
        // Short blocks keep a sweep of 501 steps (twice that with the reference) near a second.
        Configuration::setValue(Configuration::VT_GatingTime, 1, SpectrumDialog::NAME);
        Configuration::setValuePersistent("curves", int(CS::CURVE_MAX | CS::CURVE_REF_MAX | CS::CURVE_DIFF), SpectrumDialog::NAME);
        m_worker = std::make_unique<DataWorker>();
        m_dialog = std::make_unique<SpectrumDialog>(m_worker.get());
        m_dialog->resize(640, 440);
        m_dialog->show();
    }
    void cleanupTestCase()
    {
        m_dialog.reset();
        m_worker.reset();
    }

    // Every frequency is measured twice, normal then reference; the display timer hands the
    // series to the curves.
    void sweepsWithTheReferenceTraces()
    {
        m_dialog->exec();
        QVERIFY(m_worker->isRunning() && m_dialog->isTimerRunning());
        QTRY_VERIFY_WITH_TIMEOUT(state(CS::CURVE_MAX).second == SpectrumDialog::SLOT_COUNT, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(state(CS::CURVE_REF_MAX).second == SpectrumDialog::SLOT_COUNT, 5000);
        QVERIFY(qAbs(state(CS::CURVE_MAX).first - state(CS::CURVE_REF_MAX).first) <= 1);
        QVERIFY(state(CS::CURVE_DIFF).second >= SpectrumDialog::SLOT_COUNT - 1);
        for (const QPointF& point : points(CS::CURVE_MAX))
            QVERIFY2(point.x() >= 150 && point.x() <= 1000 && point.y() > -110 && point.y() < 20, qPrintable(QString::number(point.y())));
        QTRY_COMPARE_WITH_TIMEOUT(int(m_dialog->curve(CS::CURVE_MAX)->dataSize()), SpectrumDialog::SLOT_COUNT, 2000);
        QVERIFY(m_dialog->curve(CS::CURVE_REF_MAX)->dataSize() > 0 && m_dialog->curve(CS::CURVE_AVG)->dataSize() == 0);
    }

    void stopPausesAtTheEndOfTheSweepAndResumes()
    {
        clickStop();
        QTRY_VERIFY_WITH_TIMEOUT(m_worker->isPaused(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_dialog->isTimerRunning(), 2000);
        QCOMPARE(state(CS::CURVE_MAX).first + state(CS::CURVE_REF_MAX).first, 0); // after a complete sweep of both
        const QVector<QPointF> before = points(CS::CURVE_MAX);
        QTest::qWait(400);
        QVERIFY(m_worker->isPaused());
        QCOMPARE(points(CS::CURVE_MAX), before);
        clickStop();
        QVERIFY(m_dialog->tasks() == SpectrumDialog::TASK_NONE && m_dialog->isTimerRunning());
        QTRY_VERIFY_WITH_TIMEOUT(state(CS::CURVE_MAX).first > 10, 5000);
    }

    void freezeWaitsForTheSweepThenResumes()
    {
        m_dialog->requestFreeze(1, CS::CURVE_MAX);
        m_dialog->handleTasks();
        QTRY_VERIFY_WITH_TIMEOUT(m_dialog->tasks() == SpectrumDialog::TASK_NONE, 15000);
        QCOMPARE(state(CS::CURVE_FREEZE_2).second, SpectrumDialog::SLOT_COUNT);
        QVERIFY(m_board.readBoardFile("/data/recall.xml").contains("name=\"RC2\""));
        QTRY_VERIFY_WITH_TIMEOUT(state(CS::CURVE_MAX).first > 10, 5000);
        // The exit button stops the worker.
        QTest::mouseClick(m_dialog->findChild<QPushButton*>("ExitButton"), Qt::LeftButton);
        QVERIFY(!m_worker->isRunning() && !m_dialog->isTimerRunning());
    }
};

QTEST_MAIN(TestSpectrumSweep)
#include "tst_spectrumsweep.moc"
