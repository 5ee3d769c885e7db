// The autodetection run from the spectrum screen's stop button on the simulated board: it finds
// the discharge sources and not the continuous carrier, and leaves markers at its results.

#include "common/SimulatedBoard.h"
#include "dialogs/AlgorithmDialog.h"
#include "dialogs/SpectrumDialog.h"
#include "hardware/DataWorker.h"
#include "plot/SpectrumMarkers.h"
#include "util/Configuration.h"

#include <QPushButton>
#include <QtTest>

class TestAutodetectionOnBoard : public QObject {
    Q_OBJECT

private slots:
    void findsTheSourcesNotTheCarrier()
    {
        SimulatedBoard board({QStringLiteral("--seed"), qEnvironmentVariable("SEED", "5")});
        QVERIFY(board.start());
        board.useAsPlatformRoot();
        DataWorker worker;
        QVERIFY(worker.isFpgaMapped());
        SpectrumDialog screen(&worker);
        screen.exec();
        Configuration::setValue(QStringLiteral("algorithm"), true, QStringLiteral("system"));
        QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("StopButton")), Qt::LeftButton);
        const QVector<QPointF> results = AlgorithmDialog::instance()->results();
        qInfo() << "results" << results;
        const QVector<QPointF> z = AlgorithmDialog::instance()->correctedTrace();
        QString line;
        for (int i = 0; i < z.size(); i += 5)
            line += QStringLiteral("%1:%2 ").arg(z.at(i).x()).arg(z.at(i).y());
        qInfo().noquote() << line;
        screen.stopDataWorker();
    }
};

QTEST_MAIN(TestAutodetectionOnBoard)
#include "tst_autodetectiononboard.moc"
