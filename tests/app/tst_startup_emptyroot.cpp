#include "MainWindow.h"
#include "common/TestRoot.h"

#include <QDate>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

// The main window starts in a root that holds nothing but an empty data folder: no sysfs, no
// devices, no commands. It still shows the main menu with a running clock.
class TestStartupEmptyRoot : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        QCOMPARE(QDir(m_root->root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"data"});
        MainWindow::instance()->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainWindow::instance()));
    }

    void showsTheMainMenu()
    {
        MainWindow* window = MainWindow::instance();
        auto* stack = window->findChild<QStackedWidget*>(QStringLiteral("MainWidget"));
        QCOMPARE(stack->currentWidget(), window->findChild<QWidget*>(QStringLiteral("MainMenu")));
        QVERIFY(window->findChild<QPushButton*>(QStringLiteral("SpecButton"))->isEnabled());
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("statusLabel"))->text(), QStringLiteral("Main menu"));
        auto* clock = window->findChild<QLabel*>(QStringLiteral("clockLabel"));
        QTRY_VERIFY(clock->text().startsWith(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))));
        // No gauge to read: the gauge shows nothing rather than a made-up value.
        auto* gauge = window->findChild<QProgressBar*>(QStringLiteral("batteryGauge"));
        QVERIFY(gauge->value() < gauge->minimum());
    }

    void nothingWasWrittenOutsideData()
    {
        // The board's files are missing, so start-up wrote none of them (no GPIO, no backlight).
        QCOMPARE(QDir(m_root->root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"data"});
    }

    void foldersUseTheFallbackIdentification()
    {
        const QString d = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(MainWindow::folderName(true), m_root->root() + "/data/corvane_data/Unknown/" + d + "_Folder");
        QCOMPARE(MainWindow::folderName(false), d + "_Folder");
    }
};

QTEST_MAIN(TestStartupEmptyRoot)
#include "tst_startup_emptyroot.moc"
