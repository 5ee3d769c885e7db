#include "plot/WidePenPlotCurve.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <qwt_scale_map.h>

// The wide pen drawn as one-pixel lines side by side: a line of width 3 covers the pixel rows
// (or columns) on both sides of its centre, in every direction, and no more.
class TestWidePenPlotCurve : public QObject
{
    Q_OBJECT

private:
    static QImage draw(const QVector<QPointF>& points, double width)
    {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        WidePenPlotCurve curve;
        curve.setPen(Qt::black, width, Qt::SolidLine);
        curve.setSamples(points);
        QwtScaleMap xMap;
        QwtScaleMap yMap;
        xMap.setPaintInterval(0, 100);
        xMap.setScaleInterval(0, 100);
        yMap.setPaintInterval(0, 100);
        yMap.setScaleInterval(0, 100);
        QPainter painter(&image);
        curve.draw(&painter, xMap, yMap, QRectF(0, 0, 100, 100));
        return image;
    }
    static bool dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

private slots:
    void horizontalAndVerticalLinesAreWidened()
    {
        const QImage image = draw({{10, 50}, {90, 50}, {90, 10}}, 3);
        for (int y : {49, 50, 51})
            QVERIFY(dark(image, 50, y));
        QVERIFY(!dark(image, 50, 48));
        QVERIFY(!dark(image, 50, 52));
        for (int x : {89, 90, 91})
            QVERIFY(dark(image, x, 30));
        QVERIFY(!dark(image, 87, 30));
        QVERIFY(!dark(image, 93, 30));
    }

    void widthTwoAndOne()
    {
        const QImage two = draw({{10, 50}, {90, 50}}, 2);
        QVERIFY(dark(two, 50, 50));
        QVERIFY(dark(two, 50, 51));
        QVERIFY(!dark(two, 50, 49));
        const QImage one = draw({{10, 50}, {90, 50}}, 1);
        QVERIFY(dark(one, 50, 50));
        QVERIFY(!dark(one, 50, 51));
        QVERIFY(!dark(one, 50, 49));
    }

    void pointsFarOutsideDoNotBreakTheLine()
    {
        const QImage image = draw({{10, 50}, {50, 50}, {60, 1e12}, {70, qQNaN()}, {90, 50}}, 3);
        QVERIFY(dark(image, 30, 50));
    }
};

QTEST_MAIN(TestWidePenPlotCurve)
#include "tst_widepenplotcurve.moc"
