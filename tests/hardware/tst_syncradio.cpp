#include "OutputCapture.h"
#include "common/TestRoot.h"
#include "hardware/SyncRadio.h"

#include <QtTest>

#include <unistd.h>

// The descriptor is process-wide and kept once opened, so the cases run in this order within
// one process: first without the device, then with it.
class TestSyncRadio : public QObject
{
    Q_OBJECT

private slots:
    void missingDeviceIsReportedEveryTime();
    void refusedRequestIsReported();
};

void TestSyncRadio::missingDeviceIsReportedEveryTime()
{
    TestRoot root;
    OutputCapture errors(STDERR_FILENO);
    setReceiveMode(false);
    setReceiveMode(true);
    const QByteArray text = errors.text();
    QCOMPARE(text.count("open cc1101: "), 2);
    QVERIFY(text.contains("No such file or directory"));
    QVERIFY(!text.contains("SET_RECEIVE_MODE"));
}

void TestSyncRadio::refusedRequestIsReported()
{
    TestRoot root;
    // On a desktop the device is a plain file: it opens, but refuses the driver's request.
    QVERIFY(root.writeFile("/dev/cc1101", QByteArray()));
    {
        OutputCapture errors(STDERR_FILENO);
        setReceiveMode(true);
        setReceiveMode(true);
        const QByteArray text = errors.text();
        QVERIFY(!text.contains("open cc1101"));
        // The request is issued on every call.
        QCOMPARE(text.count("SET_RECEIVE_MODE: "), 2);
    }
    // Once open, the descriptor is kept: the device need not be opened again.
    QVERIFY(QFile::remove(root.path("/dev/cc1101")));
    OutputCapture errors(STDERR_FILENO);
    setReceiveMode(false);
    const QByteArray text = errors.text();
    QVERIFY(!text.contains("open cc1101"));
    QCOMPARE(text.count("SET_RECEIVE_MODE: "), 1);
}

QTEST_GUILESS_MAIN(TestSyncRadio)
#include "tst_syncradio.moc"
