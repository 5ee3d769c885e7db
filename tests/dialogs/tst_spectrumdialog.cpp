// The spectrum screen without a running worker, its per-step handler fed directly with sample
// buffers as the acquisition thread would; on the shown screen, the operator's functions.
#include "DialogDriver.h"
#include "SetupPageOperator.h"
#include "common/TestRoot.h"
#include "dialogs/FrozenSlots.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/StoreRecallDialog.h"
#include "plot/InfoBar.h"
#include "plot/OverridingPlotData.h"
#include "plot/SpectrumMarkers.h"
#include "plot/SpectrumZoom.h"
#include "util/Configuration.h"
#include "util/ConversionHelper.h"
#include "util/MarkerPresets.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_zoneitem.h>

#include <memory>
#include <vector>

using namespace DialogDriver;
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
    std::unique_ptr<SpectrumDialog> m_dialog;
    SetupPageOperator m_operator; // closes the notices at once, noting their texts

    // A new screen (it reads the stored curves) with the default calibration, started unless told.
    void make(bool started = true)
    {
        m_dialog.reset();
        m_dialog = std::make_unique<SpectrumDialog>(nullptr);
        m_dialog->setCalibration(-75, 7150, 195.0);
        if (started)
            m_dialog->startDataWorker();
    }
    // A new screen shown at its size and started from the settings, as the main window does.
    void open()
    {
        make(false);
        m_dialog->resize(640, 440);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        m_dialog->exec();
        m_dialog->setCalibration(-75, 7150, 195.0);
    }
    bool feed(quint32 frequency, const Step& step)
    {
        bool repeat = true;
        m_dialog->onMeasurementFinished(frequency, step.minValues.data(), step.avgValues.data(),
                                        step.maxValues.data(), quint16(step.avgValues.size()), &repeat);
        return repeat;
    }
    void sweep(quint32 average, quint32 maximum)
    {
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            feed(150000 + 1700 * i, Step(average + i, maximum, 100));
    }
    QVector<QPointF> points(CS curve) const { return *m_dialog->series(curve)->getConstData(); }
    QPushButton* button(const char* name) const { return m_dialog->findChild<QPushButton*>(name); }
    void tapPlot(double f, qint64 ms)
    {
        auto* plot = m_dialog->findChild<QwtPlot*>();
        const QPoint at(int(plot->canvasMap(QwtPlot::xBottom).transform(f)), 100);
        m_dialog->zoomPolygon(QPolygon(QVector<QPoint> { at, at }), ms);
    }

private slots:
    void initTestCase() { applyStyleSheet(); }
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        Configuration::clear();
        Configuration::setValuePersistent("curves", 1, SpectrumDialog::NAME);
        m_operator.notices.clear();
    }
    void cleanup()
    {
        m_dialog.reset();
        m_root.reset();
    }

    void frequencyRangeAndStep_data()
    {
        QTest::addColumn<QList<int>>("range"); // asked min, max; then min, max, step
        QTest::newRow("clamped") << QList<int> {0, 1200, 150, 1000, 1700};
        QTest::newRow("20 MHz is widened to 500 steps") << QList<int> {400, 420, 400, 450, 100};
        QTest::newRow("narrow at the top") << QList<int> {990, 1000, 950, 1000, 100};
        QTest::newRow("reversed") << QList<int> {500, 300, 300, 500, 400};
        QTest::newRow("empty") << QList<int> {600, 600, 150, 1000, 1700};
        QTest::newRow("minimum above the band") << QList<int> {1100, 1000, 150, 1000, 1700};
    }
    void frequencyRangeAndStep()
    {
        QFETCH(QList<int>, range);
        make(false);
        m_dialog->setFrequencyRange(range[0], range[1]);
        QCOMPARE(QList<int>({m_dialog->freqMin(), m_dialog->freqMax(), int(m_dialog->frequencyStep())}), range.mid(2));
    }

    // Ranges, amplitudes and gating time are stored only when asked to.
    void settingsAreSavedOnlyWhenAsked()
    {
        make(false);
        m_dialog->setFrequencyRange(300, 700);
        QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, SpectrumDialog::NAME), 150);
        m_dialog->setFrequencyRange(0, 700, true);
        m_dialog->setAmplitudeRange(-80, -20, true);
        m_dialog->setGatingTime(0);
        QCOMPARE(m_dialog->gatingTime(), 1);
        m_dialog->setGatingTime(5, true);
        QList<int> stored;
        for (auto type : {Configuration::VT_FreqMin, Configuration::VT_FreqMax, Configuration::VT_AmpMinDbm,
                          Configuration::VT_AmpMaxDbm, Configuration::VT_GatingTime})
            stored << Configuration::getValue(type, SpectrumDialog::NAME);
        QCOMPARE(stored, QList<int>({150, 700, -80, -20, 5}));
        // The saved selection leaves out the frozen slots.
        m_dialog->setCurves(CS::CURVE_AVG | CS::CURVE_FREEZE_1 | CS::CURVE_FREEZE_4, true);
        QCOMPARE(Configuration::valuePersistent("curves", SpectrumDialog::NAME, 1).toInt(), 2);
    }

    // A step's average is the integer mean of the detector values (bits above 13 masked), its
    // maximum the largest; slots follow the sweep's range; a factor of 0 is replaced by 195. The
    // difference (lower minus higher below 0 dBm, higher minus lower from there) is shown only with
    // exactly three live traces selected. No samples, a frequency off the sweep or an unlocked PLL
    // (frequency 0, one notice per loss) give no data; the worker steps on meanwhile, so the
    // passed-over slots take the next value and later points keep their frequencies.
    void stepsAreConverted()
    {
        QCOMPARE(QList<double>({SpectrumDialog::differenceValue(-60, -50), SpectrumDialog::differenceValue(-50, -60),
                     SpectrumDialog::differenceValue(5, -10), SpectrumDialog::differenceValue(0, -10)}),
            QList<double>({-10, -10, 15, 10}));
        make();
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG | CS::CURVE_DIFF);
        Step step(0, 0);
        for (size_t i = 0; i < step.avgValues.size(); ++i) {
            step.avgValues[i] = 0xABCD0000u | (6000 + (i % 2));
            step.maxValues[i] = 0xFFFFC000u | (i == 17 ? 9000u : 7000u);
        }
        QVERIFY(!feed(150000, step));
        QCOMPARE(points(CS::CURVE_AVG), QVector<QPointF>({QPointF(150, dbm(6000))}));
        QCOMPARE(points(CS::CURVE_MAX), QVector<QPointF>({QPointF(150, dbm(9000))}));
        QCOMPARE(points(CS::CURVE_DIFF), QVector<QPointF>({QPointF(150, dbm(6000) - dbm(9000))}));
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        feed(151700, Step(6000, 7000));
        QCOMPARE(points(CS::CURVE_DIFF).size(), 1);
        m_dialog->updatePlot();
        QCOMPARE(m_dialog->sweepCursor()->interval().minValue(), 151.7);
        bool repeat = true;
        m_dialog->onMeasurementFinished(153400, nullptr, nullptr, nullptr, 0, &repeat);
        QVERIFY(!repeat && !feed(0, Step(6000, 9999)) && !feed(0, Step(6000, 9999)));
        feed(151234, Step(6000, 9999));
        QCOMPARE(m_dialog->series(CS::CURVE_MAX)->count(), 2);
        m_dialog->setCalibration(-75, 1000, 0.0);
        feed(156800, Step(6000, 6000)); // 5123 and above are not linearised
        QCOMPARE(m_dialog->calibrationFactor(), 195.0);
        const QVector<QPointF> maximum = points(CS::CURVE_MAX);
        QCOMPARE(maximum.size(), 5);
        QCOMPARE(maximum.at(4), QPointF(156.8, -75 + 5000 / 195.0));
        QCOMPARE(maximum.at(2).y(), maximum.at(4).y());
        feed(0, Step(6000, 7000)); // a second loss, after the lock came back
        QTest::qWait(200);
        QCOMPARE(m_operator.notices, QStringList({ "PLL unlocked", "PLL unlocked" }));
    }

    // With max hold the highest value stays until a restart; without, a lower one replaces it.
    void maxHold()
    {
        Configuration::setValue(Configuration::VT_MaxHold, 1, SpectrumDialog::NAME);
        make();
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            feed(150000 + 1700 * i, Step(6000, i == 0 ? 9000 : 7000));
        feed(150000, Step(6000, 6500));
        feed(151700, Step(6000, 8000));
        QCOMPARE(points(CS::CURVE_MAX).at(0).y(), dbm(9000));
        QCOMPARE(points(CS::CURVE_MAX).at(1).y(), dbm(8000));
        m_dialog->updatePlot();
        QCOMPARE(m_dialog->curve(CS::CURVE_MAX)->title().text(), QStringLiteral("Max(H)"));
        Configuration::setValue(Configuration::VT_MaxHold, 0, SpectrumDialog::NAME);
        m_dialog->startDataWorker();
        QCOMPARE(m_dialog->curve(CS::CURVE_MAX)->title().text(), QStringLiteral("Max"));
        sweep(6000, 9000);
        feed(150000, Step(6000, 6500));
        QCOMPARE(points(CS::CURVE_MAX).at(0).y(), dbm(6500));
    }

    // With a reference trace every step is measured twice: normal (then repeated), reference.
    void referenceSteps()
    {
        m_root->setGpio(211, "1");
        make();
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_REF_MAX | CS::CURVE_DIFF);
        QVERIFY(feed(150000, Step(6000, 8000)));
        QCOMPARE(m_root->gpio(211), QByteArray("0"));
        QVERIFY(!feed(150000, Step(6000, 7000)));
        QCOMPARE(m_root->gpio(211), QByteArray("1"));
        QCOMPARE(points(CS::CURVE_REF_MAX), QVector<QPointF>({QPointF(150, dbm(7000))}));
        QCOMPARE(points(CS::CURVE_REF_AVG), QVector<QPointF>({QPointF(150, dbm(6000))}));
        QCOMPARE(points(CS::CURVE_DIFF), QVector<QPointF>({QPointF(150, dbm(7000) - dbm(8000))}));
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        m_dialog->startDataWorker();
        QVERIFY(!feed(150000, Step(6000, 8000)) && !feed(151700, Step(6000, 8000)));
        QCOMPARE(m_root->gpio(211), QByteArray("1"));
        QCOMPARE(m_dialog->series(CS::CURVE_REF_MAX)->count(), 0);
        // Stopped while the reference input is switched in, a restart measures on the main input.
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_REF_MAX);
        m_dialog->startDataWorker();
        QVERIFY(feed(150000, Step(6000, 8000)) && m_root->gpio(211) == "0");
        m_dialog->startDataWorker();
        QCOMPARE(m_root->gpio(211), QByteArray("1"));
    }

    // exec() sets the receiver and the plot up from the stored settings and repairs the stored
    // trace selection without saving it: no difference with four traces, no reference traces with
    // the calibrator on, something always shown.
    void startUsesTheSettings_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("calibrator");
        QTest::addColumn<int>("expected");
        QTest::newRow("three with diff") << (1 | 2 | 16) << false << (1 | 2 | 16);
        QTest::newRow("four with diff") << (1 | 2 | 4 | 16) << false << (1 | 2 | 4);
        QTest::newRow("diff alone") << 16 << false << 1;
        QTest::newRow("references without calibrator") << (4 | 8) << false << (4 | 8);
        QTest::newRow("reference diff with calibrator") << (1 | 4 | 16) << true << 1;
        QTest::newRow("freeze flags stay") << (2 | 64) << false << (2 | 64);
    }
    void startUsesTheSettings()
    {
        QFETCH(int, stored);
        QFETCH(bool, calibrator);
        QFETCH(int, expected);
        m_root->setGpio(207, calibrator ? "1" : "0");
        m_root->setGpio(209, calibrator ? "0" : "1");
        m_root->setGpio(213, "0");
        Configuration::setValuePersistent("curves", stored, SpectrumDialog::NAME);
        const QList<QPair<Configuration::ValueType, int>> settings { { Configuration::VT_Bandwidth, 20000 },
            { Configuration::VT_GatingTime, 5 }, { Configuration::VT_Preamplifier, 0 },
            { Configuration::VT_FreqMin, 300 }, { Configuration::VT_FreqMax, 500 } };
        for (const auto& setting : settings)
            Configuration::setValue(setting.first, setting.second, SpectrumDialog::NAME);
        Configuration::setValue("algorithm", true, "system");
        make(false);
        m_dialog->exec();
        QCOMPARE(int(m_dialog->curves()), expected);
        QCOMPARE(m_root->gpio(209), QByteArray(calibrator ? "1" : "0"));
        QCOMPARE(Configuration::valuePersistent("curves", SpectrumDialog::NAME, 1).toInt(), stored);
        QCOMPARE(QList<int>({ m_dialog->bandwidth(), m_dialog->gatingTime(), m_dialog->freqMin() }),
            QList<int>({ 20000, 5, 300 }));
        QCOMPARE(m_dialog->frequencyStep(), 400u);
        QCOMPARE(m_root->gpio(213), QByteArray("1"));
        QCOMPARE(QPointF(m_dialog->calibrationLevel(), m_dialog->calibrationOffset()), QPointF(-45, 7000));
        QCOMPARE(m_dialog->calibrationFactor(), 195.0);
        QVERIFY(m_dialog->isPllLocked() && m_dialog->tasks() == SpectrumDialog::TASK_NONE);
        QStringList texts;
        for (QLabel* label : m_dialog->findChild<InfoBar*>("infoBar")->labels())
            texts << label->text();
        QCOMPARE(texts, QStringList({ "Ant: <b>UHF</b>", "Time: <b>5ms</b>", "Band: <b>20MHz</b>" }));
        QwtPlot* plot = m_dialog->findChild<QwtPlot*>("plot");
        QCOMPARE(plot->axisInterval(QwtPlot::xBottom), QwtInterval(300, 500));
        for (CS live : { CS::CURVE_MAX, CS::CURVE_AVG })
            QCOMPARE(m_dialog->curve(live)->plot() == plot, bool(expected & live));
        // The stop button shows start while the autodetection switch is on.
        auto* stop = m_dialog->findChild<QPushButton*>("StopButton");
        QCOMPARE(stop->icon().pixmap(40).toImage(), QIcon(":/resources/svg/start_meas.svg").pixmap(40).toImage());
        Configuration::setValue("algorithm", false, "system");
        m_dialog->exec();
        QCOMPARE(stop->icon().pixmap(40).toImage(), QIcon(":/resources/svg/stop_meas2.svg").pixmap(40).toImage());
        m_dialog.reset();
        QCOMPARE(m_root->gpio(207), QByteArray("0"));
    }

    void markerRules_data()
    {
        QTest::addColumn<QString>("gestures"); // t: tap, L: long press, c: "Clear all" in the marker list
        QTest::addColumn<QVector<int>>("frequencies");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("handedOn"); // time/level frequency afterwards
        QTest::newRow("a tap moves the active one") << "t333.5 t350.5" << QVector<int> { 350, 0, 0, 0 } << 0 << 350;
        QTest::newRow("a long press takes the next")
            << "t300.5 L200.5 L380.5" << QVector<int> { 300, 200, 380, 0 } << 2 << 200;
        QTest::newRow("all four shown: marker 4 moves")
            << "t200.5 L250.5 L300.5 L350.5 L390.5" << QVector<int> { 200, 250, 300, 390 } << 3 << 200;
        QTest::newRow("clear all keeps the settings") << "t333.5 L250.5 c" << QVector<int> { 0, 0, 0, 0 } << -1 << 250;
    }
    void markerRules()
    {
        QFETCH(QString, gestures);
        QFETCH(int, handedOn);
        open();
        sweep(6000, 7000);
        // Narrower than a pixel per MHz, so that a tap hits its whole MHz.
        m_dialog->setFrequencyRange(150, 400);
        m_dialog->updatePlot();
        for (const QString& g : gestures.split(' ')) {
            if (g == "c") {
                whenShown(ValueSelectDialog::instance(), [] { tap(ValueSelectDialog::instance()->customButton()); });
                QTest::mouseClick(button("MarkerButton"), Qt::LeftButton);
            } else {
                tapPlot(g.mid(1).toDouble(), g.startsWith('L') ? 400 : 50);
            }
        }
        QVector<int> at;
        QList<int> shown;
        for (int i = 0; i < SpectrumMarkers::COUNT; ++i) {
            at << int(m_dialog->markers()->frequency(i));
            if (at.last() > 0)
                shown << at.last();
        }
        QTEST(at, "frequencies");
        QTEST(m_dialog->markers()->active(), "active");
        QCOMPARE(MarkerPresets::frequencies(), shown);
        for (const char* path : { "time", "level" })
            QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, path), handedOn);
        int level = 0; // the lowest marker's level on the maximum trace, and the amplifier for it
        QCOMPARE(MarkerPresets::amplitudeAt(handedOn, &level), !shown.isEmpty());
        if (!shown.isEmpty())
            QCOMPARE(QPoint(level, Configuration::getValue(Configuration::VT_LinearAmplifier, "time")),
                QPoint(int(m_dialog->series(CS::CURVE_MAX)->getSampleAtFrequency(handedOn).y()),
                    ConversionHelper::linearAmplifierForLevel(level)));
        // The info bar: three entries and one per marker, the active one bold, all 14 px.
        const QList<QLabel*> info = m_dialog->findChild<InfoBar*>()->labels();
        QCOMPARE(info.size(), 3 + shown.size());
        if (m_dialog->markers()->active() >= 0)
            QCOMPARE(info.at(3 + m_dialog->markers()->active())->styleSheet(), QStringLiteral("font-weight:bold;"));
        info.last()->ensurePolished();
        QCOMPARE(info.last()->font().pixelSize(), 14);
    }

    void traceSelection_data()
    {
        QTest::addColumn<int>("curves");
        QTest::addColumn<int>("option"); // -1: none clicked
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("selectable"); // bit k: option k can be clicked
        QTest::newRow("the last trace and the difference are refused") << 1 << -1 << 1 << 0b01110;
        QTest::newRow("two traces offer the difference") << 3 << -1 << 3 << 0b11111;
        QTest::newRow("three traces refuse it") << 7 << -1 << 7 << 0b01111;
        QTest::newRow("difference chosen") << 3 << 4 << 19 << 0b11111;
        QTest::newRow("one of two off takes the difference along") << 19 << 1 << 1 << 0b01110;
        QTest::newRow("a reference trace") << 1 << 2 << 5 << 0b11111;
    }
    void traceSelection()
    {
        QFETCH(int, curves);
        QFETCH(int, option);
        QFETCH(int, expected);
        QFETCH(int, selectable);
        open();
        m_dialog->setCurves(SpectrumDialog::CurveSelects(curves));
        ValueSelectDialog::Options options;
        for (int k = 0; k < 5; ++k)
            options << new ValueSelectDialog::Option(QString::number(k), k, false, false);
        if (option >= 0)
            m_dialog->onRefOptionClicked(options.at(option));
        m_dialog->updateRefOptions(options);
        QCOMPARE(int(m_dialog->curves()), expected);
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(options.at(k)->isSelectable(), bool(selectable & (1 << k)));
            QCOMPARE(options.at(k)->isChecked(), bool(expected & (1 << k)));
        }
        qDeleteAll(options);
    }

    // The stored curves fill the frozen slots, hidden at start (the file's own round trip is
    // storage's). The store/recall dialog freezes a trace, asking which one while two are shown
    // (stopped, a part of a sweep will do); a slot's select button shows its name and hides it. A
    // new name (not empty, ten characters at most) and a clear all go through the stored curves
    // file; a failed store keeps it.
    void frozenSlots()
    {
        m_root->writeFile("/data/recall.xml",
            "<recall><freeze/><freeze name=\"Bushing\" freqMin=\"150\" freqMax=\"650\">-60</freeze><freeze/>"
            "<freeze freqMin=\"200\" freqMax=\"700\">-40 -41</freeze></recall>");
        open();
        QCOMPARE(m_dialog->curve(CS::CURVE_FREEZE_2)->title().text(), QStringLiteral("Bushing"));
        QCOMPARE(m_dialog->curve(CS::CURVE_FREEZE_4)->title().text(), QStringLiteral("RC4"));
        QCOMPARE(points(CS::CURVE_FREEZE_4), QVector<QPointF>({QPointF(200, -40), QPointF(201, -41)}));
        QCOMPARE(int(m_dialog->curves()) & SpectrumDialog::FREEZE_CURVE_MASK, 0);
        StoreRecallDialog* store = StoreRecallDialog::instance();
        const auto press = [&](const char* button, std::function<void()> then) {
            whenShown(store, [=] {
                tap(store->findChild<QPushButton*>(button));
                then();
            });
            QTest::mouseClick(this->button("StoreRecallButton"), Qt::LeftButton);
        };
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        for (int i = 0; i < 10; ++i)
            feed(150000 + 1700 * i, Step(6000 + 100 * i, 7000));
        const QVector<QPointF> average = points(CS::CURVE_AVG);
        press("ButtonSave2", [] {
            QListWidget* list = ValueSelectDialog::instance()->findChild<QListWidget*>();
            whenShown(ValueSelectDialog::instance(), [list] { tap(list, list->item(1)); });
        });
        QCOMPARE(points(CS::CURVE_FREEZE_3), average);
        QVERIFY(m_root->readFile("/data/recall.xml").contains("name=\"RC3\""));
        QString shown;
        press("Button2", [&] {
            shown = store->findChild<QPushButton*>("Button2")->text();
            tap(store->findChild<QPushButton*>("ButtonExit"));
        });
        QCOMPARE(shown + QString::number(m_dialog->curves()), QStringLiteral("RC33"));
        QVERIFY(!m_dialog->frozenSlots()->rename(2, "") && m_dialog->frozenSlots()->rename(2, "ABCDEFGHIJK"));
        const QByteArray stored = m_root->readFile("/data/recall.xml");
        m_root->setMountFails(true);
        m_dialog->exportRecall();
        QCOMPARE(m_root->readFile("/data/recall.xml"), stored);
        m_root->setMountFails(false);
        m_dialog->exportRecall();
        SpectrumDialog reloaded(nullptr);
        QCOMPARE(reloaded.curve(CS::CURVE_FREEZE_3)->title().text(), QStringLiteral("ABCDEFGHIJ"));
        press("ButtonClearAll", [] {});
        QVERIFY(!m_root->readFile("/data/recall.xml").contains("name="));
    }

    void recordBody()
    {
        Configuration::setValue(Configuration::VT_MaxHold, 1, SpectrumDialog::NAME);
        open();
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG | CS::CURVE_FREEZE_4);
        sweep(6000, 7000);
        m_dialog->frozenSlots()->store(3, *m_dialog->series(CS::CURVE_MAX));
        QDomDocument document;
        QDomElement root = document.createElement("spectrum");
        m_dialog->recordBody(Configuration::PHASE_L2).appendTo(document, root);
        QStringList body;
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            const QStringList values = e.text().split(' ');
            body << e.tagName() + "="
                    + (values.size() > 1 ? QString::number(values.size()) + "@" + values.last() : e.text())
                    + (e.hasAttribute("name") ? "/" + e.attribute("name") : "")
                    + (e.hasAttribute("min") ? "/" + e.attribute("min") + "-" + e.attribute("max") : "");
        }
        const QString lastMax = QString::number(points(CS::CURVE_MAX).last().y(), 'g', 6);
        QCOMPARE(body,
            QStringList({ "meas_mode=LOG", "antenna=UHF", "bandwidth=5000", "preamplifier=On", "calibrator=Off",
                "gating_time=20", "max_hold=On", "minAmplitude=-90", "maxAmplitude=-30", "minFrequency=150",
                "maxFrequency=1000", "phase=L2", "nsamples=501", "freq=/150-1000", "max=501@" + lastMax,
                "avg=501@" + QString::number(points(CS::CURVE_AVG).last().y(), 'g', 6),
                "freeze4=501@" + lastMax + "/RC4" }));
    }

    // Where a finger on the plot zooms to (the rules alone).
    void gestures_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<int>("lastX"); // the drag starts at 100
        QTest::addColumn<int>("gesture");
        QTest::addColumn<QString>("result"); // tap: the frequency; zoom in: the range
        const int tap = SpectrumZoom::GESTURE_TAP, in = SpectrumZoom::GESTURE_ZOOM_IN;
        QTest::newRow("narrow: a tap, truncated") << QRectF(429.2, -80, 8, 30) << 120 << tap << "433";
        QTest::newRow("flat: a tap") << QRectF(300, -80, 200, 1) << 200 << tap << "400";
        QTest::newRow("left of the band") << QRectF(100, -80, 1, 30) << 200 << tap << "150";
        QTest::newRow("leftwards zooms out")
            << QRectF(300, -80, 200, 30) << 10 << int(SpectrumZoom::GESTURE_ZOOM_OUT) << "";
        QTest::newRow("rounded outwards") << QRectF(123, -77.5, 254, 20.4) << 200 << in << "150 400 -80 -50";
        QTest::newRow("inside the limits") << QRectF(420, -115, 590, 140) << 200 << in << "400 1000 -100 20";
    }
    void gestures()
    {
        QFETCH(QRectF, rect);
        QFETCH(int, lastX);
        const SpectrumRange full = SpectrumZoom::limits();
        const int gesture = SpectrumZoom::classify(rect, 100, lastX, full);
        QTEST(gesture, "gesture");
        const SpectrumRange in = SpectrumZoom::zoomedIn(rect, full);
        QString result;
        if (gesture == SpectrumZoom::GESTURE_TAP)
            result = QString::number(SpectrumZoom::tapFrequency(rect, full));
        else if (gesture == SpectrumZoom::GESTURE_ZOOM_IN)
            result = QStringLiteral("%1 %2 %3 %4").arg(in.freqMin).arg(in.freqMax).arg(in.ampMin).arg(in.ampMax);
        QTEST(result, "result");
    }
};

QTEST_MAIN(TestSpectrumDialog)
#include "tst_spectrumdialog.moc"
