#include "DialogDriver.h"
#include "SetupPageOperator.h"
#include "common/SimulatedBoard.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "util/InfoMessageBox.h"
#include "util/SystemHelper.h"

#include <QAbstractButton>
#include <QDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// The system page's USB copy, clearing and software update, end to end on the simulated board:
// its stick (which can be pulled), its mount, date and updater stand-ins, the host's cp, rm, ls.
class TestDataMaintenance : public QObject
{
    Q_OBJECT

    SimulatedBoard m_board;
    SetupPageOperator m_operator;

    bool put(const QString& boardPath, const QByteArray& content) const
    {
        QDir().mkpath(QFileInfo(m_board.path(boardPath)).absolutePath());
        return m_board.writeBoardFile(boardPath, content);
    }
    // The notices shown after tapping a button of the system page; the progress notice must close.
    QString press(const char* name)
    {
        m_operator.notices.clear();
        SetupDialog::instance()->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        DialogDriver::tap(SetupDialog::pages().at(SetupDialog::DIALOG_SYSTEM)->findChild<QAbstractButton*>(name));
        return m_operator.notices.join('|') + (InfoMessageBox::progress() ? "|(progress open)" : "");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_board.start());
        m_board.useAsPlatformRoot();
        SetupDialog::instance()->resize(640, 440);
        SetupDialog::instance()->show();
    }

    void init()
    {
        QVERIFY(put("/data/corvane_data/CV2026-0042/2026-12-07/spectrum_20261207_101112.xml", "<record/>"));
        QVERIFY(put("/data/corvane_data/hold.bin", QByteArray(300000, 'x')));
        QVERIFY(put("/media/usb0/OLD.UPD", "upper case") && put("/media/usb0/$(touch pwned);x.upd", "no image"));
        QDir().mkpath(m_board.path("/media/it's a \"stick\"; ls $(id)"));
        // An older copy of this device's records and one of another device's.
        QFile::remove(m_board.path("/media/usb0/corvane_data"));
        QDir(m_board.path("/media/usb0/corvane_data")).removeRecursively();
        QVERIFY(put("/media/usb0/corvane_data/CV2026-0042/old.xml", "x") && put("/media/usb0/corvane_data/CV2026-0001/other.xml", "x"));
    }

    void maintenance_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<QString>("trouble"); // a fault switched on, or "file": a file in the copy's place
        QTest::addColumn<QString>("notices");
        QTest::addColumn<QString>("offered"); // the last list offered (empty: not checked)
        QTest::addColumn<QStringList>("checks"); // "path=start of its content" afterwards; "path=": absent
        const QString odd = "/media/it's a \"stick\"; ls $(id)";
        const QString record = "/corvane_data/CV2026-0042/2026-12-07/spectrum_20261207_101112.xml=<record/>";
        const QString kept = "/data" + record;
        const QStringList copied = {kept, "/media/usb0" + record, "/media/usb0/corvane_data/CV2026-0042/old.xml=",
                                    "/media/usb0/corvane_data/corvane_data=", "/media/usb0/corvane_data/CV2026-0001/other.xml=x",
                                    "/media/usb0/corvane_data/CV2026-0042/2026-12-07/index.html=<"};
        const QString updating = "Updating, please wait for restart...";
        QTest::newRow("copy over an older one") << "CopyToUsbButton" << QVariantList{"/media/usb0"} << "" << "Copying data...|Copying data successful!" << "" << copied;
        QTest::newRow("copy to odd names") << "CopyToUsbButton" << QVariantList{odd} << "" << "Copying data...|Copying data successful!" << "" << QStringList{kept, odd + record};
        QTest::newRow("remount fails") << "CopyToUsbButton" << QVariantList{"/media/usb0"} << "remount-failure" << "Copying data...|Mounting of USB device failed!" << "" << QStringList{kept, "/media/usb0/corvane_data/CV2026-0042/old.xml=x"};
        QTest::newRow("cp fails") << "CopyToUsbButton" << QVariantList{"/media/usb0"} << "file" << "Copying data...|Copying data failed!" << "" << QStringList{kept};
        QTest::newRow("stick pulled mid-copy") << "CopyToUsbButton" << QVariantList{"/media/usb0"} << "usb-removed" << "Copying data...|Copying data failed!" << "" << QStringList{kept};
        QTest::newRow("update refused: damaged") << "SoftwareUpdateButton" << QVariantList{"/media/usb0", "corvane-3.2.1-damaged.upd"} << "" << updating + "|Software update failed!"
            << "$(touch pwned);x.upd|corvane-3.2.1-damaged.upd|corvane-3.2.1.upd" << QStringList{"/etc/version.corvane=3.2.0"};
        QTest::newRow("update refused: odd name") << "SoftwareUpdateButton" << QVariantList{"/media/usb0", "$(touch pwned);x.upd"} << "" << updating + "|Software update failed!" << "" << QStringList{"/etc/version.corvane=3.2.0", "/pwned="};
        QTest::newRow("update accepted") << "SoftwareUpdateButton" << QVariantList{"/media/usb0", "corvane-3.2.1.upd"} << "" << updating << "" << QStringList{"/etc/version.corvane=3.2.1"};
        QTest::newRow("pulled stick not offered") << "SoftwareUpdateButton" << QVariantList{QVariant()} << "usb-removed" << "" << odd << QStringList();
        QTest::newRow("clear: no") << "clearDataButton" << QVariantList{0} << "" << "" << "No|Yes" << QStringList{kept};
        QTest::newRow("clear: read-only") << "clearDataButton" << QVariantList{1} << "remount-failure" << "Clearing data...|Clearing data failed" << "" << QStringList{kept};
        // The simulator's date refuses what it does not know: nothing may reach the host's clock.
        QTest::newRow("date set") << "" << QVariantList{"-s", "2031.01.02-03:04:05"} << "" << "ok" << "" << QStringList{"/sim/clock=2031.01.02-03:04:05"};
        QTest::newRow("date set garbage") << "" << QVariantList{"-s", "tomorrow; reboot"} << "" << "refused" << "" << QStringList();
        QTest::newRow("date unknown option") << "" << QVariantList{"--version"} << "" << "refused" << "" << QStringList();
        QTest::newRow("date display form") << "" << QVariantList{"-d", "@0"} << "" << "refused" << "" << QStringList();
        QTest::newRow("clear") << "clearDataButton" << QVariantList{1} << "" << "Clearing data...|Clearing data successful" << "" << QStringList{"/data/corvane_data="};
    }

    void maintenance()
    {
        QFETCH(QString, button);
        QFETCH(QVariantList, answers);
        QFETCH(QString, trouble);
        QFETCH(QString, notices);
        QFETCH(QString, offered);
        QFETCH(QStringList, checks);
        const QString copy = m_board.path(answers.value(0).toString() + "/corvane_data");
        if (button.isEmpty()) {
            QCOMPARE(SystemHelper::execute("date", QVariant(answers).toStringList()) ? "ok" : "refused", notices);
            answers.clear();
        }
        if (trouble == "file")
            QVERIFY(QDir(copy).removeRecursively() && put("/media/usb0/corvane_data", "in the way"));
        if (trouble.contains('-') && !(trouble == "usb-removed" && button == "CopyToUsbButton"))
            QVERIFY(m_board.setFault(trouble, true));
        // Pulled mid-copy: cp is held on a pipe in the copy's place until the stick is gone.
        const QByteArray pipe = QFile::encodeName(copy + "/hold.bin");
        std::thread puller;
        if (trouble == "usb-removed" && button == "CopyToUsbButton" && ::mkfifo(pipe.constData(), 0644) == 0) {
            puller = std::thread([this, pipe]() {
                const int fd = ::open(pipe.constData(), O_RDONLY);
                QFile(m_board.path("/sim/faults/usb-removed")).open(QIODevice::WriteOnly);
                for (int i = 0; i < 500 && QFileInfo::exists(m_board.path("/media/usb0")); ++i)
                    QThread::msleep(10);
                ::close(fd);
            });
        }
        for (const QVariant& answer : answers)
            m_operator.choose(answer);
        QCOMPARE(button.isEmpty() ? notices : press(qPrintable(button)), notices);
        if (puller.joinable())
            puller.join();
        QVERIFY(m_board.setFault("remount-failure", false) && m_board.setFault("usb-removed", false));
        if (!offered.isEmpty())
            QCOMPARE(m_operator.offered.mid(1).join('|'), offered);
        for (const QString& check : checks) {
            const QString content = check.section('=', 1);
            QVERIFY2(content.isEmpty() ? !QFileInfo::exists(m_board.path(check.section('=', 0, 0)))
                                       : m_board.readBoardFile(check.section('=', 0, 0)).startsWith(content.toUtf8()), qPrintable(check));
        }
    }
};

QTEST_MAIN(TestDataMaintenance)
#include "tst_datamaintenance.moc"
