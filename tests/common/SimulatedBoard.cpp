#include "common/SimulatedBoard.h"

#include "common/TestRoot.h"
#include "util/Platform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

QString temporaryTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return base + QStringLiteral("/corvane-simtest-XXXXXX");
}

quint8* mapFile(const QString& name, size_t size)
{
    const QByteArray native = QFile::encodeName(name);
    const int fd = ::open(native.constData(), O_RDWR);
    if (fd < 0)
        return nullptr;
    void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    return address == MAP_FAILED ? nullptr : static_cast<quint8*>(address);
}

constexpr size_t RegisterSize = 16384;
constexpr size_t SampleSize = 65536;

} // namespace

SimulatedBoard::SimulatedBoard(const QStringList& extraArguments)
    : m_dir(temporaryTemplate())
    , m_extraArguments(extraArguments)
{
}

SimulatedBoard::~SimulatedBoard()
{
    stop();
    unmapMemories();
    Platform::setRoot(TestRoot::harmlessRoot());
}

QString SimulatedBoard::program()
{
    return qEnvironmentVariable("CORVANE_SIM");
}

QString SimulatedBoard::path(const QString& boardPath) const
{
    return root() + boardPath;
}

int SimulatedBoard::runProgram(const QStringList& arguments, QByteArray* output) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program(), QStringList{QStringLiteral("--root"), root()} + arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool SimulatedBoard::prepare(const QStringList& arguments)
{
    return isValid() && runProgram(QStringList{QStringLiteral("--prepare-only")} + m_extraArguments + arguments) == 0;
}

bool SimulatedBoard::start(int timeoutMs)
{
    if (!isValid())
        return false;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), QStringList{QStringLiteral("--root"), root()} + m_extraArguments);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    const QString readyFile = path(QStringLiteral("/sim/ready"));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QFile ready(readyFile);
        if (ready.open(QIODevice::ReadOnly) && ready.readAll().trimmed().toLongLong() == m_process.processId())
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(10);
    }
    return false;
}

int SimulatedBoard::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return -1;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void SimulatedBoard::useAsPlatformRoot() const
{
    Platform::setRoot(root());
}

bool SimulatedBoard::setFault(const QString& name, bool on) const
{
    return runProgram({QStringLiteral("--fault"), name, on ? QStringLiteral("on") : QStringLiteral("off")}) == 0;
}

bool SimulatedBoard::mapMemories()
{
    unmapMemories();
    m_registers = mapFile(path(QStringLiteral("/dev/bram1")), RegisterSize);
    m_samples = mapFile(path(QStringLiteral("/dev/bram0")), SampleSize);
    return m_registers && m_samples;
}

void SimulatedBoard::unmapMemories()
{
    if (m_registers)
        ::munmap(m_registers, RegisterSize);
    if (m_samples)
        ::munmap(m_samples, SampleSize);
    m_registers = nullptr;
    m_samples = nullptr;
}

quint32 SimulatedBoard::readRegister(quint32 offset) const
{
    if (!m_registers) {
        qWarning("SimulatedBoard::readRegister(): the memories are not mapped (mapMemories())");
        return 0;
    }
    return __atomic_load_n(reinterpret_cast<quint32*>(m_registers + offset), __ATOMIC_ACQUIRE);
}

void SimulatedBoard::writeRegister(quint32 offset, quint32 value)
{
    if (!m_registers) {
        qWarning("SimulatedBoard::writeRegister(): the memories are not mapped (mapMemories())");
        return;
    }
    __atomic_store_n(reinterpret_cast<quint32*>(m_registers + offset), value, __ATOMIC_RELEASE);
}

quint32 SimulatedBoard::sample(quint32 bufferOffset, int i) const
{
    if (!m_samples || i < 0 || i >= 2048) {
        qWarning("SimulatedBoard::sample(): the memories are not mapped, or no such slot");
        return 0;
    }
    return __atomic_load_n(reinterpret_cast<quint32*>(m_samples + bufferOffset) + i, __ATOMIC_ACQUIRE);
}

bool SimulatedBoard::writeBoardFile(const QString& boardPath, const QByteArray& content) const
{
    QFile file(path(boardPath));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QByteArray SimulatedBoard::readBoardFile(const QString& boardPath) const
{
    QFile file(path(boardPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
