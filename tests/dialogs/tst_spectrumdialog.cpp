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
    std::vector<quint32> minValues, avgValues, maxValues;
};

// dBm of a raw count with the default triple used by these tests.
double dbm(quint32 raw) { return -75 + (ConversionHelper::linearizeValue(int(raw)) - 7150) / 195.0; }

} // namespace

class TestSpectrumDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestRoot> m_root;

    std::unique_ptr<SpectrumDialog> makeDialog(bool started = true)
    {
        auto dialog = std::make_unique<SpectrumDialog>(nullptr);
        dialog->setCalibration(-75, 7150, 195.0);
        if (started)
            dialog->startDataWorker();
        return dialog;
    }
    static bool feed(SpectrumDialog& dialog, quint32 frequency, const Step& step)
    {
        bool repeat = true;
        dialog.onMeasurementFinished(frequency, step.minValues.data(), step.avgValues.data(), step.maxValues.data(),
                                     quint16(step.avgValues.size()), &repeat);
        return repeat;
    }
    static QVector<QPointF> points(SpectrumDialog& dialog, CS curve) { return *dialog.series(curve)->getConstData(); }
    void setGpio(int line, const char* value) { m_root->writeFile(QString("/sys/class/gpio/gpio%1/value").arg(line), value); }
    QByteArray gpio(int line) { return m_root->readFile(QString("/sys/class/gpio/gpio%1/value").arg(line)); }
    // The texts of the notices shown within ms milliseconds, each closed as soon as it is seen.
    static QStringList noticesDuring(int ms)
    {
        QStringList seen;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&seen] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                seen << box->text(), box->accept();
        });
        watcher.start(10);
        QTest::qWait(ms);
        return seen;
    }

private slots:
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        Configuration::clear();
        Configuration::setValuePersistent("curves", 1, SpectrumDialog::NAME);
    }
    void cleanup() { m_root.reset(); }

    void frequencyRangeAndStep_data()
    {
        QTest::addColumn<QList<int>>("range"); // asked min, max; then min, max, step
        QTest::newRow("full band") << QList<int> {150, 1000, 150, 1000, 1700};
        QTest::newRow("clamped") << QList<int> {0, 1200, 150, 1000, 1700};
        QTest::newRow("20 MHz gets the minimum step") << QList<int> {400, 420, 400, 420, 100};
        QTest::newRow("reversed") << QList<int> {500, 300, 300, 500, 400};
        QTest::newRow("empty") << QList<int> {600, 600, 150, 1000, 1700};
        QTest::newRow("minimum above the band") << QList<int> {1100, 1000, 150, 1000, 1700};
    }
    void frequencyRangeAndStep()
    {
        QFETCH(QList<int>, range);
        auto dialog = makeDialog(false);
        dialog->setFrequencyRange(range[0], range[1]);
        QCOMPARE(QList<int>({dialog->freqMin(), dialog->freqMax(), int(dialog->frequencyStep())}), range.mid(2));
    }

    // Ranges, amplitudes and gating time are stored only when asked to.
    void settingsAreSavedOnlyWhenAsked()
    {
        auto dialog = makeDialog(false);
        dialog->setFrequencyRange(300, 700);
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, SpectrumDialog::NAME), 150);
        dialog->setFrequencyRange(0, 700, true);
        dialog->setAmplitudeRange(-80, -20, true);
        dialog->setGatingTime(0);
        QCOMPARE(dialog->gatingTime(), 1);
        dialog->setGatingTime(5, true);
        QList<int> stored;
        for (auto type : {Configuration::VT_FreqMin, Configuration::VT_FreqMax, Configuration::VT_AmpMinDbm,
                          Configuration::VT_AmpMaxDbm, Configuration::VT_GatingTime})
            stored << Configuration::getValue(type, SpectrumDialog::NAME);
        QCOMPARE(stored, QList<int>({150, 700, -80, -20, 5}));
        // The saved selection leaves out the frozen slots.
        dialog->setCurves(CS::CURVE_AVG | CS::CURVE_FREEZE_1 | CS::CURVE_FREEZE_4, true);
        QCOMPARE(Configuration::valuePersistent("curves", SpectrumDialog::NAME, 1).toInt(), 2);
    }

    // A step's average is the integer mean of the detector values (bits above 13 masked), its
    // maximum the largest; slots follow the sweep's range; a factor of 0 is replaced by 195.
    void stepsAreConverted()
    {
        auto dialog = makeDialog(false);
        dialog->setFrequencyRange(150, 1000);
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        dialog->startDataWorker();
        Step step(0, 0);
        for (size_t i = 0; i < step.avgValues.size(); ++i) {
            step.avgValues[i] = 0xABCD0000u | (6000 + (i % 2));
            step.maxValues[i] = 0xFFFFC000u | (i == 17 ? 9000u : 7000u);
        }
        QVERIFY(!feed(*dialog, 150000, step));
        QCOMPARE(points(*dialog, CS::CURVE_AVG), QVector<QPointF>({QPointF(150, dbm(6000))}));
        QCOMPARE(points(*dialog, CS::CURVE_MAX), QVector<QPointF>({QPointF(150, dbm(9000))}));
        QVERIFY(points(*dialog, CS::CURVE_DIFF).isEmpty());
        feed(*dialog, 151700, Step(6000, 7000));
        QCOMPARE(points(*dialog, CS::CURVE_AVG).at(1).x(), 151.7);
        dialog->updatePlot();
        QCOMPARE(dialog->sweepCursor()->interval().minValue(), 151.7);
        bool repeat = true;
        dialog->onMeasurementFinished(153400, nullptr, nullptr, nullptr, 0, &repeat); // no samples, no data
        QVERIFY(!repeat);
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 2);
        dialog->setCalibration(-75, 1000, 0.0);
        feed(*dialog, 153400, Step(6000, 6000)); // 5123 and above are not linearised
        QCOMPARE(dialog->calibrationFactor(), 195.0);
        QCOMPARE(points(*dialog, CS::CURVE_MAX).last().y(), -75 + 5000 / 195.0);
        QCOMPARE(SpectrumDialog::toDbm(1500, -75, 1000, 20.0), -50.0);
    }

    // With max hold the highest value stays until a restart; without, a lower one replaces it.
    void maxHold()
    {
        Configuration::setValue(Configuration::VT_MaxHold, 1, SpectrumDialog::NAME);
        auto dialog = makeDialog();
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            feed(*dialog, 150000 + 1700 * i, Step(6000, i == 0 ? 9000 : 7000));
        feed(*dialog, 150000, Step(6000, 6500));
        feed(*dialog, 151700, Step(6000, 8000));
        QCOMPARE(points(*dialog, CS::CURVE_MAX).at(0).y(), dbm(9000));
        QCOMPARE(points(*dialog, CS::CURVE_MAX).at(1).y(), dbm(8000));
        dialog->updatePlot();
        QCOMPARE(dialog->curve(CS::CURVE_MAX)->title().text(), QStringLiteral("Max(H)"));
        Configuration::setValue(Configuration::VT_MaxHold, 0, SpectrumDialog::NAME);
        dialog->startDataWorker();
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 0);
        QCOMPARE(dialog->curve(CS::CURVE_MAX)->title().text(), QStringLiteral("Max"));
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            feed(*dialog, 150000 + 1700 * i, Step(6000, 9000));
        feed(*dialog, 150000, Step(6000, 6500));
        QCOMPARE(points(*dialog, CS::CURVE_MAX).at(0).y(), dbm(6500));
    }

    // The difference: -|a - b|, shown only with exactly three live traces selected.
    void difference()
    {
        QCOMPARE(QList<double>({SpectrumDialog::differenceValue(-60, -50), SpectrumDialog::differenceValue(-50, -60),
                                SpectrumDialog::differenceValue(5, -10), SpectrumDialog::differenceValue(0, -10)}),
                 QList<double>({-10, -10, 15, 10}));
        auto dialog = makeDialog(false);
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG | CS::CURVE_DIFF);
        dialog->startDataWorker();
        feed(*dialog, 150000, Step(6000, 9000));
        QCOMPARE(points(*dialog, CS::CURVE_DIFF).first().y(), -std::abs(dbm(9000) - dbm(6000)));
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_DIFF);
        feed(*dialog, 151700, Step(6000, 9000));
        QCOMPARE(points(*dialog, CS::CURVE_DIFF).size(), 1);
    }

    // With a reference trace every step is measured twice: normal (then repeated), reference.
    void referenceSteps()
    {
        setGpio(211, "1");
        auto dialog = makeDialog(false);
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_REF_MAX | CS::CURVE_DIFF);
        dialog->startDataWorker();
        QVERIFY(feed(*dialog, 150000, Step(6000, 8000)));
        QVERIFY(dialog->isReferencePhase());
        QCOMPARE(gpio(211), QByteArray("0"));
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count() + dialog->series(CS::CURVE_REF_MAX)->count(), 1);
        QVERIFY(!feed(*dialog, 150000, Step(6000, 7000)));
        QVERIFY(!dialog->isReferencePhase());
        QCOMPARE(gpio(211), QByteArray("1"));
        QCOMPARE(points(*dialog, CS::CURVE_REF_MAX), QVector<QPointF>({QPointF(150, dbm(7000))}));
        QCOMPARE(points(*dialog, CS::CURVE_REF_AVG), QVector<QPointF>({QPointF(150, dbm(6000))}));
        QCOMPARE(points(*dialog, CS::CURVE_DIFF), QVector<QPointF>({QPointF(150, dbm(7000) - dbm(8000))}));
        dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        dialog->startDataWorker();
        QVERIFY(!feed(*dialog, 150000, Step(6000, 8000)) && !feed(*dialog, 151700, Step(6000, 8000)));
        QCOMPARE(gpio(211), QByteArray("1"));
        QCOMPARE(dialog->series(CS::CURVE_REF_MAX)->count(), 0);
    }

    // An unlocked PLL (frequency 0) gives no data and one notice per loss.
    void pllLoss()
    {
        auto dialog = makeDialog();
        feed(*dialog, 150000, Step(6000, 7000));
        QVERIFY(!feed(*dialog, 0, Step(6000, 7000)) && !feed(*dialog, 0, Step(6000, 7000)));
        QVERIFY(!dialog->isPllLocked());
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 1);
        QCOMPARE(noticesDuring(200), QStringList({"PLL unlocked"}));
        feed(*dialog, 151700, Step(6000, 7000));
        QVERIFY(dialog->isPllLocked());
        QCOMPARE(dialog->series(CS::CURVE_MAX)->count(), 2);
        feed(*dialog, 0, Step(6000, 7000));
        QCOMPARE(noticesDuring(200), QStringList({"PLL unlocked"}));
    }

    // The stored selection is repaired at start (not saved): no difference with four traces, no
    // reference traces with the calibrator on, something always shown.
    void selectionIsRepairedAtStart_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("calibrator");
        QTest::addColumn<int>("expected");
        QTest::newRow("three with diff") << (1 | 2 | 16) << false << (1 | 2 | 16);
        QTest::newRow("four with diff") << (1 | 2 | 4 | 16) << false << (1 | 2 | 4);
        QTest::newRow("diff alone") << 16 << false << 1;
        QTest::newRow("nothing") << 0 << false << 1;
        QTest::newRow("references without calibrator") << (4 | 8) << false << (4 | 8);
        QTest::newRow("reference diff with calibrator") << (1 | 4 | 16) << true << 1;
        QTest::newRow("freeze flags stay") << (2 | 64) << false << (2 | 64);
    }
    void selectionIsRepairedAtStart()
    {
        QFETCH(int, stored);
        QFETCH(bool, calibrator);
        setGpio(207, calibrator ? "1" : "0");
        setGpio(209, calibrator ? "0" : "1");
        Configuration::setValuePersistent("curves", stored, SpectrumDialog::NAME);
        auto dialog = makeDialog(false);
        dialog->exec();
        QTEST(int(dialog->curves()), "expected");
        QCOMPARE(gpio(209), QByteArray(calibrator ? "1" : "0"));
        QCOMPARE(Configuration::valuePersistent("curves", SpectrumDialog::NAME, 1).toInt(), stored);
        dialog.reset();
        QCOMPARE(gpio(207), QByteArray("0"));
    }

    // exec() sets the receiver and the plot up from the stored settings.
    void startUsesTheSettings()
    {
        const QList<QPair<Configuration::ValueType, int>> settings {{Configuration::VT_Bandwidth, 20000}, {Configuration::VT_GatingTime, 5},
                                                                    {Configuration::VT_Preamplifier, 0}, {Configuration::VT_FreqMin, 300},
                                                                    {Configuration::VT_FreqMax, 500}};
        for (const auto& setting : settings)
            Configuration::setValue(setting.first, setting.second, SpectrumDialog::NAME);
        setGpio(213, "0");
        Configuration::setValue("algorithm", true, "system");
        auto dialog = makeDialog(false);
        dialog->exec();
        QCOMPARE(QList<int>({dialog->bandwidth(), dialog->gatingTime(), dialog->freqMin(), int(dialog->frequencyStep())}),
                 QList<int>({20000, 5, 300, 400}));
        QCOMPARE(gpio(213), QByteArray("1"));
        QCOMPARE(QString("%1 %2 %3").arg(dialog->calibrationLevel()).arg(dialog->calibrationOffset()).arg(dialog->calibrationFactor()),
                 QStringLiteral("-45 7000 195"));
        QVERIFY(dialog->isPllLocked() && dialog->tasks() == SpectrumDialog::TASK_NONE);
        QStringList texts;
        for (QLabel* label : dialog->findChild<InfoBar*>("infoBar")->labels())
            texts << label->text();
        QCOMPARE(texts, QStringList({"Ant: <b>UHF</b>", "Time: <b>5ms</b>", "Band: <b>20MHz</b>"}));
        QwtPlot* plot = dialog->findChild<QwtPlot*>("plot");
        QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).lowerBound() + plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 800.0);
        QVERIFY(dialog->curve(CS::CURVE_MAX)->plot() == plot && !dialog->curve(CS::CURVE_AVG)->plot());
        // The stop button shows start while the autodetection switch is on.
        auto* stop = dialog->findChild<QPushButton*>("StopButton");
        QCOMPARE(stop->icon().pixmap(40).toImage(), QIcon(":/resources/svg/start_meas.svg").pixmap(40).toImage());
        Configuration::setValue("algorithm", false, "system");
        dialog->exec();
        QCOMPARE(stop->icon().pixmap(40).toImage(), QIcon(":/resources/svg/stop_meas2.svg").pixmap(40).toImage());
        QSignalSpy exitSpy(dialog.get(), &SpectrumDialog::exit);
        QSignalSpy setupSpy(dialog.get(), &SpectrumDialog::gotoSetup);
        QTest::mouseClick(dialog->findChild<QPushButton*>("ExitButton"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("SetupSpectrumButton"), Qt::LeftButton);
        QCOMPARE(exitSpy.count(), 1);
        QCOMPARE(setupSpy.first().first().value<SetupDialog::Dialog>(), SetupDialog::DIALOG_SPECTRUM);
    }

    // The stored curves fill the frozen slots (hidden at start; the file's own round trip is
    // storage's); a freeze copies a trace and stores it; a failed store keeps the slots.
    void frozenCurves()
    {
        QByteArray values;
        for (int i = 0; i < 300; ++i)
            values += (i ? " " : "") + QByteArray::number(-60 - i * 0.1);
        m_root->writeFile("/data/recall.xml", "<recall><freeze/><freeze name=\"Bushing\" freqMin=\"150\" freqMax=\"658.3\">" + values
                                                  + "</freeze><freeze/><freeze freqMin=\"200\" freqMax=\"700\">-40 -41</freeze></recall>");
        auto dialog = makeDialog();
        QCOMPARE(dialog->curve(CS::CURVE_FREEZE_2)->title().text() + dialog->curve(CS::CURVE_FREEZE_4)->title().text(),
                 QStringLiteral("BushingRC4"));
        QCOMPARE(points(*dialog, CS::CURVE_FREEZE_2).at(250), QPointF(150 + 250 * (658 - 150) / 500.0, -85));
        QCOMPARE(points(*dialog, CS::CURVE_FREEZE_4), QVector<QPointF>({QPointF(200, -40), QPointF(201, -41)}));
        QCOMPARE(int(dialog->curves()) & SpectrumDialog::FREEZE_CURVE_MASK, 0);
        for (int i = 0; i < 10; ++i)
            feed(*dialog, 150000 + 1700 * i, Step(6000, 7000 + 100 * i));
        const QVector<QPointF> maximum = points(*dialog, CS::CURVE_MAX);
        dialog->requestFreeze(2, CS::CURVE_MAX);
        dialog->handleTasks();
        QCOMPARE(points(*dialog, CS::CURVE_FREEZE_3), maximum);
        QVERIFY(dialog->curves().testFlag(CS::CURVE_FREEZE_3) && dialog->tasks() == SpectrumDialog::TASK_NONE);
        const QByteArray stored = m_root->readFile("/data/recall.xml");
        QVERIFY(stored.contains("name=\"RC3\""));
        m_root->setMountFails(true);
        dialog->exportRecall();
        QCOMPARE(m_root->readFile("/data/recall.xml"), stored);
        QCOMPARE(points(*dialog, CS::CURVE_FREEZE_3), maximum);
    }
};

QTEST_MAIN(TestSpectrumDialog)
#include "tst_spectrumdialog.moc"
