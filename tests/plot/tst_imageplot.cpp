#include "plot/ImagePlot.h"
#include "plot/PersistenceImage.h"
#include "plot/QuantityColorScale.h"

#include <QtTest>

#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>

// The persistence raster's counting rules and colours, and the two widgets that show it.
class TestImagePlot : public QObject
{
    Q_OBJECT

private slots:
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

QTEST_MAIN(TestImagePlot)
#include "tst_imageplot.moc"
