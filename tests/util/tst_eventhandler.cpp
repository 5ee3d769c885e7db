#include "common/TestRoot.h"
#include "util/BarcodeCheck.h"
#include "util/Configuration.h"
#include "util/EventHandler.h"
#include "util/KeyPressRepeater.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>

// Records the key events a widget receives.
class KeyRecorder : public QWidget
{
public:
    struct Key {
        QEvent::Type type;
        bool repeat;
        QString text;
    };
    QList<Key> keys;
    int count(QEvent::Type type, bool repeat = false) const
    {
        return int(std::count_if(keys.begin(), keys.end(), [=](const Key& k) { return k.type == type && k.repeat == repeat; }));
    }

protected:
    void keyPressEvent(QKeyEvent* e) override { keys << Key{e->type(), e->isAutoRepeat(), e->text()}; }
    void keyReleaseEvent(QKeyEvent* e) override { keys << Key{e->type(), e->isAutoRepeat(), e->text()}; }
};

// The application-wide key filter with synthetic key events: page keys, repeats, barcodes and
// the screenshot chord.
class TestEventHandler : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.installMount());
        qApp->installEventFilter(EventHandler::instance());
    }

    void pageKeysActAsCursorKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("rowChange");
        QTest::newRow("PageUp") << int(Qt::Key_PageUp) << -1;
        QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 1;
        QTest::newRow("Up") << int(Qt::Key_Up) << -1;
    }
    void pageKeysActAsCursorKeys()
    {
        QFETCH(int, key);
        QListWidget list;
        list.addItems({"0", "1", "2"});
        list.setCurrentRow(1);
        QTest::keyClick(&list, Qt::Key(key));
        QCoreApplication::processEvents();
        QTEST(list.currentRow() - 1, "rowChange");
        // A line edit gets the same keys and types nothing (nor do the repeats: repeatSchedule).
        QLineEdit edit;
        QTest::keyPress(&edit, Qt::Key(key));
        QTest::keyRelease(&edit, Qt::Key(key));
        QCoreApplication::processEvents();
        QCOMPARE(edit.text(), QString());
    }

    void repeatSchedule()
    {
        KeyRecorder target;
        KeyPressRepeater repeater(Qt::Key_Down);
        repeater.start(&target);
        auto* timer = repeater.findChild<QTimer*>();
        QList<int> intervals{timer->interval()};
        for (int i = 0; i < 7; ++i) {
            repeater.onTimeout();
            intervals << timer->interval();
        }
        // Repeats at 300, 600, 900, 1200 and 1500 ms, then every 100 ms.
        QCOMPARE(intervals, (QList<int>{300, 300, 300, 300, 300, 100, 100, 100}));
        QCoreApplication::sendPostedEvents(&target);
        QCOMPARE(target.count(QEvent::KeyPress, true), 7);
        QCOMPARE(target.keys.last().text, QString());
    }

    void holdAndTap_data()
    {
        QTest::addColumn<bool>("hold");
        QTest::newRow("held: release swallowed") << true;
        QTest::newRow("tap: press and release") << false;
    }
    void holdAndTap()
    {
        QFETCH(bool, hold);
        KeyRecorder target;
        QTest::keyPress(&target, Qt::Key_Down);
        if (hold)
            QTRY_VERIFY_WITH_TIMEOUT(target.count(QEvent::KeyPress, true) >= 6, 20000);
        QTest::keyRelease(&target, Qt::Key_Down);
        QCOMPARE(target.count(QEvent::KeyPress), 1);
        QCOMPARE(target.count(QEvent::KeyRelease), hold ? 0 : 1);
    }

    void targetDeletedWhileHeld()
    {
        auto* doomed = new KeyRecorder;
        QTest::keyPress(doomed, Qt::Key_Up);
        QTRY_VERIFY_WITH_TIMEOUT(doomed->count(QEvent::KeyPress, true) >= 1, 20000);
        delete doomed;
        QTest::qWait(700);
        KeyRecorder next;
        QTest::keyRelease(&next, Qt::Key_Up);
        QTest::keyPress(&next, Qt::Key_Up);
        QTRY_VERIFY_WITH_TIMEOUT(next.count(QEvent::KeyPress, true) >= 1, 20000);
        QTest::keyRelease(&next, Qt::Key_Up);
    }

    void barcodes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<QVariantList>>("scanned"); // the signals' arguments
        QTest::addColumn<int>("delivered"); // key presses that reach the widget
        QTest::newRow("digits and Return") << "4711\r" << QList<QVariantList>{{"4711"}} << 0;
        QTest::newRow("Return alone reaches the widget") << "\r" << QList<QVariantList>() << 1;
        QTest::newRow("two scans") << "12\r3\r" << QList<QVariantList>{{"12"}, {"3"}} << 0;
        QTest::newRow("too long: not cut") << QString(200, '9') + "\r" << QList<QVariantList>{{QString(129, '9')}} << 0;
    }
    void barcodes()
    {
        QFETCH(QString, typed);
        KeyRecorder target;
        QSignalSpy spy(EventHandler::instance(), &EventHandler::onBarCodeScan);
        QTest::keyClicks(&target, typed); // '\r' is Return
        QTEST(QList<QVariantList>(spy), "scanned");
        QTEST(target.count(QEvent::KeyPress), "delivered");
    }

    void barcodeFolderNames_data()
    {
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("longest") << QString(128, '1') << true;
        QTest::newRow("control character") << "12\n34" << false;
        QTest::newRow("not on a stick") << "12:34" << false;
    }
    void barcodeFolderNames()
    {
        QFETCH(QString, barcode);
        QTEST(BarcodeCheck::problem(barcode).isEmpty(), "accepted");
    }

    void screenshotChord_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("mountFails");
        QTest::addColumn<bool>("folder");
        QTest::newRow("written") << true << true << false << true;
        QTest::newRow("switched off") << false << true << false << true;
        QTest::newRow("no picture: old one kept") << true << false << false << true;
        QTest::newRow("no remount") << true << true << true << true;
        QTest::newRow("no folder: never created") << true << true << false << false;
    }
    void screenshotChord()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, shown);
        QFETCH(bool, mountFails);
        QFETCH(bool, folder);
        const bool written = enabled && shown && !mountFails && folder; // only when nothing stands in the way
        const QString file = QStringLiteral("/data/corvane_screenshots/SCR_Kopie.png");
        if (folder)
            QVERIFY(m_root.writeFile(file, "old"));
        else
            QVERIFY(QDir(m_root.path(QStringLiteral("/data/corvane_screenshots"))).removeRecursively());
        Configuration::setValue(Configuration::VT_Screenshot, enabled ? 1 : 0, QStringLiteral("system"));
        KeyRecorder window;
        window.resize(64, 48);
        if (shown) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        m_root.setMountFails(mountFails);
        QTest::keyPress(&window, Qt::Key_PageUp);
        QTest::keyPress(&window, Qt::Key_Down);
        QTest::keyRelease(&window, Qt::Key_Down);
        QTest::keyRelease(&window, Qt::Key_PageUp);
        m_root.setMountFails(false);
        QCOMPARE(!QImage(EventHandler::screenshotFile()).isNull(), written);
        if (!written)
            QCOMPARE(m_root.readFile(file), QByteArray(folder ? "old" : ""));
        QCOMPARE(m_root.exists(QStringLiteral("/data/corvane_screenshots")), folder);
    }
};

QTEST_MAIN(TestEventHandler)
#include "tst_eventhandler.moc"
