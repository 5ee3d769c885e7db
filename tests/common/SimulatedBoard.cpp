#include "common/SimulatedBoard.h"

#include "common/TestRoot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr size_t RegisterSize = 16384, SampleSize = 65536;

quint32* mapFile(const QString& name, size_t size)
{
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDWR);
    if (fd < 0)
        return nullptr;
    void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    return address == MAP_FAILED ? nullptr : static_cast<quint32*>(address);
}

QString temporaryTemplate()
{
    const QFileInfo shm("/dev/shm");
    return (shm.isDir() && shm.isWritable() ? QString("/dev/shm") : QDir::tempPath()) + "/corvane-simtest-XXXXXX";
}

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

int SimulatedBoard::runProgram(const QStringList& arguments, QByteArray* output) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program(), QStringList {"--root", root()} + arguments);
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
    return m_dir.isValid() && runProgram(QStringList {"--prepare-only"} + m_extraArguments + arguments) == 0;
}

bool SimulatedBoard::start(int timeoutMs)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), QStringList {"--root", root()} + m_extraArguments);
    if (!m_dir.isValid() || !m_process.waitForStarted(timeoutMs))
        return false;
    // The simulator writes its process id to <root>/sim/ready once it serves the board.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs && m_process.state() != QProcess::NotRunning) {
        if (readBoardFile("/sim/ready").trimmed().toLongLong() == m_process.processId())
            return true;
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

bool SimulatedBoard::setFault(const QString& name, bool on) const
{
    return runProgram({"--fault", name, on ? "on" : "off"}) == 0;
}

bool SimulatedBoard::mapMemories()
{
    unmapMemories();
    m_registers = mapFile(path("/dev/bram1"), RegisterSize);
    m_samples = mapFile(path("/dev/bram0"), SampleSize);
    return m_registers && m_samples;
}

void SimulatedBoard::unmapMemories()
{
    if (m_registers)
        ::munmap(m_registers, RegisterSize);
    if (m_samples)
        ::munmap(m_samples, SampleSize);
    m_registers = m_samples = nullptr;
}

// Every access is one atomic 32-bit access, as the instrument's and the simulator's are.
quint32 SimulatedBoard::readRegister(quint32 offset) const
{
    return m_registers ? __atomic_load_n(m_registers + offset / 4, __ATOMIC_ACQUIRE) : 0xDEADBEEF;
}

void SimulatedBoard::writeRegister(quint32 offset, quint32 value)
{
    if (m_registers)
        __atomic_store_n(m_registers + offset / 4, value, __ATOMIC_RELEASE);
}

quint32 SimulatedBoard::sample(quint32 bufferOffset, int i) const
{
    return m_samples && i >= 0 && i < 2048 ? __atomic_load_n(m_samples + bufferOffset / 4 + i, __ATOMIC_ACQUIRE) : 0xDEADBEEF;
}

bool SimulatedBoard::writeBoardFile(const QString& boardPath, const QByteArray& content) const
{
    QFile file(path(boardPath));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray SimulatedBoard::readBoardFile(const QString& boardPath) const
{
    QFile file(path(boardPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
