#include "plot/OverridingPlotData.h"

#include <QtTest>

#include <qwt_plot_curve.h>

class TestOverridingPlotData : public QObject {
    Q_OBJECT

private slots:
    void newSeriesIsEmpty()
    {
        OverridingPlotData data(501);
        QCOMPARE(data.count(), 0);
        QCOMPARE(data.getIndex(), 0);
        QVERIFY(!data.isDataCompleted());
        QCOMPARE(data.getSampleAtFrequency(300), QPointF(0, 0));
        QCOMPARE(data.getSample(0), QPointF(0, 0));
        QCOMPARE(data.size(), size_t(0));
        QVERIFY(data.parent() == nullptr);
    }

    void fillsWrapsAndCompletes()
    {
        OverridingPlotData data(501);
        for (int i = 0; i < 500; ++i)
            QCOMPARE(data.addSample(0.0, 500.0, double(i)), i);
        QCOMPARE(data.count(), 500);
        QCOMPARE(data.getIndex(), 500);
        QVERIFY(!data.isDataCompleted());

        QCOMPARE(data.addSample(0.0, 500.0, 500.0), 500);
        QCOMPARE(data.count(), 501);
        QCOMPARE(data.getIndex(), 0);
        QVERIFY(data.isDataCompleted());

        // The next sweep overwrites slot by slot without growing.
        QCOMPARE(data.addSample(0.0, 500.0, -1.0), 0);
        QCOMPARE(data.count(), 501);
        QCOMPARE(data.getIndex(), 1);
        QVERIFY(!data.isDataCompleted());
        QCOMPARE(data.getSample(0), QPointF(0.0, -1.0));
        QCOMPARE(data.getSample(1), QPointF(1.0, 1.0));
    }

    void slotPositionFollowsTheSweepRange()
    {
        OverridingPlotData data(501);
        for (int i = 0; i < 250; ++i)
            data.addSample(100.0, 200.0, 0.0);
        QCOMPARE(data.getIndex(), 250);
        QCOMPARE(data.addSample(100.0, 200.0, -42.5), 250);
        QCOMPARE(data.getSample(250), QPointF(150.0, -42.5));
        QCOMPARE(data.getSample(0).x(), 100.0);
        for (int i = 251; i < 501; ++i)
            data.addSample(100.0, 200.0, 0.0);
        QCOMPARE(data.getSample(500).x(), 200.0);
    }

    void pointAdditionOverwritesAtIndexAfterWrap()
    {
        OverridingPlotData data(3);
        QCOMPARE(data.addSample(QPointF(1, 10)), 0);
        QCOMPARE(data.addSample(QPointF(2, 20)), 1);
        QCOMPARE(data.addSample(QPointF(3, 30)), 2);
        QVERIFY(data.isDataCompleted());
        QCOMPARE(data.addSample(QPointF(1, 11)), 0);
        QCOMPARE(data.addSample(QPointF(2, 21)), 1);
        QCOMPARE(*data.getConstData(), (QVector<QPointF> { { 1, 11 }, { 2, 21 }, { 3, 30 } }));
    }

    void clearStartsAgain()
    {
        OverridingPlotData data(3);
        for (int i = 0; i < 4; ++i)
            data.addSample(0.0, 10.0, i);
        data.clear();
        QCOMPARE(data.count(), 0);
        QCOMPARE(data.getIndex(), 0);
        QVERIFY(!data.isDataCompleted());
        QCOMPARE(data.addSample(0.0, 10.0, 7.0), 0);
        QCOMPARE(data.getSample(0), QPointF(0.0, 7.0));
    }

    void singleSlotSeriesStaysFinite()
    {
        OverridingPlotData data(1);
        QCOMPARE(data.addSample(5.0, 5.0, 1.0), 0);
        QCOMPARE(data.getSample(0), QPointF(5.0, 1.0));
        QVERIFY(data.isDataCompleted());
        QCOMPARE(data.addSample(5.0, 5.0, 2.0), 0);
        QCOMPARE(data.count(), 1);

        // A nonsensical slot count behaves like one slot rather than dividing by zero.
        OverridingPlotData broken(0);
        QCOMPARE(broken.addSample(1.0, 2.0, 3.0), 0);
        QCOMPARE(broken.getSample(0), QPointF(1.0, 3.0));
        QCOMPARE(broken.count(), 1);
    }

    void setSampleIgnoresIndicesWithoutPoint()
    {
        OverridingPlotData data(3);
        data.addSample(QPointF(1, 1));
        data.addSample(QPointF(2, 2));
        data.addSample(QPointF(3, 3));
        data.setSample(1, QPointF(2, 5));
        QCOMPARE(data.getSample(1), QPointF(2, 5));
        data.setSample(3, QPointF(9, 9));
        data.setSample(-1, QPointF(9, 9));
        QCOMPARE(data.count(), 3);
        QCOMPARE(*data.getConstData(), (QVector<QPointF> { { 1, 1 }, { 2, 5 }, { 3, 3 } }));

        OverridingPlotData partial(5);
        partial.addSample(QPointF(1, 1));
        partial.setSample(2, QPointF(9, 9));
        QCOMPARE(partial.count(), 1);
    }

    void sampleAtFrequency()
    {
        OverridingPlotData data(5);
        for (int i = 0; i < 5; ++i)
            data.addSample(100.0, 200.0, double(i)); // x = 100, 125, 150, 175, 200
        QCOMPARE(data.getSampleAtFrequency(150), QPointF(125, 1)); // equal x: the previous slot
        QCOMPARE(data.getSampleAtFrequency(151), QPointF(150, 2));
        QCOMPARE(data.getSampleAtFrequency(100), QPointF(100, 0)); // slot 0 is not below
        QCOMPARE(data.getSampleAtFrequency(50), QPointF(100, 0));
        QCOMPARE(data.getSampleAtFrequency(201), QPointF(200, 4)); // every x below: the last
        QCOMPARE(data.getSampleAtFrequency(200), QPointF(175, 3));
    }

    void invokableThroughMetaObject()
    {
        OverridingPlotData data(4);
        int slot = -1;
        QVERIFY(QMetaObject::invokeMethod(
            &data, "addSample", Q_RETURN_ARG(int, slot), Q_ARG(double, 0.0), Q_ARG(double, 3.0), Q_ARG(double, 8.0)));
        QCOMPARE(slot, 0);
        int count = 0;
        QVERIFY(QMetaObject::invokeMethod(&data, "count", Q_RETURN_ARG(int, count)));
        QCOMPARE(count, 1);
    }

    void feedsAPlotCurve()
    {
        OverridingPlotData data(11);
        for (int i = 0; i < 11; ++i)
            data.addSample(0.0, 10.0, double(i * i));
        QwtPlotCurve curve;
        curve.setSamples(*data.getData());
        QCOMPARE(curve.dataSize(), size_t(11));
        QCOMPARE(curve.sample(10), QPointF(10, 100));
        QCOMPARE(data.boundingRect(), QRectF(0, 0, 10, 100));
        QCOMPARE(data.sample(3), QPointF(3, 9));
    }
};

QTEST_APPLESS_MAIN(TestOverridingPlotData)
#include "tst_overridingplotdata.moc"
