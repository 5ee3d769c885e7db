#include "DialogDriver.h"
#include "common/TestRoot.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

// The setup frame: its page registry, which pages it offers, locking and category navigation.
class TestSetupDialog : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    SetupDialog* m_frame = nullptr;

    QPushButton* button(const char* name) const { return m_frame->findChild<QPushButton*>(name); }
    static void setService(bool on) { Configuration::setValue(Configuration::VT_Service, on ? 1 : 0, "system"); }
    static void setAlgorithm(bool on) { Configuration::setValue(QStringLiteral("algorithm"), on ? 1 : 0, "system"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
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
        setService(false);
        setAlgorithm(false);
        // A selector closed by the previous case leaves no window active on the offscreen platform.
        QApplication::setActiveWindow(m_frame);
        m_frame->setDialog(SetupDialog::DIALOG_SPECTRUM, false);
    }

    void registryHoldsTheSevenPagesInOrder()
    {
        const QList<ISetupDialog*>& pages = SetupDialog::pages();
        QCOMPARE(pages.count(), 7);
        const QStringList titles = {"Spectrum", "Time Domain", "Level", "System", "Info", "Service", "Algorithm"};
        const QStringList classes = {"SetupSpectrumDialog", "SetupTimeDialog",    "SetupLevelDialog",
                                     "SetupSystemDialog",   "SetupInfoDialog",    "SetupServiceDialog",
                                     "SetupAlgorithmDialog"};
        for (int i = 0; i < pages.count(); ++i) {
            QVERIFY(pages.at(i) != nullptr);
            QCOMPARE(pages.at(i)->title(), titles.at(i));
            QCOMPARE(QString(pages.at(i)->metaObject()->className()), classes.at(i));
            QCOMPARE(pages.at(i)->parentWidget(), m_frame->findChild<QWidget*>("StackWidget"));
        }
        QCOMPARE(SetupDialog::pages().first(), pages.first()); // built once
    }

    void setDialogShowsThePageAndAnnouncesIt()
    {
        QSignalSpy changed(m_frame, &SetupDialog::dialogChanged);
        auto* bar = m_frame->findChild<QScrollArea*>("ScrollArea")->verticalScrollBar();
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        bar->setValue(bar->maximum());
        m_frame->setDialog(SetupDialog::DIALOG_INFO, false);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_INFO));
        QCOMPARE(button("CategoryButton")->text(), QStringLiteral("Info"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).value<SetupDialog::Dialog>(), SetupDialog::DIALOG_INFO);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(m_frame->findChild<QScrollArea*>("ScrollArea")->focusPolicy(), Qt::NoFocus);
        auto* stack = m_frame->findChild<QStackedWidget*>("StackWidget");
        QCOMPARE(stack->currentWidget(), SetupDialog::pages().at(SetupDialog::DIALOG_INFO));

        // The first button of a page has the focus, so the hardware keys work at once.
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        QCOMPARE(QApplication::focusWidget(), m_frame->findChild<QWidget*>("CopyToUsbButton"));

        // A page that does not exist changes nothing.
        m_frame->setDialog(7, false);
        m_frame->setDialog(-1, false);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        QCOMPARE(changed.count(), 3);
    }

    void serviceAndAlgorithmPagesFollowTheirSwitches()
    {
        ISetupDialog* service = SetupDialog::pages().at(SetupDialog::DIALOG_SERVICE);
        ISetupDialog* algorithm = SetupDialog::pages().at(SetupDialog::DIALOG_ALGORITHM);
        QVERIFY(!service->isAvailable());
        QVERIFY(!algorithm->isAvailable());
        setService(true);
        QVERIFY(service->isAvailable());
        setAlgorithm(true);
        QVERIFY(algorithm->isAvailable());
        // A disabled page is never offered.
        service->setEnabled(false);
        QVERIFY(!service->isAvailable());
        service->setEnabled(true);
        for (int i = 0; i < SetupDialog::DIALOG_SERVICE; ++i)
            QVERIFY(SetupDialog::pages().at(i)->isAvailable());
    }

    void arrowsStepThroughTheAvailablePages()
    {
        QVERIFY(!button("CategoryPrevButton")->isEnabled());
        QList<int> visited{m_frame->currentDialog()};
        while (button("CategoryNextButton")->isEnabled()) {
            QTest::mouseClick(button("CategoryNextButton"), Qt::LeftButton);
            visited << m_frame->currentDialog();
        }
        // Service mode off: Info is the last page offered.
        QCOMPARE(visited, (QList<int>{0, 1, 2, 3, 4}));
        QVERIFY(!m_frame->isLocked());

        // Switching service mode on offers the Service page after Info once the frame recomputes.
        setService(true);
        m_frame->updateButtons();
        QVERIFY(button("CategoryNextButton")->isEnabled());
        QTest::mouseClick(button("CategoryNextButton"), Qt::LeftButton);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SERVICE));
        QVERIFY(!button("CategoryNextButton")->isEnabled());

        // With service and algorithm on, and service off again, the arrows skip the Service page.
        setAlgorithm(true);
        m_frame->updateButtons();
        QTest::mouseClick(button("CategoryNextButton"), Qt::LeftButton);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_ALGORITHM));
        setService(false);
        QTest::mouseClick(button("CategoryPrevButton"), Qt::LeftButton);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_INFO));
        QTest::mouseClick(button("CategoryNextButton"), Qt::LeftButton);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_ALGORITHM));
        QVERIFY(!button("CategoryNextButton")->isEnabled());
        QVERIFY(button("CategoryPrevButton")->isEnabled());
    }

    void aLockedPageDisablesTheArrowsButNotTheList()
    {
        m_frame->setDialog(SetupDialog::DIALOG_TIME, true);
        QVERIFY(m_frame->isLocked());
        QVERIFY(!button("CategoryPrevButton")->isEnabled());
        QVERIFY(!button("CategoryNextButton")->isEnabled());
        QVERIFY(button("CategoryButton")->isEnabled());
        m_frame->updateButtons();
        QVERIFY(!button("CategoryNextButton")->isEnabled());
        // The same page shown unlocked (as after a category choice) frees the arrows.
        m_frame->setDialog(SetupDialog::DIALOG_TIME, false);
        QVERIFY(button("CategoryPrevButton")->isEnabled());
        QVERIFY(button("CategoryNextButton")->isEnabled());
    }

    void categoryListOffersTheAvailablePages()
    {
        m_frame->setDialog(SetupDialog::DIALOG_SPECTRUM, true);
        ValueSelectDialog* selector = ValueSelectDialog::instance();
        QStringList offered;
        QList<bool> selectable;
        QString prompt;
        int currentRow = -1;
        DialogDriver::whenShown(selector, [&]() {
            auto* list = selector->findChild<QListWidget*>("ListWidget");
            prompt = selector->findChild<QLabel*>("labelStatusBar")->text();
            currentRow = list->currentRow();
            for (int i = 0; i < list->count(); ++i) {
                offered << list->item(i)->text();
                selectable << bool(list->item(i)->flags() & Qt::ItemIsEnabled);
            }
            DialogDriver::screenshot(selector, QStringLiteral("SetupDialog_categories"));
            // The operator taps "System".
            DialogDriver::tap(list, list->item(3));
        });
        DialogDriver::tap(button("CategoryButton"));
        QCOMPARE(prompt, QStringLiteral("Select setup category"));
        QCOMPARE(offered, (QStringList{"Spectrum", "Time Domain", "Level", "System", "Info"}));
        QCOMPARE(selectable, (QList<bool>{false, true, true, true, true}));
        QCOMPARE(currentRow, 0);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        // A choice from the list unlocks the arrows.
        QVERIFY(!m_frame->isLocked());
        QVERIFY(button("CategoryPrevButton")->isEnabled());

        // With service mode and the algorithm on, both pages are offered; leaving the list with
        // exit changes nothing.
        setService(true);
        setAlgorithm(true);
        offered.clear();
        DialogDriver::whenShown(selector, [&]() {
            auto* list = selector->findChild<QListWidget*>("ListWidget");
            for (int i = 0; i < list->count(); ++i)
                offered << list->item(i)->text();
            DialogDriver::pressKey(selector, Qt::Key_Escape);
        });
        DialogDriver::tap(button("CategoryButton"));
        QCOMPARE(offered, (QStringList{"Spectrum", "Time Domain", "Level", "System", "Info", "Service", "Algorithm"}));
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));

        // The keys alone: Down twice from the current row (System) and Return picks Service.
        DialogDriver::whenShown(selector, [&]() {
            DialogDriver::pressKey(selector, Qt::Key_Down);
            DialogDriver::pressKey(selector, Qt::Key_Down);
            DialogDriver::pressKey(selector, Qt::Key_Return);
        });
        DialogDriver::tap(button("CategoryButton"));
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_SERVICE));
    }

    void exitButtonAndEscapeLeaveSetup()
    {
        QSignalSpy exitSpy(m_frame, &SetupDialog::exit);
        QTest::mouseClick(button("ExitButton"), Qt::LeftButton);
        QCOMPARE(exitSpy.count(), 1);
        m_frame->setDialog(SetupDialog::DIALOG_SYSTEM, true);
        // Escape pressed while a page's button has the focus reaches the frame.
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused != nullptr);
        QTest::keyClick(focused, Qt::Key_Escape);
        QCOMPARE(exitSpy.count(), 2);
        QTest::keyClick(m_frame, Qt::Key_Escape);
        QCOMPARE(exitSpy.count(), 3);
        QTest::keyClick(m_frame, Qt::Key_Left);
        QTest::keyClick(m_frame, Qt::Key_A);
        QCOMPARE(exitSpy.count(), 3);
    }

    void hardwareKeysReachEveryButton()
    {
        auto* bar = m_frame->findChild<QScrollArea*>("ScrollArea")->verticalScrollBar();
        m_frame->setDialog(SetupDialog::DIALOG_SPECTRUM, false);
        QWidget* spectrum = SetupDialog::pages().at(SetupDialog::DIALOG_SPECTRUM);
        QWidget* first = spectrum->findChild<QWidget*>("CalibratorButton");
        QCOMPARE(QApplication::focusWidget(), first);
        QTest::keyClick(first, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), spectrum->findChild<QWidget*>("BandwidthButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up); // stays on the first button
        QCOMPARE(QApplication::focusWidget(), first);
        // Down past the page's last button reaches the bottom row; Return presses the button there.
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), button("CategoryButton")); // the previous one is disabled
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), button("CategoryNextButton"));
        QVERIFY(bar->value() > 0 || bar->maximum() == 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_TIME));
        // The new page takes the focus on its first button again.
        QCOMPARE(QApplication::focusWidget(),
                 SetupDialog::pages().at(SetupDialog::DIALOG_TIME)->findChild<QWidget*>("BandwidthButton"));

        // The information page has no buttons: the keys scroll it.
        m_frame->setDialog(SetupDialog::DIALOG_INFO, false);
        QApplication::processEvents();
        if (bar->maximum() > 0) {
            QTest::keyClick(m_frame, Qt::Key_Down);
            QVERIFY(bar->value() > 0);
            QTest::keyClick(m_frame, Qt::Key_Up);
            QCOMPARE(bar->value(), 0);
        }
    }

    void languageChangeReshowsThePageUnlocked()
    {
        m_frame->setDialog(SetupDialog::DIALOG_LEVEL, true);
        QSignalSpy changed(m_frame, &SetupDialog::dialogChanged);
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("en"), "system");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_frame->currentDialog(), int(SetupDialog::DIALOG_LEVEL));
        QVERIFY(!m_frame->isLocked());
        QVERIFY(button("CategoryNextButton")->isEnabled());
        // Other settings leave the frame alone.
        Configuration::setValue(Configuration::VT_Brightness, 50, "system");
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TestSetupDialog)
#include "tst_setupdialog.moc"
