// corvane-powercut: cuts the power (SIGKILL) of a process that writes one of the instrument's
// files, at random moments, over and over, and checks after every cut that the file holds the
// old or the new version and that the instrument starts on it. See README.md.
#include "FileKinds.h"

#include "MainWindow.h"
#include "util/Calibration.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include <csignal>
#include <cstdio>

#include <sys/types.h>

namespace {

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

std::unique_ptr<FileKind> kindOrDie(const QString& name)
{
    std::unique_ptr<FileKind> kind = FileKind::create(name);
    if (!kind) {
        std::fprintf(stderr, "unknown file kind %s (%s)\n", qPrintable(name), qPrintable(FileKind::names().join(' ')));
        std::exit(2);
    }
    return kind;
}

// ---- the processes the harness starts -------------------------------------------------------

// Seeds (count 0) or writes versions from..from+count-1 (count -1: until killed), announcing each.
// Before the write of version hold it waits for a line on its standard input, so that the
// harness can place its cut within that write.
int writeMode(const QString& kindName, int from, int count, int hold = -1)
{
    std::unique_ptr<FileKind> kind = kindOrDie(kindName);
    // The remount bracket stays open for the whole process: the cuts then fall on the writes
    // themselves rather than on the remount commands around them.
    if (!SystemHelper::mountData())
        return 3;
    if (count == 0)
        return kind->seed() ? 0 : 4;
    say(QStringLiteral("ready"));
    QElapsedTimer clock;
    clock.start();
    for (int version = from; count < 0 || version < from + count; ++version) {
        say(QStringLiteral("begin %1").arg(version));
        if (version == hold) {
            char go[2];
            if (!std::fgets(go, sizeof go, stdin))
                return 5;
        }
        if (!kind->write(version)) {
            say(QStringLiteral("failed %1").arg(version));
            return 4;
        }
        say(QStringLiteral("end %1").arg(version));
    }
    say(QStringLiteral("took %1").arg(clock.nsecsElapsed() / 1000));
    return 0;
}

// Inspects the file, starts the instrument on the root as a start after the cut would, and
// inspects again. Exit code 0 when the start succeeded.
int checkMode(const QString& kindName)
{
    std::unique_ptr<FileKind> kind = kindOrDie(kindName);
    QString problem;
    QStringList notes;
    const int found = kind->inspect(&problem, &notes);
    say(found >= 0 ? QStringLiteral("found %1").arg(found) : QStringLiteral("problem %1").arg(problem));

    MainWindow* window = MainWindow::instance();
    window->show();
    Calibration::getInt(Calibration::VT_AmpOnLOGOffset);
    QElapsedTimer clock;
    clock.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    auto* stack = window->findChild<QStackedWidget*>(QStringLiteral("MainWidget"));
    const bool started = window->windowHandle() && window->windowHandle()->isExposed() && stack
        && stack->currentWidget() && stack->currentWidget()->objectName() == QLatin1String("MainMenu");
    say(started ? QStringLiteral("started") : QStringLiteral("start failed"));

    problem.clear();
    // Kept apart: what the start cleared is counted only before it.
    QStringList afterNotes;
    const int after = kind->inspect(&problem, &afterNotes);
    say(after >= 0 ? QStringLiteral("after %1").arg(after) : QStringLiteral("after-problem %1").arg(problem));
    for (const QString& note : afterNotes)
        notes << QStringLiteral("still after the start: %1").arg(note);
    notes.removeDuplicates();
    for (const QString& note : notes)
        say(QStringLiteral("note %1").arg(note));
    return started ? 0 : 1;
}

// ---- the harness ----------------------------------------------------------------------------

struct Outcome
{
    int writes = 0;         // writes begun
    int cuts = 0;           // processes killed
    int cutsInWrite = 0;    // of which during a write
    int old = 0;            // cuts during a write that left the old version
    int fresh = 0;          // ... the new one
    int startsOk = 0;
    int failures = 0;
    int repaired = 0;       // damaged until the start repaired it
    QStringList failureTexts;
    QMap<QString, int> notes;
};

class Harness
{
public:
    Harness(const QString& simulator, bool keep)
        : m_simulator(simulator)
        , m_keep(keep)
    {
    }

    bool run(const QString& kindName, int writes, Outcome* outcome)
    {
        QTemporaryDir root(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                               ? QStringLiteral("/dev/shm/corvane-powercut-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/corvane-powercut-XXXXXX"));
        root.setAutoRemove(!m_keep);
        m_root = root.path();
        if (QProcess::execute(m_simulator, {QStringLiteral("--root"), m_root, QStringLiteral("--prepare-only")}) != 0) {
            outcome->failureTexts << QStringLiteral("the simulator could not prepare %1").arg(m_root);
            return false;
        }
        if (m_keep)
            say(QStringLiteral("%1: root %2").arg(kindName, m_root));
        QStringList lines;
        if (child(kindName, {QStringLiteral("--seed")}, &lines) != 0) {
            outcome->failureTexts << QStringLiteral("seeding failed: %1").arg(lines.join(' '));
            return false;
        }
        int version = 0;
        // A few writes to completion tell how long one write takes.
        if (child(kindName, {QStringLiteral("--write"), QString::number(version + 1), QStringLiteral("10")}, &lines) != 0) {
            outcome->failureTexts << QStringLiteral("writing failed: %1").arg(lines.join(' '));
            return false;
        }
        const qint64 perWriteUs = qMax<qint64>(50, lines.last().mid(5).toLongLong() / 10);
        m_perWriteUs = perWriteUs;
        version += 10;
        outcome->writes += 10;

        while (outcome->writes < writes) {
            int lastBegun = version;
            int lastEnded = version;
            if (!cutOnce(kindName, version + 1, perWriteUs, &lastBegun, &lastEnded, outcome))
                return false;
            const bool inWrite = lastBegun > lastEnded;
            outcome->writes += lastBegun - version;
            ++outcome->cuts;
            outcome->cutsInWrite += inWrite ? 1 : 0;

            const Check check = checkStart(kindName);
            if (check.started)
                ++outcome->startsOk;
            QStringList notes;
            for (const QString& note : check.notes)
                notes << QString(note).replace(QRegExp(QStringLiteral("[0-9_]+")), QStringLiteral("#"));
            notes.removeDuplicates();
            for (const QString& note : notes)
                ++outcome->notes[note];
            const int settled = check.after;
            const bool allowed = settled == lastEnded || (inWrite && settled == lastBegun);
            if (check.found < 0 && allowed)
                ++outcome->repaired;
            if (!check.started || !allowed || (check.found >= 0 && check.found != settled)) {
                ++outcome->failures;
                outcome->failureTexts << QStringLiteral("cut after begin %1 / end %2: %3").arg(lastBegun).arg(lastEnded).arg(check.text);
                return false;
            }
            if (inWrite)
                ++(settled == lastBegun ? outcome->fresh : outcome->old);
            version = settled;
        }
        return true;
    }

private:
    struct Check
    {
        int found = -1;
        int after = -1;
        bool started = false;
        QStringList notes;
        QString text;
    };

    int child(const QString& kindName, const QStringList& mode, QStringList* lines) const
    {
        QProcess process;
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(QCoreApplication::applicationFilePath(), QStringList(mode) << kindName << m_root);
        process.waitForFinished(120000);
        *lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    bool cutOnce(const QString& kindName, int from, qint64 perWriteUs, int* lastBegun, int* lastEnded, Outcome* outcome)
    {
        // One of the first eight writes, at a random moment within about the time one write takes.
        const int hold = from + int(QRandomGenerator::global()->bounded(8u));
        QProcess writer;
        writer.setStandardErrorFile(QProcess::nullDevice());
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--write"), QString::number(from), QStringLiteral("-1"), QString::number(hold),
                      kindName, m_root});
        QByteArray output;
        while (!output.contains("ready\n")) {
            if (!writer.waitForReadyRead(60000)) {
                outcome->failureTexts << QStringLiteral("the writer did not start");
                return false;
            }
            output += writer.readAllStandardOutput();
        }
        const QByteArray target = "begin " + QByteArray::number(hold) + '\n';
        while (!output.contains(target) && writer.state() == QProcess::Running) {
            if (writer.waitForReadyRead(100))
                output += writer.readAllStandardOutput();
        }
        writer.write("g\n");
        writer.waitForBytesWritten(1000);
        QThread::usleep(quint64(QRandomGenerator::global()->bounded(quint32(perWriteUs + perWriteUs / 4))));
        ::kill(pid_t(writer.processId()), SIGKILL);
        writer.waitForFinished(30000);
        output += writer.readAllStandardOutput();
        for (const QByteArray& line : output.split('\n')) {
            if (line.startsWith("begin "))
                *lastBegun = line.mid(6).toInt();
            else if (line.startsWith("end "))
                *lastEnded = line.mid(4).toInt();
            else if (line.startsWith("failed ")) {
                outcome->failureTexts << QStringLiteral("the writer reported a failed write: %1").arg(QString::fromUtf8(line));
                return false;
            }
        }
        return true;
    }

    Check checkStart(const QString& kindName) const
    {
        Check check;
        QStringList lines;
        // Started when the main menu came up; what the process does at its exit (a sanitizer's
        // leak report on the singletons, say) is not part of the start.
        const int status = child(kindName, {QStringLiteral("--check")}, &lines);
        check.started = status >= 0 && lines.contains(QStringLiteral("started"));
        check.text = lines.join(QStringLiteral("; "));
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String("found ")))
                check.found = line.mid(6).toInt();
            else if (line.startsWith(QLatin1String("after ")))
                check.after = line.mid(6).toInt();
            else if (line.startsWith(QLatin1String("note ")))
                check.notes << line.mid(5);
        }
        return check;
    }

public:
    qint64 m_perWriteUs = 0;

private:
    QString m_simulator;
    bool m_keep;
    QString m_root;
};

int usage()
{
    std::fprintf(stderr, "usage: corvane-powercut [--writes N] [--sim PROGRAM] [--keep] [KIND...]\n"
                         "kinds: %s\n", qPrintable(FileKind::names().join(' ')));
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    // The processes the harness starts: MODE [FROM COUNT [HOLD]] KIND ROOT.
    const QString mode = arguments.value(0);
    if (mode == QLatin1String("--seed") || mode == QLatin1String("--write") || mode == QLatin1String("--check")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_LOGGING_RULES", "*.debug=false");
        Platform::setRoot(arguments.last());
        const QString kindName = arguments.value(arguments.size() - 2);
        const bool gui = mode == QLatin1String("--check") || kindOrDie(kindName)->needsGui();
        std::unique_ptr<QCoreApplication> application(gui ? new QApplication(argc, argv) : new QCoreApplication(argc, argv));
        int status;
        if (mode == QLatin1String("--seed"))
            status = writeMode(kindName, 0, 0);
        else if (mode == QLatin1String("--write"))
            status = writeMode(kindName, arguments.value(1).toInt(), arguments.value(2).toInt(),
                               arguments.size() > 5 ? arguments.value(3).toInt() : -1);
        else
            status = checkMode(kindName);
        // These processes end as a power cut would end them: without tearing down the
        // instrument's singletons (and without a sanitizer's exit-time leak report on them).
        std::fflush(stdout);
        std::_Exit(status);
    }

    QCoreApplication application(argc, argv);
    int writes = 1000;
    QString simulator = qEnvironmentVariable("CORVANE_SIM");
    bool keep = false;
    QStringList kinds;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--writes") && i + 1 < arguments.size())
            writes = arguments.at(++i).toInt();
        else if (arguments.at(i) == QLatin1String("--sim") && i + 1 < arguments.size())
            simulator = arguments.at(++i);
        else if (arguments.at(i) == QLatin1String("--keep"))
            keep = true;
        else if (FileKind::names().contains(arguments.at(i)))
            kinds << arguments.at(i);
        else
            return usage();
    }
    if (simulator.isEmpty() || writes < 20)
        return usage();
    if (kinds.isEmpty())
        kinds = FileKind::names();

    Harness harness(simulator, keep);
    bool allPassed = true;
    for (const QString& kind : kinds) {
        QElapsedTimer clock;
        clock.start();
        Outcome outcome;
        const bool passed = harness.run(kind, writes, &outcome);
        allPassed = allPassed && passed;
        say(QStringLiteral("%1: %2 after %3 writes, %4 cuts (%5 during a write: old %6, new %7), starts %8/%4, "
                           "repaired at start %9, %10 s, one write %11 us")
                .arg(kind, -10)
                .arg(passed ? QStringLiteral("PASS") : QStringLiteral("FAIL"))
                .arg(outcome.writes)
                .arg(outcome.cuts)
                .arg(outcome.cutsInWrite)
                .arg(outcome.old)
                .arg(outcome.fresh)
                .arg(outcome.startsOk)
                .arg(outcome.repaired)
                .arg(clock.elapsed() / 1000)
                .arg(harness.m_perWriteUs));
        for (auto it = outcome.notes.constBegin(); it != outcome.notes.constEnd(); ++it)
            say(QStringLiteral("    %1 of the cuts left: %2").arg(it.value()).arg(it.key()));
        for (const QString& text : outcome.failureTexts)
            say(QStringLiteral("    %1").arg(text));
    }
    return allPassed ? 0 : 1;
}
