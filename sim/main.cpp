// corvane-boardsim: the board simulator. Prepares a root folder that stands in for the board's
// files and devices, installs stand-ins for the board image's commands, and then plays the FPGA,
// the radio sync sensor and the battery gauge until it is stopped (SIGTERM or SIGINT).
// sim/README.md describes the command line, the files and the fault switches.

#include "Faults.h"
#include "RootPreparer.h"
#include "SimRoot.h"
#include "Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "corvane-boardsim: %s\n", qPrintable(message));
    return 1;
}

// The pid of a simulator serving the root, or 0.
qint64 runningSimulator(const SimRoot& root)
{
    QFile ready(root.simPath(QStringLiteral("ready")));
    if (!ready.open(QIODevice::ReadOnly))
        return 0;
    const qint64 pid = ready.readAll().trimmed().toLongLong();
    return pid > 0 && ::kill(pid_t(pid), 0) == 0 ? pid : 0;
}

int switchFault(const SimRoot& root, const QString& name, const QString& state)
{
    const Faults::Fault fault = Faults::fromName(name);
    if (fault == Faults::FaultCount)
        return fail(QStringLiteral("unknown fault \"%1\" (known: %2)").arg(name, Faults::names().join(QStringLiteral(", "))));
    if (state != QLatin1String("on") && state != QLatin1String("off"))
        return fail(QStringLiteral("--fault %1 needs \"on\" or \"off\"").arg(name));
    if (!QFileInfo::exists(root.simPath(RootPreparer::markerName())))
        return fail(QStringLiteral("%1 is not a simulated root (run corvane-boardsim --prepare-only first)").arg(root.root()));
    const Faults faults(root);
    if (!faults.set(fault, state == QLatin1String("on")))
        return fail(QStringLiteral("cannot write %1").arg(faults.controlFile(fault)));
    // A running simulator applies the switch within 100 ms; wait for it so that the caller can
    // rely on the new state when this command returns.
    if (runningSimulator(root) != 0) {
        const QByteArray wanted = Simulator::faultStateText(root);
        for (int i = 0; i < 300; ++i) {
            QFile applied(root.simPath(QStringLiteral("fault-state")));
            if (applied.open(QIODevice::ReadOnly) && applied.readAll() == wanted)
                return 0;
            QThread::msleep(10);
        }
        return fail(QStringLiteral("the running simulator did not apply the fault in time"));
    }
    return 0;
}

// Points <build>/root at the tmpfs root, so that the build folder shows where the board lives.
void linkFromBuildFolder(const QString& root)
{
    const QString link = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).absoluteFilePath(QStringLiteral("root"));
    if (QDir::cleanPath(link) == QDir::cleanPath(root))
        return;
    const QFileInfo info(link);
    if (info.exists() && !info.isSymLink())
        return; // a real folder of an older layout: leave it alone
    if (info.isSymLink() && info.symLinkTarget() == root)
        return;
    QFile::remove(link);
    QFile::link(root, link);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-boardsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Board simulator for the Corvane instrument: prepares a root folder standing in for the board "
        "and plays the FPGA, the radio sync sensor and the battery gauge until stopped."));
    parser.addHelpOption();
    const QCommandLineOption rootOption(QStringLiteral("root"),
                                        QStringLiteral("The simulated board's root folder (default %1).")
                                            .arg(SimRoot::defaultRoot(QStringLiteral("<build>"))),
                                        QStringLiteral("DIR"));
    const QCommandLineOption prepareOnly(QStringLiteral("prepare-only"), QStringLiteral("Prepare the root and exit."));
    const QCommandLineOption fresh(QStringLiteral("fresh"),
                                   QStringLiteral("Remove an earlier simulated root first (its /data too)."));
    const QCommandLineOption languages(QStringLiteral("languages"),
                                       QStringLiteral("Copy *.qm and corvane_*.cfg from DIR into /usr/lib/language "
                                                      "(may be given more than once)."),
                                       QStringLiteral("DIR"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Switch a fault on or off (the state follows as an argument) and exit: "
                                                  "%1.")
                                       .arg(Faults::names().join(QStringLiteral(", "))),
                                   QStringLiteral("NAME"));
    const QCommandLineOption listFaults(QStringLiteral("faults"), QStringLiteral("Print the fault switches and exit."));
    const QCommandLineOption printRoot(QStringLiteral("print-root"), QStringLiteral("Print the root folder and exit."));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the signal model's random numbers."),
                                  QStringLiteral("N"));
    const QCommandLineOption radioRate(QStringLiteral("radio-rate"),
                                       QStringLiteral("Telegrams per second of the radio sync sensor (default 1)."),
                                       QStringLiteral("HZ"), QStringLiteral("1"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Report what the simulator does."));
    const QCommandLineOption stay(QStringLiteral("stay"),
                                  QStringLiteral("Keep running when the process that started the simulator ends "
                                                 "(by default the simulator ends with it)."));
    const QCommandLineOption ordinary(QStringLiteral("no-realtime"),
                                      QStringLiteral("Run at ordinary priority (by default the simulator takes the lowest "
                                                     "real-time priority when permitted, so that a busy machine does not "
                                                     "delay its blocks)."));
    parser.addOptions({rootOption, prepareOnly, fresh, languages, fault, listFaults, printRoot, seed, radioRate, verbose,
                       stay, ordinary});
    parser.addPositionalArgument(QStringLiteral("state"), QStringLiteral("on or off, after --fault NAME."),
                                 QStringLiteral("[on|off]"));
    parser.process(application);

    const bool defaultRoot = !parser.isSet(rootOption);
    const QString rootPath = defaultRoot ? SimRoot::defaultRoot(QCoreApplication::applicationDirPath() + QStringLiteral("/.."))
                                         : parser.value(rootOption);
    const SimRoot root(rootPath);

    if (parser.isSet(printRoot)) {
        std::printf("%s\n", qPrintable(root.root()));
        return 0;
    }
    if (parser.isSet(fault))
        return switchFault(root, parser.value(fault), parser.positionalArguments().value(0));
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    if (parser.isSet(listFaults)) {
        std::printf("%s", Simulator::faultStateText(root).constData());
        return 0;
    }

    Simulator::Options options;
    options.seed = parser.isSet(seed) ? parser.value(seed).toULongLong() : quint64(std::time(nullptr)) ^ quint64(::getpid());
    bool rateOk = false;
    options.radioRateHz = parser.value(radioRate).toDouble(&rateOk);
    if (!rateOk || options.radioRateHz <= 0.0 || options.radioRateHz > 1000.0)
        return fail(QStringLiteral("--radio-rate needs a number of telegrams per second (0 < HZ <= 1000)"));
    options.verbose = parser.isSet(verbose);
    options.realtime = !parser.isSet(ordinary);

    // A simulator whose starter died (a crashed test, a killed run.sh) would poll on for ever: end
    // with the parent unless asked to stay.
    if (!parser.isSet(stay) && !parser.isSet(prepareOnly)) {
        const pid_t parent = ::getppid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            return 0;
    }

    Simulator simulator(root, options);
    QString error;
    const RootPreparer preparer(root);
    if (!preparer.isUsable(&error))
        return fail(error);
    // The lock first: preparing a root that another simulator serves would pull the board's
    // state from under it.
    if (!QDir().mkpath(root.root()) || !simulator.lock(&error))
        return fail(error.isEmpty() ? QStringLiteral("cannot create %1").arg(root.root()) : error);
    if (parser.isSet(fresh) && !preparer.wipe(&error))
        return fail(error);
    if (parser.isSet(fresh) && !simulator.lock(&error)) // the wipe removed the lock file
        return fail(error);
    if (!preparer.prepare(&error))
        return fail(error);
    for (const QString& dir : parser.values(languages)) {
        const int copied = preparer.installLanguages(dir);
        if (options.verbose)
            std::fprintf(stderr, "corvane-boardsim: %d language files from %s\n", copied, qPrintable(dir));
    }
    if (defaultRoot)
        linkFromBuildFolder(root.root());

    if (parser.isSet(prepareOnly)) {
        bool fpgaPresent = true;
        bool radio = true;
        Simulator::applyFaults(root, &fpgaPresent, &radio);
        return 0;
    }

    struct sigaction action {};
    action.sa_handler = &Simulator::requestQuit;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a signal ends the loop's sleep at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    if (!simulator.start(&error))
        return fail(error);
    std::fprintf(stderr, "corvane-boardsim: serving the board below %s (pid %lld)\n", qPrintable(root.root()),
                 static_cast<long long>(::getpid()));
    return simulator.run();
}
