// The main window's start on unusual boards, each in a process of its own (the window is made
// once per process): a root with nothing but an empty /data, a damaged config.ini, and a board
// with both FPGA memories. (A board without them is app.mainwindow's.)
#include "MainWindow.h"
#include "common/TestRoot.h"
#include "hardware/DataWorker.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <atomic>
#include <cstring>

// One start, chosen by name.
class StartupVariant : public QObject
{
    Q_OBJECT

    TestRoot m_root;

    static MainWindow* window() { return MainWindow::instance(); }

private slots:
    void start()
    {
        const QString name = QCoreApplication::arguments().value(2); // --start <name>
        if (name == "damaged config") {
            QVERIFY(m_root.writeFile("/data/config.ini", "[system]\nBrightness=dark\nDateFormat=7\nAntenna=9\n"
                                                         "Language=\n[spectrum]\nFreqMin=-5\n"));
            QVERIFY(m_root.writeFile("/sys/class/backlight/backlight.7/brightness", "127"));
        } else if (name == "FPGA") {
            QVERIFY(m_root.writeFile("/dev/bram0", QByteArray(65536, '\0')));
            QVERIFY(m_root.writeFile("/dev/bram1", QByteArray(16384, '\0')));
            QVERIFY(m_root.writeFile("/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency", "0\n"));
        }
        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
        QCOMPARE(window()->findChild<QStackedWidget*>("MainWidget")->currentWidget()->objectName(), "MainMenu");
        auto* clock = window()->findChild<QLabel*>("clockLabel");
        DataWorker* worker = MainWindow::dataWorker();
        QVERIFY(worker && worker->parent() == nullptr);
        if (name == "empty root") {
            // Start-up wrote none of the board's missing files; the gauge shows nothing made up.
            QCOMPARE(QDir(m_root.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"data"});
            auto* gauge = window()->findChild<QProgressBar*>("batteryGauge");
            QVERIFY(gauge->value() < gauge->minimum());
            const QString d = QDate::currentDate().toString("yyyy-MM-dd");
            QCOMPARE(MainWindow::folderName(true), m_root.root() + "/data/corvane_data/Unknown/" + d + "_Folder");
        } else if (name == "damaged config") {
            QVERIFY(!window()->findChild<QPushButton*>("SpecButton")->isEnabled()); // antenna 9 is no UHF
            // "dark" reads as 0: the backlight gets the smallest allowed brightness, not 0.
            QCOMPARE(m_root.readFile("/sys/class/backlight/backlight.7/brightness"), QByteArray("6"));
            QTRY_VERIFY(clock->text().startsWith(QDate::currentDate().toString("dd.MM.yyyy") + " "));
        } else {
            QVERIFY(worker->isFpgaMapped() && !worker->isRunning());
            // Closing the window stops a running worker, which leaves the stopping word.
            std::atomic<int> steps {0};
            QObject::connect(
                worker, &DataWorker::measurementFinished, worker,
                [&steps](quint32, const quint32*, const quint32*, const quint32*, quint16, bool*) { ++steps; },
                Qt::DirectConnection);
            worker->setSampling(1, 1);
            worker->startSingle(500000, -1);
            QTRY_VERIFY(steps.load() >= 3);
            QTest::ignoreMessage(QtDebugMsg, "closing");
            window()->close();
            QVERIFY(!worker->isRunning());
            QCOMPARE(m_root.readFile("/dev/bram1").mid(0x04, 4), QByteArray(4, '\0'));
        }
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) {
        StartupVariant variant;
        return QTest::qExec(&variant, 1, argv);
    }
    // Each start in a child process of this program, its report passed through.
    int failed = 0;
    for (const char* name : {"empty root", "damaged config", "FPGA"})
        failed += QProcess::execute(QCoreApplication::applicationFilePath(), {"--start", name}) != 0;
    return failed;
}

#include "tst_startup.moc"
