// What the screens draw with: the sweep series, the info bar's grid, the unit on the axis, the
// wide pen, the zoom picker, the raw-count linearisation behind every level, and the persistence
// raster's counting rules and colours with the two widgets that show it.
#include "common/TestMain.h"
#include "plot/CustomScaleDraw.h"
#include "plot/ImagePlot.h"
#include "plot/InfoBar.h"
#include "plot/OverridingPlotData.h"
#include "plot/PersistenceImage.h"
#include "plot/QuantityColorScale.h"
#include "plot/WidePenPlotCurve.h"
#include "util/ConversionHelper.h"
#include "util/PlotZoomer.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QtTest>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_map.h>

// Exposes the cached label lookup that the axis widget uses when it paints.
struct CachedScaleDraw : CustomScaleDraw
{
    using CustomScaleDraw::CustomScaleDraw;
    using CustomScaleDraw::tickLabel;
};

class TestPlotting : public QObject
{
    Q_OBJECT

    static QList<InfoBar::Info> entries(int count, int lastSpan = 1)
    {
        QList<InfoBar::Info> list;
        for (int i = 0; i < count; ++i)
            list.append(InfoBar::Info(QString("Entry <b>%1</b>").arg(i), QString()));
        if (count > 0)
            list.last().columnSpan = lastSpan;
        return list;
    }
    // "row,column,span" of every label.
    static QStringList cells(const InfoBar& bar)
    {
        QStringList list;
        for (QLabel* label : bar.labels()) {
            int row, column, rowSpan, columnSpan;
            bar.gridLayout()->getItemPosition(bar.gridLayout()->indexOf(label), &row, &column, &rowSpan, &columnSpan);
            list << QString("%1,%2,%3").arg(row).arg(column).arg(columnSpan);
        }
        return list;
    }

    static QImage draw(const QVector<QPointF>& points, double width)
    {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        WidePenPlotCurve curve;
        curve.setPen(Qt::black, width, Qt::SolidLine);
        curve.setSamples(points);
        QwtScaleMap map;
        map.setPaintInterval(0, 100);
        map.setScaleInterval(0, 100);
        QPainter painter(&image);
        curve.draw(&painter, map, map, QRectF(0, 0, 100, 100));
        return image;
    }
    // Which of the pixels from..to across the line at `along` are drawn ("0110" and so on).
    static QString across(const QImage& image, bool vertical, int along, int from, int to)
    {
        QString pixels;
        for (int i = from; i <= to; ++i)
            pixels += qGray(vertical ? image.pixel(i, along) : image.pixel(along, i)) < 128 ? "1" : "0";
        return pixels;
    }

private slots:
    // A sweep fills its slots left to right, completes, then overwrites slot by slot.
    void sweepSlots()
    {
        OverridingPlotData data(501);
        QCOMPARE(data.getSampleAtFrequency(300), QPointF(0, 0));
        for (int i = 0; i < 500; ++i)
            QCOMPARE(data.addSample(100.0, 200.0, double(i)), i);
        QVERIFY(!data.isDataCompleted());
        QCOMPARE(data.getSample(250), QPointF(150.0, 250));
        QCOMPARE(data.addSample(100.0, 200.0, 500.0), 500);
        QCOMPARE(data.getSample(500).x(), 200.0);
        QVERIFY(data.isDataCompleted());
        QCOMPARE(data.getIndex(), 0);
        QCOMPARE(data.addSample(100.0, 200.0, -1.0), 0);
        QCOMPARE(data.count(), 501);
        QVERIFY(!data.isDataCompleted());
        QCOMPARE(data.getSample(0), QPointF(100.0, -1.0));
        data.clear();
        QCOMPARE(data.count() + data.getIndex(), 0);
        // Points given whole wrap the same way; indices without a point are ignored.
        OverridingPlotData points(3);
        for (const QPointF& p : {QPointF(1, 10), QPointF(2, 20), QPointF(3, 30), QPointF(1, 11)})
            points.addSample(p);
        points.setSample(2, QPointF(3, 5));
        points.setSample(3, QPointF(9, 9));
        points.setSample(-1, QPointF(9, 9));
        QCOMPARE(*points.getConstData(), (QVector<QPointF> {{1, 11}, {2, 20}, {3, 5}}));
        OverridingPlotData partial(5);
        partial.addSample(QPointF(1, 1));
        partial.setSample(2, QPointF(9, 9));
        QCOMPARE(partial.count(), 1);
        // A nonsensical slot count behaves like one slot rather than dividing by zero.
        OverridingPlotData broken(0);
        QCOMPARE(broken.addSample(1.0, 2.0, 3.0), 0);
        QCOMPARE(broken.getSample(0), QPointF(1.0, 3.0));
        // A frequency finds the last slot below it.
        OverridingPlotData five(5);
        for (int i = 0; i < 5; ++i)
            five.addSample(100.0, 200.0, double(i)); // x = 100, 125, 150, 175, 200
        const QList<QPair<int, QPointF>> cases {{150, {125, 1}}, {151, {150, 2}}, {100, {100, 0}},
                                                {50, {100, 0}},   {201, {200, 4}}, {200, {175, 3}}};
        for (const auto& c : cases)
            QCOMPARE(five.getSampleAtFrequency(c.first), c.second);
        QCOMPARE(five.boundingRect(), QRectF(100, 0, 100, 4));
    }

    // Each step sets count entries (the last one spanning) in the given columns.
    void grid_data()
    {
        QTest::addColumn<QList<int>>("steps"); // count, columns, last span; repeated
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("five in four columns") << QList<int> {5, 4, 4} << QStringList {"0,0,1", "0,1,1", "0,2,1", "0,3,1", "1,0,4"};
        QTest::newRow("fewer than columns") << QList<int> {3, 4, 1} << QStringList {"0,0,1", "0,1,1", "0,2,1"};
        QTest::newRow("shrinking") << QList<int> {6, 3, 1, 4, 3, 1} << QStringList {"0,0,1", "0,1,1", "0,2,1", "1,0,1"};
        QTest::newRow("columns shrink and grow again")
            << QList<int> {6, 3, 1, 6, 2, 1, 6, 3, 1} << QStringList {"0,0,1", "0,1,1", "0,2,1", "1,0,1", "1,1,1", "1,2,1"};
        QTest::newRow("emptied") << QList<int> {5, 2, 1, 0, 2, 1} << QStringList();
        QTest::newRow("zero columns is one") << QList<int> {2, 0, 1} << QStringList {"0,0,1", "1,0,1"};
    }
    void grid()
    {
        QFETCH(QList<int>, steps);
        InfoBar bar(nullptr);
        for (int i = 0; i < steps.size(); i += 3)
            bar.setInfo(entries(steps[i], steps[i + 2]), steps[i + 1]);
        QTEST(cells(bar), "expected");
        QCOMPARE(bar.gridLayout()->count(), bar.labels().size());
        QCOMPARE(bar.findChildren<QLabel*>().size(), bar.labels().size());
    }

    // A refresh keeps the labels and updates their texts.
    void labelsAreReused()
    {
        InfoBar bar(nullptr);
        bar.setInfo(entries(6), 2);
        const QList<QLabel*> before = bar.labels();
        QList<InfoBar::Info> changed = entries(4);
        changed[2] = InfoBar::Info("new", "color: red;");
        bar.setInfo(changed, 2);
        QCOMPARE(bar.labels(), before.mid(0, 4));
        QCOMPARE(bar.labels().at(2)->text() + bar.labels().at(2)->styleSheet(), QStringLiteral("newcolor: red;"));
    }

    // The wide pen as one-pixel lines side by side, in both directions and no more.
    void widePen()
    {
        const QImage three = draw({{10, 50}, {90, 50}, {90, 10}}, 3);
        QCOMPARE(across(three, false, 50, 48, 52), QStringLiteral("01110"));
        QCOMPARE(across(three, true, 30, 88, 92), QStringLiteral("01110"));
        QCOMPARE(across(draw({{10, 50}, {90, 50}}, 2), false, 50, 49, 51), QStringLiteral("011"));
        QCOMPARE(across(draw({{10, 50}, {90, 50}}, 1), false, 50, 49, 51), QStringLiteral("010"));
        // Points far outside do not break the line.
        QCOMPARE(across(draw({{10, 50}, {50, 50}, {60, 1e12}, {70, qQNaN()}, {90, 50}}, 3), false, 30, 50, 50), QStringLiteral("1"));
    }

    // The unit stands at the top major tick only, also after a change of unit.
    void unitOnTheAxis()
    {
        QwtPlot plot;
        auto* draw = new CachedScaleDraw("f/MHz");
        plot.setAxisScaleDraw(QwtPlot::xBottom, draw);
        plot.setAxisScale(QwtPlot::xBottom, 150.0, 1000.0, 100.0);
        plot.updateAxes();
        const QList<double> ticks = draw->scaleDiv().ticks(QwtScaleDiv::MajorTick);
        QVERIFY(ticks.size() > 2);
        QCOMPARE(draw->label(ticks.last()).text(), QStringLiteral("f/MHz"));
        for (int i = 0; i < ticks.size() - 1; ++i)
            QCOMPARE(draw->label(ticks.at(i)).text(), QString::number(ticks.at(i)));
        QCOMPARE(draw->tickLabel(QFont(), ticks.last()).text(), QStringLiteral("f/MHz"));
        draw->setUnit("P/dBm");
        QCOMPARE(draw->tickLabel(QFont(), ticks.last()).text(), QStringLiteral("P/dBm"));
        QCOMPARE(CustomScaleDraw("x").label(0.0).text(), QStringLiteral("0")); // no ticks yet: numbers
    }

    // The zoom picker reports the rectangle and how long the finger was down.
    void zoomPicker()
    {
        QwtPlot plot;
        plot.resize(600, 400);
        PlotZoomer zoomer(&plot);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        QCOMPARE(plot.canvas()->focusPolicy(), Qt::NoFocus); // the hardware keys stay with the screen
        QSignalSpy spy(&zoomer, SIGNAL(selected(QPolygon, qint64)));
        QWidget* canvas = plot.canvas();
        const auto drag = [canvas](QPoint from, QPoint to, int holdMs) {
            QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
            QTest::qWait(holdMs);
            // The move carries the held button (QTest::mouseMove does not).
            QMouseEvent move(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(canvas, &move);
            QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
        };
        drag({20, 30}, {120, 90}, 250);
        QCOMPARE(spy.count(), 1);
        const QPolygon polygon = spy.at(0).at(0).value<QPolygon>();
        QCOMPARE(polygon.first(), QPoint(20, 30));
        QCOMPARE(polygon.last(), QPoint(120, 90));
        QVERIFY(spy.at(0).at(1).toLongLong() >= 250);
        // A quick tap after a long pause counts from its own press, not from the last pick.
        QTest::qWait(300);
        drag({40, 40}, {42, 41}, 0);
        QVERIFY2(spy.at(1).at(1).toLongLong() < 200, qPrintable(spy.at(1).at(1).toString()));
    }

    // The raw-count linearisation (rows of counts) and the amplifier setting for a level (rows of dBm).
    void conversion_data()
    {
        QTest::addColumn<bool>("level"); // false: linearizeValue(raw count), true: linearAmplifierForLevel(dBm)
        QTest::addColumn<double>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("zero") << false << 0.0 << -1840;
        QTest::newRow("first threshold") << false << 3980.0 << 3980 - 1840;
        QTest::newRow("just above first") << false << 3981.0 << 3981 - 1660;
        QTest::newRow("middle threshold") << false << 4444.0 << 4444 - 314;
        QTest::newRow("just above middle") << false << 4445.0 << 4445 - 216;
        QTest::newRow("last threshold") << false << 5122.0 << 5122 - 22;
        QTest::newRow("just above last") << false << 5123.0 << 5123;
        QTest::newRow("negative") << false << -5.0 << -5 - 1840;
        QTest::newRow("-35 dBm, preamplifier range") << true << -35.0 << 67;
        QTest::newRow("-34 dBm, upper line") << true << -34.0 << 544;
        QTest::newRow("strong signal is 0") << true << 10.0 << 0;
        QTest::newRow("-100 dBm is limited") << true << -100.0 << 1023;
        QTest::newRow("not a number") << true << qQNaN() << 0;
    }
    void conversion()
    {
        QFETCH(bool, level);
        QFETCH(double, input);
        QTEST(level ? ConversionHelper::linearAmplifierForLevel(input) : ConversionHelper::linearizeValue(int(input)),
              "expected");
        // The corrections shrink from row to row: the corrected count never falls as the raw rises.
        for (int r = 3001; r <= 6000; ++r)
            QVERIFY2(ConversionHelper::linearizeValue(r) > ConversionHelper::linearizeValue(r - 1), qPrintable(QString::number(r)));
    }

    void countingRules_data()
    {
        QTest::addColumn<int>("maxQuantity");
        QTest::addColumn<QString>("hits"); // h: at or above the level, b: below, r: retire
        QTest::addColumn<int>("index");
        QTest::newRow("five retired from a saturated pixel") << 10 << QString(15, 'h') + "rrrrr" << 5;
        QTest::newRow("below saturates") << 10 << QString(15, 'b') << 110;
        QTest::newRow("below then above jumps to the maximum") << 30 << "bbh" << 30;
        QTest::newRow("above then below restarts at 101") << 10 << "hhb" << 101;
        QTest::newRow("retiring 101 empties") << 10 << "br" << 0;
        QTest::newRow("retiring an empty pixel") << 10 << "r" << 0;
        QTest::newRow("100 hits at maximum 100") << 100 << QString(120, 'h') << 100;
    }
    void countingRules()
    {
        QFETCH(int, maxQuantity);
        QFETCH(QString, hits);
        QFETCH(int, index);
        PersistenceImage image;
        image.setMaxQuantity(maxQuantity);
        for (QChar hit : hits) {
            if (hit == 'h')
                image.hit(7, 9);
            else if (hit == 'b')
                image.belowLevelHit(7, 9);
            else
                image.retire(7, 9);
        }
        QCOMPARE(image.pixelIndex(7, 9), index);
        QCOMPARE(image.quantity(7, 9), index > 100 ? index - 100 : index);
    }

    void blocksExtendRightAndUpAndStayInside()
    {
        PersistenceImage image;
        image.setBlockSize(3);
        image.hit(498, 10);
        for (int x = 496; x <= 500; ++x)
            for (int y = 6; y <= 12; ++y)
                QCOMPARE(image.pixelIndex(x, y), (x >= 498 && y >= 8 && y <= 10) ? 1 : 0);
        image.hit(499, 1); // reaches past the right and top edges
        QCOMPARE(image.pixelIndex(500, 0), 1);
    }

    void colourTable_data()
    {
        QTest::addColumn<int>("maxQuantity");
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("colour"); // invalid: left transparent
        QTest::newRow("empty stays transparent") << 10 << 0 << QColor();
        QTest::newRow("one hit is dark blue") << 10 << 1 << QColor(Qt::darkBlue);
        QTest::newRow("the middle is dark green") << 100 << 51 << QColor(Qt::darkGreen);
        QTest::newRow("the top nears dark red") << 100 << 100 << QColor(125, 2, 0);
        QTest::newRow("above the maximum unset") << 10 << 11 << QColor();
        QTest::newRow("one below-level hit is gray") << 10 << 101 << QColor(Qt::gray);
        QTest::newRow("below-level top nears dark gray") << 10 << 110 << QColor(131, 131, 131);
        QTest::newRow("below-level above the maximum unset") << 10 << 111 << QColor();
    }
    void colourTable()
    {
        QFETCH(int, maxQuantity);
        QFETCH(int, index);
        QFETCH(QColor, colour);
        QImage image = PersistenceImage::createImage();
        PersistenceImage::applyColourTable(&image, maxQuantity);
        QCOMPARE(image.color(index), colour.isValid() ? colour.rgba() : qRgba(0, 0, 0, 0));
    }

    void rasterIsPaintedBetweenItemsAndMarkers()
    {
        ImagePlot plot;
        plot.resize(400, 300);
        plot.setAxisScale(QwtPlot::xBottom, 0, 20);
        plot.setAxisScale(QwtPlot::yLeft, 0, 100);
        auto* curve = new QwtPlotCurve();
        curve->setPen(Qt::blue, 5);
        curve->setSamples(QVector<QPointF>{{0, 30}, {20, 30}});
        curve->attach(&plot);
        auto* marker = new QwtPlotMarker();
        marker->setLineStyle(QwtPlotMarker::HLine);
        marker->setLinePen(Qt::magenta, 5);
        marker->setYValue(40);
        marker->attach(&plot);
        QImage raster = PersistenceImage::createImage();
        raster.setColor(1, qRgb(255, 0, 0));
        raster.fill(1);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        const auto colours = [&plot] { // at 30 (curve), 40 (marker) and 60 %
            plot.replot();
            const QImage shot = plot.canvas()->grab().toImage();
            QList<QColor> result;
            for (double y : {30, 40, 60})
                result << QColor(shot.pixel(int(plot.transform(QwtPlot::xBottom, 10)), int(plot.transform(QwtPlot::yLeft, y))));
            return result;
        };
        const QColor canvas = colours().at(2);
        QCOMPARE(colours(), (QList<QColor>{Qt::blue, Qt::magenta, canvas})); // no raster
        plot.setImage(&raster);
        plot.setImageArea(QRectF(QPointF(0, 50), QPointF(20, 0))); // the lower half
        QCOMPARE(colours(), (QList<QColor>{Qt::red, Qt::magenta, canvas}));
    }

    void colourScaleWithoutPlotAndLongBar()
    {
        QuantityColorScale scale;
        scale.resize(scale.width(), 400);
        QVERIFY(!scale.grab().isNull()); // no plot given yet
        QwtPlot plot;
        plot.resize(300, 460);
        scale.setPlot(&plot);
        scale.setColors(Qt::blue, Qt::green, Qt::red);
        const QImage shot = scale.grab().toImage();
        QVERIFY(scale.barLength(20) > 300);
        QCOMPARE(QColor(shot.pixel(4, 320)), QColor(Qt::blue)); // past the 255-pixel ramp
        QVERIFY(qRed(shot.pixel(4, 30)) > 150 && qBlue(shot.pixel(4, 30)) < 50);
    }
};

CORVANE_TEST_MAIN(TestPlotting)
#include "tst_plotting.moc"
