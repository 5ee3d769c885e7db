#include "dialogs/StoreRecallDialog.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestStoreRecallDialog : public QObject
{
    Q_OBJECT

private:
    // Calls `action` once the dialog is shown (it lets events run while it sizes itself first).
    static void whenShown(std::function<void()> action)
    {
        QTimer::singleShot(10, [action] {
            if (StoreRecallDialog::instance()->isVisible())
                action();
            else
                whenShown(action);
        });
    }
    // Runs the dialog and clicks the given buttons while it is open.
    static int runClicking(const QList<QPushButton*>& buttons)
    {
        whenShown([buttons] {
            for (QPushButton* button : buttons)
                QTest::mouseClick(button, Qt::LeftButton);
        });
        return StoreRecallDialog::instance()->exec(QStringLiteral("Store-/Recall curve"));
    }

private slots:
    void initTestCase() { qRegisterMetaType<StoreRecallDialog::Button>(); }

    void formHasItsRowsAndButtons()
    {
        StoreRecallDialog* dialog = StoreRecallDialog::instance();
        QCOMPARE(dialog, StoreRecallDialog::instance());
        QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("StoreRecallDialog"));
        const char* texts[] = {"RC_A", "RC_B", "RC_C", "RC_D"};
        for (int i = 0; i < 4; ++i) {
            QVERIFY(dialog->button(StoreRecallDialog::BUTTON_SELECT, i));
            QCOMPARE(dialog->button(StoreRecallDialog::BUTTON_SELECT, i)->text(), QLatin1String(texts[i]));
            QCOMPARE(dialog->button(StoreRecallDialog::BUTTON_SELECT, i)->objectName(), QStringLiteral("Button%1").arg(i));
            QCOMPARE(dialog->button(StoreRecallDialog::BUTTON_EDIT, i)->objectName(),
                     QStringLiteral("ButtonEdit%1").arg(i));
            QVERIFY(dialog->button(StoreRecallDialog::BUTTON_EDIT, i)->text().isEmpty());
            QCOMPARE(dialog->button(StoreRecallDialog::BUTTON_SAVE, i)->objectName(),
                     QStringLiteral("ButtonSave%1").arg(i));
        }
        QCOMPARE(dialog->button(StoreRecallDialog::BUTTON_CLEAR_ALL)->objectName(), QStringLiteral("ButtonClearAll"));
        QVERIFY(!dialog->button(StoreRecallDialog::BUTTON_SELECT, 4));
        QVERIFY(!dialog->button(StoreRecallDialog::BUTTON_EDIT, -1));
        QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("ButtonExit")));
    }

    void selectReportsAndStaysOpen()
    {
        StoreRecallDialog* dialog = StoreRecallDialog::instance();
        QSignalSpy spy(dialog, &StoreRecallDialog::buttonPressed);
        QPushButton* exit = dialog->findChild<QPushButton*>(QStringLiteral("ButtonExit"));
        const int result = runClicking({dialog->button(StoreRecallDialog::BUTTON_SELECT, 1),
                                        dialog->button(StoreRecallDialog::BUTTON_SELECT, 3), exit});
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).value<StoreRecallDialog::Button>(), StoreRecallDialog::BUTTON_SELECT);
        QCOMPARE(spy.at(0).at(1).toInt(), 1);
        QCOMPARE(spy.at(1).at(1).toInt(), 3);
        int index = -2;
        StoreRecallDialog::Button button = StoreRecallDialog::BUTTON_CLEAR_ALL;
        dialog->pressed(index, button);
        QCOMPARE(index, 3);
        QCOMPARE(button, StoreRecallDialog::BUTTON_SELECT);
    }

    void editSaveAndClearAllCloseAccepted_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expectedIndex");
        QTest::newRow("edit 2") << int(StoreRecallDialog::BUTTON_EDIT) << 2 << 2;
        QTest::newRow("save 0") << int(StoreRecallDialog::BUTTON_SAVE) << 0 << 0;
        QTest::newRow("save 3") << int(StoreRecallDialog::BUTTON_SAVE) << 3 << 3;
        QTest::newRow("clear all") << int(StoreRecallDialog::BUTTON_CLEAR_ALL) << -1 << -1;
    }
    void editSaveAndClearAllCloseAccepted()
    {
        QFETCH(int, button);
        QFETCH(int, row);
        QFETCH(int, expectedIndex);
        StoreRecallDialog* dialog = StoreRecallDialog::instance();
        QSignalSpy spy(dialog, &StoreRecallDialog::buttonPressed);
        const auto kind = StoreRecallDialog::Button(button);
        QCOMPARE(runClicking({dialog->button(kind, row)}), int(QDialog::Accepted));
        QCOMPARE(spy.count(), 1);
        int index = -2;
        StoreRecallDialog::Button pressed = StoreRecallDialog::BUTTON_SELECT;
        dialog->pressed(index, pressed);
        QCOMPARE(pressed, kind);
        QCOMPARE(index, expectedIndex);
        QVERIFY(!dialog->isVisible());
    }

    void titleShownAndCentredOnTheMainWindow()
    {
        QMainWindow window;
        window.setObjectName(QStringLiteral("MainWindow"));
        window.setGeometry(20, 30, 640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        StoreRecallDialog* dialog = StoreRecallDialog::instance();
        QRect geometry;
        QString title;
        whenShown([&] {
            geometry = dialog->geometry();
            title = dialog->findChild<QLabel*>(QStringLiteral("labelStatusBar"))->text();
            dialog->reject();
        });
        QCOMPARE(dialog->exec(QStringLiteral("Store-/Recall curve")), int(QDialog::Rejected));
        QCOMPARE(title, QStringLiteral("Store-/Recall curve"));
        const QRect area = window.geometry();
        QCOMPARE(geometry.x(), area.x() + (area.width() - geometry.width()) / 2);
        QCOMPARE(geometry.y(), area.y() + (area.height() - geometry.height()) / 2);
    }
};

QTEST_MAIN(TestStoreRecallDialog)
#include "tst_storerecalldialog.moc"
