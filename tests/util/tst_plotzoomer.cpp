#include "util/PlotZoomer.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void drag(QWidget* canvas, const QPoint& from, const QPoint& to, int holdMs)
{
    sendMouse(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton);
    if (holdMs > 0)
        QTest::qWait(holdMs);
    sendMouse(canvas, QEvent::MouseMove, to, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

} // namespace

class TestPlotZoomer : public QObject {
    Q_OBJECT

private slots:
    void setUp()
    {
        QwtPlot plot;
        PlotZoomer zoomer(&plot);
        QCOMPARE(zoomer.xAxis(), int(QwtPlot::xBottom));
        QCOMPARE(zoomer.yAxis(), int(QwtPlot::yLeft));
        QCOMPARE(zoomer.rubberBand(), QwtPicker::RectRubberBand);
        QCOMPARE(zoomer.trackerMode(), QwtPicker::AlwaysOff);
        QCOMPARE(zoomer.rubberBandPen().color(), QColor(Qt::red));
        QCOMPARE(zoomer.rubberBandPen().width(), 3);
        QCOMPARE(zoomer.rubberBandPen().style(), Qt::SolidLine);
        QCOMPARE(plot.focusPolicy(), Qt::NoFocus);
        QCOMPARE(plot.canvas()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(zoomer.canvas(), plot.canvas());
    }

    void reportsRectangleAndPressDuration()
    {
        QwtPlot plot;
        plot.resize(600, 400);
        plot.setAxisScale(QwtPlot::xBottom, 0.0, 100.0);
        plot.setAxisScale(QwtPlot::yLeft, -100.0, 0.0);
        PlotZoomer zoomer(&plot);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.replot();

        QSignalSpy spy(&zoomer, SIGNAL(selected(QPolygon, qint64)));
        QWidget* canvas = plot.canvas();

        // A slow drag: the duration covers the time the finger was down.
        drag(canvas, QPoint(20, 30), QPoint(120, 90), 250);
        QCOMPARE(spy.count(), 1);
        const QPolygon polygon = spy.at(0).at(0).value<QPolygon>();
        QVERIFY(polygon.size() >= 2);
        QCOMPARE(polygon.first(), QPoint(20, 30));
        QCOMPARE(polygon.last(), QPoint(120, 90));
        QVERIFY(spy.at(0).at(1).toLongLong() >= 250);

        // A quick tap after a long pause counts from its own press, not from the last pick.
        QTest::qWait(300);
        drag(canvas, QPoint(40, 40), QPoint(42, 41), 0);
        QCOMPARE(spy.count(), 2);
        QVERIFY2(spy.at(1).at(1).toLongLong() < 200, qPrintable(QString::number(spy.at(1).at(1).toLongLong())));

        // The picked rectangle maps to plot coordinates inside the axis ranges.
        const QRectF whole = zoomer.invTransform(canvas->contentsRect());
        QVERIFY(qAbs(whole.left() - 0.0) < 3.0);
        QVERIFY(qAbs(whole.right() - 100.0) < 3.0);
        QVERIFY(qAbs(qMax(whole.top(), whole.bottom()) - 0.0) < 3.0);
        QVERIFY(qAbs(qMin(whole.top(), whole.bottom()) + 100.0) < 3.0);
        const QPointF corner = zoomer.invTransform(canvas->contentsRect().topLeft());
        QVERIFY(qAbs(corner.x()) < 3.0);
        QVERIFY(qAbs(corner.y()) < 3.0);
    }
};

QTEST_MAIN(TestPlotZoomer)
#include "tst_plotzoomer.moc"
