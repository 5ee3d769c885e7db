#include "MainWindow.h"
#include "common/TestRoot.h"
#include "hardware/DataWorker.h"

#include <QStackedWidget>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

// The main window on a board whose FPGA memories cannot be opened: the worker reports it on
// standard output, the main menu comes up, and a measurement started later shows no data.
class TestStartupNoFpga : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;
    QByteArray m_output;

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        // Only the sample memory is there; the register block is missing.
        QVERIFY(m_root->writeFile(QStringLiteral("/dev/bram0"), QByteArray(65536, '\0')));

        QTemporaryFile capture;
        QVERIFY(capture.open());
        fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        ::dup2(capture.handle(), STDOUT_FILENO);
        MainWindow::instance()->show();
        fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        capture.seek(0);
        m_output = capture.readAll();
        QVERIFY(QTest::qWaitForWindowExposed(MainWindow::instance()));
    }

    void cleanupTestCase()
    {
        QTest::ignoreMessage(QtDebugMsg, "closing");
        MainWindow::instance()->close();
        m_root.reset();
    }

    void reportsTheMissingDevice()
    {
        QVERIFY2(m_output.contains("Fehler bei open " + m_root->path(QStringLiteral("/dev/bram1")).toLocal8Bit() + "\n"),
                 m_output.constData());
        // The sample memory itself was mapped.
        QVERIFY(m_output.contains("mmap to "));
    }

    void reachesTheMainMenu()
    {
        MainWindow* window = MainWindow::instance();
        auto* stack = window->findChild<QStackedWidget*>(QStringLiteral("MainWidget"));
        QCOMPARE(stack->currentWidget(), window->findChild<QWidget*>(QStringLiteral("MainMenu")));
    }

    void measurementShowsNoData()
    {
        DataWorker* worker = MainWindow::dataWorker();
        QVERIFY(worker);
        QVERIFY(!worker->isFpgaMapped());
        int steps = 0;
        QObject::connect(
            worker, &DataWorker::measurementFinished, worker,
            [&steps](quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) { ++steps; },
            Qt::DirectConnection);
        worker->setMeasurementTime(20, 1000);
        worker->start(150000, 1000000, 1700, -1);
        QVERIFY(!worker->isRunning());
        QTest::qWait(50);
        QCOMPARE(steps, 0);
        QCOMPARE(worker->fpgaVersion(), 0u);
        QVERIFY(!worker->isPaused());
        worker->stop();
    }
};

QTEST_MAIN(TestStartupNoFpga)
#include "tst_startup_nofpga.moc"
