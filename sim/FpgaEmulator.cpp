#include "FpgaEmulator.h"

#include "BoardLayout.h"
#include "ReceiverState.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace BoardLayout;

namespace {

constexpr double ActivePollSeconds = 100e-6;
constexpr double IdlePollSeconds = 1e-3;
constexpr double MissingPollSeconds = 10e-3;

} // namespace

FpgaEmulator::FpgaEmulator(const SimRoot& root, SignalModel& model)
    : m_root(root)
    , m_model(model)
{
}

QString FpgaEmulator::hiddenPath(const SimRoot& root, const char* device)
{
    return root.simPath(QStringLiteral("hidden/") + QLatin1String(device));
}

bool FpgaEmulator::attach()
{
    const QString samplePath = m_root.path(QStringLiteral("/dev/bram0"));
    const QString registerPath = m_root.path(QStringLiteral("/dev/bram1"));
    // Map whichever copy exists (the visible one, or the hidden one while the FPGA is "missing").
    const auto pick = [this](const QString& visible, const char* device) {
        const QString hidden = hiddenPath(m_root, device);
        return QFile::encodeName(QFileInfo::exists(visible) || !QFileInfo::exists(hidden) ? visible : hidden);
    };
    if (!m_samples.map(pick(samplePath, "bram0"), SampleMemorySize)
        || !m_registers.map(pick(registerPath, "bram1"), RegisterMemorySize))
        return false;
    m_registers.store(RegVersion, FpgaVersion);
    m_registers.store(SimMagicOffset, SimMagic);
    return true;
}

void FpgaEmulator::setPresent(bool present)
{
    QDir().mkpath(m_root.simPath(QStringLiteral("hidden")));
    for (const char* device : {"bram0", "bram1"}) {
        const QByteArray visible = m_root.nativePath(QStringLiteral("/dev/") + QLatin1String(device));
        const QByteArray hidden = QFile::encodeName(hiddenPath(m_root, device));
        // A rename keeps the inode, so the instrument's mapping and ours stay the same memory.
        if (present && QFileInfo::exists(QString::fromLocal8Bit(hidden)))
            std::rename(hidden.constData(), visible.constData());
        else if (!present && QFileInfo::exists(QString::fromLocal8Bit(visible)))
            std::rename(visible.constData(), hidden.constData());
    }
    m_present = present;
    m_nextSyncBlock = 0.0;
}

void FpgaEmulator::setSyncPresence(bool linesPresent, bool radioPresent)
{
    m_linesPresent = linesPresent;
    m_radioPresent = radioPresent;
}

bool FpgaEmulator::syncPresent(quint32 controlWord) const
{
    return (controlWord & CtrlRadioSync) ? m_radioPresent : m_linesPresent;
}

void FpgaEmulator::clearControlBits(quint32 bits)
{
    quint32* control = m_registers.word(RegControl);
    quint32 expected = __atomic_load_n(control, __ATOMIC_ACQUIRE);
    // Compare-and-swap: a word the instrument writes in between is never overwritten.
    while (expected & bits) {
        if (__atomic_compare_exchange_n(control, &expected, expected & ~bits, false, __ATOMIC_ACQ_REL,
                                        __ATOMIC_ACQUIRE))
            break;
    }
}

void FpgaEmulator::keepSyncBit(quint32 controlWord)
{
    const bool wanted = syncPresent(controlWord);
    quint32* control = m_registers.word(RegControl);
    quint32 expected = controlWord;
    while ((expected & CtrlEnable) && (expected & CtrlPhaseSync) && bool(expected & CtrlSyncPresent) != wanted) {
        const quint32 desired = wanted ? (expected | CtrlSyncPresent) : (expected & ~CtrlSyncPresent);
        if (__atomic_compare_exchange_n(control, &expected, desired, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE))
            break;
    }
}

void FpgaEmulator::deliverBlock(double startSeconds, double mainsHz, quint32 blocks)
{
    const ReceiverState state = ReceiverState::read(m_root);
    SignalModel::Timing timing;
    timing.samples = int(std::min<quint32>(m_registers.load(RegSampleCount), MaxSamples));
    timing.clocksPerSample = int(std::min<quint32>(m_registers.load(RegClocksPerSampleMinusOne), 65535) + 1);
    timing.startSeconds = startSeconds;
    timing.mainsHz = mainsHz;
    m_model.generate(state, timing, &m_block);

    // The upper bits of every word carry a block tag, as a real FPGA's status bits would: readers
    // must mask the detector value with 0x3FFF.
    const quint32 count = m_registers.load(SimBlockCountOffset) + blocks;
    const quint32 tag = (count & 0xFFFF) << 16;
    quint32* minimum = reinterpret_cast<quint32*>(m_samples.data() + MinBufferOffset);
    quint32* average = reinterpret_cast<quint32*>(m_samples.data() + AvgBufferOffset);
    quint32* maximum = reinterpret_cast<quint32*>(m_samples.data() + MaxBufferOffset);
    for (size_t i = 0; i < m_block.minimum.size(); ++i) {
        __atomic_store_n(minimum + i, m_block.minimum[i] | tag, __ATOMIC_RELAXED);
        __atomic_store_n(average + i, m_block.average[i] | tag, __ATOMIC_RELAXED);
        __atomic_store_n(maximum + i, m_block.maximum[i] | tag, __ATOMIC_RELAXED);
    }
    m_registers.store(SimLastFrequencyOffset, state.pllReadable ? quint32(std::lround(state.frequencyMHz * 1000.0)) : 0);
    m_registers.store(SimBlockCountOffset, count);
}

double FpgaEmulator::service(double now)
{
    if (!m_present || !m_registers.isMapped())
        return MissingPollSeconds;

    if (now >= m_nextHeartbeat) {
        m_registers.store(SimHeartbeatOffset, m_registers.load(SimHeartbeatOffset) + 1);
        m_nextHeartbeat = now + 0.01;
    }

    const quint32 control = m_registers.load(RegControl);
    const double mainsHz = (control & CtrlSixtyHertz) ? 60.0 : 50.0;
    const double period = 1.0 / mainsHz;

    if (control & CtrlSoftwareStart) {
        // A software start in phase-synchronous mode is ignored by the design; it is consumed all
        // the same so that it cannot fire later.
        if (!(control & CtrlPhaseSync)) {
            deliverBlock(now, mainsHz, 1);
            m_registers.store(SimStartCountOffset, m_registers.load(SimStartCountOffset) + 1);
        }
        clearControlBits(CtrlSoftwareStart);
    }

    double sleep = (control & CtrlEnable) ? ActivePollSeconds : IdlePollSeconds;
    if ((control & CtrlEnable) && (control & CtrlPhaseSync)) {
        keepSyncBit(control);
        if (m_nextSyncBlock <= 0.0)
            m_nextSyncBlock = (std::floor(now * mainsHz) + 1.0) / mainsHz;
        if (now >= m_nextSyncBlock) {
            // The periods that have ended since the last look (more than one when this process
            // was kept from running): the design delivered a block in each, the buffers hold the
            // last one, and the block counter counts them all.
            const quint32 periods = quint32(std::floor((now - m_nextSyncBlock) / period)) + 1;
            double start = m_nextSyncBlock + (periods - 1) * period - period;
            // Without sync the block starts anywhere in the cycle.
            if (!syncPresent(control)) {
                m_freeRunPhase = std::fmod(m_freeRunPhase + 0.137 + 0.05 * std::sin(now), 1.0);
                start += m_freeRunPhase * period;
            }
            deliverBlock(start, mainsHz, periods);
            m_nextSyncBlock += periods * period;
        }
        sleep = std::min(sleep, std::max(0.0, m_nextSyncBlock - now));
    } else {
        m_nextSyncBlock = 0.0;
    }
    return sleep;
}
