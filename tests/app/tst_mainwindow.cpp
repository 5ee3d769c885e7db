#include "MainWindow.h"
#include "dialogs/ValueSelectDialog.h"
#include "common/TestRoot.h"
#include "util/Configuration.h"
#include "util/Platform.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QtTest>

// The main window on a board root with GPIO lines, a battery gauge, a product identification
// and the remount stand-in: the start-up pulse, the status bar, the main menu and the names of
// the record folders.
class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;
    // Closes the timed notices at once (they would hold each case for 3 s) and keeps their texts.
    QTimer m_noticeCloser;
    QStringList m_notices;

    MainWindow* window() const { return MainWindow::instance(); }
    template <typename T>
    T* child(const char* name) const
    {
        return window()->findChild<T*>(QLatin1String(name));
    }
    static QString today() { return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")); }
    QString base() const { return m_root->path(QStringLiteral("/data/corvane_data/CV-0815/")); }
    void makeFolder(const QString& relative) { QVERIFY(QDir().mkpath(base() + relative)); }
    // Leaves the antenna selector, once it is up, with Escape (no choice).
    static void leaveSelectorSoon()
    {
        QTimer::singleShot(10, []() {
            if (QApplication::activeModalWidget() == ValueSelectDialog::instance())
                QTest::keyClick(ValueSelectDialog::instance(), Qt::Key_Escape);
            else
                leaveSelectorSoon();
        });
    }
    QByteArray gpio(int line) const
    {
        return m_root->readFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(line)).trimmed();
    }

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->isValid());
        QVERIFY(m_root->installMount());
        for (int line : {207, 209, 213})
            QVERIFY(m_root->writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(line), "0"));
        QVERIFY(m_root->writeFile(QStringLiteral("/sys/class/power_supply/ds2782-0/capacity"), "87\n"));
        QVERIFY(m_root->writeFile(QStringLiteral("/sys/class/backlight/backlight.7/brightness"), "0"));
        QVERIFY(m_root->installScript(QStringLiteral("/bin/editenv"),
                                      QStringLiteral("[ \"$1\" = --prodid ] || exit 1\necho 'CV-0815, rev B'")));
        // Created here, shown only after the start-up pulse has been watched from its beginning.
        window();
        connect(&m_noticeCloser, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_notices << box->text();
                box->accept();
            }
        });
        m_noticeCloser.start(20);
    }

    void cleanupTestCase()
    {
        QTest::ignoreMessage(QtDebugMsg, "closing");
        window()->close();
        QVERIFY(!window()->isVisible());
        m_root.reset();
    }

    // First, while the window is young: the pulse comes once, shortly after start.
    void startupPulseOnAntennaSelectLine()
    {
        QByteArrayList seen{gpio(209)};
        QElapsedTimer clock;
        clock.start();
        qint64 rose = -1, fell = -1;
        while (clock.elapsed() < 4000 && (fell < 0 || clock.elapsed() < fell + 600)) {
            QTest::qWait(10);
            const QByteArray value = gpio(209);
            if (value != seen.last()) {
                seen << value;
                (value == "1" ? rose : fell) = clock.elapsed();
            }
        }
        QCOMPARE(seen, QByteArrayList({"0", "1", "0"}));
        // Three ticks of 100 ms (timers never fire much early; late is possible on a busy machine).
        QVERIFY2(fell - rose >= 250, qPrintable(QString::number(fell - rose)));

        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }

    void startsOnTheMainMenu()
    {
        QCOMPARE(window()->size(), QSize(640, 480));
        QVERIFY(window()->windowTitle().isEmpty());
        auto* stack = child<QStackedWidget>("MainWidget");
        QVERIFY(stack);
        QCOMPARE(stack->currentWidget(), child<QWidget>("MainMenu"));
        QCOMPARE(child<QLabel>("labelUHF")->text(), QStringLiteral("Corvane"));
        QCOMPARE(child<QLabel>("SpectrumLabel")->text(), QStringLiteral("Spectrum"));
        QCOMPARE(child<QLabel>("TimeDomainLabel")->text(), QStringLiteral("Time Domain"));
        QCOMPARE(child<QLabel>("LevelMeterLabel")->text(), QStringLiteral("Level"));
        QCOMPARE(child<QLabel>("statusLabel")->text(), QStringLiteral("Main menu"));
        for (const char* name : {"SpecButton", "TimeDomainButton", "LevelMeterButton", "SetupButton", "AntennaButton",
                                 "NewDirButton", "HelpButton"}) {
            auto* button = child<QPushButton>(name);
            QVERIFY2(button, name);
            QVERIFY2(!button->icon().isNull(), name);
            QVERIFY2(button->text().isEmpty(), name);
            QVERIFY2(button->width() >= 60 && button->height() >= 60, name);
        }
        QVERIFY(qApp->styleSheet().contains(QLatin1String("QStatusBar")));
        QVERIFY(child<QWidget>("statusbar"));
        // The board initialisation after the menu leaves the preamplifier on; every later return
        // to the menu switches it and the pulse generator off.
        QCOMPARE(gpio(213), QByteArray("0"));
        QVERIFY(m_root->writeFile(QStringLiteral("/sys/class/gpio/gpio207/value"), "1"));
        window()->gotoMainMenu();
        QCOMPARE(gpio(213), QByteArray("1"));
        QCOMPARE(gpio(207), QByteArray("0"));
        // Backlight at the default 75 %.
        QCOMPARE(m_root->readFile(QStringLiteral("/sys/class/backlight/backlight.7/brightness")), QByteArray("95"));
    }

    void clockFollowsTheDateFormat()
    {
        auto* clockLabel = child<QLabel>("clockLabel");
        const QRegularExpression dayFirst(QStringLiteral("^(\\d\\d)\\.(\\d\\d)\\.(\\d{4}) \\d\\d:\\d\\d:\\d\\d$"));
        QTRY_VERIFY(dayFirst.match(clockLabel->text()).hasMatch());
        QCOMPARE(clockLabel->text().left(10), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
        Configuration::setValue(Configuration::VT_DateFormat, 1, QStringLiteral("system"));
        const QRegularExpression yearFirst(QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
        QTRY_VERIFY(yearFirst.match(clockLabel->text()).hasMatch());
        QCOMPARE(clockLabel->text().left(10), QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")));
        // The clock runs.
        const QString before = clockLabel->text();
        QTRY_VERIFY_WITH_TIMEOUT(clockLabel->text() != before, 2500);
        Configuration::setValue(Configuration::VT_DateFormat, 0, QStringLiteral("system"));
    }

    void specButtonFollowsTheAntenna()
    {
        auto* specButton = child<QPushButton>("SpecButton");
        QVERIFY(specButton->isEnabled());
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_TEV, QStringLiteral("system"));
        window()->gotoMainMenu();
        QVERIFY(!specButton->isEnabled());
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_HFCT, QStringLiteral("system"));
        leaveSelectorSoon();
        window()->on_AntennaButton_clicked();
        QVERIFY(!specButton->isEnabled());
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_UHF, QStringLiteral("system"));
        leaveSelectorSoon();
        window()->on_AntennaButton_clicked();
        QVERIFY(specButton->isEnabled());
        // Other screens' antenna settings do not count.
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_TEV, QStringLiteral("spectrum"));
        window()->gotoMainMenu();
        QVERIFY(specButton->isEnabled());
    }

    void folderNames()
    {
        const QString d = today();
        QDir(m_root->path(QStringLiteral("/data/corvane_data"))).removeRecursively();

        // At start: the name "Folder", no barcode, no index.
        QCOMPARE(MainWindow::folderName(false), d + "_Folder");
        QCOMPARE(MainWindow::folderName(true), base() + d + "_Folder");

        // Today's folders of that name are numbered on.
        makeFolder(d + "_Folder");
        makeFolder(d + "_Folder_2");
        makeFolder(QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd")) + "_Folder_9");
        window()->rescanFolderIndex();
        QCOMPARE(MainWindow::folderName(false), d + "_Folder_3");

        // A barcode clears the name and gets a folder level of its own; a notice tells the folder.
        m_notices.clear();
        window()->onBarCodeScan(QStringLiteral("4711"));
        QCOMPARE(MainWindow::folderName(false), "4711/" + d);
        QCOMPARE(m_notices, QStringList{"Folder 4711/" + d});
        QCOMPARE(MainWindow::folderName(true), base() + "4711/" + d);
        makeFolder("4711/" + d);
        window()->onBarCodeScan(QStringLiteral("4711"));
        QCOMPARE(MainWindow::folderName(false), "4711/" + d + "_1");
        window()->rescanFolderIndex();
        QCOMPARE(MainWindow::folderName(false), "4711/" + d + "_1");

        // Something that is no barcode changes nothing; the operator is told why.
        window()->onBarCodeScan(QStringLiteral("../1"));
        window()->onBarCodeScan(QStringLiteral(".."));
        window()->onBarCodeScan(QString(129, QLatin1Char('7')));
        QCOMPARE(MainWindow::folderName(false), "4711/" + d + "_1");
        QCOMPARE(m_notices.mid(2), (QStringList{"Barcode refused: it contains characters not allowed in a folder name",
                                                "Barcode refused: it is no folder name",
                                                "Barcode refused: longer than 128 characters"}));

        // A new name clears the barcode.
        window()->setFolderName(QStringLiteral("Site A"));
        QCOMPARE(MainWindow::folderName(false), d + "_Site A");
        makeFolder(d + "_Site A");
        window()->rescanFolderIndex();
        QCOMPARE(MainWindow::folderName(true), base() + d + "_Site A_1");

        // An empty name: just the date (index 0 or none), also below a barcode.
        QDir(m_root->path(QStringLiteral("/data/corvane_data"))).removeRecursively();
        window()->setFolderName(QString());
        QCOMPARE(MainWindow::folderName(false), d);
        window()->onBarCodeScan(QStringLiteral("99"));
        QCOMPARE(MainWindow::folderName(false), "99/" + d);
        window()->setFolderName(QStringLiteral("Folder"));
    }

    void batteryGaugeRefreshesEveryFiveSeconds()
    {
        auto* gauge = child<QProgressBar>("batteryGauge");
        QCOMPARE(gauge->minimum(), 0);
        QCOMPARE(gauge->maximum(), 100);
        QCOMPARE(gauge->value(), 87);
        QVERIFY(m_root->writeFile(QStringLiteral("/sys/class/power_supply/ds2782-0/capacity"), "42\n"));
        QTRY_COMPARE_WITH_TIMEOUT(gauge->value(), 42, 6000);
    }

    // Last: the picture of the main menu for the README (saved when CORVANE_SCREENSHOT_DIR is set).
    void mainMenuPicture()
    {
        window()->setFolderName(QStringLiteral("Folder"));
        window()->gotoMainMenu();
        QTest::qWait(150);
        const QPixmap picture = window()->grab();
        QCOMPARE(picture.size(), QSize(640, 480));
        const QString dir = qEnvironmentVariable("CORVANE_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QVERIFY(QDir().mkpath(dir));
            QVERIFY(picture.save(dir + QStringLiteral("/mainmenu.png"), "PNG"));
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
