// The time-domain screen: its sweep processing (where a sample lands in the persistence image, how
// kept sweeps are retired, the activity figures), the screen with its sweep handler fed directly
// (the clock of the sync time-out the test's), and last the screen measuring on the simulated board.

#include "DialogDriver.h"
#include "common/SimulatedBoard.h"
#include "common/TestRoot.h"

#include "dialogs/TimeDomainAccumulator.h"
#include "dialogs/TimeDomainDialog.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "hardware/DataWorker.h"
#include "util/MarkerPresets.h"
#include "util/MutexLocker.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

using namespace DialogDriver;
using C = Configuration;

class TestTimeDomainDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<TimeDomainDialog> m_dialog;
    qint64 m_now = 1000;

    void start()
    {
        m_dialog = std::make_unique<TimeDomainDialog>(nullptr);
        m_dialog->setClock([this] { return m_now; });
        m_dialog->exec();
    }
    void feed(std::vector<quint32> values, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            m_dialog->onMeasurementFinished(600000, nullptr, nullptr, values.data(), quint16(values.size()), nullptr);
    }
    void setInterrupts(int count) const
    {
        m_root->writeFile("/proc/interrupts", QStringLiteral("           CPU0       CPU1\n 89: %1 0 GIC cc1101\n")
                                                  .arg(count).toLatin1());
    }
    static QStringList texts(const QDomDocument& record, const QStringList& tags)
    {
        QStringList result;
        for (const QString& tag : tags)
            result << record.documentElement().firstChildElement(tag).text();
        return result;
    }
    // 500 samples at 0 counts except the given (index, counts) pairs; tag bits above 14 set.
    static std::vector<quint32> sweep(std::initializer_list<std::pair<int, quint32>> spikes, int n = 500)
    {
        std::vector<quint32> values(size_t(n), 0xABC00000u);
        for (const auto& spike : spikes)
            values[size_t(spike.first)] |= spike.second;
        return values;
    }
    static std::unique_ptr<TimeDomainAccumulator> make(int persistency, int r = 1, int level = 0)
    {
        auto data = std::make_unique<TimeDomainAccumulator>();
        data->setResolution(r);
        data->setPersistency(persistency);
        data->setActivityLevel(level);
        return data;
    }
    static void add(TimeDomainAccumulator& data, const std::vector<quint32>& values, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            data.addSweep(values.data(), int(values.size()));
    }
    // The hits in the columns within 20 degrees of a phase, above the noise at the bottom.
    static int hitsNear(TimeDomainDialog& dialog, int degrees)
    {
        MutexLocker lock(dialog.dataLock());
        int hits = 0;
        for (int d = degrees - 20; d <= degrees + 20; ++d)
            for (int y = 0; y < 240; ++y)
                hits += dialog.data().image().quantity(((d + 360) % 360) * 500 / 360, y);
        return hits;
    }
    // The columns of row y holding a hit.
    static QList<int> hitColumns(const TimeDomainAccumulator& data, int y)
    {
        QList<int> columns;
        for (int x = 0; x < PersistenceImage::WIDTH; ++x)
            if (data.image().pixelIndex(x, y))
                columns << x;
        return columns;
    }

private slots:
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->installMount());
        m_root->resetReceiver();
        setInterrupts(100);
        C::clear();
    }
    void cleanup()
    {
        m_dialog.reset();
        m_root.reset();
    }

    void conversions_data()
    {
        QTest::addColumn<QList<int>>("scale"); // r, ampMin, ampMax
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QList<int>>("expected"); // valueToPixel, pixelToValue of that, percent
        QTest::newRow("half scale") << QList<int>{1, 0, 100} << 8192u << QList<int>{131, 8160, 50};
        QTest::newRow("16300 near the top") << QList<int>{1, 0, 100} << 16300u << QList<int>{2, 16257, 99};
        QTest::newRow("coarse, range minimum") << QList<int>{3, 20, 80} << 3276u << QList<int>{259, 3276, 19};
        QTest::newRow("coarse, half scale") << QList<int>{3, 20, 80} << 8191u << QList<int>{130, 8190, 50};
        QTest::newRow("coarse, maximum above row r") << QList<int>{3, 20, 80} << 13105u << QList<int>{1, 13105, 79};
        QTest::newRow("coarse, below the range") << QList<int>{3, 20, 80} << 1000u << QList<int>{316, 3276, 6};
    }
    void conversions()
    {
        QFETCH(QList<int>, scale);
        QFETCH(quint32, value);
        auto data = make(50, scale[0]);
        data->setAmplitudeRange(scale[1], scale[2]);
        const int pixel = data->valueToPixel(value);
        QTEST((QList<int>{pixel, int(data->pixelToValue(pixel)), data->valueToCoordinate(value)}), "expected");
    }

    void phaseShiftAndSampleCount_data()
    {
        QTest::addColumn<QList<int>>("pulse"); // samples, phase shift, index of the pulse
        QTest::addColumn<int>("column"); // -1: not drawn
        QTest::newRow("90 degrees rotate left by 125") << QList<int>{500, 90, 125} << 0;
        QTest::newRow("90 degrees wrap around") << QList<int>{500, 90, 0} << 375;
        QTest::newRow("a full period") << QList<int>{500, 360, 100} << 100;
        QTest::newRow("600 samples: rotation modulo 500") << QList<int>{600, 90, 125} << 0;
        QTest::newRow("600 samples: the rest unused") << QList<int>{600, 0, 550} << -1;
        QTest::newRow("negative shift from the file") << QList<int>{500, -90, 100} << 100;
    }
    void phaseShiftAndSampleCount()
    {
        QFETCH(QList<int>, pulse);
        QFETCH(int, column);
        auto data = make(50);
        data->setPhaseShift(pulse[1]);
        add(*data, sweep({{pulse[2], 8192}}, pulse[0]));
        QCOMPARE(hitColumns(*data, 131), column < 0 ? QList<int>() : QList<int>{column});
    }

    void finitePersistenceRetiresTheOldest_data()
    {
        QTest::addColumn<int>("persistency");
        QTest::newRow("50") << 50;
        QTest::newRow("100") << 100;
    }
    void finitePersistenceRetiresTheOldest()
    {
        QFETCH(int, persistency);
        auto data = make(persistency, 3);
        add(*data, sweep({{100, 8192}}));
        add(*data, sweep({}), persistency - 1);
        QCOMPARE(data->image().pixelIndex(99, data->valueToPixel(8192)), 1);
        add(*data, sweep({}));
        QCOMPARE(data->count(), quint64(persistency));
        QCOMPARE(data->image().pixelIndex(99, data->valueToPixel(8192)), 0);
        QCOMPARE(data->image().pixelIndex(0, data->valueToPixel(0)), std::min(3 * persistency, 10)); // 3 samples a block
    }

    void infinitePersistenceAveragesAfter10000Sweeps()
    {
        auto data = make(0, 1, 20);
        const std::vector<quint32> values = sweep({{7, 9830}}); // 60 %, 40 above the level
        add(*data, values, 10001);
        QCOMPARE(data->count(), quint64(1));
        QCOMPARE(data->activitySum(), quint64(40));
        QCOMPARE(data->activity(), 40);
        QCOMPARE(data->image().pixelIndex(7, data->valueToPixel(9830)), 10); // never retired
    }

    // Samples are limited to 16300 in the image and the finite activity; line mode keeps the raw
    // sweep; a sample outside the shown range still counts for the activity.
    void limitsActivityAndLineMode()
    {
        auto data = make(50, 1, 20);
        add(*data, sweep({{10, 16383}}));
        QCOMPARE(hitColumns(*data, 2), QList<int>{10}); // taken as 16300, not row 0
        add(*data, std::vector<quint32>(500, 9780)); // 60 % by 163 counts per percent
        QCOMPARE(data->activity(), (80 + 40 * 500) / 2);

        data->setPersistency(1);
        data->setPhaseShift(90);
        add(*data, sweep({{125, 300}, {126, 16383}}));
        QCOMPARE(data->count(), quint64(1));
        const std::vector<quint32>& line = data->firstKeptSweep();
        QCOMPARE(int(line.size()), 500);
        QCOMPARE(line[0], 300u);
        QCOMPARE(line[1], 16383u); // raw, not limited
        QCOMPARE(data->activity(), 100 - 20);
        QVERIFY(hitColumns(*data, 261).isEmpty());
        data->addSweep(nullptr, 500);
        data->addSweep(line.data(), 0);
        QCOMPARE(data->count(), quint64(1));

        data->setAmplitudeRange(40, 60); // starts afresh
        QCOMPARE(data->count(), quint64(0));
        data->setPersistency(50);
        add(*data, sweep({{10, 16000}}));
        for (int y = 0; y < PersistenceImage::HEIGHT; ++y)
            QVERIFY(hitColumns(*data, y).isEmpty());
        QCOMPARE(data->activity(), 98 - 20); // 16000 / 163 percent
    }

    void damagedSettingsAreLimited()
    {
        const QList<QPair<const char*, int>> damaged{
            {"AmpMinPercent", 40}, {"AmpMaxPercent", 40}, {"Resolution", 0}, {"PhaseShift", -90}, {"Persistency", 500},
            {"UpdateInterval", 5}, {"FreqMin", 5}, {"Sync", 9}, {"MaxQuantity", 0}, {"ActivityLevel", -40}};
        for (const auto& entry : damaged)
            C::setValuePersistent(QLatin1String(entry.first), entry.second, TimeDomainDialog::NAME);
        C::setValuePersistent("SweepRate", 0, "system");
        start();
        QCOMPARE((QList<int>{m_dialog->sweepRate(), m_dialog->frequency(), m_dialog->persistency(), m_dialog->sync(),
                             m_dialog->activityLevel(), m_dialog->data().ampMin(), m_dialog->data().ampMax()}),
                 (QList<int>{20, 150, 100, C::SYNC_MAINS_RF, 0, 40, 50}));
        feed(std::vector<quint32>(700, 7372), 120); // 45 %
        QCOMPARE(m_dialog->count(), quint64(100));
        m_dialog->updateTick();
        QCOMPARE(m_dialog->data().image().pixelIndex(499, m_dialog->valueToPixel(7372)), 10);
    }

    void activityVoltage_data()
    {
        QTest::addColumn<QList<int>>("setup"); // antenna, preamplifier, calibration offset (level 20 %)
        QTest::addColumn<double>("factor"); // as calib.ini holds it
        QTest::addColumn<double>("millivolts");
        QTest::newRow("UHF, preamplifier on") << QList<int>{0, 1, 0} << 9.0 << 0.246387;
        QTest::newRow("factor 0 uses the default") << QList<int>{0, 1, 0} << 0.0 << 0.246387;
        QTest::newRow("preamplifier off") << QList<int>{0, 0, 0} << 1.0 << 2.217482;
        QTest::newRow("TEV, broadband") << QList<int>{1, 1, 100} << 2.0 << 1.074731;
        QTest::newRow("below the offset shows 0") << QList<int>{0, 1, 5000} << 9.0 << 0.0;
    }
    void activityVoltage()
    {
        QFETCH(QList<int>, setup);
        QFETCH(double, factor);
        QFETCH(double, millivolts);
        C::setValue(C::VT_Antenna, setup[0], "system");
        C::setValue(C::VT_Preamplifier, setup[1], TimeDomainDialog::NAME);
        for (auto type : {Calibration::VT_AmpOnRMSOffset, Calibration::VT_AmpOffRMSOffset, Calibration::VT_BBRMSOffset})
            Calibration::setValue(type, setup[2]);
        for (auto type : {Calibration::VT_AmpOnRMSFaktor, Calibration::VT_AmpOffRMSFaktor, Calibration::VT_BBRMSFaktor})
            Calibration::setValue(type, factor);
        start();
        QCOMPARE(m_root->gpio(213), setup[1] && !setup[0] ? "0" : "1");
        QVERIFY(qAbs(m_dialog->calcActivityVoltage() - millivolts) < 1e-5);
    }

    void radioSyncFallsBackWhenSilent_data()
    {
        QTest::addColumn<int>("sync");
        QTest::addColumn<int>("interrupts"); // within the 60 s
        QTest::addColumn<int>("after");
        QTest::newRow("radio, 9 interrupts") << int(C::SYNC_MAINS_RF) << 9 << int(C::SYNC_INT_E);
        QTest::newRow("radio, 10 interrupts") << int(C::SYNC_MAINS_RF) << 10 << int(C::SYNC_MAINS_RF);
        QTest::newRow("sensor, none") << int(C::SYNC_SENSOR_H) << 0 << int(C::SYNC_SENSOR_H);
    }
    void radioSyncFallsBackWhenSilent()
    {
        QFETCH(int, sync);
        QFETCH(int, interrupts);
        QFETCH(int, after);
        C::setValue(C::VT_Sync, sync, TimeDomainDialog::NAME);
        start();
        setInterrupts(100 + interrupts);
        m_now += 60;
        m_dialog->updateTick(); // the deadline itself is not past
        QCOMPARE(int(m_dialog->sync()), sync);
        m_now += 1;
        m_dialog->updateTick();
        QCOMPARE(int(m_dialog->sync()), after);
        QCOMPARE(C::getValue(C::VT_Sync, TimeDomainDialog::NAME), after);
        QCOMPARE(m_dialog->syncDeadline(), m_now + 60); // re-armed in every case
        QCOMPARE(m_dialog->expectedInterruptCount(), 110 + interrupts);
    }

    void markerFrequencyBringsItsLevelAndTapSetsTheActivityLevel()
    {
        MarkerPresets::store({300, 600}, {-20, -35});
        start();
        run(ValueEditDialog::instance(), "#1 @ButtonOk", [this] { return m_dialog->on_FreqButton_clicked(), 0; });
        QCOMPARE(m_dialog->frequency(), 600);
        QCOMPARE(C::getValue(C::VT_FreqMin, TimeDomainDialog::NAME), 600);
        QCOMPARE(m_root->dac(1), 67);
        QCOMPARE(m_root->gpio(213), "0");

        m_dialog->setResolution(C::RESOLUTION_COARSE);
        m_dialog->levelSelect(QPointF(3, 7.6)); // a multiple of the resolution
        QCOMPARE(m_dialog->activityLevel(), 6);
        QCOMPARE(C::valuePersistent("ActivityLevel", TimeDomainDialog::NAME, 0).toInt(), 6);
    }

    void recordInImageAndLineMode()
    {
        C::setValue(C::VT_Persistency, 0, TimeDomainDialog::NAME);
        C::setValue(C::VT_MaxQuantity, 100, TimeDomainDialog::NAME);
        C::setValue(C::VT_AmpMinPercent, 5, TimeDomainDialog::NAME);
        C::setValue(C::VT_Resolution, C::RESOLUTION_FINE, TimeDomainDialog::NAME);
        start();
        const std::vector<quint32> values = sweep({{10, 9830}, {20, 1500}}); // 60 % above the level, 9 % below
        feed(values, 120);
        m_dialog->updateTick();
        QDomDocument record = m_dialog->recordDocument(C::PHASE_L2);
        const int above = m_dialog->valueToPixel(9830);
        const int below = m_dialog->valueToPixel(1500);
        QCOMPARE(texts(record, {"meas_mode", "persistency", "phase", "minAmplitude", "times", "sample", "quantity", "pixel"}),
                 (QStringList{"RMS", "Infinite", "L2", "5", "0.40 0.80",
                              QStringLiteral("%1 %2").arg(m_dialog->pixelToValue(above)).arg(m_dialog->pixelToValue(below)),
                              "100 100", QStringLiteral("%1 %2").arg(above).arg(below)}));

        m_dialog->setPersistency(1);
        feed(values);
        record = m_dialog->recordDocument(C::PHASE_Unspecified);
        QCOMPARE(texts(record, {"persistency", "phase", "nsamples"}), (QStringList{"1", "Unspecified", "500"}));
        QCOMPARE(record.documentElement().firstChildElement("timescale").attribute("max"), QStringLiteral("20.00"));
        QCOMPARE(texts(record, {"max"}).first().split(' ').mid(9, 3), (QStringList{"0", "9830", "0"}));
        QVERIFY(record.documentElement().firstChildElement("times").isNull());
    }

    // The worker thread fills the image while the GUI thread draws: the 600 MHz source discharges
    // near 45 and 225 degrees of the mains cycle, shown 90 degrees earlier here. A save whose phase
    // prompt is cancelled writes nothing; a radio sync that falls silent while the worker waits for
    // a save is replaced by the internal one once saved; Escape leaves.
    void measuringOnTheSimulatedBoard()
    {
        SimulatedBoard board;
        QVERIFY(board.start());
        board.useAsPlatformRoot();
        QVERIFY(board.mapMemories());
        for (auto [type, value] : {std::pair{C::VT_FreqMin, 600}, {C::VT_Persistency, 0}, {C::VT_LinearAmplifier, 650},
                                   {C::VT_Resolution, 1}, {C::VT_Sync, C::SYNC_MAINS_RF}, {C::VT_PhaseShift, 90}})
            C::setValue(type, value, TimeDomainDialog::NAME);
        C::setValue(C::VT_PromptPhase, 1, "system");
        DataWorker worker;
        TimeDomainDialog dialog(&worker);
        dialog.setClock([this] { return m_now; });
        dialog.resize(640, 440);
        dialog.show();
        dialog.exec();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.count() >= 60, 20000);
        const int clusters = hitsNear(dialog, 45 - 90) + hitsNear(dialog, 225 - 90);
        const int between = hitsNear(dialog, 135 - 90) + hitsNear(dialog, 315 - 90);
        QVERIFY2(clusters > 20 * (between + 1), qPrintable(QStringLiteral("%1 / %2").arg(clusters).arg(between)));

        ValueSelectDialog* prompt = ValueSelectDialog::instance();
        auto* save = dialog.findChild<QPushButton*>("SaveButton");
        whenShown(prompt, [prompt] { pressKey(prompt, Qt::Key_Escape); });
        QTest::mouseClick(save, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.tasks(), TimeDomainDialog::Tasks(TimeDomainDialog::TASK_NONE), 10000);
        const QDir records(board.path("/data/corvane_data"));
        QVERIFY(!records.exists());
        QVERIFY(board.setFault("radio-silent", true));
        bool pausedMeanwhile = false;
        whenShown(prompt, [&] {
            QTRY_VERIFY_WITH_TIMEOUT(worker.isPaused(), 10000);
            m_now += 61;
            dialog.updateTick();
            pausedMeanwhile = worker.isPaused() && dialog.sync() == C::SYNC_INT_E;
            auto* list = prompt->findChild<QListWidget*>("ListWidget");
            tap(list, list->item(0));
        });
        QTest::mouseClick(save, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.tasks(), TimeDomainDialog::Tasks(TimeDomainDialog::TASK_NONE), 20000);
        QVERIFY(pausedMeanwhile);
        QCOMPARE(C::getValue(C::VT_Sync, TimeDomainDialog::NAME), int(C::SYNC_INT_E));
        QTRY_COMPARE_WITH_TIMEOUT(records.entryList({"time_*.xml"}, QDir::Files).size(), 1, 5000);
        QVERIFY(board.readBoardFile("/data/corvane_data/" + records.entryList({"time_*.xml"}).first())
                    .contains("<phase>L1</phase>"));
        // Measuring again, on the internal sync, which is present.
        QTRY_VERIFY_WITH_TIMEOUT(worker.isRunning() && !worker.isPaused(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(board.readRegister(DataWorker::REG_CONTROL) & DataWorker::CONTROL_RADIO_SYNC, 0u,
                                  5000);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.count() >= 10, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(board.readRegister(DataWorker::REG_CONTROL) & DataWorker::CONTROL_SYNC_PRESENT, 5000);
        QSignalSpy exits(&dialog, &TimeDomainDialog::exit);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(exits.count(), 1);
        QVERIFY(!worker.isRunning() && !dialog.isTimerRunning());
    }
};

QTEST_MAIN(TestTimeDomainDialog)
#include "tst_timedomaindialog.moc"
