#include "DialogDriver.h"
#include "SetupPageOperator.h"
#include "common/SimulatedBoard.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "util/Configuration.h"
#include "util/InfoMessageBox.h"
#include "util/SystemHelper.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// The system page's USB copy, clearing and software update, end to end on the simulated board:
// its stick (which can be pulled), its mount and updater stand-ins and the host's cp, rm and ls.
class TestDataMaintenance : public QObject
{
    Q_OBJECT

    SimulatedBoard m_board;
    SetupPageOperator m_operator;
    const QString m_records = "/data/corvane_data/CV2026-0042/2026-12-07";

    QAbstractButton* button(const QString& name) const
    {
        return SetupDialog::pages().at(SetupDialog::DIALOG_SYSTEM)->findChild<QAbstractButton*>(name);
    }
    bool put(const QString& boardPath, const QByteArray& content) const
    {
        // Written as the instrument writes records: inside the remount.
        QDir().mkpath(QFileInfo(m_board.path(boardPath)).absolutePath());
        QFile file(m_board.path(boardPath));
        const bool writable = SystemHelper::mountData();
        const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
        return (writable && SystemHelper::unmountData()) && written;
    }
    // The operator picks the entry with this text from the next selector.
    void pick(const QString& text)
    {
        m_operator.then([text](QDialog* dialog) {
            auto* list = dialog->findChild<QListWidget*>("ListWidget");
            const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
            if (items.isEmpty())
                DialogDriver::pressKey(dialog, Qt::Key_Escape);
            else
                DialogDriver::tap(list, items.first());
        });
    }
    QStringList run(const QString& name)
    {
        m_operator.notices.clear();
        SetupDialog::instance()->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        DialogDriver::tap(button(name));
        return m_operator.notices;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_board.start());
        m_board.useAsPlatformRoot();
        DialogDriver::applyStyleSheet();
        SetupDialog::instance()->resize(640, 440);
        SetupDialog::instance()->show();
    }

    void init()
    {
        QVERIFY(put(m_records + "/spectrum_20261207_101112.xml", "<record/>"));
        QVERIFY(put("/data/corvane_data/hold.bin", QByteArray(300000, 'x')));
    }

    void copyToUsb_data()
    {
        QTest::addColumn<QString>("stick");
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("copy over an older one") << "/media/usb0" << "" << "Copying data successful!";
        QTest::newRow("blanks, quotes, shell") << "/media/it's a \"stick\"; ls $(id)" << "" << "Copying data successful!";
        QTest::newRow("remount fails") << "/media/usb0" << "remount" << "Mounting of USB device failed!";
        QTest::newRow("cp fails") << "/media/usb0" << "file" << "Copying data failed!";
        QTest::newRow("stick pulled mid-copy") << "/media/usb0" << "pull" << "Copying data failed!";
    }

    void copyToUsb()
    {
        QFETCH(QString, stick);
        QFETCH(QString, trouble);
        QFETCH(QString, outcome);
        const QString copy = m_board.path(stick + "/corvane_data");
        QDir(copy).removeRecursively();
        QFile::remove(copy);
        QVERIFY(put(stick + "/corvane_data/CV2026-0042/old/gone.xml", "<old/>"));
        QVERIFY(put(stick + "/corvane_data/CV2026-0001/other.xml", "<other/>"));
        std::thread puller;
        QByteArray fifo;
        if (trouble == "remount")
            QVERIFY(m_board.setFault("remount-failure", true));
        if (trouble == "file") {
            QDir(copy).removeRecursively();
            QVERIFY(put(stick + "/corvane_data", "in the way"));
        }
        if (trouble == "pull") {
            // cp is held on a pipe in the copy's place until the simulator has pulled the stick.
            fifo = QFile::encodeName(copy + "/hold.bin");
            QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
            puller = std::thread([this, fifo, stick]() {
                const int fd = ::open(fifo.constData(), O_RDONLY);
                QFile(m_board.path("/sim/faults/usb-removed")).open(QIODevice::WriteOnly);
                for (int i = 0; i < 500 && QFileInfo::exists(m_board.path(stick)); ++i)
                    QThread::msleep(10);
                ::close(fd);
            });
        }
        pick(stick);
        const QStringList notices = run("CopyToUsbButton");
        if (puller.joinable()) {
            // Releases the puller should cp never have reached the pipe.
            const int writer = ::open(m_board.path("/sim/hidden/usb0/corvane_data/hold.bin").toUtf8(), O_WRONLY | O_NONBLOCK);
            const int early = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            puller.join();
            ::close(writer);
            ::close(early);
        }
        QVERIFY(m_board.setFault("remount-failure", false));
        QVERIFY(m_board.setFault("usb-removed", false));
        QCOMPARE(notices, (QStringList{"Copying data...", outcome}));
        QVERIFY(InfoMessageBox::progress() == nullptr);
        // Nothing on the device is lost, whatever happened to the stick.
        QCOMPARE(m_board.readBoardFile(m_records + "/spectrum_20261207_101112.xml"), QByteArray("<record/>"));
        if (trouble != "")
            return;
        // The folder's content lands in corvane_data (not nested), replacing this device's old copy.
        QCOMPARE(m_board.readBoardFile(stick + "/corvane_data/CV2026-0042/2026-12-07/spectrum_20261207_101112.xml"),
                 QByteArray("<record/>"));
        QVERIFY(!QFileInfo::exists(copy + "/corvane_data"));
        QVERIFY(!QFileInfo::exists(copy + "/CV2026-0042/old"));
        QVERIFY(QFileInfo::exists(copy + "/CV2026-0001/other.xml"));
        QVERIFY(m_board.readBoardFile("/sim/mount.log").contains("umount " + m_board.path(stick).toUtf8()));
    }

    void clearData_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("remountFails");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("no") << 0 << false << QStringList();
        QTest::newRow("read-only") << 1 << true << QStringList{"Clearing data...", "Clearing data failed"};
        QTest::newRow("yes") << 1 << false << QStringList{"Clearing data...", "Clearing data successful"};
    }

    void clearData()
    {
        QFETCH(int, answer);
        QFETCH(bool, remountFails);
        QFETCH(QStringList, notices);
        QVERIFY(m_board.setFault("remount-failure", remountFails));
        m_operator.choose(answer);
        QCOMPARE(run("clearDataButton"), notices);
        QVERIFY(m_board.setFault("remount-failure", false));
        const bool cleared = notices.contains("Clearing data successful");
        QCOMPARE(QFileInfo::exists(m_board.path("/data/corvane_data")), !cleared);
        QCOMPARE(button("CopyToUsbButton")->isEnabled(), !cleared);
        QCOMPARE(button("clearDataButton")->isEnabled(), !cleared);
    }

    void softwareUpdate_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QStringList>("notices");
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("damaged") << "corvane-3.2.1-damaged.upd" << QStringList{"Updating, please wait for restart...", "Software update failed!"} << QByteArray("3.2.0");
        QTest::newRow("foreign, odd name") << "$(touch pwned);x.upd" << QStringList{"Updating, please wait for restart...", "Software update failed!"} << QByteArray("3.2.0");
        QTest::newRow("left") << "" << QStringList() << QByteArray("3.2.0");
        QTest::newRow("accepted") << "corvane-3.2.1.upd" << QStringList{"Updating, please wait for restart..."} << QByteArray("3.2.1");
    }

    void softwareUpdate()
    {
        QFETCH(QString, image);
        QFETCH(QStringList, notices);
        QFETCH(QByteArray, version);
        QVERIFY(put("/media/usb0/$(touch pwned);x.upd", "no image"));
        QVERIFY(put("/media/usb0/OLD.UPD", "upper case"));
        pick("/media/usb0");
        pick(image);
        QCOMPARE(run("SoftwareUpdateButton"), notices);
        // Only names ending in ".upd" are offered, in listing order.
        QCOMPARE(m_operator.options,
                 (QStringList{"$(touch pwned);x.upd", "corvane-3.2.1-damaged.upd", "corvane-3.2.1.upd"}));
        QVERIFY(m_board.readBoardFile("/etc/version.corvane").startsWith(version));
        QVERIFY(!QFileInfo::exists(m_board.path("/pwned")) && !QFileInfo::exists("pwned"));
    }

    void pulledStickIsNotOffered()
    {
        QVERIFY(m_board.setFault("usb-removed", true));
        m_operator.choose(QVariant());
        run("SoftwareUpdateButton");
        QVERIFY(m_board.setFault("usb-removed", false));
        QVERIFY(!m_operator.options.contains("/media/usb0"));
        QVERIFY(QFileInfo::exists(m_board.path("/media/usb0/corvane-3.2.1.upd")));
    }
};

QTEST_MAIN(TestDataMaintenance)
#include "tst_datamaintenance.moc"
