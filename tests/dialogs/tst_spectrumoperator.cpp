// The spectrum screen's operator functions without a running worker: markers placed by taps and
// handed to the other screens, trace selection, frozen slots, the info bar, the record body, and
// the zoom rules.

#include "DialogDriver.h"
#include "common/TestRoot.h"
#include "dialogs/FrozenSlots.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/StoreRecallDialog.h"
#include "plot/InfoBar.h"
#include "plot/OverridingPlotData.h"
#include "plot/SpectrumMarkers.h"
#include "plot/SpectrumZoom.h"
#include "util/ConversionHelper.h"
#include "util/MarkerPresets.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <memory>

using namespace DialogDriver;
using CS = SpectrumDialog::CurveSelect;

class TestSpectrumOperator : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<SpectrumDialog> m_dialog;

    void tapPlot(double f, qint64 ms)
    {
        auto* plot = m_dialog->findChild<QwtPlot*>();
        const QPoint at(int(plot->canvasMap(QwtPlot::xBottom).transform(f)), 100);
        m_dialog->zoomPolygon(QPolygon(QVector<QPoint> { at, at }), ms);
    }
    void step(quint32 frequency, quint32 average, quint32 maximum)
    {
        const std::vector<quint32> avg(100, average), max(100, maximum);
        bool repeat = false;
        m_dialog->onMeasurementFinished(frequency, avg.data(), avg.data(), max.data(), 100, &repeat);
    }
    void sweep(quint32 average, quint32 maximum)
    {
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            step(150000 + 1700 * i, average + i, maximum);
    }
    QVector<QPointF> points(CS curve) const { return *m_dialog->series(curve)->getConstData(); }
    QPushButton* button(const char* name) const { return m_dialog->findChild<QPushButton*>(name); }
private slots:
    void initTestCase() { applyStyleSheet(); }
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        Configuration::setValuePersistent("curves", 1, SpectrumDialog::NAME);
        m_dialog = std::make_unique<SpectrumDialog>(nullptr);
        m_dialog->resize(640, 440);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        m_dialog->exec();
        m_dialog->setCalibration(-75, 7150, 195.0);
    }
    void cleanup()
    {
        m_dialog.reset();
        m_root.reset(); // before the next root: it points the platform back at "/"
    }

    void markerRules_data()
    {
        QTest::addColumn<QString>("gestures"); // t: tap, L: long press, c: "Clear all" in the marker list
        QTest::addColumn<QVector<int>>("frequencies");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("handedOn"); // time/level frequency afterwards
        QTest::newRow("first tap places marker 1") << "t333.5" << QVector<int> { 333, 0, 0, 0 } << 0 << 333;
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
        QFETCH(QVector<int>, frequencies);
        QFETCH(int, active);
        QFETCH(int, handedOn);
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
        QCOMPARE(at, frequencies);
        QCOMPARE(m_dialog->markers()->active(), active);
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
        if (active >= 0)
            QCOMPARE(info.at(3 + active)->styleSheet(), QStringLiteral("font-weight:bold;"));
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

    void pointsStayAtTheirFrequencies()
    {
        step(150000, 6000, 7000);
        step(0, 6000, 9999); // no lock, twice, while the worker steps on
        step(0, 6000, 9999);
        step(151234, 6000, 9999); // not a step of this sweep
        step(155100, 6000, 8000);
        const QVector<QPointF> maximum = points(CS::CURVE_MAX);
        QCOMPARE(maximum.size(), 4);
        QCOMPARE(maximum.at(3).x(), 155.1);
        QCOMPARE(maximum.at(1).y(), maximum.at(3).y()); // the passed-over slots take the next value
    }

    void frozenSlots_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("ten characters") << "ABCDEFGHIJK"
                                        << "ABCDEFGHIJ";
        QTest::newRow("empty is refused") << ""
                                          << "RC2";
    }
    void frozenSlots()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        StoreRecallDialog* store = StoreRecallDialog::instance();
        const auto press = [&](const char* button, std::function<void()> then) {
            whenShown(store, [=] {
                tap(store->findChild<QPushButton*>(button));
                then();
            });
            QTest::mouseClick(this->button("StoreRecallButton"), Qt::LeftButton);
        };
        // Freeze the average of two traces into slot 2: the source is asked for.
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        sweep(6000, 7000);
        const QVector<QPointF> average = points(CS::CURVE_AVG);
        press("ButtonSave1", [] { // two traces shown: which one?
            QListWidget* list = ValueSelectDialog::instance()->findChild<QListWidget*>();
            whenShown(ValueSelectDialog::instance(), [list] { tap(list, list->item(1)); });
        });
        QCOMPARE(points(CS::CURVE_FREEZE_2), average);
        // Its select button shows its name and hides it, the dialog staying open.
        QString shown;
        press("Button1", [&] {
            shown = store->findChild<QPushButton*>("Button1")->text();
            tap(store->findChild<QPushButton*>("ButtonExit"));
        });
        QCOMPARE(shown + QString::number(m_dialog->curves()), QStringLiteral("RC23"));
        // A new name goes through the stored curves file.
        QCOMPARE(m_dialog->frozenSlots()->rename(1, name), !name.isEmpty());
        m_dialog->exportRecall();
        SpectrumDialog reloaded(nullptr);
        QCOMPARE(reloaded.curve(CS::CURVE_FREEZE_2)->title().text(), title);
        press("ButtonClearAll", [] {});
        QVERIFY(!m_root->readFile("/data/recall.xml").contains("name="));
    }

    void recordBody()
    {
        Configuration::setValue(Configuration::VT_MaxHold, 1, SpectrumDialog::NAME);
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
        QFETCH(int, gesture);
        QFETCH(QString, result);
        const SpectrumRange full = SpectrumZoom::limits();
        QCOMPARE(int(SpectrumZoom::classify(rect, 100, lastX, full)), gesture);
        const SpectrumRange range = SpectrumZoom::zoomedIn(rect, full);
        if (gesture == SpectrumZoom::GESTURE_TAP)
            QCOMPARE(QString::number(SpectrumZoom::tapFrequency(rect, full)), result);
        else if (gesture == SpectrumZoom::GESTURE_ZOOM_IN)
            QCOMPARE(
                QStringLiteral("%1 %2 %3 %4").arg(range.freqMin).arg(range.freqMax).arg(range.ampMin).arg(range.ampMax),
                result);
    }
};

QTEST_MAIN(TestSpectrumOperator)
#include "tst_spectrumoperator.moc"
