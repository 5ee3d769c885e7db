#include "plot/AutodetectionTraces.h"
#include "plot/OverridingPlotData.h"

#include <QtTest>

#include <cmath>
#include <functional>

using T = AutodetectionTraces;

// The autodetection's arithmetic on synthetic sweeps.
class TestAutodetectionTraces : public QObject {
    Q_OBJECT

private:
    // Both phases of one sweep each, giving delta = f(slot).
    static void makeDelta(T& traces, const std::function<double(int)>& f)
    {
        for (int i = 0; i < T::SLOT_COUNT; ++i) {
            traces.addStep(T::PHASE_HIGH, 0.0, f(i));
            traces.addStep(T::PHASE_LOW, 0.0, 0.0);
        }
        traces.finishPhase(T::PHASE_HIGH, 1);
        traces.finishPhase(T::PHASE_LOW, 1);
        traces.computeDifferences();
    }
    static double y(const T& traces, T::Trace trace, int slot) { return traces.trace(trace).getSample(slot).y(); }

private slots:
    void meansOverSweeps_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<double>("average");
        QTest::addColumn<double>("peak");
        QTest::newRow("long gate keeps the highest peak") << int(T::PHASE_HIGH) << 20.0 << 80.0;
        QTest::newRow("short gate keeps the lowest peak") << int(T::PHASE_LOW) << 20.0 << 50.0;
    }
    void meansOverSweeps()
    {
        QFETCH(int, phase);
        QFETCH(double, average);
        QFETCH(double, peak);
        T traces;
        const double averages[] = {10, 20, 30};
        const double peaks[] = {50, 80, 60};
        for (int sweep = 0; sweep < 3; ++sweep) {
            for (int i = 0; i < T::SLOT_COUNT; ++i)
                QCOMPARE(traces.addStep(T::Phase(phase), i == 7 ? averages[sweep] : 1, i == 7 ? peaks[sweep] : 1), i);
        }
        traces.finishPhase(T::Phase(phase), 3);
        const bool high = phase == T::PHASE_HIGH;
        QCOMPARE(y(traces, high ? T::HIGH_AVG : T::LOW_AVG, 7), average);
        QCOMPARE(y(traces, high ? T::HIGH_MAX : T::LOW_MAX, 7), peak);
        QCOMPARE(traces.trace(high ? T::HIGH_AVG : T::LOW_AVG).getSample(500).x(), 1000.0);
        // The step of a block: masked 14-bit words, integer mean.
        const quint32 avg[] = {0xFFFF0000u | 10, 13, 0xC000u | 11};
        const quint32 max[] = {0xFFFFC000u | 70, 90, 20};
        double a = 0, m = 0;
        T::reduceStep(avg, max, 3, &a, &m);
        QCOMPARE(a, 11.0);
        QCOMPARE(m, 90.0);
    }

    void gradingFilter_data()
    {
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("slot");
        QTest::addColumn<double>("expected");
        QTest::newRow("off") << 1 << 123 << 123.0;
        QTest::newRow("first run of 5") << 5 << 4 << 2.0;
        QTest::newRow("last full run of 5") << 5 << 499 << 497.0;
        QTest::newRow("last point alone") << 5 << 500 << 500.0;
        QTest::newRow("shorter last run") << 7 << 498 << 498.5;
        QTest::newRow("100") << 100 << 99 << 49.5;
    }
    void gradingFilter()
    {
        QFETCH(int, g);
        QFETCH(int, slot);
        QFETCH(double, expected);
        T traces;
        makeDelta(traces, [](int i) { return double(i); });
        traces.applyGradingFilter(g);
        QCOMPARE(traces.trace(T::Y).count(), T::SLOT_COUNT);
        QCOMPARE(y(traces, T::Y, slot), expected);
    }

    void amplifierCorrection_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("factor");
        QTest::addColumn<int>("slot");
        QTest::addColumn<double>("expected");
        QTest::newRow("off") << false << 5 << 500 << 0.0;
        QTest::newRow("G at 150 MHz") << true << 1 << 0 << 1.0;
        QTest::newRow("10 G at 150 MHz") << true << 10 << 0 << 10.0;
        QTest::newRow("about 7.73 G at 1000 MHz") << true << 2 << 500 << 2 * 6.0 * 1e6 / 776413.6888583523;
    }
    void amplifierCorrection()
    {
        QFETCH(bool, enabled);
        QFETCH(int, factor);
        QFETCH(int, slot);
        QFETCH(double, expected);
        T traces;
        makeDelta(traces, [](int) { return 0.0; });
        traces.applyGradingFilter(1);
        traces.applyAmplifierCorrection(enabled, factor);
        QVERIFY(qAbs(y(traces, T::Z, slot) - expected) < 1e-9);
    }

    void blocksAndThresholds_data()
    {
        QTest::addColumn<QVector<int>>("peaks"); // pairs of (slot, z)
        QTest::addColumn<QVector<int>>("thresholds");
        QTest::addColumn<QVector<double>>("found"); // frequency per block, 0 for none
        QTest::newRow("one per block, at the edges") << QVector<int> {124, 30, 125, 40, 374, 50, 500, 60}
                                                     << QVector<int> {0, 0, 0, 0}
                                                     << QVector<double> {360.8, 362.5, 785.8, 1000};
        QTest::newRow("at the threshold is nothing")
            << QVector<int> {29, 30, 264, 31} << QVector<int> {30, 0, 30, 0} << QVector<double> {0, 0, 598.8, 0};
        QTest::newRow("a tie keeps the lower frequency")
            << QVector<int> {430, 70, 400, 70} << QVector<int> {0, 0, 0, 0} << QVector<double> {0, 0, 0, 830};
    }
    void blocksAndThresholds()
    {
        QFETCH(QVector<int>, peaks);
        QFETCH(QVector<int>, thresholds);
        QFETCH(QVector<double>, found);
        T traces;
        makeDelta(traces, [&](int i) {
            const int k = peaks.indexOf(i);
            return k >= 0 && k % 2 == 0 ? double(peaks.at(k + 1)) : 0.0;
        });
        traces.applyGradingFilter(1);
        traces.applyAmplifierCorrection(false, 1);
        const QVector<QPointF> results = traces.findResults(thresholds.constData());
        for (int b = 0; b < T::BLOCK_COUNT; ++b)
            QVERIFY2(qAbs(results.at(b).x() - found.at(b)) < 0.01, qPrintable(QString::number(results.at(b).x())));
    }
};

QTEST_MAIN(TestAutodetectionTraces)
#include "tst_autodetectiontraces.moc"
