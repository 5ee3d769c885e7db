// The main window on a prepared root (no FPGA): start-up, the clock and the battery gauge, the
// antenna choice, the folder names, and every route from the main menu and back.
#include "DialogDriver.h"
#include "MainWindow.h"
#include "SetupPageOperator.h"
#include "common/TestRoot.h"
#include "dialogs/HelpDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/TextEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"
#include "util/LanguageManager.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QtTest>

#include <functional>

using Action = std::function<void()>;
Q_DECLARE_METATYPE(Action)

class TestMainWindow : public QObject
{
    Q_OBJECT

    QScopedPointer<TestRoot> m_root;
    SetupPageOperator m_operator; // closes the notices at once; their texts in m_operator.notices

    static MainWindow* window() { return MainWindow::instance(); }
    template<typename T> static T* child(const char* name) { return window()->findChild<T*>(name); }
    static QWidget* page() { return child<QStackedWidget>("MainWidget")->currentWidget(); }
    static QString status() { return child<QLabel>("statusLabel")->text(); }
    static void tap(const char* name) { DialogDriver::tap(child<QPushButton>(name)); }
    // A measurement screen's only timer is its display's.
    static bool measuring(QObject* screen)
    {
        return !QAbstractEventDispatcher::instance()->registeredTimers(screen).isEmpty();
    }
    // Leaves a measurement screen with its exit button: back on the main menu, not measuring.
    static void leaveScreen(QWidget* screen)
    {
        DialogDriver::tap(screen->findChild<QPushButton*>("ExitButton"));
        QCOMPARE(page(), child<QWidget>("MainMenu"));
        QVERIFY(!measuring(screen));
    }
    QString base() const { return m_root->path("/data/corvane_data/CV-0815/"); }
    void makeFolder(const QString& relative) { QVERIFY(QDir().mkpath(base() + relative)); }
    QByteArray gpio(int line) const { return m_root->gpio(line); }

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->installMount());
        for (int line : {207, 209, 213})
            QVERIFY(m_root->setGpio(line, "0"));
        QVERIFY(m_root->writeFile("/sys/class/power_supply/ds2782-0/capacity", "87\n"));
        QVERIFY(m_root->writeFile("/sys/class/backlight/backlight.7/brightness", "0"));
        QVERIFY(m_root->installScript("/bin/editenv", "[ \"$1\" = --prodid ] || exit 1\necho 'CV-0815, rev B'"));
        for (const QString name : {"corvane_de.qm", "corvane_de.cfg", "corvane_en.cfg"}) {
            QFile file(QCoreApplication::applicationDirPath() + "/../translations/" + name);
            QVERIFY(file.open(QIODevice::ReadOnly) && m_root->writeFile("/usr/lib/language/" + name, file.readAll()));
        }
        window(); // shown only after the start-up pulse has been watched from its beginning
    }
    void cleanupTestCase()
    {
        QTest::ignoreMessage(QtDebugMsg, "closing");
        window()->close();
        m_root.reset();
    }
    void init() { QApplication::setActiveWindow(window()); }

    // First, while the window is young: the antenna select line pulses once (three 100 ms ticks).
    void startupPulseOnAntennaSelectLine()
    {
        QByteArrayList seen {gpio(209)};
        QElapsedTimer clock;
        clock.start();
        qint64 rose = -1, fell = -1;
        while (clock.elapsed() < 4000 && (fell < 0 || clock.elapsed() < fell + 600)) {
            QTest::qWait(10);
            if (gpio(209) != seen.last()) {
                seen << gpio(209);
                (seen.last() == "1" ? rose : fell) = clock.elapsed();
            }
        }
        QCOMPARE(seen, QByteArrayList({"0", "1", "0"}));
        QVERIFY2(fell - rose >= 250, qPrintable(QString::number(fell - rose)));
        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }

    void startsOnTheMainMenu()
    {
        for (QPushButton* button : child<QWidget>("MainMenu")->findChildren<QPushButton*>())
            QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
        // The board set-up leaves the preamplifier on; every return to the menu switches it and the
        // pulse generator off. Backlight at the default 75 %; the gauge is read every five seconds.
        QCOMPARE(gpio(213), QByteArray("0"));
        QVERIFY(m_root->setGpio(207, "1"));
        window()->gotoMainMenu();
        QCOMPARE(gpio(213) + gpio(207), QByteArray("10"));
        QCOMPARE(m_root->readFile("/sys/class/backlight/backlight.7/brightness"), QByteArray("95"));
        QCOMPARE(child<QProgressBar>("batteryGauge")->value(), 87); // and 42 at the end
        QVERIFY(m_root->writeFile("/sys/class/power_supply/ds2782-0/capacity", "42\n"));
    }

    void clockFollowsTheDateFormat()
    {
        auto* clock = child<QLabel>("clockLabel");
        Configuration::setValue(Configuration::VT_DateFormat, 1, "system");
        const QString today = QDate::currentDate().toString("yyyy\\.MM\\.dd");
        QTRY_VERIFY(QRegularExpression("^" + today + " \\d\\d:\\d\\d:\\d\\d$").match(clock->text()).hasMatch());
        const QString before = clock->text();
        QTRY_VERIFY_WITH_TIMEOUT(clock->text() != before, 2500);
        Configuration::setValue(Configuration::VT_DateFormat, 0, "system");
    }

    // The antenna button: the selector must be answered (no exit); a TEV or HFCT sensor shows its
    // connection page; the spectrum is offered for the UHF antenna of the main menu only.
    void antennaChoice_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("sensorPage");
        QTest::addColumn<bool>("spectrum");
        QTest::newRow("UHF to TEV") << int(Configuration::ANTENNA_UHF) << "#1" << int(Configuration::ANTENNA_TEV) << true << false;
        QTest::newRow("HFCT to UHF") << int(Configuration::ANTENNA_HFCT) << "#0" << int(Configuration::ANTENNA_UHF) << false << true;
        QTest::newRow("left with Escape") << int(Configuration::ANTENNA_HFCT) << "Escape" << int(Configuration::ANTENNA_HFCT) << true
                                          << false;
    }
    void antennaChoice()
    {
        QFETCH(int, before);
        QFETCH(QString, script);
        Configuration::setValue(Configuration::VT_Antenna, before, "system");
        window()->gotoMainMenu();
        DialogDriver::run(ValueSelectDialog::instance(), "? " + script, [] { return tap("AntennaButton"), 0; }, [] {
            QVERIFY(!ValueSelectDialog::instance()->findChild<QPushButton*>("pushButtonExit")->isVisible());
        });
        QTEST(Configuration::getValue(Configuration::VT_Antenna, "system"), "after");
        QFETCH(bool, sensorPage);
        QCOMPARE(page() == InfoDialog::instance(), sensorPage);
        if (sensorPage) {
            QCOMPARE(status(), QStringLiteral("Help"));
            QVERIFY(InfoDialog::instance()->findChild<QTextBrowser*>("webView")->toPlainText().contains("HFCT"));
            DialogDriver::tap(InfoDialog::instance()->findChild<QPushButton*>("Button"));
        }
        QCOMPARE(page(), child<QWidget>("MainMenu"));
        QTEST(child<QPushButton>("SpecButton")->isEnabled(), "spectrum");
        // Another screen's antenna setting does not count.
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_TEV, "spectrum");
        window()->gotoMainMenu();
        QTEST(child<QPushButton>("SpecButton")->isEnabled(), "spectrum");
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_UHF, "system");
    }

    // Every way in from the main menu, and where leaving goes: setup opened by a measurement
    // screen's own button returns to that screen (shown and measuring again), even when another
    // category was chosen meanwhile; opened from the menu it returns to the menu.
    void routes_data()
    {
        QTest::addColumn<Action>("open");
        QTest::addColumn<QString>("openStatus");
        QTest::addColumn<Action>("leave");
        QTest::addColumn<QString>("back"); // the page shown afterwards
        const auto setup = SetupDialog::instance;
        const auto setupExit = [setup] { DialogDriver::tap(setup()->findChild<QPushButton*>("ExitButton")); };
        QTest::newRow("help") << Action([] { tap("HelpButton"); }) << "Help" << Action([] {
            auto* help = window()->findChild<HelpDialog*>();
            DialogDriver::tap(help->findChild<QPushButton*>("ForwardButton"));
            DialogDriver::tap(help->findChild<QPushButton*>("ExitButton"));
        }) << "MainMenu";
        QTest::newRow("help again on its first page") << Action([] { tap("HelpButton"); }) << "Help" << Action([] {
            auto* help = window()->findChild<HelpDialog*>();
            QCOMPARE(help->currentPage(), 0);
            QTest::keyClick(help->findChild<QTextBrowser*>("webView"), Qt::Key_Escape);
        }) << "MainMenu";
        QTest::newRow("setup from the menu") << Action([setup] {
            tap("SetupButton");
            QCOMPARE(setup()->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
            QVERIFY(!setup()->isLocked());
        }) << "Setup" << Action(setupExit) << "MainMenu";
        const struct {
            const char *menuButton, *status, *setupButton, *screen;
            SetupDialog::Dialog page;
        } screens[] = {
            {"SpecButton", "Spectrum", "SetupSpectrumButton", "SpectrumDialog", SetupDialog::DIALOG_SPECTRUM},
            {"TimeDomainButton", "Time Domain", "SetupTimeButton", "TimeDomainDialog", SetupDialog::DIALOG_TIME},
            {"LevelMeterButton", "Level", "SetupLevelButton", "LevelMeterDialog", SetupDialog::DIALOG_LEVEL}};
        for (const auto& s : screens) {
            const Action open = [s] { tap(s.menuButton); };
            const Action openSetup = [s, setup] {
                tap(s.menuButton);
                DialogDriver::tap(page()->findChild<QPushButton*>(s.setupButton));
                QVERIFY(setup()->isLocked());
                QCOMPARE(setup()->currentDialog(), int(s.page));
            };
            QTest::addRow("%s", s.status) << open << s.status << Action([] { leaveScreen(page()); }) << "MainMenu";
            QTest::addRow("setup from the %s screen", s.status)
                << openSetup << "Setup" << Action(setupExit) << s.screen;
        }
        QTest::newRow("another category chosen meanwhile") << Action([setup] {
            window()->gotoSetup(SetupDialog::DIALOG_SPECTRUM);
            setup()->setDialog(SetupDialog::DIALOG_INFO, false);
        }) << "Setup" << Action(setupExit) << "SpectrumDialog";
        QTest::newRow("setup from the menu after the screen's") << Action([] { tap("SetupButton"); }) << "Setup"
                                                                << Action([setup] { QTest::keyClick(setup(), Qt::Key_Escape); })
                                                                << "MainMenu";
    }
    void routes()
    {
        QFETCH(Action, open);
        QFETCH(Action, leave);
        QFETCH(QString, back);
        window()->gotoMainMenu();
        open();
        QVERIFY(page() != child<QWidget>("MainMenu"));
        QTEST(status(), "openStatus");
        leave();
        QCOMPARE(page()->objectName(), back);
        if (back != "MainMenu") {
            QVERIFY(measuring(page()));
            leaveScreen(page());
        }
    }

    void folderNames()
    {
        const QString d = QDate::currentDate().toString("yyyy-MM-dd");
        QDir(m_root->path("/data/corvane_data")).removeRecursively();
        QCOMPARE(MainWindow::folderName(true), base() + d + "_Folder");
        // Today's folders of that name are numbered on.
        makeFolder(d + "_Folder");
        makeFolder(d + "_Folder_2");
        window()->rescanFolderIndex();
        QCOMPARE(MainWindow::folderName(false), d + "_Folder_3");
        // A barcode clears the name and gets a folder level of its own; a notice tells the folder.
        m_operator.notices.clear();
        window()->onBarCodeScan("4711");
        QCOMPARE(MainWindow::folderName(true), base() + "4711/" + d);
        QCOMPARE(m_operator.notices, QStringList {"Folder 4711/" + d});
        makeFolder("4711/" + d);
        window()->rescanFolderIndex();
        QCOMPARE(MainWindow::folderName(false), "4711/" + d + "_1");
        // Something that is no barcode changes nothing; the operator is told why.
        for (const QString& scan : {QString("../1"), QString(".."), QString(129, '7')})
            window()->onBarCodeScan(scan);
        QCOMPARE(MainWindow::folderName(false), "4711/" + d + "_1");
        QCOMPARE(m_operator.notices.mid(1), QStringList({"Barcode refused: it contains characters not allowed in a folder name",
                                                "Barcode refused: it is no folder name", "Barcode refused: longer than 128 characters"}));
        // A new name clears the barcode; an empty name leaves just the date.
        makeFolder(d + "_Site A_4");
        window()->setFolderName("Site A");
        QCOMPARE(MainWindow::folderName(false), d + "_Site A_5");
        QDir(m_root->path("/data/corvane_data")).removeRecursively();
        window()->setFolderName(QString());
        QCOMPARE(MainWindow::folderName(false), d);
        window()->onBarCodeScan("99");
        QCOMPARE(MainWindow::folderName(false), "99/" + d);
        // The new-folder button edits the name; leaving the editor keeps it.
        m_operator.notices.clear();
        DialogDriver::run(TextEditDialog::instance(), "? @ButtonOk", [] { return tap("NewDirButton"), 0; }, [&] {
            auto* line = TextEditDialog::instance()->findChild<QLineEdit*>("lineEditText");
            QCOMPARE(line->text(), QStringLiteral("Folder"));
            line->setText("Bay-7");
        });
        QCOMPARE(MainWindow::folderName(false), d + "_Bay-7");
        QTRY_COMPARE(m_operator.notices, QStringList {"Folder " + d + "_Bay-7"});
        DialogDriver::run(TextEditDialog::instance(), "Escape", [] { return tap("NewDirButton"), 0; });
        QCOMPARE(MainWindow::folderName(false), d + "_Bay-7");
        window()->setFolderName("Folder");
    }

    // The main menu, the setup pages and the input dialogs in German, switched as the system page
    // does while setup is shown: retranslated at once. (The way back: util.presentation.)
    void german()
    {
        LanguageManager::instance()->reloadLanguages();
        SetupDialog* setup = SetupDialog::instance();
        window()->gotoMainMenu();
        tap("SetupButton");
        QVERIFY(LanguageManager::instance()->changeLanguage("de"));
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("de"), "system");
        QTRY_COMPARE(status(), QStringLiteral("Einstellungen"));
        QStringList texts {status(), setup->findChild<QLabel*>("LanguageLabel")->text()};
        setup->setDialog(SetupDialog::DIALOG_TIME, false);
        texts << setup->findChild<QPushButton*>("CategoryButton")->text();
        texts << setup->findChild<QLabel*>("PhaseShiftLabel")->text();
        auto* selector = ValueSelectDialog::instance();
        DialogDriver::run(selector, "?", [] { return ValueSelectDialog::selectOnOff(0, "p"); }, [&] {
            texts << selector->findChild<QListWidget*>("ListWidget")->item(0)->text();
            texts << selector->findChild<QPushButton*>("pushButtonExit")->text();
        });
        auto* editor = TextEditDialog::instance();
        DialogDriver::run(editor, "?", [editor] { return editor->exec(QString(), "p", 20); },
                          [&] { texts << editor->findChild<QLabel*>("labelStatusBar")->text(); });
        window()->gotoMainMenu();
        texts << child<QLabel>("SpectrumLabel")->text() + " " + status();
        QCOMPARE(texts.join('|'), QString("Einstellungen|Sprache|Zeitbereich|Phasenverschiebung|Aus|Zurück|"
                                          "Leerer Text ist nicht erlaubt|Spektrum Hauptmenü"));
        LanguageManager::instance()->changeLanguage("en");
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("en"), "system");
    }

    void batteryGaugeIsRefreshed() { QTRY_COMPARE_WITH_TIMEOUT(child<QProgressBar>("batteryGauge")->value(), 42, 6000); }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
