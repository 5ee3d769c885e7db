// The autodetection dialog fed with synthetic sweeps as the worker would report them.

#include "DialogDriver.h"
#include "common/TestRoot.h"
#include "dialogs/AlgorithmDialog.h"
#include "util/Configuration.h"

#include <QDir>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <vector>

using namespace DialogDriver;

class TestAlgorithmDialog : public QObject {
    Q_OBJECT

private:
    // One sweep: every step peaks at `base`, the step at slot 100 (320 MHz) at `peak`.
    static void sweep(AlgorithmDialog* dialog, quint32 peak, quint32 base)
    {
        const std::vector<quint32> avg(50, 50), low(50, base), high(50, peak);
        for (int i = 0; i < 501; ++i)
            dialog->onMeasurementFinished(150000 + 1700 * i, nullptr, avg.data(), (i == 100 ? high : low).data(), 50, nullptr);
    }

private slots:
    void runStepsProgressAndRecord_data()
    {
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::newRow("one sweep each") << 1 << 1;
        QTest::newRow("three and two") << 3 << 2;
    }
    void runStepsProgressAndRecord()
    {
        QFETCH(int, high);
        QFETCH(int, low);
        TestRoot root;
        QVERIFY(root.installMount());
        for (auto v : {std::make_pair(Configuration::VT_CycleCountHigh, high), {Configuration::VT_CycleCountLow, low},
                 {Configuration::VT_GradingFilter, 1}, {Configuration::VT_Threshold1, 100}})
            Configuration::setValue(v.first, v.second, AlgorithmDialog::NAME);
        AlgorithmDialog* dialog = AlgorithmDialog::instance();
        auto* progress = dialog->findChild<QProgressBar*>();
        QList<int> seen;
        QTimer feeder;
        int fed = 0;
        connect(&feeder, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->done(0); // "Data saved in folder:"
            if (dialog->step() == AlgorithmDialog::STEP_HIGH_SWEEPS && fed < high) {
                seen << progress->value();
                sweep(dialog, 900 - 100 * fed++, 100);
            } else if (dialog->step() == AlgorithmDialog::STEP_LOW_SWEEPS && fed < high + low) {
                seen << progress->value();
                sweep(dialog, 100 + fed++, 100);
            }
        });
        feeder.start(20);
        QCOMPARE(dialog->exec(nullptr, QStringLiteral("Autodetect algorithm")), 1);
        // One count per sweep but the last of each phase, one per following step.
        QCOMPARE(progress->maximum(), high + low + 3);
        QCOMPARE(progress->value(), progress->maximum());
        QCOMPARE(seen.first(), 0);
        QCOMPARE(seen.at(high), high); // the first low sweep
        const QVector<QPointF> results = dialog->results();
        QCOMPARE(results.at(0), QPointF(320, (900 - 50) - (100 + high - 50))); // highest and lowest peak
        QVERIFY(results.at(1).isNull() && results.at(2).isNull() && results.at(3).isNull());

        const QStringList files = QDir(root.path("/data/corvane_data")).entryList({"algorithm_*.xml"});
        QCOMPARE(files.size(), 1);
        QDomDocument document;
        QVERIFY(document.setContent(root.readFile("/data/corvane_data/" + files.first())));
        QStringList body;
        for (QDomElement e = document.documentElement().firstChildElement("minFrequency"); !e.isNull();
             e = e.nextSiblingElement()) {
            QString text = e.firstChildElement().isNull() ? e.text().section(' ', 0, 0) : QString();
            for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
                text += c.tagName() + ":" + QString::number(c.text().split(' ').size()) + " ";
            body << e.tagName() + "=" + text;
        }
        QCOMPARE(body, QStringList({"minFrequency=150", "maxFrequency=1000", QStringLiteral("cycleCountHigh=%1").arg(high),
                           QStringLiteral("cycleCountLow=%1").arg(low), "gatingTimeHigh=20", "gatingTimeLow=1",
                           "gradingFilter=1", "amplifier=0", "amplifierFactorG=1", "threshold1=100", "threshold2=0",
                           "threshold3=0", "threshold4=0", "nsamples=501", "high=max:501 avg:501 diff:501 ",
                           "low=max:501 avg:501 diff:501 ", "delta=0", "y=0", "z=0"}));
    }

    void exitWritesNoRecord()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        AlgorithmDialog* dialog = AlgorithmDialog::instance();
        whenShown(dialog, [dialog] {
            sweep(dialog, 900, 100);
            tap(dialog->findChild<QPushButton*>("pushButtonExit"));
        });
        QCOMPARE(dialog->exec(nullptr, QStringLiteral("Autodetect algorithm")), 0);
        QCOMPARE(dialog->step(), int(AlgorithmDialog::STEP_HIGH_SWEEPS));
        QVERIFY(!root.exists("/data/corvane_data"));
        QVERIFY(dialog->results().at(0).isNull());
    }
};

QTEST_MAIN(TestAlgorithmDialog)
#include "tst_algorithmdialog.moc"
