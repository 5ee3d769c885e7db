#include "Simulator.h"

#include "BoardLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

volatile std::sig_atomic_t Simulator::s_quit = 0;

namespace {

constexpr double FaultCheckPeriod = 0.1;
constexpr double ReadOnlyCheckPeriod = 1.0;
const char* const pllLinkTarget = "absent/synthesiser"; // below <root>/sim; the folder never exists

void sleepSeconds(double seconds)
{
    if (seconds <= 0.0)
        return;
    timespec request{};
    request.tv_sec = time_t(seconds);
    request.tv_nsec = long((seconds - double(request.tv_sec)) * 1e9);
    ::nanosleep(&request, nullptr); // a signal ends it early, which is what we want
}

} // namespace

Simulator::Simulator(const SimRoot& root, const Options& options)
    : m_root(root)
    , m_options(options)
    , m_model(options.seed)
    , m_fpga(root, m_model)
    , m_housekeeping(root, options.radioRateHz)
    , m_readOnlyWatch(root)
{
}

Simulator::~Simulator()
{
    removeReadyFile();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

double Simulator::monotonicSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double Simulator::wallSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void Simulator::requestQuit(int)
{
    s_quit = 1;
}

bool Simulator::lock(QString* error)
{
    QDir().mkpath(m_root.simPath(QString()));
    if (m_lockFd >= 0) // locking again after a wipe removed the lock file
        ::close(m_lockFd);
    const QByteArray name = QFile::encodeName(m_root.simPath(QStringLiteral("lock")));
    m_lockFd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockFd < 0 || ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        *error = QStringLiteral("another board simulator serves %1").arg(m_root.root());
        return false;
    }
    return true;
}

QByteArray Simulator::faultStateText(const SimRoot& root)
{
    const Faults faults(root);
    QByteArray text;
    for (int i = 0; i < Faults::FaultCount; ++i)
        text += Faults::name(Faults::Fault(i)).toLatin1() + '=' + (faults.isOn(Faults::Fault(i)) ? "on" : "off") + '\n';
    return text;
}

void Simulator::applyFaults(const SimRoot& root, bool* fpgaPresent, bool* radioTransmitting)
{
    const Faults faults(root);
    // PLL unlocked: the frequency file becomes a link into a folder that does not exist, so the
    // instrument can neither read nor create it (even as root); the frequency is kept for later.
    const QString pll = root.path(root.pllFrequencyPath());
    const QByteArray pllName = QFile::encodeName(pll);
    const QFileInfo pllInfo(pll);
    const QString saved = root.simPath(QStringLiteral("pll-frequency.saved"));
    if (faults.isOn(Faults::PllUnlocked)) {
        if (!pllInfo.isSymLink()) {
            QFile::remove(saved);
            QFile::copy(pll, saved);
            ::unlink(pllName.constData());
            const QByteArray target = QFile::encodeName(root.simPath(QLatin1String(pllLinkTarget)));
            if (::symlink(target.constData(), pllName.constData()) != 0)
                std::perror("corvane-boardsim: PLL fault link");
        }
    } else if (pllInfo.isSymLink()) {
        ::unlink(pllName.constData());
        QFile savedFile(saved);
        QByteArray frequency = savedFile.open(QIODevice::ReadOnly) ? savedFile.readAll() : QByteArray();
        if (frequency.trimmed().isEmpty())
            frequency = "1000000000\n";
        root.replaceFile(root.pllFrequencyPath(), frequency);
    }
    // The stick: pulled, its folder waits in <root>/sim/hidden (a copy running into it fails);
    // plugged in again, it comes back with what it held.
    const QString stick = root.path(QStringLiteral("/media/usb0"));
    const QString pulled = root.simPath(QStringLiteral("hidden/usb0"));
    const bool removed = faults.isOn(Faults::UsbRemoved);
    if (removed != QFileInfo::exists(pulled) && QFileInfo::exists(removed ? stick : pulled))
        QDir().rename(removed ? stick : pulled, removed ? pulled : stick);
    *fpgaPresent = !faults.isOn(Faults::FpgaMissing);
    *radioTransmitting = !faults.isOn(Faults::RadioSilent);
}

void Simulator::checkFaults()
{
    const QByteArray state = faultStateText(m_root);
    if (state == m_appliedFaults)
        return;
    bool fpgaPresent = true;
    bool radioTransmitting = true;
    applyFaults(m_root, &fpgaPresent, &radioTransmitting);
    if (fpgaPresent != m_fpga.isPresent())
        m_fpga.setPresent(fpgaPresent);
    m_housekeeping.setRadioTransmitting(radioTransmitting);
    const Faults faults(m_root);
    m_model.setReference(faults.isOn(Faults::ReferenceHigh)  ? SignalModel::Reference::High
                         : faults.isOn(Faults::ReferenceLow) ? SignalModel::Reference::Low
                                                             : SignalModel::Reference::Off);
    m_root.replaceFile(QStringLiteral("/sim/fault-state"), state);
    if (!m_appliedFaults.isEmpty() || state.contains("=on"))
        std::fprintf(stderr, "corvane-boardsim: faults now %s\n", state.simplified().constData());
    m_appliedFaults = state;
}

void Simulator::writeReadyFile()
{
    m_root.replaceFile(QStringLiteral("/sim/ready"), QByteArray::number(qint64(::getpid())) + '\n');
}

void Simulator::removeReadyFile()
{
    if (m_lockFd >= 0)
        QFile::remove(m_root.simPath(QStringLiteral("ready")));
}

bool Simulator::start(QString* error)
{
    // Short sleeps must stay short: the worker waits only one block time for its data.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    // The simulator stands in for hardware, which never waits for the CPU: when permitted, take
    // the lowest real-time priority (every pass of the loop sleeps, and one block costs well
    // under a millisecond), else run a little ahead of ordinary processes. Refusal is harmless.
    if (m_options.realtime) {
        sched_param parameter{};
        parameter.sched_priority = 1;
        if (::sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &parameter) != 0) {
            errno = 0;
            if (::setpriority(PRIO_PROCESS, 0, -5) != 0 && m_options.verbose)
                std::perror("corvane-boardsim: setpriority");
        }
    }
    if (!m_fpga.attach()) {
        *error = QStringLiteral("cannot map the FPGA memories below %1").arg(m_root.root());
        return false;
    }
    m_appliedFaults.clear();
    checkFaults();
    m_housekeeping.initialise(monotonicSeconds());
    m_readOnlyWatch.start(wallSeconds());
    writeReadyFile();
    return true;
}

int Simulator::run()
{
    double now = monotonicSeconds();
    while (!s_quit) {
        now = monotonicSeconds();
        double sleep = m_fpga.service(now);
        m_housekeeping.update(now);
        if (now >= m_nextFaultCheck) {
            m_nextFaultCheck = now + FaultCheckPeriod;
            checkFaults();
            m_fpga.setSyncPresence(m_housekeeping.syncLinesPresent(), m_housekeeping.radioTransmitting());
        }
        if (now >= m_nextReadOnlyCheck) {
            m_nextReadOnlyCheck = now + ReadOnlyCheckPeriod;
            for (const QString& path : m_readOnlyWatch.check(wallSeconds()))
                std::fprintf(stderr, "corvane-boardsim: %s was written while the root file system was read-only\n",
                             qPrintable(path));
        }
        sleepSeconds(std::min(sleep, m_nextFaultCheck - monotonicSeconds()));
    }
    if (m_options.verbose)
        std::fprintf(stderr, "corvane-boardsim: stopped\n");
    return 0;
}
