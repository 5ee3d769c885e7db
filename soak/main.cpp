// corvane-soak --screen NAME --sim PROGRAM [--minutes N | --seconds N] [--seed N] [--no-faults]
// Soaks one screen of the instrument: starts the board simulator on a fresh root below /dev/shm,
// builds the real main window on it and lets a random operator (SoakOperator) drive the screen
// for the given time while the simulator's faults are thrown on and off at random moments
// (FaultSwitcher). Samples the resident memory after the first minute (or the first tenth of a
// shorter run) and at the end, and prints one summary line. Exits non-zero when the GUI thread
// stalled, a dialog could not be closed, or the run could not start. soak/run.sh runs it under
// the sanitizers; README.md tells the whole story.
#include "FaultSwitcher.h"
#include "ModalResponder.h"
#include "SoakLog.h"
#include "SoakOperator.h"
#include "common/SimulatedBoard.h"
#include "MainWindow.h"
#include "ScreenNavigator.h"
#include "hardware/DataWorker.h"
#include "util/EventHandler.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// The GUI thread beats every half second; silent for this long, it is reported as hung.
constexpr qint64 HangSeconds = 120;

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The heap in use by the program's allocations, as glibc counts it: unlike the resident memory it
// leaves out free space the allocator keeps. Meaningless under a sanitizer, whose allocator
// replaces glibc's.
long heapInUseKb()
{
    return long(mallinfo2().uordblks / 1024);
}

qint64 nowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Watches the GUI thread's heartbeat from a thread of its own and ends the process when it stops.
class HangWatch
{
public:
    HangWatch()
        : m_thread([this] { watch(); })
    {
    }
    ~HangWatch()
    {
        m_running = false;
        m_thread.join();
    }
    void beat() { m_lastBeat = nowSeconds(); }

private:
    void watch()
    {
        while (m_running) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            if (nowSeconds() - m_lastBeat > HangSeconds) {
                std::fprintf(stderr, "soak: HANG: the GUI thread has not run for %lld s\n", HangSeconds);
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }
    std::atomic<bool> m_running {true};
    std::atomic<qint64> m_lastBeat {nowSeconds()};
    std::thread m_thread;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication::setAttribute(Qt::AA_Use96Dpi);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenOption("screen", "The screen to soak: " + SoakOperator::screens().join(", "), "name");
    const QCommandLineOption simOption("sim", "The board simulator program.", "program");
    const QCommandLineOption minutesOption("minutes", "Minutes to run (default 10).", "n", "10");
    const QCommandLineOption secondsOption("seconds", "Seconds to run instead.", "n");
    const QCommandLineOption seedOption("seed", "Seed of the random operator and faults.", "n");
    const QCommandLineOption calmOption("no-faults", "Throw no faults (to tell a fault's part in a finding).");
    parser.addOptions({screenOption, simOption, minutesOption, secondsOption, seedOption, calmOption});
    parser.process(app);
    const QString screen = parser.value(screenOption);
    const int seconds = parser.isSet(secondsOption) ? parser.value(secondsOption).toInt() : parser.value(minutesOption).toInt() * 60;
    const quint32 seed = parser.isSet(seedOption) ? parser.value(seedOption).toUInt() : QRandomGenerator::global()->generate();
    if (!SoakOperator::screens().contains(screen) || !parser.isSet(simOption) || seconds <= 0) {
        std::fprintf(stderr, "corvane-soak: need --screen (%s), --sim and a positive time\n",
                     qPrintable(SoakOperator::screens().join(", ")));
        return 2;
    }
    qputenv("CORVANE_SIM", QFile::encodeName(parser.value(simOption)));
    QRandomGenerator random(seed);

    // The languages of this build, so that the language choice has something to offer.
    SimulatedBoard board({QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--languages"),
                          QCoreApplication::applicationDirPath() + QStringLiteral("/../translations")});
    if (!board.start(60000)) {
        std::fprintf(stderr, "corvane-soak: the board simulator did not start\n");
        return 1;
    }
    board.useAsPlatformRoot();
    app.installEventFilter(EventHandler::instance());
    MainWindow::instance()->show();

    FaultSwitcher faults(board.root(), &random);
    ModalResponder responder(&random);
    SoakOperator soakOperator(screen, &faults, &random);
    HangWatch hangWatch;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&hangWatch] { hangWatch.beat(); });
    heartbeat.start(500);

    long firstRss = -1, lastRss = -1, firstHeap = -1, lastHeap = -1;
    const int firstSample = qMin(60, qMax(1, seconds / 10));
    QTimer::singleShot(firstSample * 1000, [&] {
        firstRss = residentKb();
        firstHeap = heapInUseKb();
        soakLog(QStringLiteral("resident memory %1 kB, heap in use %2 kB").arg(firstRss).arg(firstHeap));
    });
    // Every minute into the trace, to tell a level that settles from one that keeps rising.
    QTimer memoryTrace;
    QObject::connect(&memoryTrace, &QTimer::timeout, [] {
        soakLog(QStringLiteral("resident memory %1 kB, heap in use %2 kB").arg(residentKb()).arg(heapInUseKb()));
    });
    memoryTrace.start(60000);
    bool closed = true;
    bool stoppedCleanly = true;
    QTimer::singleShot(seconds * 1000, [&] {
        soakOperator.stop();
        faults.stop();
        for (const char* reference : {"reference-low", "reference-high"})
            faults.set(QLatin1String(reference), false);
        closed = responder.closeAll(60000);
        lastRss = residentKb();
        lastHeap = heapInUseKb();
        soakLog(QStringLiteral("end; resident memory %1 kB, heap in use %2 kB").arg(lastRss).arg(lastHeap));
        // Back to the main menu the operator's way: every screen stops its measurement on leaving.
        ScreenNavigator navigator(&random);
        for (int tap = 0; tap < 10 && closed && !navigator.isAt(ScreenNavigator::Menu); ++tap) {
            navigator.stepTowards(ScreenNavigator::Menu);
            closed = responder.closeAll(60000);
        }
        QElapsedTimer clock;
        clock.start();
        while (MainWindow::dataWorker()->isRunning() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        if (!navigator.isAt(ScreenNavigator::Menu) || MainWindow::dataWorker()->isRunning()) {
            std::fprintf(stderr, "soak: could not stop on the main menu (on %s, worker %s)\n",
                         qPrintable(ScreenNavigator::pageName(navigator.current())),
                         MainWindow::dataWorker()->isRunning() ? "running" : "stopped");
            stoppedCleanly = false;
            MainWindow::dataWorker()->stop();
            MainWindow::dataWorker()->wait();
        }
        QCoreApplication::quit();
    });
    std::printf("soak: screen %s, %d s, seed %u, root %s\n", qPrintable(screen), seconds, seed, qPrintable(board.root()));
    std::fflush(stdout);
    responder.start();
    soakOperator.start();
    if (!parser.isSet(calmOption))
        faults.start();
    app.exec();

    const bool ok = closed && stoppedCleanly && responder.stuck() == 0;
    std::printf("soak: screen=%s seconds=%d actions=%d faults=%d rss_first_kb=%ld rss_last_kb=%ld heap_first_kb=%ld "
                "heap_last_kb=%ld forced=%d stuck=%d result=%s\n",
                qPrintable(screen), seconds, soakOperator.actions() + responder.taps(), faults.thrown(), firstRss, lastRss, firstHeap,
                lastHeap, responder.forced(), responder.stuck(), ok ? "ok" : "FAILED");
    std::fflush(stdout);
    return ok ? 0 : 1;
}
