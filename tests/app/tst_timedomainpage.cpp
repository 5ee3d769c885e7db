#include "MainWindow.h"
#include "common/TestRoot.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/TimeDomainDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

// The time-domain page of the main window (no FPGA here: the worker stays idle).
class TestTimeDomainPage : public QObject
{
    Q_OBJECT

private slots:
    void opensFromTheMenuAndReturnsFromItsSetupPage()
    {
        TestRoot root;
        QVERIFY(root.installMount());
        MainWindow* window = MainWindow::instance();
        auto* stack = window->findChild<QStackedWidget*>("MainWidget");
        auto* screen = window->findChild<TimeDomainDialog*>();
        const auto tap = [](QWidget* parent, const char* name) {
            QTest::mouseClick(parent->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
        };
        QCOMPARE(stack->indexOf(screen), 2);
        tap(window, "TimeDomainButton");
        QCOMPARE(stack->currentWidget(), screen);
        QCOMPARE(window->findChild<QLabel*>("statusLabel")->text(), QStringLiteral("Time Domain"));

        tap(screen, "SetupTimeButton");
        QCOMPARE(stack->currentWidget(), SetupDialog::instance());
        QVERIFY(SetupDialog::instance()->isLocked());
        QCOMPARE(SetupDialog::instance()->currentDialog(), int(SetupDialog::DIALOG_TIME));
        tap(SetupDialog::instance(), "ExitButton");
        QCOMPARE(stack->currentWidget(), screen); // measuring again with the new settings

        tap(screen, "ExitButton");
        QCOMPARE(stack->currentWidget(), window->findChild<QWidget*>("MainMenu"));
        QTest::ignoreMessage(QtDebugMsg, "closing");
        window->close();
    }
};

QTEST_MAIN(TestTimeDomainPage)
#include "tst_timedomainpage.moc"
