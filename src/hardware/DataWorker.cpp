#include "hardware/DataWorker.h"

#include "hardware/BoardIO.h"
#include "util/Platform.h"
#include "util/ThreadAnnotations.h"

#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

const qint16 DataWorker::FILTER_TABLE[] = {
    7,   2,   1,   1,   0,   -2,  -4,  -6,  -9,  -13, -17, -22, -27, -33, -39, -44, -50, -55, -59, -62,
    -63, -63, -60, -55, -48, -37, -22, -4,  17,  42,  71,  104, 139, 178, 219, 263, 308, 354, 401, 447,
    492, 536, 576, 614, 647, 676, 700, 718, 730, 737, 737, 730, 718, 700, 676, 647, 614, 576, 536, 492,
    447, 401, 354, 308, 263, 219, 178, 139, 104, 71,  42,  17,  -4,  -22, -37, -48, -55, -60, -63, -63,
    -62, -59, -55, -50, -44, -39, -33, -27, -22, -17, -13, -9,  -6,  -4,  -2,  0,   1,   1,   2,   7};
const unsigned DataWorker::FILTER_TABLE_SIZE = sizeof(DataWorker::FILTER_TABLE) / sizeof(DataWorker::FILTER_TABLE[0]);

namespace {

constexpr int PLL_DEVICE = 3;
constexpr quint16 DEFAULT_CLOCKS_PER_SAMPLE = 1000;
constexpr quint16 DEFAULT_SAMPLES = 500;
constexpr quint16 DEFAULT_AUX_LEVEL = 2048;
constexpr quint32 DEFAULT_FREQUENCY_KHZ = 200;
// The block-complete interrupt: POLLIN | POLLPRI | POLLERR | POLLRDNORM.
constexpr short INTERRUPT_EVENTS = 0x4B;

// Opens and maps one FPGA memory. Returns nullptr (after the message) when that fails; *fd
// receives the open descriptor when wanted, else it is closed (the mapping stays).
void* mapDevice(const char* boardPath, size_t length, int* fd)
{
    const QByteArray path = Platform::nativePath(boardPath);
    const int descriptor = ::open(path.constData(), O_RDWR | O_SYNC | O_CLOEXEC);
    if (descriptor < 0) {
        printf("Fehler bei open %s\n", path.constData());
        fflush(stdout);
        return nullptr;
    }
    // A plain file standing in for the device must be long enough: touching a mapped page
    // beyond its end would kill the program (SIGBUS). Device nodes report no size.
    struct stat info;
    const bool tooShort = ::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && size_t(info.st_size) < length;
    void* memory = tooShort ? MAP_FAILED
                            : ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    if (memory == MAP_FAILED) {
        printf("Fehler bei mmap %s %08lx\n", path.constData(), 0UL);
        fflush(stdout);
        ::close(descriptor);
        return nullptr;
    }
    printf("mmap to %lx\n", reinterpret_cast<unsigned long>(memory));
    fflush(stdout);
    if (fd)
        *fd = descriptor;
    else
        ::close(descriptor);
    return memory;
}

timespec now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

timespec addMicroseconds(timespec t, unsigned long us)
{
    t.tv_sec += time_t(us / 1000000);
    t.tv_nsec += long(us % 1000000) * 1000;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
    return t;
}

bool reached(const timespec& deadline)
{
    const timespec t = now();
    return t.tv_sec > deadline.tv_sec || (t.tv_sec == deadline.tv_sec && t.tv_nsec >= deadline.tv_nsec);
}

// Sleeps until the deadline, which lies sleepUs ahead. The system wakes a sleeping thread tens
// of microseconds late, more so after a longer sleep; on a 1 ms block that would cost several
// percent of the sweep. The last stretch (60 µs plus 0.5 % of the sleep) is therefore waited out
// awake.
void sleepUntil(const timespec& deadline, unsigned long sleepUs)
{
    const unsigned long marginUs = 60 + sleepUs / 200;
    timespec early = deadline;
    early.tv_nsec -= long(marginUs % 1000000) * 1000;
    if (early.tv_nsec < 0) {
        early.tv_nsec += 1000000000L;
        --early.tv_sec;
    }
    if (!reached(early)) {
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &early, nullptr) == EINTR) {
        }
    }
    while (!reached(deadline)) {
    }
}

} // namespace

DataWorker::DataWorker(QObject* parent)
    : QThread(parent)
    , m_registers(nullptr)
    , m_minBuffer(nullptr)
    , m_avgBuffer(nullptr)
    , m_maxBuffer(nullptr)
    , m_clocksPerSample(DEFAULT_CLOCKS_PER_SAMPLE)
    , m_nSamples(DEFAULT_SAMPLES)
    , m_auxLevel(DEFAULT_AUX_LEVEL)
    , m_sweepStart(DEFAULT_FREQUENCY_KHZ)
    , m_sweepStop(DEFAULT_FREQUENCY_KHZ)
    , m_step(0)
    , m_current(DEFAULT_FREQUENCY_KHZ)
    , m_repeatCount(-1)
    , m_stop(false)
    , m_phaseSynchronous(false)
    , m_radioSync(false)
    , m_sweepRate(0)
    , m_interruptFd(-1)
    , m_pauseSemaphore(1)
    , m_sampleMemory(nullptr)
{
    m_registers = static_cast<volatile quint32*>(mapDevice("/dev/bram1", REGISTER_BLOCK_SIZE, &m_interruptFd));
    m_sampleMemory = mapDevice("/dev/bram0", SAMPLE_MEMORY_SIZE, nullptr);
    loadFilter(FILTER_TABLE, FILTER_TABLE_SIZE);
    if (m_sampleMemory) {
        auto* memory = static_cast<char*>(m_sampleMemory);
        m_minBuffer = reinterpret_cast<quint32*>(memory + MIN_BUFFER_OFFSET);
        m_avgBuffer = reinterpret_cast<quint32*>(memory + AVG_BUFFER_OFFSET);
        m_maxBuffer = reinterpret_cast<quint32*>(memory + MAX_BUFFER_OFFSET);
    }
}

DataWorker::~DataWorker()
{
    stop();
    if (m_registers)
        ::munmap(const_cast<quint32*>(m_registers), REGISTER_BLOCK_SIZE);
    if (m_sampleMemory)
        ::munmap(m_sampleMemory, SAMPLE_MEMORY_SIZE);
    if (m_interruptFd >= 0)
        ::close(m_interruptFd);
}

bool DataWorker::isFpgaMapped() const
{
    return m_registers && m_sampleMemory;
}

// The registers are written by the worker and, for volume, version and sync status, by the GUI
// thread at the same time: every access is one atomic 32-bit access, kept in program order.
void DataWorker::writeRegister(quint32 offset, quint32 value)
{
    if (m_registers)
        __atomic_store_n(&m_registers[offset / 4], qToLittleEndian(value), __ATOMIC_RELEASE);
}

quint32 DataWorker::readRegister(quint32 offset) const
{
    return m_registers ? qFromLittleEndian(__atomic_load_n(&m_registers[offset / 4], __ATOMIC_ACQUIRE)) : 0;
}

void DataWorker::setSyncMode(bool phaseSynchronous)
{
    m_phaseSynchronous = phaseSynchronous;
}

void DataWorker::setRadioSync(bool radioSync)
{
    m_radioSync = radioSync;
}

void DataWorker::setSweepRate(int hz)
{
    m_sweepRate = quint32(hz);
}

void DataWorker::setMeasurementTime(quint16 timeMs, quint16 clocksPerSample)
{
    const quint32 clocks = qBound<quint32>(1, clocksPerSample, MAX_CLOCKS_PER_SAMPLE);
    m_clocksPerSample = quint16(clocks);
    const quint64 samples = 1000000ULL * timeMs / (clocks * SAMPLE_CLOCK_NS);
    // The screens average over the samples: a block always has at least one.
    m_nSamples = quint16(qBound<quint64>(1, samples, MAX_SAMPLES));
}

void DataWorker::setSampling(quint16 nSamples, quint16 clocksPerSample)
{
    // At least one clock per sample (the register holds the count minus 1) and one sample.
    m_clocksPerSample = qBound<quint16>(1, clocksPerSample, MAX_CLOCKS_PER_SAMPLE);
    m_nSamples = qBound<quint16>(1, nSamples, MAX_SAMPLES);
}

void DataWorker::setAuxLevel(quint16 level)
{
    m_auxLevel = level;
}

void DataWorker::setVolume(quint16 volume)
{
    writeRegister(REG_VOLUME, volume);
}

quint16 DataWorker::sampleCount()
{
    return m_nSamples;
}

quint16 DataWorker::clocksPerSample()
{
    return m_clocksPerSample;
}

quint32 DataWorker::fpgaVersion()
{
    return readRegister(REG_VERSION);
}

void DataWorker::loadFilter(const qint16* table, unsigned n)
{
    if (!m_registers || !table)
        return;
    writeRegister(REG_FILTER_LOAD, 1);
    for (unsigned i = 0; i < n; ++i)
        writeRegister(REG_FILTER_DATA, quint32(qint32(table[i]))); // sign-extended
    writeRegister(REG_FILTER_LOAD, 0);
}

void DataWorker::start(quint32 startKHz, quint32 stopKHz, quint32 stepKHz, int repeatCount)
{
    stop();
    // Without the FPGA memories there is nothing to measure and no buffer to hand over: stay
    // idle, so a screen simply shows no data.
    if (!isFpgaMapped())
        return;
    m_sweepStart = startKHz;
    m_current = startKHz;
    m_sweepStop = stopKHz;
    m_step = stepKHz;
    m_stop = false;
    m_repeatCount = repeatCount;
    CORVANE_HAPPENS_BEFORE(this);
    QThread::start(QThread::InheritPriority);
}

void DataWorker::startSingle(quint32 frequencyKHz, int repeatCount)
{
    start(frequencyKHz, frequencyKHz, 0, repeatCount);
}

void DataWorker::pause()
{
    // Publishes what the worker wrote so far to the GUI thread, which reads it while we wait.
    CORVANE_HAPPENS_BEFORE(&m_pauseSemaphore);
    // The idle permit: from here on isPaused() is true until the GUI thread resumes. Only this
    // one is taken, so that a resume() the GUI thread gave before we got here is not lost.
    m_pauseSemaphore.acquire(1);
    // A stop() from this thread's own slot releases nothing: do not wait for a resume then.
    if (m_stop) {
        m_pauseSemaphore.release(1);
        return;
    }
    m_pauseSemaphore.acquire(1);
    CORVANE_HAPPENS_AFTER(&m_pauseSemaphore);
}

void DataWorker::resume()
{
    CORVANE_HAPPENS_BEFORE(&m_pauseSemaphore);
    // Two permits wake a waiting pause() and leave the idle permit. At most one resume is kept
    // for a pause still to come (3 permits): a screen that resumes more often than it pauses
    // must not let later pauses pass unseen.
    if (m_pauseSemaphore.available() < 3)
        m_pauseSemaphore.release(2);
}

void DataWorker::stop()
{
    if (QThread::currentThread() == this) {
        // From the worker's own slot: end after this step; waiting here would never return.
        m_stop = true;
        return;
    }
    if (isRunning()) {
        // The flag first, then the permits: a worker that wakes from its pause must see it.
        m_stop = true;
        resume();
    }
    // Also after a run that ended by itself: wait() makes its last writes ours.
    wait();
    CORVANE_HAPPENS_AFTER(this);
    // Back to one permit, so that isPaused() is false while idle and the next pause() blocks.
    const int available = m_pauseSemaphore.available();
    if (available > 1)
        m_pauseSemaphore.tryAcquire(available - 1);
    else if (available == 0)
        m_pauseSemaphore.release(1);
}

bool DataWorker::isPaused() const
{
    const bool paused = m_pauseSemaphore.available() == 0;
    if (paused)
        CORVANE_HAPPENS_AFTER(&m_pauseSemaphore);
    return paused;
}

void DataWorker::clearBuffers()
{
    if (!m_sampleMemory)
        return;
    memset(m_minBuffer, 0, 4096);
    memset(m_avgBuffer, 0, 4096);
    memset(m_maxBuffer, 0, 4096);
}

bool DataWorker::syncOk() const
{
    if (!m_registers)
        return false;
    const quint32 control = readRegister(REG_CONTROL);
    return !(control & CONTROL_SYNC_MONITOR) || (control & CONTROL_SYNC_PRESENT);
}

void DataWorker::run()
{
    CORVANE_HAPPENS_AFTER(this);
    // With the default timer slack of 50 µs the short sleeps below overshoot by far more than
    // the work of a step; the block timing needs them close to their length.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    const quint16 clocks = m_clocksPerSample;
    const quint16 samples = m_nSamples;
    const quint16 auxLevel = m_auxLevel;
    // The block lasts samples x clocks x 40 ns; in microseconds.
    const unsigned long blockTimeUs = (quint64(clocks) * samples * SAMPLE_CLOCK_NS) / 1000;

    quint32 runningControl = CONTROL_ENABLE;
    quint32 stoppingControl = 0;
    if (m_sweepRate == 60) {
        runningControl += CONTROL_60HZ;
        stoppingControl += CONTROL_60HZ;
    }
    const bool phaseSynchronous = m_phaseSynchronous;
    if (phaseSynchronous) {
        quint32 syncBits = CONTROL_PHASE_SYNC;
        if (m_radioSync)
            syncBits += CONTROL_RADIO_SYNC;
        syncBits += CONTROL_SYNC_MONITOR;
        runningControl += syncBits;
        stoppingControl += syncBits;
    }

    for (;;) {
        writeRegister(REG_CONTROL, runningControl);
        const bool tuned = pllSetFrequency(PLL_DEVICE, quint32(qMin<quint64>(1000ULL * m_current, 0xFFFFFFFFULL)));
        writeRegister(REG_CLOCKS_PER_SAMPLE, quint32(clocks) - 1);
        writeRegister(REG_SAMPLE_COUNT, samples);
        writeRegister(REG_AUX_LEVEL, auxLevel);

        // Synthesiser settling.
        sleepUntil(addMicroseconds(now(), SETTLE_TIME_US), SETTLE_TIME_US);
        // A step whose tuning failed is not at its frequency even if the synthesiser answers
        // again by now (it locked in the meantime, still at the previous step's frequency).
        const bool pllPresent = pllGetFrequency(PLL_DEVICE) != -1 && tuned;

        if (!phaseSynchronous)
            writeRegister(REG_CONTROL, runningControl + CONTROL_START);
        // The block-complete interrupt, then the block's full time: the buffers are read only
        // after both, whatever woke the poll (on a plain file standing in for the device the
        // poll returns at once, and the sleep alone paces the steps).
        if (m_interruptFd >= 0) {
            pollfd interrupt = {m_interruptFd, INTERRUPT_EVENTS, 0};
            ::poll(&interrupt, 1, INTERRUPT_TIMEOUT_MS);
        }
        sleepUntil(addMicroseconds(now(), blockTimeUs), blockTimeUs);

        // An unreadable or untuned synthesiser reports the step as frequency 0; the sweep keeps its place,
        // so the receiver stays tuned where it was and recovers with the synthesiser.
        const quint32 reported = pllPresent ? m_current : 0;
        bool repeat = false;
        emit measurementFinished(reported, m_minBuffer, m_avgBuffer, m_maxBuffer, samples, &repeat);

        if (!repeat) {
            if (m_step != 0 && quint64(m_current) + m_step <= m_sweepStop) {
                m_current += m_step;
            } else {
                if (m_step != 0)
                    m_current = m_sweepStart;
                if (m_repeatCount > 0)
                    --m_repeatCount;
            }
            if (m_repeatCount == 0)
                m_stop = true;
        }

        if (m_stop) {
            writeRegister(REG_CONTROL, stoppingControl);
            quit();
            CORVANE_HAPPENS_BEFORE(this);
            return;
        }
    }
}
