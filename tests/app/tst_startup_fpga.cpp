#include "MainWindow.h"
#include "common/TestRoot.h"
#include "hardware/DataWorker.h"

#include <QtTest>

#include <atomic>

namespace {

// The FPGA's memories as files below the root, as the board simulator provides them.
bool createFpgaFiles(const TestRoot& root)
{
    return root.writeFile(QStringLiteral("/dev/bram0"), QByteArray(65536, '\0'))
        && root.writeFile(QStringLiteral("/dev/bram1"), QByteArray(16384, '\0'))
        && root.writeFile(QStringLiteral("/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency"), "0\n");
}

quint32 registerWord(const TestRoot& root, int offset)
{
    const QByteArray registers = root.readFile(QStringLiteral("/dev/bram1"));
    if (registers.size() < offset + 4)
        return 0xDEADBEEF;
    return quint32(quint8(registers[offset])) | quint32(quint8(registers[offset + 1])) << 8
        | quint32(quint8(registers[offset + 2])) << 16 | quint32(quint8(registers[offset + 3])) << 24;
}

} // namespace

// The main window on a board with FPGA memories: it creates the one acquisition worker, which
// maps them and loads the FPGA's filter, lends it out, and stops it when the window closes.
class TestStartupFpga : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        QVERIFY(createFpgaFiles(*m_root));
        MainWindow::instance()->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainWindow::instance()));
    }

    void cleanupTestCase() { m_root.reset(); }

    void createsTheOneWorker()
    {
        DataWorker* worker = MainWindow::dataWorker();
        QVERIFY(worker);
        QCOMPARE(MainWindow::instance()->dataWorker(), worker);
        QCOMPARE(worker->parent(), nullptr);
        QVERIFY(worker->isFpgaMapped());
        QVERIFY(!worker->isRunning());
        // The filter went in at start-up: load enable back to 0, the last coefficient in the port.
        QCOMPARE(registerWord(*m_root, 0x2C), 0u);
        QCOMPARE(registerWord(*m_root, 0x28), 7u);
    }

    void closingStopsTheWorker()
    {
        DataWorker* worker = MainWindow::dataWorker();
        std::atomic<int> steps {0};
        const QMetaObject::Connection connection = QObject::connect(
            worker, &DataWorker::measurementFinished, worker,
            [&steps](quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) { ++steps; },
            Qt::DirectConnection);
        worker->setSampling(1, 1);
        worker->startSingle(500000, -1);
        QTRY_VERIFY(steps.load() >= 3);

        QTest::ignoreMessage(QtDebugMsg, "closing");
        MainWindow::instance()->close();
        QVERIFY(!worker->isRunning());
        const int stepsAtClose = steps.load();
        QTest::qWait(20);
        QCOMPARE(steps.load(), stepsAtClose);
        // The stopping control word is left behind.
        QCOMPARE(registerWord(*m_root, 0x04), 0u);
        QObject::disconnect(connection);
    }
};

QTEST_MAIN(TestStartupFpga)
#include "tst_startup_fpga.moc"
