#include "plot/CustomScaleDraw.h"

#include <QtTest>

#include <qwt_plot.h>
#include <qwt_scale_div.h>
#include <qwt_scale_engine.h>
#include <qwt_scale_widget.h>

namespace {

// Exposes the cached label lookup that the axis widget uses when it paints.
struct CachedScaleDraw : CustomScaleDraw {
    using CustomScaleDraw::CustomScaleDraw;
    using CustomScaleDraw::tickLabel;
};

} // namespace

class TestCustomScaleDraw : public QObject {
    Q_OBJECT

private slots:
    void unitAtTheTopMajorTickOnly()
    {
        CustomScaleDraw draw(QStringLiteral("P/dBm"));
        QwtLinearScaleEngine engine;
        draw.setScaleDiv(engine.divideScale(-90.0, -30.0, 5, 5, 10.0));
        const QList<double> ticks = draw.scaleDiv().ticks(QwtScaleDiv::MajorTick);
        QCOMPARE(ticks.last(), -30.0);
        QCOMPARE(draw.label(-30.0).text(), QStringLiteral("P/dBm"));
        QCOMPARE(draw.label(-40.0).text(), QStringLiteral("-40"));
        QCOMPARE(draw.label(-90.0).text(), QStringLiteral("-90"));
    }

    void unitChangeReplacesTheCachedLabel()
    {
        CachedScaleDraw draw(QStringLiteral("U/µV"));
        QwtLinearScaleEngine engine;
        draw.setScaleDiv(engine.divideScale(0.0, 400.0, 5, 5, 100.0));
        QCOMPARE(draw.tickLabel(QFont(), 400.0).text(), QStringLiteral("U/µV"));
        draw.setUnit(QStringLiteral("P/dBm"));
        QCOMPARE(draw.unit(), QStringLiteral("P/dBm"));
        QCOMPARE(draw.tickLabel(QFont(), 400.0).text(), QStringLiteral("P/dBm"));
    }

    void unitFollowsTheScaleOfAPlot()
    {
        QwtPlot plot;
        plot.resize(400, 300);
        plot.setAxisScaleDraw(QwtPlot::xBottom, new CustomScaleDraw(QStringLiteral("f/MHz")));
        plot.setAxisScale(QwtPlot::xBottom, 150.0, 1000.0, 100.0);
        plot.updateAxes();
        const QwtScaleDraw* draw = plot.axisScaleDraw(QwtPlot::xBottom);
        const QList<double> ticks = draw->scaleDiv().ticks(QwtScaleDiv::MajorTick);
        QVERIFY(ticks.size() > 2);
        QCOMPARE(draw->label(ticks.last()).text(), QStringLiteral("f/MHz"));
        for (int i = 0; i < ticks.size() - 1; ++i)
            QCOMPARE(draw->label(ticks.at(i)).text(), QString::number(ticks.at(i)));
        // An empty division (no ticks yet) falls back to numbers.
        CustomScaleDraw fresh(QStringLiteral("x"));
        QCOMPARE(fresh.label(0.0).text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestCustomScaleDraw)
#include "tst_customscaledraw.moc"
