// The spectrum screen without a running worker: the per-step handler is fed directly with
// sample buffers, as the acquisition thread would.

#include "common/TestRoot.h"
#include "dialogs/SpectrumDialog.h"
#include "plot/InfoBar.h"
#include "plot/OverridingPlotData.h"
#include "util/Configuration.h"
#include "util/ConversionHelper.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_zoneitem.h>

#include <memory>
#include <vector>

using CS = SpectrumDialog::CurveSelect;

namespace {

// One step's three buffers, every slot holding the same words.
struct Step
{
    Step(quint32 average, quint32 maximum, int n = 500)
        : minValues(n, 0)
        , avgValues(n, average)
        , maxValues(n, maximum)
    {
    }
    std::vector<quint32> minValues;
    std::vector<quint32> avgValues;
    std::vector<quint32> maxValues;
};

// dBm of a raw count with the screen's default triple used by these tests.
double dbm(quint32 raw)
{
    return -75 + (ConversionHelper::linearizeValue(int(raw)) - 7150) / 195.0;
}

} // namespace

class TestSpectrumDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;

    std::unique_ptr<SpectrumDialog> makeDialog()
    {
        auto dialog = std::make_unique<SpectrumDialog>(nullptr);
        dialog->setCalibration(-75, 7150, 195.0);
        return dialog;
    }
    static bool feed(SpectrumDialog& dialog, quint32 frequency, const Step& step)
    {
        bool repeat = true;
        dialog.onMeasurementFinished(frequency, step.minValues.data(), step.avgValues.data(), step.maxValues.data(),
                                     quint16(step.avgValues.size()), &repeat);
        return repeat;
    }
    static QVector<QPointF> points(SpectrumDialog& dialog, CS curve)
    {
        return *dialog.series(curve)->getConstData();
    }
    static void setGpio(const TestRoot& root, int gpio, const char* value)
    {
        root.writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio), value);
    }
    static QByteArray gpio(const TestRoot& root, int gpio)
    {
        return root.readFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio));
    }
    // The texts of the timed notices shown while events are processed for ms milliseconds. The
    // notices run their own event loop, so a timer watches for them.
    static QStringList noticesDuring(int ms)
    {
        QStringList seen;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&seen] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box && box->isVisible() && !seen.contains(box->text()))
                    seen << box->text();
            }
        });
        watcher.start(10);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QTest::qWait(10);
        return seen;
    }

private slots:
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        Configuration::setValuePersistent(QStringLiteral("curves"), 1, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_MaxHold, 0, SpectrumDialog::NAME);
        Configuration::setValue(QStringLiteral("algorithm"), QVariant(), QStringLiteral("system"));
    }
    void cleanup() { m_root.reset(); }

    void frequencyRangeStepAndClamps_data()
    {
        QTest::addColumn<int>("freqMin");
        QTest::addColumn<int>("freqMax");
        QTest::addColumn<int>("expectedMin");
        QTest::addColumn<int>("expectedMax");
        QTest::addColumn<unsigned>("expectedStep");
        QTest::newRow("full band") << 150 << 1000 << 150 << 1000 << 1700u;
        QTest::newRow("clamped") << 0 << 1200 << 150 << 1000 << 1700u;
        QTest::newRow("50 MHz") << 400 << 450 << 400 << 450 << 100u;
        QTest::newRow("20 MHz is widened to 500 steps") << 400 << 420 << 400 << 450 << 100u;
        QTest::newRow("narrow at the top") << 990 << 1000 << 950 << 1000 << 100u;
        QTest::newRow("reversed") << 500 << 300 << 300 << 500 << 400u;
        QTest::newRow("empty") << 600 << 600 << 150 << 1000 << 1700u;
        QTest::newRow("both out of range") << 2000 << 100 << 150 << 1000 << 1700u;
        QTest::newRow("minimum above the band") << 1100 << 1000 << 150 << 1000 << 1700u;
    }
    void frequencyRangeStepAndClamps()
    {
        QFETCH(int, freqMin);
        QFETCH(int, freqMax);
        QFETCH(int, expectedMin);
        QFETCH(int, expectedMax);
        QFETCH(unsigned, expectedStep);
        auto dialog = makeDialog();
        dialog->setFrequencyRange(freqMin, freqMax);
        QCOMPARE(dialog->freqMin(), expectedMin);
        QCOMPARE(dialog->freqMax(), expectedMax);
        QCOMPARE(dialog->frequencyStep(), expectedStep);
        QVERIFY(dialog->freqMin() < dialog->freqMax());
    }

    void rangesAreSavedOnlyWhenAsked()
    {
        auto dialog = makeDialog();
        dialog->setFrequencyRange(300, 700);
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, SpectrumDialog::NAME), 150);
        dialog->setFrequencyRange(0, 700, true);
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, SpectrumDialog::NAME), 150);
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMax, SpectrumDialog::NAME), 700);
        dialog->setAmplitudeRange(-80, -20, true);
        QCOMPARE(Configuration::getValue(Configuration::VT_AmpMinDbm, SpectrumDialog::NAME), -80);
        QCOMPARE(Configuration::getValue(Configuration::VT_AmpMaxDbm, SpectrumDialog::NAME), -20);
        dialog->setGatingTime(0);
        QCOMPARE(dialog->gatingTime(), 1);
        dialog->setGatingTime(5, true);
        QCOMPARE(Configuration::getValue(Configuration::VT_GatingTime, SpectrumDialog::NAME), 5);
        Configuration::setValue(Configuration::VT_GatingTime, 20, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_FreqMax, 1000, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_AmpMinDbm, -90, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_AmpMaxDbm, -30, SpectrumDialog::NAME);
    }

    void conversionToDbm()
    {
        QCOMPARE(SpectrumDialog::toDbm(1500, -75, 1000, 20.0), -50.0);
        QCOMPARE(SpectrumDialog::toDbm(7150, -45, 7150, 195.0), -45.0);
    }

    void stepsAreMaskedAveragedAndConverted()
    {
        auto dialog = makeDialog();
        dialog->setFrequencyRange(150, 1000);
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        dialog->startDataWorker();
        Step step(0, 0);
        // Average 6000 and 6001 alternately (integer mean 6000), bits above 13 set everywhere.
        for (size_t i = 0; i < step.avgValues.size(); ++i) {
            step.avgValues[i] = 0xABCD0000u | (6000 + (i % 2));
            step.maxValues[i] = 0xFFFFC000u | (i == 17 ? 9000u : 7000u);
        }
        QVERIFY(!feed(*dialog, 150000, step));
        QCOMPARE(points(*dialog, CS::CURVE_AVG), QVector<QPointF>({QPointF(150, dbm(6000))}));
        QCOMPARE(points(*dialog, CS::CURVE_MAX), QVector<QPointF>({QPointF(150, dbm(9000))}));
        QVERIFY(points(*dialog, CS::CURVE_DIFF).isEmpty());
        // Slot x values follow the sweep's range, not the reported frequency.
        feed(*dialog, 151700, Step(6000, 7000));
        QCOMPARE(points(*dialog, CS::CURVE_AVG).at(1).x(), 151.7);
        QCOMPARE(dialog->sweepCursor()->interval().minValue(), 0.0);
        dialog->updatePlot();
        QCOMPARE(dialog->sweepCursor()->interval().minValue(), 151.7);
    }

    void zeroFactorIsReplacedAndKept()
    {
        auto dialog = makeDialog();
        dialog->setCalibration(-75, 1000, 0.0);
        dialog->startDataWorker();
        // 5123 and above are not linearised.
        feed(*dialog, 150000, Step(6000, 6000));
        QCOMPARE(dialog->calibrationFactor(), 195.0);
        QCOMPARE(points(*dialog, CS::CURVE_MAX).first().y(), -75 + 5000 / 195.0);
    }

    void maxHoldKeepsTheHighestUntilRestart()
    {
        Configuration::setValue(Configuration::VT_MaxHold, 1, SpectrumDialog::NAME);
        auto dialog = makeDialog();
        dialog->setFrequencyRange(150, 1000);
        dialog->startDataWorker();
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            feed(*dialog, 150000 + 1700 * i, Step(6000, i == 0 ? 9000 : 7000));
        QVERIFY(dialog->series(CS::CURVE_MAX)->isDataCompleted());
        feed(*dialog, 150000, Step(6000, 6500));
        feed(*dialog, 151700, Step(6000, 8000));
        QCOMPARE(points(*dialog, CS::CURVE_MAX).at(0).y(), dbm(9000));
        QCOMPARE(points(*dialog, CS::CURVE_MAX).at(1).y(), dbm(8000));
        QCOMPARE(points(*dialog, CS::CURVE_AVG).size(), SpectrumDialog::SLOT_COUNT);
        dialog->updatePlot();
        QCOMPARE(dialog->curve(CS::CURVE_MAX)->title().text(), QStringLiteral("Max(H)"));
        // A restart clears the live series; without max hold a lower value replaces a higher one.
        Configuration::setValue(Configuration::VT_MaxHold, 0, SpectrumDialog::NAME);
        dialog->startDataWorker();
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 0);
        QCOMPARE(dialog->curve(CS::CURVE_MAX)->title().text(), QStringLiteral("Max"));
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            feed(*dialog, 150000 + 1700 * i, Step(6000, 9000));
        feed(*dialog, 150000, Step(6000, 6500));
        QCOMPARE(points(*dialog, CS::CURVE_MAX).at(0).y(), dbm(6500));
    }

    void differenceRule()
    {
        QCOMPARE(SpectrumDialog::differenceValue(-60, -50), -10.0);
        QCOMPARE(SpectrumDialog::differenceValue(-50, -60), -10.0);
        QCOMPARE(SpectrumDialog::differenceValue(5, -10), 15.0);
        QCOMPARE(SpectrumDialog::differenceValue(0, -10), 10.0);

        auto dialog = makeDialog();
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG | CS::CURVE_DIFF);
        dialog->startDataWorker();
        feed(*dialog, 150000, Step(6000, 9000));
        QCOMPARE(points(*dialog, CS::CURVE_DIFF).size(), 1);
        QCOMPARE(points(*dialog, CS::CURVE_DIFF).first().y(), -std::abs(dbm(9000) - dbm(6000)));
        // Only with exactly three live traces selected.
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_DIFF);
        feed(*dialog, 151700, Step(6000, 9000));
        QCOMPARE(points(*dialog, CS::CURVE_DIFF).size(), 1);
    }

    void referenceStepsAlternateAndRepeat()
    {
        setGpio(*m_root, 211, "1");
        auto dialog = makeDialog();
        dialog->setFrequencyRange(150, 1000);
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_REF_MAX | CS::CURVE_DIFF);
        dialog->startDataWorker();
        QVERIFY(!dialog->isReferencePhase());

        // Normal step: the worker is asked for the same frequency again, on the reference input.
        QVERIFY(feed(*dialog, 150000, Step(6000, 8000)));
        QVERIFY(dialog->isReferencePhase());
        QCOMPARE(gpio(*m_root, 211), QByteArray("0"));
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 1);
        QCOMPARE(dialog->series(CS::CURVE_REF_MAX)->count(), 0);
        QCOMPARE(dialog->series(CS::CURVE_DIFF)->count(), 0);

        // Reference step: fills the reference series and the difference, then moves on.
        QVERIFY(!feed(*dialog, 150000, Step(6000, 7000)));
        QVERIFY(!dialog->isReferencePhase());
        QCOMPARE(gpio(*m_root, 211), QByteArray("1"));
        QCOMPARE(points(*dialog, CS::CURVE_REF_MAX), QVector<QPointF>({QPointF(150, dbm(7000))}));
        QCOMPARE(points(*dialog, CS::CURVE_REF_AVG), QVector<QPointF>({QPointF(150, dbm(6000))}));
        QCOMPARE(points(*dialog, CS::CURVE_DIFF), QVector<QPointF>({QPointF(150, dbm(7000) - dbm(8000))}));
        QCOMPARE(dialog->series(CS::CURVE_AVG)->count(), 1);

        // Without a reference trace no step is repeated and the reference input stays off.
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        dialog->startDataWorker();
        QVERIFY(!feed(*dialog, 150000, Step(6000, 8000)));
        QVERIFY(!feed(*dialog, 151700, Step(6000, 8000)));
        QVERIFY(!dialog->isReferencePhase());
        QCOMPARE(gpio(*m_root, 211), QByteArray("1"));
        QCOMPARE(dialog->series(CS::CURVE_REF_MAX)->count(), 0);
    }

    void pllLossIsReportedOncePerLoss()
    {
        auto dialog = makeDialog();
        dialog->startDataWorker();
        feed(*dialog, 150000, Step(6000, 7000));
        QVERIFY(!feed(*dialog, 0, Step(6000, 7000)));
        QVERIFY(!feed(*dialog, 0, Step(6000, 7000)));
        QVERIFY(!dialog->isPllLocked());
        // No data from the unlocked steps.
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 1);
        QCOMPARE(noticesDuring(400), QStringList({"PLL unlocked"}));
        QTRY_VERIFY_WITH_TIMEOUT(noticesDuring(50).isEmpty(), 3000);
        // Locked again: data flows, no notice; a new loss gives a new notice.
        feed(*dialog, 151700, Step(6000, 7000));
        QVERIFY(dialog->isPllLocked());
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 2);
        QVERIFY(noticesDuring(200).isEmpty());
        feed(*dialog, 0, Step(6000, 7000));
        QCOMPARE(noticesDuring(400), QStringList({"PLL unlocked"}));
        QTRY_VERIFY_WITH_TIMEOUT(noticesDuring(50).isEmpty(), 3000);
    }

    void noSamplesCarryNoData()
    {
        auto dialog = makeDialog();
        dialog->startDataWorker();
        Step empty(6000, 7000, 0);
        bool repeat = true;
        dialog->onMeasurementFinished(150000, nullptr, nullptr, nullptr, 0, &repeat);
        QVERIFY(!repeat);
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 0);
    }

    void selectionIsRepairedAtStart_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("calibrator");
        QTest::addColumn<int>("expected");
        QTest::newRow("max") << 1 << false << 1;
        QTest::newRow("three with diff") << (1 | 2 | 16) << false << (1 | 2 | 16);
        QTest::newRow("four with diff") << (1 | 2 | 4 | 16) << false << (1 | 2 | 4);
        QTest::newRow("diff alone") << 16 << false << 1;
        QTest::newRow("nothing") << 0 << false << 1;
        QTest::newRow("references without calibrator") << (4 | 8) << false << (4 | 8);
        QTest::newRow("references with calibrator") << (4 | 8) << true << 1;
        QTest::newRow("reference diff with calibrator") << (1 | 4 | 16) << true << 1;
        QTest::newRow("freeze flags stay") << (2 | 64) << false << (2 | 64);
    }
    void selectionIsRepairedAtStart()
    {
        QFETCH(int, stored);
        QFETCH(bool, calibrator);
        QFETCH(int, expected);
        setGpio(*m_root, 207, calibrator ? "1" : "0");
        setGpio(*m_root, 209, calibrator ? "0" : "1");
        Configuration::setValuePersistent(QStringLiteral("curves"), stored, SpectrumDialog::NAME);
        auto dialog = makeDialog();
        QCOMPARE(int(dialog->curves()), stored);
        dialog->exec();
        QCOMPARE(int(dialog->curves()), expected);
        QCOMPARE(gpio(*m_root, 209), QByteArray(calibrator ? "1" : "0"));
        // Not saved by the repair.
        QCOMPARE(Configuration::valuePersistent(QStringLiteral("curves"), SpectrumDialog::NAME, 1).toInt(), stored);
        dialog.reset();
        QCOMPARE(gpio(*m_root, 207), QByteArray("0"));
    }

    void savedSelectionLeavesOutTheFrozenSlots()
    {
        auto dialog = makeDialog();
        dialog->setCurves(CS::CURVE_AVG | CS::CURVE_FREEZE_1 | CS::CURVE_FREEZE_4, true);
        QCOMPARE(Configuration::valuePersistent(QStringLiteral("curves"), SpectrumDialog::NAME, 1).toInt(), 2);
        QCOMPARE(dialog->curves(), CS::CURVE_AVG | CS::CURVE_FREEZE_1 | CS::CURVE_FREEZE_4);
    }

    void startUsesTheSettings()
    {
        Configuration::setValue(Configuration::VT_Bandwidth, 20000, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_GatingTime, 5, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_Preamplifier, 0, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_FreqMin, 300, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_FreqMax, 500, SpectrumDialog::NAME);
        setGpio(*m_root, 213, "0");
        auto dialog = makeDialog();
        dialog->exec();
        QCOMPARE(dialog->bandwidth(), 20000);
        QCOMPARE(dialog->gatingTime(), 5);
        QCOMPARE(dialog->freqMin(), 300);
        QCOMPARE(dialog->frequencyStep(), 400u);
        QCOMPARE(gpio(*m_root, 213), QByteArray("1"));
        QCOMPARE(dialog->calibrationLevel(), -45);
        QCOMPARE(dialog->calibrationOffset(), 7000);
        QCOMPARE(dialog->calibrationFactor(), 195.0);
        QVERIFY(dialog->isPllLocked());
        QCOMPARE(dialog->tasks(), SpectrumDialog::Tasks(SpectrumDialog::TASK_NONE));
        // The info bar's three entries.
        QStringList texts;
        for (QLabel* label : dialog->findChild<InfoBar*>(QStringLiteral("infoBar"))->labels())
            texts << label->text();
        QCOMPARE(texts, QStringList({"Ant: <b>UHF</b>", "Time: <b>5ms</b>", "Band: <b>20MHz</b>"}));
        // Axes and attached curves follow the range and the selection.
        QwtPlot* plot = dialog->findChild<QwtPlot*>(QStringLiteral("plot"));
        QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).lowerBound(), 300.0);
        QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 500.0);
        QCOMPARE(plot->axisScaleDiv(QwtPlot::yLeft).lowerBound(), -90.0);
        QVERIFY(dialog->curve(CS::CURVE_MAX)->plot() == plot);
        QVERIFY(!dialog->curve(CS::CURVE_AVG)->plot());
        QVERIFY(!dialog->curve(CS::CURVE_FREEZE_1)->plot());
        Configuration::setValue(Configuration::VT_Preamplifier, 1, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_FreqMin, 150, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_FreqMax, 1000, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_GatingTime, 20, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_Bandwidth, 5000, SpectrumDialog::NAME);
    }

    void stopIconFollowsTheAutodetectionSwitch()
    {
        auto dialog = makeDialog();
        auto* stop = dialog->findChild<QPushButton*>(QStringLiteral("StopButton"));
        const QImage stopImage = QIcon(QStringLiteral(":/resources/svg/stop_meas2.svg")).pixmap(40).toImage();
        const QImage startImage = QIcon(QStringLiteral(":/resources/svg/start_meas.svg")).pixmap(40).toImage();
        QVERIFY(stopImage != startImage);
        Configuration::setValue(QStringLiteral("algorithm"), true, QStringLiteral("system"));
        dialog->exec();
        QCOMPARE(stop->icon().pixmap(40).toImage(), startImage);
        Configuration::setValue(QStringLiteral("algorithm"), false, QStringLiteral("system"));
        dialog->exec();
        QCOMPARE(stop->icon().pixmap(40).toImage(), stopImage);
    }

    void buttonsLeaveTheScreen()
    {
        auto dialog = makeDialog();
        QSignalSpy exitSpy(dialog.get(), &SpectrumDialog::exit);
        QSignalSpy setupSpy(dialog.get(), &SpectrumDialog::gotoSetup);
        dialog->startDataWorker();
        QVERIFY(dialog->isTimerRunning() == false); // no worker, no timer
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ExitButton")), Qt::LeftButton);
        QCOMPARE(exitSpy.count(), 1);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("SetupSpectrumButton")), Qt::LeftButton);
        QCOMPARE(setupSpy.count(), 1);
        QCOMPARE(setupSpy.first().first().value<SetupDialog::Dialog>(), SetupDialog::DIALOG_SPECTRUM);
        for (const char* name : {"MarkerButton", "StoreRecallButton", "RefButton", "StopButton", "SaveButton",
                                 "SetupSpectrumButton", "ExitButton"}) {
            auto* button = dialog->findChild<QPushButton*>(QLatin1String(name));
            QVERIFY2(button, name);
            QVERIFY(button->text().isEmpty());
        }
    }

    void frozenCurvesRoundTripThroughTheRecallFile()
    {
        QByteArray values;
        for (int i = 0; i < 300; ++i)
            values += (i ? " " : "") + QByteArray::number(-60 - i * 0.1);
        m_root->writeFile(QStringLiteral("/data/recall.xml"),
                          "<?xml version=\"1.0\"?><recall><freeze/>"
                          "<freeze name=\"Bushing\" freqMin=\"150\" freqMax=\"658.3\">"
                              + values
                              + "</freeze><freeze/><freeze freqMin=\"200\" freqMax=\"700\">-40 -41</freeze>"
                                "<freeze name=\"Fifth\" freqMin=\"150\" freqMax=\"1000\">-1</freeze></recall>");
        auto dialog = makeDialog();
        QCOMPARE(dialog->series(CS::CURVE_FREEZE_1)->count(), 0);
        QCOMPARE(dialog->curve(CS::CURVE_FREEZE_1)->title().text(), QStringLiteral("RC1"));
        QCOMPARE(dialog->curve(CS::CURVE_FREEZE_2)->title().text(), QStringLiteral("Bushing"));
        const QVector<QPointF> second = points(*dialog, CS::CURVE_FREEZE_2);
        QCOMPARE(second.size(), 300);
        // The x positions follow the 501-slot rule over the stored range.
        QCOMPARE(second.at(0), QPointF(150, -60));
        QCOMPARE(second.at(250).x(), 150 + 250 * (658 - 150) / 500.0);
        // Without a name the title stays.
        QCOMPARE(dialog->curve(CS::CURVE_FREEZE_4)->title().text(), QStringLiteral("RC4"));
        QCOMPARE(points(*dialog, CS::CURVE_FREEZE_4), QVector<QPointF>({QPointF(200, -40), QPointF(201, -41)}));
        // Frozen flags are not stored: all slots start hidden.
        QCOMPARE(int(dialog->curves()) & SpectrumDialog::FREEZE_CURVE_MASK, 0);

        const int mounts = m_root->mountLog().size();
        dialog->exportRecall();
        QCOMPARE(m_root->mountLog().size(), mounts + 2);
        auto reloaded = makeDialog();
        for (int i = 0; i < SpectrumDialog::FREEZE_COUNT; ++i) {
            const CS flag = SpectrumDialog::freezeCurve(i);
            QCOMPARE(reloaded->curve(flag)->title().text(), dialog->curve(flag)->title().text());
            QCOMPARE(points(*reloaded, flag).size(), points(*dialog, flag).size());
        }
        QCOMPARE(points(*reloaded, CS::CURVE_FREEZE_4), points(*dialog, CS::CURVE_FREEZE_4));
        QCOMPARE(points(*reloaded, CS::CURVE_FREEZE_2).at(299).y(), second.at(299).y());
    }

    void unwritableRecallKeepsTheSlots()
    {
        m_root->writeFile(QStringLiteral("/data/recall.xml"),
                          "<recall><freeze name=\"A\" freqMin=\"150\" freqMax=\"1000\">-50 -51</freeze></recall>");
        auto dialog = makeDialog();
        m_root->setMountFails(true);
        dialog->exportRecall();
        QCOMPARE(points(*dialog, CS::CURVE_FREEZE_1).size(), 2);
        QVERIFY(m_root->readFile(QStringLiteral("/data/recall.xml")).startsWith("<recall><freeze name=\"A\""));
    }

    void freezeCopiesTheTraceWhenTheWorkerIsIdle()
    {
        auto dialog = makeDialog();
        dialog->setFrequencyRange(150, 1000);
        dialog->startDataWorker();
        for (int i = 0; i < 10; ++i)
            feed(*dialog, 150000 + 1700 * i, Step(6000, 7000 + 100 * i));
        QSignalSpy spy(dialog.get(), &SpectrumDialog::exit);
        const QVector<QPointF> maximum = points(*dialog, CS::CURVE_MAX);
        dialog->requestFreeze(2, CS::CURVE_MAX);
        dialog->handleTasks();
        QCOMPARE(points(*dialog, CS::CURVE_FREEZE_3), maximum);
        QVERIFY(dialog->curves().testFlag(CS::CURVE_FREEZE_3));
        QVERIFY(m_root->readFile(QStringLiteral("/data/recall.xml")).contains("name=\"RC3\""));
        QCOMPARE(dialog->tasks(), SpectrumDialog::Tasks(SpectrumDialog::TASK_NONE));
    }
};

QTEST_MAIN(TestSpectrumDialog)
#include "tst_spectrumdialog.moc"
