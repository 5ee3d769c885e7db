#include "MainWindow.h"
#include "common/TestRoot.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/TimeDomainDialog.h"
#include "util/Configuration.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

// The time-domain page of the main window: its button opens it, its setup button opens the
// setup frame locked on its page and leaving setup returns to it; exit goes back to the menu.
// The board has no FPGA here, so the worker stays idle.
class TestTimeDomainPage : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

    MainWindow* window() const { return MainWindow::instance(); }
    QWidget* shown() const { return window()->findChild<QStackedWidget*>("MainWidget")->currentWidget(); }
    QString status() const { return window()->findChild<QLabel*>("statusLabel")->text(); }
    static void tap(QWidget* parent, const char* name)
    {
        QTest::mouseClick(parent->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->installMount());
        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }
    void cleanupTestCase()
    {
        QTest::ignoreMessage(QtDebugMsg, "closing");
        window()->close();
        m_root.reset();
    }

    void opensFromTheMenuAndReturnsFromSetup()
    {
        auto* screen = window()->findChild<TimeDomainDialog*>();
        QCOMPARE(window()->findChild<QStackedWidget*>("MainWidget")->indexOf(screen), 2);
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_TEV, "system");
        tap(window(), "TimeDomainButton");
        QCOMPARE(shown(), screen);
        QCOMPARE(status(), QStringLiteral("Time Domain"));
        QVERIFY(!screen->findChild<QPushButton*>("FreqButton")->isEnabled()); // no frequency for TEV

        tap(screen, "SetupTimeButton");
        SetupDialog* setup = SetupDialog::instance();
        QCOMPARE(shown(), setup);
        QVERIFY(setup->isLocked());
        QCOMPARE(setup->currentDialog(), int(SetupDialog::DIALOG_TIME));
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_UHF, "system");
        tap(setup, "ExitButton");
        QCOMPARE(shown(), screen);
        QCOMPARE(status(), QStringLiteral("Time Domain"));
        QVERIFY(screen->findChild<QPushButton*>("FreqButton")->isEnabled()); // started again, new settings

        tap(screen, "ExitButton");
        QCOMPARE(shown(), window()->findChild<QWidget*>("MainMenu"));
        QVERIFY(!screen->isTimerRunning());
    }
};

QTEST_MAIN(TestTimeDomainPage)
#include "tst_timedomainpage.moc"
