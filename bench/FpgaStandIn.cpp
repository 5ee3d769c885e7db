#include "FpgaStandIn.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr size_t SAMPLE_MEMORY = 65536;
constexpr size_t REGISTERS = 16384;
constexpr quint32 CONTROL = 0x04 / 4;
constexpr quint32 START = 8;
constexpr quint32 PHASE_SYNC = 4;
constexpr quint32 SYNC_PRESENT = 128;

quint32* mapFile(const QString& name, size_t length)
{
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDWR);
    if (fd < 0)
        return nullptr;
    void* memory = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    return memory == MAP_FAILED ? nullptr : static_cast<quint32*>(memory);
}

bool writeFile(const QString& name, const QByteArray& content)
{
    QDir().mkpath(name.left(name.lastIndexOf(QLatin1Char('/'))));
    QFile file(name);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

void pause(long ns)
{
    const timespec t = {0, ns};
    nanosleep(&t, nullptr);
}

} // namespace

bool FpgaStandIn::createFiles(const QString& root, quint32 version)
{
    QByteArray registers(REGISTERS, '\0');
    for (int i = 0; i < 4; ++i)
        registers[i] = char((version >> (8 * i)) & 0xFF); // little-endian
    return writeFile(root + "/dev/bram0", QByteArray(SAMPLE_MEMORY, '\0')) && writeFile(root + "/dev/bram1", registers)
        && writeFile(root + "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency", "400000000\n");
}

FpgaStandIn::FpgaStandIn(const QString& root, bool running)
    : m_pllFile(root + "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency")
    , m_registers(mapFile(root + "/dev/bram1", REGISTERS))
    , m_samples(mapFile(root + "/dev/bram0", SAMPLE_MEMORY))
    , m_quit(false)
    , m_syncPresent(false)
    , m_blocks(0)
{
    if (isValid() && running)
        m_thread = std::thread([this] { loop(); });
}

FpgaStandIn::~FpgaStandIn()
{
    m_quit = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_registers)
        ::munmap(m_registers, REGISTERS);
    if (m_samples)
        ::munmap(m_samples, SAMPLE_MEMORY);
}

bool FpgaStandIn::waitForBlocks(quint32 count, int timeoutMs) const
{
    for (int waited = 0; blocks() < count; waited++) {
        if (waited >= timeoutMs * 10)
            return false;
        pause(100000);
    }
    return true;
}

quint32 FpgaStandIn::reg(quint32 offset) const
{
    return __atomic_load_n(&m_registers[offset / 4], __ATOMIC_ACQUIRE);
}

void FpgaStandIn::setReg(quint32 offset, quint32 value)
{
    __atomic_store_n(&m_registers[offset / 4], value, __ATOMIC_RELEASE);
}

quint32 FpgaStandIn::sample(quint32 byteOffset, int index) const
{
    return __atomic_load_n(&m_samples[byteOffset / 4 + index], __ATOMIC_ACQUIRE);
}

void FpgaStandIn::loop()
{
    while (!m_quit) {
        quint32 control = reg(0x04);
        if (control & START) {
            deliverBlock();
            __atomic_fetch_and(&m_registers[CONTROL], ~START, __ATOMIC_ACQ_REL);
            m_blocks.fetch_add(1, std::memory_order_release);
            continue;
        }
        if (control & PHASE_SYNC) {
            const bool present = m_syncPresent;
            if (present != bool(control & SYNC_PRESENT)) {
                if (present)
                    __atomic_fetch_or(&m_registers[CONTROL], SYNC_PRESENT, __ATOMIC_ACQ_REL);
                else
                    __atomic_fetch_and(&m_registers[CONTROL], ~SYNC_PRESENT, __ATOMIC_ACQ_REL);
            }
        }
        pause(20000);
    }
}

void FpgaStandIn::deliverBlock()
{
    quint32 frequencyKHz = 0;
    QFile pll(m_pllFile);
    if (pll.open(QIODevice::ReadOnly))
        frequencyKHz = quint32(pll.readAll().trimmed().toULongLong() / 2000);
    const quint32 samples = qMin<quint32>(reg(0x0C), 2048);
    const quint32 block = blocks() + 1;
    for (quint32 i = 0; i < samples; ++i) {
        __atomic_store_n(&m_samples[0x0000 / 4 + i], i, __ATOMIC_RELAXED);
        __atomic_store_n(&m_samples[0x2000 / 4 + i], block, __ATOMIC_RELAXED);
        __atomic_store_n(&m_samples[0x4000 / 4 + i], frequencyKHz, __ATOMIC_RELAXED);
    }
}
