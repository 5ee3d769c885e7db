// Calls handed from a worker thread to the GUI thread while the GUI thread works through its
// event queue, as the screens' acquisition handlers do at every block: each arrives once, in
// order, and (in the ThreadSanitizer build) without a report about Qt's queue.

#include "util/QueuedCall.h"

#include <QThread>
#include <QtTest>

#include <memory>


class TestQueuedCall : public QObject
{
    Q_OBJECT

private slots:
    void everyCallArrivesInOrder()
    {
        constexpr int Calls = 20000;
        QObject receiver;
        int arrived = 0;
        bool inOrder = true;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            for (int i = 0; i < Calls; ++i)
                queueOnGuiThread(&receiver, [&, i] { inOrder = inOrder && i == arrived++; });
        }));
        worker->start();
        QTRY_COMPARE_WITH_TIMEOUT(arrived, Calls, 120000);
        QVERIFY(worker->wait(10000));
        QVERIFY(inOrder);
    }
};

QTEST_MAIN(TestQueuedCall)
#include "tst_queuedcall.moc"
