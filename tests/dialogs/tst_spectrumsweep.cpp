// The spectrum screen measuring on the simulated board: the worker thread runs the per-step
// handler while the GUI thread draws, with the reference traces on, a stop and a freeze that
// pause and resume the worker at the end of a sweep.

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

private:
    std::unique_ptr<SimulatedBoard> m_board;
    std::unique_ptr<DataWorker> m_worker;
    std::unique_ptr<SpectrumDialog> m_dialog;

    int count(CS curve)
    {
        MutexLocker lock(m_dialog->dataLock());
        return m_dialog->series(curve)->count();
    }
    int index(CS curve)
    {
        MutexLocker lock(m_dialog->dataLock());
        return m_dialog->series(curve)->getIndex();
    }
    // A copy of its own (not one sharing the series' buffer, which the worker keeps writing).
    QVector<QPointF> points(CS curve)
    {
        MutexLocker lock(m_dialog->dataLock());
        const QVector<QPointF>* data = m_dialog->series(curve)->getConstData();
        return QVector<QPointF>(data->cbegin(), data->cend());
    }
    void clickStop() { QTest::mouseClick(m_dialog->findChild<QPushButton*>(QStringLiteral("StopButton")), Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        m_board = std::make_unique<SimulatedBoard>();
        QVERIFY(m_board->isValid());
        QVERIFY(m_board->start());
        m_board->useAsPlatformRoot();
        // Short blocks keep a sweep of 501 steps (twice that with the reference) near a second.
        Configuration::setValue(Configuration::VT_GatingTime, 1, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_FreqMin, 150, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_FreqMax, 1000, SpectrumDialog::NAME);
        Configuration::setValuePersistent(QStringLiteral("curves"), int(CS::CURVE_MAX | CS::CURVE_REF_MAX | CS::CURVE_DIFF),
                                          SpectrumDialog::NAME);
        m_worker = std::make_unique<DataWorker>();
        QVERIFY(m_worker->isFpgaMapped());
        m_dialog = std::make_unique<SpectrumDialog>(m_worker.get());
        m_dialog->resize(640, 440);
        m_dialog->show();

    }

    void cleanupTestCase()
    {
        if (m_dialog)
            m_dialog->stopDataWorker();
        QVERIFY(!m_worker || !m_worker->isRunning());
        m_dialog.reset();
        m_worker.reset();
        m_board.reset();
    }

    void sweepsWithTheReferenceTraces()
    {
        m_dialog->exec();
        QVERIFY(m_worker->isRunning());
        QVERIFY(m_dialog->isTimerRunning());
        QTRY_VERIFY_WITH_TIMEOUT(count(CS::CURVE_MAX) == SpectrumDialog::SLOT_COUNT, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(count(CS::CURVE_REF_MAX) == SpectrumDialog::SLOT_COUNT, 5000);
        // Every frequency is measured twice: normal, then reference.
        QVERIFY(qAbs(index(CS::CURVE_MAX) - index(CS::CURVE_REF_MAX)) <= 1);
        QVERIFY(qAbs(count(CS::CURVE_REF_AVG) - count(CS::CURVE_REF_MAX)) <= 1);
        QVERIFY(count(CS::CURVE_DIFF) >= SpectrumDialog::SLOT_COUNT - 1);
        for (const QPointF& point : points(CS::CURVE_MAX)) {
            QVERIFY(point.x() >= 150 && point.x() <= 1000);
            QVERIFY2(point.y() > -110 && point.y() < 20, qPrintable(QString::number(point.y())));
        }
        // The display timer hands the series to the curves.
        QTRY_COMPARE_WITH_TIMEOUT(int(m_dialog->curve(CS::CURVE_MAX)->dataSize()), SpectrumDialog::SLOT_COUNT, 2000);
        QVERIFY(m_dialog->curve(CS::CURVE_REF_MAX)->dataSize() > 0);
        QCOMPARE(int(m_dialog->curve(CS::CURVE_AVG)->dataSize()), 0);
    }

    void stopPausesAtTheEndOfTheSweepAndResumes()
    {
        clickStop();
        QVERIFY(m_dialog->tasks().testFlag(SpectrumDialog::TASK_STOP));
        QTRY_VERIFY_WITH_TIMEOUT(m_worker->isPaused(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_dialog->isTimerRunning(), 2000);
        // Paused after a complete sweep of both the normal and the reference traces.
        QCOMPARE(index(CS::CURVE_MAX), 0);
        QCOMPARE(index(CS::CURVE_REF_MAX), 0);
        const QVector<QPointF> before = points(CS::CURVE_MAX);
        QTest::qWait(400);
        QVERIFY(m_worker->isPaused());
        QCOMPARE(points(CS::CURVE_MAX), before);

        clickStop();
        QCOMPARE(m_dialog->tasks(), SpectrumDialog::Tasks(SpectrumDialog::TASK_NONE));
        QVERIFY(m_dialog->isTimerRunning());
        QTRY_VERIFY_WITH_TIMEOUT(index(CS::CURVE_MAX) > 10, 5000);
        QVERIFY(!m_worker->isPaused());
    }

    void freezeWaitsForTheSweepThenResumes()
    {
        m_dialog->requestFreeze(1, CS::CURVE_MAX);
        m_dialog->handleTasks();
        QTRY_VERIFY_WITH_TIMEOUT(m_dialog->tasks() == SpectrumDialog::TASK_NONE, 15000);
        QCOMPARE(count(CS::CURVE_FREEZE_2), SpectrumDialog::SLOT_COUNT);
        QVERIFY(m_dialog->curves().testFlag(CS::CURVE_FREEZE_2));
        QVERIFY(m_board->readBoardFile(QStringLiteral("/data/recall.xml")).contains("name=\"RC2\""));
        QTRY_VERIFY_WITH_TIMEOUT(index(CS::CURVE_MAX) > 10, 5000);
        QVERIFY(m_dialog->isTimerRunning());
    }

    void exitStopsTheWorker()
    {
        QTest::mouseClick(m_dialog->findChild<QPushButton*>(QStringLiteral("ExitButton")), Qt::LeftButton);
        QVERIFY(!m_worker->isRunning());
        QVERIFY(!m_dialog->isTimerRunning());
    }
};

QTEST_MAIN(TestSpectrumSweep)
#include "tst_spectrumsweep.moc"
