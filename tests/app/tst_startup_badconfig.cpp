#include "MainWindow.h"
#include "common/TestRoot.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

// A config.ini with values that are not numbers, out of range or missing: the program still
// starts on the main menu, and no stored value can darken the screen or break the clock.
class TestStartupBadConfig : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        QVERIFY(m_root->writeFile(QStringLiteral("/data/config.ini"), "[system]\n"
                                                                      "Brightness=dark\n"
                                                                      "DateFormat=7\n"
                                                                      "Antenna=9\n"
                                                                      "Language=\n"
                                                                      "[spectrum]\n"
                                                                      "FreqMin=-5\n"));
        QVERIFY(m_root->writeFile(QStringLiteral("/sys/class/backlight/backlight.7/brightness"), "127"));
        MainWindow::instance()->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainWindow::instance()));
    }

    void startsOnTheMainMenu()
    {
        MainWindow* window = MainWindow::instance();
        auto* stack = window->findChild<QStackedWidget*>(QStringLiteral("MainWidget"));
        QCOMPARE(stack->currentWidget(), window->findChild<QWidget*>(QStringLiteral("MainMenu")));
        // Antenna 9 is no UHF antenna.
        QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("SpecButton"))->isEnabled());
    }

    void brightnessIsKeptInItsRange()
    {
        // "dark" reads as 0; the backlight gets the smallest allowed brightness (5 %), not 0.
        QCOMPARE(m_root->readFile(QStringLiteral("/sys/class/backlight/backlight.7/brightness")), QByteArray("6"));
    }

    void clockFallsBackToTheDefaultDateFormat()
    {
        auto* clock = MainWindow::instance()->findChild<QLabel*>(QStringLiteral("clockLabel"));
        QTRY_VERIFY(!clock->text().isEmpty());
        QVERIFY(clock->text().startsWith(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")) + " "));
    }
};

QTEST_MAIN(TestStartupBadConfig)
#include "tst_startup_badconfig.moc"
