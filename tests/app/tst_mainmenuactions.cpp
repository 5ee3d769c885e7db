#include "MainWindow.h"
#include "common/TestRoot.h"
#include "dialogs/HelpDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/TextEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"
#include "util/LanguageManager.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QtTest>

#include <functional>

// The main menu's antenna, folder, help and setup buttons, the routes out of setup, and the
// main menu in German.
class TestMainMenuActions : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

    static MainWindow* window() { return MainWindow::instance(); }
    template <typename T>
    static T* child(const char* name)
    {
        return window()->findChild<T*>(QLatin1String(name));
    }
    static QWidget* shownPage() { return child<QStackedWidget>("MainWidget")->currentWidget(); }
    static QString status() { return child<QLabel>("statusLabel")->text(); }
    static void tap(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Runs action once dialog is up in its exec().
    static void whenShown(QWidget* dialog, std::function<void()> action)
    {
        QTimer::singleShot(10, dialog, [dialog, action]() {
            if (QApplication::activeModalWidget() == dialog) {
                QApplication::setActiveWindow(dialog);
                action();
            } else {
                whenShown(dialog, action);
            }
        });
    }
    static void chooseAntenna(int row, bool* exitVisible = nullptr)
    {
        ValueSelectDialog* selector = ValueSelectDialog::instance();
        whenShown(selector, [=]() {
            if (exitVisible)
                *exitVisible = selector->findChild<QPushButton*>("pushButtonExit")->isVisible();
            if (row < 0) {
                QTest::keyClick(selector, Qt::Key_Escape);
                return;
            }
            auto* list = selector->findChild<QListWidget*>("ListWidget");
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(list->item(row)).center());
        });
        tap(child<QPushButton>("AntennaButton"));
    }
    // The whole screen as the operator sees it, saved as <name>.png into $CORVANE_SCREENSHOT_DIR.
    static void picture(const QString& name)
    {
        const QString dir = qEnvironmentVariable("CORVANE_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        QTest::qWait(50);
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(window()->grab().save(dir + "/" + name + ".png", "PNG"));
    }
    static int antenna() { return Configuration::getValue(Configuration::VT_Antenna, QStringLiteral("system")); }
    bool install(const QString& name) const
    {
        QFile file(QCoreApplication::applicationDirPath() + "/../translations/" + name);
        return file.open(QIODevice::ReadOnly) && m_root->writeFile("/usr/lib/language/" + name, file.readAll());
    }

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        QVERIFY(m_root->installMount());
        for (int line : {207, 209, 213})
            QVERIFY(m_root->writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(line), "0"));
        QVERIFY(m_root->installScript(QStringLiteral("/bin/editenv"), QStringLiteral("echo CV-0815")));
        QVERIFY(install("corvane_de.qm"));
        QVERIFY(install("corvane_de.cfg"));
        QVERIFY(install("corvane_en.cfg"));
        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }

    void cleanupTestCase()
    {
        QTest::ignoreMessage(QtDebugMsg, "closing");
        window()->close();
        m_root.reset();
    }

    void init()
    {
        window()->gotoMainMenu();
        QApplication::setActiveWindow(window());
    }

    void pagesAreInTheMainWindowsStack()
    {
        auto* stack = child<QStackedWidget>("MainWidget");
        const int setup = stack->indexOf(SetupDialog::instance());
        const int help = stack->indexOf(window()->findChild<HelpDialog*>());
        const int sensor = stack->indexOf(InfoDialog::instance());
        QVERIFY(setup > 0);
        QCOMPARE(help, setup + 1);
        QCOMPARE(sensor, help + 1);
        QCOMPARE(sensor, stack->count() - 1);
    }

    void tevShowsTheSensorPageAndDisablesTheSpectrum()
    {
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_UHF, "system");
        bool exitVisible = true;
        chooseAntenna(1, &exitVisible);
        QVERIFY(!exitVisible); // an antenna must be chosen
        QCOMPARE(antenna(), int(Configuration::ANTENNA_TEV));
        QCOMPARE(shownPage(), static_cast<QWidget*>(InfoDialog::instance()));
        QCOMPARE(status(), QStringLiteral("Help"));
        QCOMPARE(InfoDialog::instance()->findChild<QLabel*>("labelHeadline")->text(),
                 QStringLiteral("Sensor connection on channel REF/RFF/CAL"));
        QVERIFY(InfoDialog::instance()->findChild<QTextBrowser*>("webView")->toPlainText().contains("HFCT"));
        QVERIFY(!child<QPushButton>("SpecButton")->isEnabled());
        picture(QStringLiteral("InfoDialog"));

        // OK on the sensor page returns to the main menu.
        tap(InfoDialog::instance()->findChild<QPushButton*>("Button"));
        QCOMPARE(shownPage(), child<QWidget>("MainMenu"));
        QCOMPARE(status(), QStringLiteral("Main menu"));
    }

    void uhfEnablesTheSpectrumAtOnce()
    {
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_HFCT, "system");
        window()->gotoMainMenu();
        QVERIFY(!child<QPushButton>("SpecButton")->isEnabled());
        chooseAntenna(0);
        QCOMPARE(antenna(), int(Configuration::ANTENNA_UHF));
        QCOMPARE(shownPage(), child<QWidget>("MainMenu"));
        QVERIFY(child<QPushButton>("SpecButton")->isEnabled());
    }

    void leavingTheSelectorKeepsTheAntenna()
    {
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_HFCT, "system");
        chooseAntenna(-1);
        QCOMPARE(antenna(), int(Configuration::ANTENNA_HFCT));
        // The sensor instructions follow the setting as it stands.
        QCOMPARE(shownPage(), static_cast<QWidget*>(InfoDialog::instance()));
        QTest::keyClick(InfoDialog::instance(), Qt::Key_Escape);
        QCOMPARE(shownPage(), child<QWidget>("MainMenu"));
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_UHF, "system");
    }

    void helpButtonOpensTheFirstHelpPage()
    {
        tap(child<QPushButton>("HelpButton"));
        auto* help = window()->findChild<HelpDialog*>();
        QCOMPARE(shownPage(), static_cast<QWidget*>(help));
        QCOMPARE(status(), QStringLiteral("Help"));
        QCOMPARE(help->currentPage(), 0);
        picture(QStringLiteral("HelpDialog"));
        tap(help->findChild<QPushButton*>("ForwardButton"));
        tap(help->findChild<QPushButton*>("ExitButton"));
        QCOMPARE(shownPage(), child<QWidget>("MainMenu"));
        // Help always opens on its first page.
        tap(child<QPushButton>("HelpButton"));
        QCOMPARE(help->currentPage(), 0);
        QTest::keyClick(help->findChild<QTextBrowser*>("webView"), Qt::Key_Escape);
        QCOMPARE(shownPage(), child<QWidget>("MainMenu"));
    }

    void setupButtonOpensTheSystemPageUnlocked()
    {
        SetupDialog* setup = SetupDialog::instance();
        tap(child<QPushButton>("SetupButton"));
        QCOMPARE(shownPage(), static_cast<QWidget*>(setup));
        QCOMPARE(status(), QStringLiteral("Setup"));
        QCOMPARE(setup->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        QVERIFY(!setup->isLocked());
        picture(QStringLiteral("SetupDialog"));
        tap(setup->findChild<QPushButton*>("ExitButton"));
        QCOMPARE(shownPage(), child<QWidget>("MainMenu"));
    }

    void setupFromAScreenReturnsToThatScreen()
    {
        SetupDialog* setup = SetupDialog::instance();
        QSignalSpy exitSpy(setup, &SetupDialog::exit);
        window()->gotoSetup(SetupDialog::DIALOG_TIME);
        QVERIFY(setup->isLocked());
        QCOMPARE(setup->currentDialog(), int(SetupDialog::DIALOG_TIME));
        // Leaving goes to the time-domain screen (its button's slot), not to the main menu.
        tap(setup->findChild<QPushButton*>("ExitButton"));
        QCOMPARE(exitSpy.count(), 1);
        QVERIFY(shownPage() != child<QWidget>("MainMenu"));
        QVERIFY(status() != QStringLiteral("Main menu"));

        // Opened from the main menu afterwards, leaving returns to the main menu again.
        window()->gotoMainMenu();
        tap(child<QPushButton>("SetupButton"));
        QTest::keyClick(setup, Qt::Key_Escape);
        QCOMPARE(shownPage(), child<QWidget>("MainMenu"));

        // The spectrum page opened from its screen, then another category chosen from the list:
        // leaving still returns to the spectrum screen that opened setup.
        window()->gotoSetup(SetupDialog::DIALOG_SPECTRUM);
        setup->setDialog(SetupDialog::DIALOG_INFO, false);
        tap(setup->findChild<QPushButton*>("ExitButton"));
        QVERIFY(shownPage() != child<QWidget>("MainMenu"));
        QVERIFY(status() != QStringLiteral("Main menu"));
        QCOMPARE(exitSpy.count(), 3);
    }

    void newFolderNameIsAnnounced()
    {
        TextEditDialog* editor = TextEditDialog::instance();
        QString startText, prompt, notice;
        whenShown(editor, [&]() {
            auto* line = editor->findChild<QLineEdit*>("lineEditText");
            startText = line->text();
            prompt = editor->findChild<QLabel*>("labelStatusBar")->text();
            line->setText(QStringLiteral("Bay-7"));
            // The notice that follows closes itself after 3 s; read it, then close it early.
            QTimer* watch = new QTimer(window());
            connect(watch, &QTimer::timeout, [&notice, watch]() {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    notice = box->text();
                    box->accept();
                    watch->deleteLater();
                }
            });
            watch->start(20);
            tap(editor->findChild<QPushButton*>("ButtonOk"));
        });
        tap(child<QPushButton>("NewDirButton"));
        QCOMPARE(startText, QStringLiteral("Folder"));
        QCOMPARE(prompt, QStringLiteral("Edit folder name"));
        const QString folder = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + "_Bay-7";
        QCOMPARE(MainWindow::folderName(false), folder);
        QCOMPARE(notice, "Folder " + folder);

        // Leaving the editor keeps the name.
        whenShown(editor, [editor]() { QTest::keyClick(editor, Qt::Key_Escape); });
        tap(child<QPushButton>("NewDirButton"));
        QCOMPARE(MainWindow::folderName(false), folder);
        window()->setFolderName(QStringLiteral("Folder"));
    }

    void mainMenuInGerman()
    {
        LanguageManager* languages = LanguageManager::instance();
        languages->reloadLanguages();
        QVERIFY(languages->changeLanguage("de"));
        window()->gotoMainMenu();
        QCOMPARE(child<QLabel>("SpectrumLabel")->text(), QStringLiteral("Spektrum"));
        QCOMPARE(child<QLabel>("TimeDomainLabel")->text(), QStringLiteral("Zeitbereich"));
        QCOMPARE(child<QLabel>("LevelMeterLabel")->text(), QStringLiteral("Pegel"));
        QCOMPARE(status(), QString::fromUtf8("Hauptmen\xc3\xbc"));
        tap(child<QPushButton>("SetupButton"));
        QCOMPARE(status(), QStringLiteral("Einstellungen"));
        tap(SetupDialog::instance()->findChild<QPushButton*>("ExitButton"));

        // A language change while setup is shown retranslates the status text at once.
        languages->changeLanguage("en");
        tap(child<QPushButton>("SetupButton"));
        QCOMPARE(status(), QStringLiteral("Setup"));
        languages->changeLanguage("de");
        QTRY_COMPARE(status(), QStringLiteral("Einstellungen"));
        languages->changeLanguage("en");
        QTRY_COMPARE(status(), QStringLiteral("Setup"));
        window()->gotoMainMenu();
        QCOMPARE(child<QLabel>("SpectrumLabel")->text(), QStringLiteral("Spectrum"));
        QCOMPARE(status(), QStringLiteral("Main menu"));
    }
};

QTEST_MAIN(TestMainMenuActions)
#include "tst_mainmenuactions.moc"
