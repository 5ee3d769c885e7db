// The autodetection on the simulated board, from the spectrum screen's stop button: it finds the
// discharge sources (220, 600, 850 MHz) and not the continuous carrier (446.1 MHz), and leaves
// markers at what it found. Left early, it stores nothing and leaves the worker stopped.

#include "DialogDriver.h"
#include "common/SimulatedBoard.h"
#include "dialogs/AlgorithmDialog.h"
#include "dialogs/SpectrumDialog.h"
#include "hardware/DataWorker.h"
#include "plot/SpectrumMarkers.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <qwt_plot_curve.h>

using namespace DialogDriver;

class TestAutodetectionOnBoard : public QObject {
    Q_OBJECT

private slots:
    void findsTheSourcesNotTheCarrier()
    {
        SimulatedBoard board;
        QVERIFY(board.start());
        board.useAsPlatformRoot();
        DataWorker worker;
        SpectrumDialog screen(&worker);
        screen.exec();
        const auto records = [&board] { return QDir(board.path("/data/corvane_data")).entryList({"algorithm_*.xml"}); };
        AlgorithmDialog* dialog = AlgorithmDialog::instance();
        whenShown(dialog, [dialog] { QTimer::singleShot(300, dialog->findChild<QPushButton*>("pushButtonExit"), &QPushButton::click); });
        QCOMPARE(dialog->exec(&worker, QStringLiteral("Autodetect algorithm")), 0);
        QVERIFY(!worker.isRunning());
        QVERIFY(records().isEmpty());

        QTimer closer; // the record's notice
        connect(&closer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->done(0);
        });
        closer.start(50);
        Configuration::setValue(QStringLiteral("algorithm"), true, QStringLiteral("system"));
        QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("StopButton")), Qt::LeftButton);
        const QVector<QPointF> results = dialog->results();
        qInfo() << "found" << results;
        const double sources[] = {220, 0, 600, 850};
        for (int b : {0, 2, 3})
            QVERIFY2(qAbs(results.at(b).x() - sources[b]) < 40, qPrintable(QString::number(results.at(b).x())));
        for (const QPointF& result : results)
            QVERIFY(qAbs(result.x() - 446.1) > 20);
        QCOMPARE(int(screen.markers()->frequency(0)), int(results.at(0).x()));
        QCOMPARE(screen.markers()->active(), 3);
        QCOMPARE(int(screen.autodetectionCurve()->dataSize()), 501);
        QCOMPARE(records().size(), 1);
        QVERIFY(worker.isRunning()); // the spectrum measures again
        Configuration::setValue(QStringLiteral("algorithm"), false, QStringLiteral("system"));
        screen.stopDataWorker();
    }
};

QTEST_MAIN(TestAutodetectionOnBoard)
#include "tst_autodetectiononboard.moc"
