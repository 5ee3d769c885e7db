// The spectrum screen's operator functions without a running worker: markers placed by taps and
// handed to the other screens, zoom, trace selection, frozen slots, the info bar, the record.

#include "DialogDriver.h"
#include "common/TestRoot.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/StoreRecallDialog.h"
#include "dialogs/TextEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "plot/InfoBar.h"
#include "plot/OverridingPlotData.h"
#include "plot/SpectrumMarkers.h"
#include "util/Calibration.h"
#include "util/ConversionHelper.h"
#include "util/MarkerPresets.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
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

    QwtPlot* plot() const { return m_dialog->findChild<QwtPlot*>(QStringLiteral("plot")); }
    QPoint pixel(double f, double dbm) const
    {
        return QPoint(int(plot()->canvasMap(QwtPlot::xBottom).transform(f)),
            int(plot()->canvasMap(QwtPlot::yLeft).transform(dbm)));
    }
    void gesture(double f1, double a1, double f2, double a2, qint64 ms = 50)
    {
        m_dialog->zoomPolygon(QPolygon(QVector<QPoint> {pixel(f1, a1), pixel(f2, a2)}), ms);
    }
    void step(quint32 frequency, quint32 average, quint32 maximum)
    {
        const std::vector<quint32> avg(100, average), max(100, maximum);
        bool repeat = false;
        m_dialog->onMeasurementFinished(frequency, avg.data(), avg.data(), max.data(), 100, &repeat);
    }
    QVector<QPointF> points(CS curve) const { return *m_dialog->series(curve)->getConstData(); }
    QStringList infoTexts() const
    {
        QStringList texts;
        for (QLabel* label : m_dialog->findChild<InfoBar*>()->labels())
            texts << label->text() + (label->styleSheet().isEmpty() ? "" : "|" + label->styleSheet());
        return texts;
    }

private slots:
    void initTestCase() { applyStyleSheet(); }
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        Configuration::setValuePersistent(QStringLiteral("curves"), 1, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_PromptPhase, 0, QStringLiteral("system"));
        for (auto v : {std::make_pair(Configuration::VT_FreqMin, 150), {Configuration::VT_FreqMax, 1000},
                 {Configuration::VT_AmpMinDbm, -90}, {Configuration::VT_AmpMaxDbm, -30}})
            Configuration::setValue(v.first, v.second, SpectrumDialog::NAME);
        m_dialog = std::make_unique<SpectrumDialog>(nullptr);
        m_dialog->resize(640, 440);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        m_dialog->exec();
        m_dialog->setCalibration(-75, 7150, 195.0);
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            m_dialog->series(CS::CURVE_MAX)->addSample(150, 1000, -30.5 - i * 0.1);
    }
    void cleanup()
    {
        m_dialog.reset();
        m_root.reset();
    }

    void markerRules_data()
    {
        QTest::addColumn<QString>("gestures"); // t: tap, L: long press, c: "Clear all" in the marker list
        QTest::addColumn<QVector<int>>("frequencies");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("handedOn"); // time/level frequency afterwards
        QTest::newRow("first tap places marker 1") << "t333.5" << QVector<int> {333, 0, 0, 0} << 0 << 333;
        QTest::newRow("a tap moves the active one") << "t333.5 t350.5" << QVector<int> {350, 0, 0, 0} << 0 << 350;
        QTest::newRow("a long press takes the next")
            << "t300.5 L200.5 L380.5" << QVector<int> {300, 200, 380, 0} << 2 << 200;
        QTest::newRow("all four shown: marker 4 moves")
            << "t200.5 L250.5 L300.5 L350.5 L390.5" << QVector<int> {200, 250, 300, 390} << 3 << 200;
        QTest::newRow("clear all keeps the settings") << "t333.5 L250.5 c" << QVector<int> {0, 0, 0, 0} << -1 << 250;
    }
    void markerRules()
    {
        QFETCH(QString, gestures);
        QFETCH(QVector<int>, frequencies);
        QFETCH(int, active);
        QFETCH(int, handedOn);
        // Narrower than a pixel per MHz, so that a tap hits its whole MHz.
        m_dialog->setFrequencyRange(150, 400);
        m_dialog->updatePlot();
        for (const QString& g : gestures.split(' ')) {
            if (g == "c") {
                ValueSelectDialog* list = ValueSelectDialog::instance();
                whenShown(list, [list] { tap(list->customButton()); });
                QTest::mouseClick(m_dialog->findChild<QPushButton*>("MarkerButton"), Qt::LeftButton);
            } else {
                const double f = g.mid(1).toDouble();
                gesture(f, -60, f, -60, g.startsWith('L') ? 400 : 50);
            }
        }
        QList<int> shown, amplitudes;
        for (int i = 0; i < SpectrumMarkers::COUNT; ++i) {
            QCOMPARE(int(m_dialog->markers()->frequency(i)), frequencies.at(i));
            if (frequencies.at(i) > 0) {
                shown << frequencies.at(i);
                amplitudes << int(m_dialog->series(CS::CURVE_MAX)->getSampleAtFrequency(frequencies.at(i)).y());
            }
        }
        QCOMPARE(m_dialog->markers()->active(), active);
        QCOMPARE(MarkerPresets::frequencies(), shown);
        QCOMPARE(MarkerPresets::amplitudes(), amplitudes);
        QCOMPARE(m_dialog->findChild<QPushButton*>("MarkerButton")->isEnabled(), active >= 0);
        for (const char* path : {"time", "level"}) {
            QCOMPARE(Configuration::getValue(Configuration::VT_FreqMin, path), handedOn);
            QCOMPARE(Configuration::getValue(Configuration::VT_Bandwidth, path), m_dialog->bandwidth());
        }
        const int lowest = shown.isEmpty() ? -1 : shown.indexOf(*std::min_element(shown.begin(), shown.end()));
        if (lowest >= 0)
            QCOMPARE(Configuration::getValue(Configuration::VT_LinearAmplifier, "time"),
                ConversionHelper::linearAmplifierForLevel(amplitudes.at(lowest)));
        const QStringList info = infoTexts();
        QCOMPARE(info.size(), 3 + shown.size());
        if (active >= 0)
            QVERIFY(info.at(3 + active).endsWith("font-weight:bold;"));
        Configuration::setValue(Configuration::VT_FreqMin, 150, "time");
        Configuration::setValue(Configuration::VT_FreqMin, 150, "level");
    }

    void zoomByDragging()
    {
        const auto range = [this] {
            return QVector<int> {m_dialog->freqMin(), m_dialog->freqMax(), m_dialog->ampMin(), m_dialog->ampMax(),
                Configuration::getValue(Configuration::VT_FreqMax, SpectrumDialog::NAME)};
        };
        gesture(123, -77.5, 377, -57.1);
        QCOMPARE(range(), QVector<int>({150, 400, -80, -50, 400}));
        QCOMPARE(m_dialog->series(CS::CURVE_MAX)->count(), 0); // measuring again over the new range
        // Stopped, a zoom keeps the last sweep on the screen.
        step(150000, 6000, 7000);
        QTest::mouseClick(m_dialog->findChild<QPushButton*>("StopButton"), Qt::LeftButton);
        gesture(390, -55, 160, -75);
        QCOMPARE(range(), QVector<int>({150, 1000, -100, 20, 1000}));
        QCOMPARE(m_dialog->series(CS::CURVE_MAX)->count(), 1);
        const int mounts = m_root->mountLog().size();
        gesture(900, -55, 300, -75); // at the full range already
        QCOMPARE(m_root->mountLog().size(), mounts);
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
        m_dialog->startDataWorker();
        step(150000, 6000, 7000);
        step(0, 6000, 9999); // no lock: nothing, while the worker steps on
        step(0, 6000, 9999);
        step(151234, 6000, 9999); // not a step of this sweep
        step(155100, 6000, 8000);
        const QVector<QPointF> maximum = points(CS::CURVE_MAX);
        QCOMPARE(maximum.size(), 4);
        QCOMPARE(maximum.at(3).x(), 155.1);
        QCOMPARE(maximum.at(1).y(), maximum.at(3).y());
        QVERIFY(maximum.at(0).y() < maximum.at(3).y());
    }

    void infoBar_data()
    {
        QTest::addColumn<int>("service");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("operator") << 0 << QStringList({"Ant: <b>UHF</b>", "Time: <b>20ms</b>", "Band: <b>5MHz</b>"});
        QTest::newRow("service") << 1
                                 << QStringList({QStringLiteral("NullOff: <b>%1</b>")
                                                     .arg(Calibration::getInt(Calibration::VT_NullOffsetLOG, "")),
                                     "AvgAmp: <b>6123</b>", "AvgOff: <b>7150</b>", "AvgFak: <b>195</b>"});
    }
    void infoBar()
    {
        QFETCH(int, service);
        QFETCH(QStringList, texts);
        Configuration::setValue(Configuration::VT_Service, service, "system");
        step(150000, 6123, 7000);
        m_dialog->updatePlotLegend();
        QCOMPARE(infoTexts(), texts);
        QLabel* label = m_dialog->findChild<InfoBar*>()->labels().first();
        label->ensurePolished();
        QCOMPARE(label->font().pixelSize(), 14);
        Configuration::setValue(Configuration::VT_Service, 0, "system");
    }

    void frozenSlotsThroughTheDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::newRow("ten characters") << "ABCDEFGHIJK" << "ABCDEFGHIJ";
        QTest::newRow("empty is refused") << "" << "RC2";
    }
    void frozenSlotsThroughTheDialog()
    {
        QFETCH(QString, typed);
        QFETCH(QString, title);
        StoreRecallDialog* store = StoreRecallDialog::instance();
        ValueSelectDialog* select = ValueSelectDialog::instance();
        TextEditDialog* editor = TextEditDialog::instance();
        const auto press = [&](const char* name, std::function<void()> then = {}) {
            whenShown(store, [=] {
                tap(store->findChild<QPushButton*>(name));
                if (then)
                    then();
            });
            QTest::mouseClick(m_dialog->findChild<QPushButton*>("StoreRecallButton"), Qt::LeftButton);
        };
        // Freeze the average of two traces into slot 2: the source is asked for.
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            step(150000 + 1700 * i, 6000 + i, 7000);
        const QVector<QPointF> average = points(CS::CURVE_AVG);
        press("ButtonSave1", [=] { whenShown(select, [=] { tap(select->findChild<QListWidget*>(), select->findChild<QListWidget*>()->item(1)); }); });
        QCOMPARE(points(CS::CURVE_FREEZE_2), average);
        QVERIFY(m_dialog->curves().testFlag(CS::CURVE_FREEZE_2));
        // The select button hides it and the dialog stays open.
        QString shownName;
        press("Button1", [&] {
            shownName = store->findChild<QPushButton*>("Button1")->text();
            tap(store->findChild<QPushButton*>("ButtonExit"));
        });
        QVERIFY(!m_dialog->curves().testFlag(CS::CURVE_FREEZE_2));
        QCOMPARE(shownName, QStringLiteral("RC2"));
        // Rename, then read back from the stored curves file.
        press("ButtonEdit1", [=] {
            whenShown(editor, [=] {
                editor->findChild<QLineEdit*>()->clear();
                QTest::keyClicks(editor->findChild<QLineEdit*>(), typed);
                pressKey(editor, Qt::Key_Return);
                if (editor->isVisible())
                    pressKey(editor, Qt::Key_Escape);
            });
        });
        QCOMPARE(m_dialog->curve(CS::CURVE_FREEZE_2)->title().text(), title);
        SpectrumDialog reloaded(nullptr);
        QCOMPARE(reloaded.curve(CS::CURVE_FREEZE_2)->title().text(), title);
        QCOMPARE(reloaded.series(CS::CURVE_FREEZE_2)->count(), SpectrumDialog::SLOT_COUNT);
        QCOMPARE(reloaded.series(CS::CURVE_FREEZE_2)->getSample(500).x(), 1000.0);
        press("ButtonClearAll");
        QCOMPARE(m_dialog->series(CS::CURVE_FREEZE_2)->count(), 0);
        QVERIFY(!m_root->readFile("/data/recall.xml").contains("name="));
    }

    void recordBody()
    {
        Configuration::setValue(Configuration::VT_MaxHold, 1, SpectrumDialog::NAME);
        Configuration::setValue(Configuration::VT_PromptPhase, 1, "system");
        m_dialog->setCurves(CS::CURVE_MAX | CS::CURVE_AVG);
        m_dialog->startDataWorker();
        for (int i = 0; i < SpectrumDialog::SLOT_COUNT; ++i)
            step(150000 + 1700 * i, 6000, 7000 + i);
        m_dialog->requestFreeze(3, CS::CURVE_MAX);
        ValueSelectDialog* select = ValueSelectDialog::instance();
        whenShown(select, [=] { tap(select->findChild<QListWidget*>(), select->findChild<QListWidget*>()->item(1)); });
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->done(0);
        });
        closer.start(50);
        const QString lastMax = QString::number(points(CS::CURVE_MAX).last().y(), 'g', 6);
        const QString lastAvg = QString::number(points(CS::CURVE_AVG).last().y(), 'g', 6);
        m_dialog->on_SaveButton_clicked();
        QTRY_COMPARE(m_dialog->tasks(), SpectrumDialog::Tasks(SpectrumDialog::TASK_NONE));
        const QStringList files = QDir(m_root->path("/data/corvane_data")).entryList({"spectrum_*.xml"});
        QCOMPARE(files.size(), 1);
        QDomDocument document;
        QVERIFY(document.setContent(m_root->readFile("/data/corvane_data/" + files.first())));
        QStringList body;
        for (QDomElement e = document.documentElement().firstChildElement("meas_mode"); !e.isNull();
             e = e.nextSiblingElement()) {
            const QStringList values = e.text().split(' ');
            body << e.tagName() + "=" + (values.size() > 1 ? QString::number(values.size()) + "@" + values.last() : e.text())
                    + (e.hasAttribute("name") ? "/" + e.attribute("name") : "")
                    + (e.hasAttribute("min") ? "/" + e.attribute("min") + "-" + e.attribute("max") : "");
        }
        QCOMPARE(body, QStringList({"meas_mode=LOG", "antenna=UHF", "bandwidth=5000", "preamplifier=On",
                           "calibrator=Off", "gating_time=20", "max_hold=On", "minAmplitude=-90", "maxAmplitude=-30",
                           "minFrequency=150", "maxFrequency=1000", "phase=L2", "nsamples=501", "freq=/150-1000",
                           "max=501@" + lastMax, "avg=501@" + lastAvg,
                           "freeze4=501@" + lastMax + "/RC4"}));
        Configuration::setValue(Configuration::VT_MaxHold, 0, SpectrumDialog::NAME);
    }
};

QTEST_MAIN(TestSpectrumOperator)
#include "tst_spectrumoperator.moc"
