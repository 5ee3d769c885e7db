// The setup frame: which pages it offers, locking, the category list and the bottom row, the
// hardware keys, and leaving.
#include "DialogDriver.h"
#include "common/TestRoot.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"

#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

class TestSetupDialog : public QObject
{
    Q_OBJECT

    TestRoot m_root;
    SetupDialog* m_frame = nullptr;
    QPushButton* button(const char* name) const { return m_frame->findChild<QPushButton*>(name); }
    static void setSwitches(bool service, bool algorithm)
    {
        Configuration::setValue(Configuration::VT_Service, service, "system");
        Configuration::setValue("algorithm", algorithm, "system");
    }
    QString arrows() const
    {
        return QString("%1%2").arg(button("CategoryPrevButton")->isEnabled()).arg(button("CategoryNextButton")->isEnabled());
    }
    static QWidget* focused() { return QApplication::focusWidget(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.installMount());
        QVERIFY(QDir().mkpath(m_root.path("/data/corvane_data")));
        DialogDriver::applyStyleSheet();
        m_frame = SetupDialog::instance();
        m_frame->resize(640, 440);
        m_frame->show();
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
    }
    void init()
    {
        setSwitches(false, false);
        QApplication::setActiveWindow(m_frame); // a closed selector leaves no window active offscreen
        m_frame->setDialog(SetupDialog::DIALOG_SPECTRUM, false);
    }

    // A page is shown from its top with the focus on its first button, and announced; a page
    // that does not exist changes nothing.
    void setDialogShowsThePage()
    {
        QSignalSpy changed(m_frame, &SetupDialog::dialogChanged);
        auto* bar = m_frame->findChild<QScrollArea*>("ScrollArea")->verticalScrollBar();
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        QCOMPARE(focused(), m_frame->findChild<QWidget*>("CopyToUsbButton"));
        bar->setValue(bar->maximum());
        m_frame->setDialog(SetupDialog::DIALOG_INFO, false);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(button("CategoryButton")->text(), QStringLiteral("Info"));
        QCOMPARE(m_frame->findChild<QStackedWidget*>("StackWidget")->currentWidget(), SetupDialog::pages().at(SetupDialog::DIALOG_INFO));
        m_frame->setDialog(7, false);
        m_frame->setDialog(-1, false);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_INFO));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).value<SetupDialog::Dialog>(), SetupDialog::DIALOG_INFO);
    }

    // The arrows step through the pages offered (Service and Algorithm only while their switches
    // are on, a disabled page never); a locked page disables them but not the category list.
    void arrowsAndLocking()
    {
        QList<int> visited {m_frame->currentDialog()};
        while (button("CategoryNextButton")->isEnabled()) {
            QTest::mouseClick(button("CategoryNextButton"), Qt::LeftButton);
            visited << m_frame->currentDialog();
        }
        QCOMPARE(visited, QList<int>({0, 1, 2, 3, 4}));
        setSwitches(true, false);
        m_frame->updateButtons();
        QTest::mouseClick(button("CategoryNextButton"), Qt::LeftButton);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SERVICE));
        QCOMPARE(arrows(), QStringLiteral("10"));
        setSwitches(true, true);
        m_frame->updateButtons();
        QTest::mouseClick(button("CategoryNextButton"), Qt::LeftButton);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_ALGORITHM));
        setSwitches(false, true);
        QTest::mouseClick(button("CategoryPrevButton"), Qt::LeftButton);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_INFO));
        ISetupDialog* algorithm = SetupDialog::pages().at(SetupDialog::DIALOG_ALGORITHM);
        algorithm->setEnabled(false);
        QVERIFY(!algorithm->isAvailable());
        algorithm->setEnabled(true);
        m_frame->setDialog(SetupDialog::DIALOG_TIME, true);
        QVERIFY(m_frame->isLocked() && button("CategoryButton")->isEnabled());
        QCOMPARE(arrows(), QStringLiteral("00"));
        m_frame->setDialog(SetupDialog::DIALOG_TIME, false);
        QCOMPARE(arrows(), QStringLiteral("11"));
    }

    // The category list offers the available pages (the locked one's own row not selectable);
    // a choice unlocks the frame; the keys alone choose too; leaving it changes nothing.
    void categoryList()
    {
        m_frame->setDialog(SetupDialog::DIALOG_SPECTRUM, true);
        ValueSelectDialog* selector = ValueSelectDialog::instance();
        auto* list = selector->findChild<QListWidget*>("ListWidget");
        QStringList offered;
        const auto rows = [&] {
            offered.clear();
            for (int i = 0; i < list->count(); ++i)
                offered << list->item(i)->text() + (list->item(i)->flags() & Qt::ItemIsEnabled ? "" : "-");
        };
        DialogDriver::run(selector, "? #3", [&] { return DialogDriver::tap(button("CategoryButton")), 0; }, rows);
        QCOMPARE(offered, QStringList({"Spectrum-", "Time Domain", "Level", "System", "Info"}));
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        QVERIFY(!m_frame->isLocked());
        setSwitches(true, true);
        DialogDriver::run(selector, "? Escape", [&] { return DialogDriver::tap(button("CategoryButton")), 0; }, rows);
        QCOMPARE(offered.mid(5), QStringList({"Service", "Algorithm"}));
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        DialogDriver::run(selector, "Down Down Return", [&] { return DialogDriver::tap(button("CategoryButton")), 0; });
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SERVICE));
    }

    // Up and Down move through a page's buttons and on into the bottom row (skipping disabled
    // ones), Return presses; the information page scrolls; Escape leaves from anywhere.
    void hardwareKeys()
    {
        auto* bar = m_frame->findChild<QScrollArea*>("ScrollArea")->verticalScrollBar();
        QWidget* spectrum = SetupDialog::pages().at(SetupDialog::DIALOG_SPECTRUM);
        QWidget* first = spectrum->findChild<QWidget*>("CalibratorButton");
        QCOMPARE(focused(), first);
        QTest::keyClick(first, Qt::Key_Down);
        QCOMPARE(focused(), spectrum->findChild<QWidget*>("BandwidthButton"));
        QTest::keyClick(focused(), Qt::Key_Up);
        QTest::keyClick(focused(), Qt::Key_Up);
        QCOMPARE(focused(), first);
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(focused(), Qt::Key_Down);
        QCOMPARE(focused(), button("CategoryButton"));
        QTest::keyClick(focused(), Qt::Key_Down);
        QCOMPARE(focused(), button("CategoryNextButton"));
        QVERIFY(bar->value() > 0 || bar->maximum() == 0);
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_TIME));
        QCOMPARE(focused(), SetupDialog::pages().at(SetupDialog::DIALOG_TIME)->findChild<QWidget*>("BandwidthButton"));
        m_frame->setDialog(SetupDialog::DIALOG_INFO, false);
        QApplication::processEvents();
        if (bar->maximum() > 0) {
            QTest::keyClick(m_frame, Qt::Key_Down);
            QVERIFY(bar->value() > 0);
            QTest::keyClick(m_frame, Qt::Key_Up);
            QCOMPARE(bar->value(), 0);
        }
        QSignalSpy exitSpy(m_frame, &SetupDialog::exit);
        QTest::mouseClick(button("ExitButton"), Qt::LeftButton);
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, true);
        QTest::keyClick(focused(), Qt::Key_Escape); // from a page's button
        QTest::keyClick(m_frame, Qt::Key_Escape);
        QTest::keyClick(m_frame, Qt::Key_Left);
        QTest::keyClick(m_frame, Qt::Key_A);
        QCOMPARE(exitSpy.count(), 3);
    }

    // A language change re-shows the page unlocked; other settings leave the frame alone.
    void languageChangeReshowsThePageUnlocked()
    {
        m_frame->setDialog(SetupDialog::DIALOG_LEVEL, true);
        QSignalSpy changed(m_frame, &SetupDialog::dialogChanged);
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("en"), "system");
        Configuration::setValue(Configuration::VT_Brightness, 50, "system");
        QCOMPARE(changed.count(), 1);
        QVERIFY(m_frame->currentDialog() == SetupDialog::DIALOG_LEVEL && !m_frame->isLocked());
    }
};

QTEST_MAIN(TestSetupDialog)
#include "tst_setupdialog.moc"
