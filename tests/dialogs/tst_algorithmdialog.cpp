// The autodetection: the dialog fed with synthetic sweeps as the worker would report them, and the
// steps after the sweeps (grading filter, amplifier correction, blocks and thresholds).

#include "common/TestRoot.h"
#include "dialogs/AlgorithmDialog.h"
#include "plot/OverridingPlotData.h"
#include "util/Configuration.h"

#include <QDir>
#include <QMessageBox>
#include <QProgressBar>
#include <QtTest>

#include <functional>
#include <vector>

using T = AutodetectionTraces;

class TestAlgorithmDialog : public QObject {
    Q_OBJECT

private:
    // One sweep of each phase, giving delta = f(slot).
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
    // One sweep of words with tags in their upper bits: every step averages `average` and peaks
    // at 100, the step at slot 100 (320 MHz) at `peak`.
    static void sweep(AlgorithmDialog* dialog, quint32 average, quint32 peak)
    {
        const std::vector<quint32> avg(50, 0xABC00000u | average), low(50, 0xFFFFC000u | 100), high(50, peak);
        for (int i = 0; i < 501; ++i)
            dialog->onMeasurementFinished(
                150000 + 1700 * i, nullptr, avg.data(), (i == 100 ? high : low).data(), 50, nullptr);
    }

private slots:
    void runStepsProgressAndRecord()
    {
        const int high = 3, low = 2;
        TestRoot root;
        QVERIFY(root.installMount());
        for (auto v :
            { std::make_pair(Configuration::VT_CycleCountHigh, high), { Configuration::VT_CycleCountLow, low },
                { Configuration::VT_GradingFilter, 1 }, { Configuration::VT_Threshold1, 100 } })
            Configuration::setValue(v.first, v.second, AlgorithmDialog::NAME);
        AlgorithmDialog* dialog = AlgorithmDialog::instance();
        auto* progress = dialog->findChild<QProgressBar*>();
        QList<int> seen;
        QTimer feeder;
        int fed = 0;
        connect(&feeder, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->done(0); // "Data saved in folder:"
            const bool highGate = dialog->step() == AlgorithmDialog::STEP_HIGH_SWEEPS && fed < high;
            if (highGate || (dialog->step() == AlgorithmDialog::STEP_LOW_SWEEPS && fed < high + low)) {
                seen << progress->value();
                sweep(dialog, 40 + 20 * (highGate ? fed : fed - high), highGate ? 900 - 100 * fed : 100 + fed);
                ++fed;
            }
        });
        feeder.start(20);
        QCOMPARE(dialog->exec(nullptr, QStringLiteral("Autodetect algorithm")), 1);
        // One count per sweep but the last of each phase, one per following step.
        QCOMPARE(progress->maximum(), high + low + 3);
        QCOMPARE(progress->value(), progress->maximum());
        QCOMPARE(seen.at(high), high); // the first low sweep
        const QVector<QPointF> results = dialog->results();
        // Highest peak and mean average of the long gate against lowest peak and mean of the short.
        QCOMPARE(results.at(0), QPointF(320, (900 - (30 + 10 * high)) - (100 + high - (30 + 10 * low))));
        QVERIFY(results.at(1).isNull() && results.at(2).isNull() && results.at(3).isNull());

        const QStringList files = QDir(root.path("/data/corvane_data")).entryList({ "algorithm_*.xml" });
        QCOMPARE(files.size(), 1);
        // Its record: the parameters, then the traces.
        const QByteArray record = root.readFile("/data/corvane_data/" + files.first());
        QVERIFY(record.contains(QStringLiteral("<cycleCountLow>%1</cycleCountLow>").arg(low).toUtf8()));
        QVERIFY(record.indexOf("<nsamples>501</nsamples>") < record.indexOf("<high>"));
    }

    void smoothingAndCorrection_data()
    {
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("factor"); // 0: amplifier off
        QTest::addColumn<int>("slot");
        QTest::addColumn<double>("expected");
        QTest::newRow("first run of 5") << 5 << 0 << 4 << 2.0;
        QTest::newRow("last point alone") << 5 << 0 << 500 << 500.0;
        QTest::newRow("shorter last run") << 7 << 0 << 498 << 498.5;
        QTest::newRow("G at 150 MHz") << 1 << 1 << 0 << 1.0;
        QTest::newRow("about 7.73 G at 1000 MHz") << 1 << 2 << 500 << 500 + 2 * 6.0 * 1e6 / 776413.6888583523;
    }
    void smoothingAndCorrection()
    {
        QFETCH(int, g);
        QFETCH(int, factor);
        QFETCH(int, slot);
        QFETCH(double, expected);
        T traces;
        makeDelta(traces, [](int i) { return double(i); });
        traces.applyGradingFilter(g);
        traces.applyAmplifierCorrection(factor > 0, factor);
        QCOMPARE(traces.trace(T::Z).count(), T::SLOT_COUNT);
        QVERIFY(qAbs(traces.trace(T::Z).getSample(slot).y() - expected) < 1e-9);
    }

    void blocksAndThresholds_data()
    {
        QTest::addColumn<QVector<int>>("peaks"); // pairs of (slot, z)
        QTest::addColumn<QVector<int>>("thresholds");
        QTest::addColumn<QVector<double>>("found"); // frequency per block, 0 for none
        QTest::newRow("one per block, at the edges") << QVector<int> { 124, 30, 125, 40, 374, 50, 500,
            60 } << QVector<int> { 0, 0, 0, 0 } << QVector<double> { 360.8, 362.5, 785.8, 1000 };
        QTest::newRow("at the threshold is nothing")
            << QVector<int> { 29, 30, 264, 31 } << QVector<int> { 30, 0, 30, 0 } << QVector<double> { 0, 0, 598.8, 0 };
        QTest::newRow("a tie keeps the lower frequency")
            << QVector<int> { 430, 70, 400, 70 } << QVector<int> { 0, 0, 0, 0 } << QVector<double> { 0, 0, 0, 830 };
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

QTEST_MAIN(TestAlgorithmDialog)
#include "tst_algorithmdialog.moc"
