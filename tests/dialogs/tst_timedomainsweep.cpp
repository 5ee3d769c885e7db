// The time-domain screen measuring on the simulated board: the worker thread fills the image
// while the GUI thread draws; the discharge clusters sit at their mains phases and move with the
// phase shift; a radio sync that falls silent while the worker waits for a save is replaced by
// the internal one once the save is done.

#include "DialogDriver.h"
#include "common/SimulatedBoard.h"

#include "dialogs/TimeDomainDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "hardware/DataWorker.h"
#include "util/MutexLocker.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace DialogDriver;
using C = Configuration;

class TestTimeDomainSweep : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedBoard> m_board;
    std::unique_ptr<DataWorker> m_worker;
    std::unique_ptr<TimeDomainDialog> m_dialog;
    qint64 m_now = 1000;

    // The hits in the columns within 20 degrees of a phase, above the noise at the bottom.
    int hitsNear(int degrees)
    {
        MutexLocker lock(m_dialog->dataLock());
        int hits = 0;
        for (int d = degrees - 20; d <= degrees + 20; ++d)
            for (int y = 0; y < 240; ++y)
                hits += m_dialog->data().image().quantity(((d + 360) % 360) * 500 / 360, y);
        return hits;
    }
    quint32 control() const { return m_board->readRegister(DataWorker::REG_CONTROL); }
    void waitForSweeps(quint64 sweeps) { QTRY_VERIFY_WITH_TIMEOUT(m_dialog->count() >= sweeps, 20000); }

private slots:
    void initTestCase()
    {
        m_board = std::make_unique<SimulatedBoard>();
        QVERIFY(m_board->start());
        m_board->useAsPlatformRoot();
        QVERIFY(m_board->mapMemories());
        for (const auto& setting : QList<QPair<C::ValueType, int>>{{C::VT_FreqMin, 600}, {C::VT_Persistency, 0},
                                                                    {C::VT_LinearAmplifier, 650}, {C::VT_Resolution, 1},
                                                                    {C::VT_Sync, C::SYNC_MAINS_RF}})
            C::setValue(setting.first, setting.second, TimeDomainDialog::NAME);
        m_worker = std::make_unique<DataWorker>();
        m_dialog = std::make_unique<TimeDomainDialog>(m_worker.get());
        m_dialog->setClock([this] { return m_now; });
        m_dialog->resize(640, 440);
        m_dialog->show();
    }
    void cleanupTestCase()
    {
        m_dialog.reset();
        QVERIFY(!m_worker->isRunning());
        m_worker.reset();
        m_board.reset();
    }

    void clustersSitAtTheirPhasesAndFollowTheShift_data()
    {
        QTest::addColumn<int>("shift");
        QTest::newRow("no shift") << 0;
        QTest::newRow("90 degrees") << 90;
    }
    void clustersSitAtTheirPhasesAndFollowTheShift()
    {
        QFETCH(int, shift);
        C::setValue(C::VT_PhaseShift, shift, TimeDomainDialog::NAME);
        m_dialog->exec();
        waitForSweeps(60);
        // The 600 MHz source discharges near 45 and 225 degrees of the mains cycle.
        const int clusters = hitsNear(45 - shift) + hitsNear(225 - shift);
        const int between = hitsNear(135 - shift) + hitsNear(315 - shift);
        QVERIFY2(clusters > 20 * (between + 1), qPrintable(QStringLiteral("%1 / %2").arg(clusters).arg(between)));
    }

    void silentRadioDuringASaveFallsBackOnceSaved()
    {
        C::setValue(C::VT_PromptPhase, 1, "system");
        QVERIFY(m_board->setFault("radio-silent", true));
        ValueSelectDialog* prompt = ValueSelectDialog::instance();
        bool pausedMeanwhile = false;
        whenShown(prompt, [&] {
            QTRY_VERIFY_WITH_TIMEOUT(m_worker->isPaused(), 10000);
            m_now += 61;
            m_dialog->updateTick();
            pausedMeanwhile = m_worker->isPaused() && m_dialog->sync() == C::SYNC_INT_E;
            auto* list = prompt->findChild<QListWidget*>("ListWidget");
            tap(list, list->item(0));
        });
        QTest::mouseClick(m_dialog->findChild<QPushButton*>("SaveButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_dialog->tasks(), TimeDomainDialog::Tasks(TimeDomainDialog::TASK_NONE), 20000);
        QVERIFY(pausedMeanwhile);
        QCOMPARE(C::getValue(C::VT_Sync, TimeDomainDialog::NAME), int(C::SYNC_INT_E));
        const QDir records(m_board->path("/data/corvane_data"));
        QTRY_COMPARE_WITH_TIMEOUT(records.entryList({"time_*.xml"}, QDir::Files).size(), 1, 5000);
        QVERIFY(m_board->readBoardFile("/data/corvane_data/" + records.entryList({"time_*.xml"}).first())
                    .contains("<phase>L1</phase>"));
        // Measuring again, on the internal sync, which is present.
        QTRY_VERIFY_WITH_TIMEOUT(m_worker->isRunning() && !m_worker->isPaused(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(control() & DataWorker::CONTROL_RADIO_SYNC, 0u, 5000);
        waitForSweeps(10);
        QTRY_VERIFY_WITH_TIMEOUT(control() & DataWorker::CONTROL_SYNC_PRESENT, 5000);
        QTest::mouseClick(m_dialog->findChild<QPushButton*>("ExitButton"), Qt::LeftButton);
        QVERIFY(!m_worker->isRunning() && !m_dialog->isTimerRunning());
    }
};

QTEST_MAIN(TestTimeDomainSweep)
#include "tst_timedomainsweep.moc"
