#include "plot/SpectrumZoom.h"

#include <QtTest>

// The spectrum plot's gestures: what counts as a tap, and where a drag zooms to.
class TestSpectrumZoom : public QObject {
    Q_OBJECT

private slots:
    void gestures_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<int>("firstX");
        QTest::addColumn<int>("lastX");
        QTest::addColumn<int>("gesture");
        QTest::addColumn<QString>("zoomed"); // freqMin freqMax ampMin ampMax, for a zoom in
        const SpectrumRange full = SpectrumZoom::limits();
        QCOMPARE(full, SpectrumRange({150, 1000, -100, 20}));
        QTest::newRow("narrow is a tap") << QRectF(433.2, -80, 8, 30) << 10 << 20 << int(SpectrumZoom::GESTURE_TAP) << "";
        QTest::newRow("flat is a tap") << QRectF(300, -80, 200, 1) << 10 << 200 << int(SpectrumZoom::GESTURE_TAP) << "";
        QTest::newRow("leftwards zooms out") << QRectF(300, -80, 200, 30) << 200 << 10 << int(SpectrumZoom::GESTURE_ZOOM_OUT) << "";
        QTest::newRow("rounded outwards") << QRectF(123, -77.5, 254, 20.4) << 10 << 200
                                         << int(SpectrumZoom::GESTURE_ZOOM_IN) << "150 400 -80 -50";
        QTest::newRow("inside the limits") << QRectF(420, -115, 590, 140) << 10 << 200
                                          << int(SpectrumZoom::GESTURE_ZOOM_IN) << "400 1000 -100 20";
        QTest::newRow("on the grid stays") << QRectF(500, -60, 100, 20) << 10 << 200
                                          << int(SpectrumZoom::GESTURE_ZOOM_IN) << "500 600 -60 -40";
        QTest::newRow("within one step") << QRectF(980.2, 15.2, 9.5, 4) << 10 << 200
                                        << int(SpectrumZoom::GESTURE_ZOOM_IN) << "950 1000 10 20";
    }
    void gestures()
    {
        QFETCH(QRectF, rect);
        QFETCH(int, firstX);
        QFETCH(int, lastX);
        QFETCH(int, gesture);
        QFETCH(QString, zoomed);
        const SpectrumRange full = SpectrumZoom::limits();
        QCOMPARE(int(SpectrumZoom::classify(rect, firstX, lastX, full)), gesture);
        if (gesture == SpectrumZoom::GESTURE_TAP)
            QCOMPARE(SpectrumZoom::tapFrequency(rect, full), int(rect.center().x()));
        if (gesture != SpectrumZoom::GESTURE_ZOOM_IN)
            return;
        const SpectrumRange range = SpectrumZoom::zoomedIn(rect, full);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(range.freqMin).arg(range.freqMax).arg(range.ampMin).arg(range.ampMax),
            zoomed);
    }

    void roundingIsRightForNegativeValues()
    {
        QCOMPARE(SpectrumZoom::floorTo(-77, 10), -80);
        QCOMPARE(SpectrumZoom::ceilTo(-77, 10), -70);
        QCOMPARE(SpectrumZoom::floorTo(-80, 10), -80);
        QCOMPARE(SpectrumZoom::ceilTo(123, 50), 150);
        QCOMPARE(SpectrumZoom::tapFrequency(QRectF(10, 0, 1, 1), SpectrumZoom::limits()), 150);
    }
};

QTEST_MAIN(TestSpectrumZoom)
#include "tst_spectrumzoom.moc"
