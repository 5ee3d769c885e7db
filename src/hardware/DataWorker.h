#pragma once

#include <QSemaphore>
#include <QThread>

#include <atomic>

// The acquisition thread. It steps the PLL synthesiser over a frequency range (or holds one
// frequency), arms the FPGA for each step, waits for the block and hands the FPGA's minimum,
// average and maximum buffers to the active screen through measurementFinished, which the
// screens connect with Qt::DirectConnection: their slot runs in this thread and reads the
// buffers in place. The slot may ask for the same step again and may pause the worker until
// the GUI thread has drawn (pause/resume). The main window creates the one worker at start-up.
//
// The FPGA is reached through two mapped device files: "/dev/bram1" (registers; its descriptor
// is also the block-complete interrupt) and "/dev/bram0" (sample memory). When either cannot be
// mapped the worker reports it on standard output and stays idle: start() then does nothing,
// so no screen ever receives buffers that do not exist.
class DataWorker : public QThread
{
    Q_OBJECT

public:
    // Register block (byte offsets).
    static constexpr quint32 REG_VERSION = 0x00;
    static constexpr quint32 REG_CONTROL = 0x04;
    static constexpr quint32 REG_CLOCKS_PER_SAMPLE = 0x08; // minus 1
    static constexpr quint32 REG_SAMPLE_COUNT = 0x0C;
    static constexpr quint32 REG_VOLUME = 0x24;
    static constexpr quint32 REG_FILTER_DATA = 0x28;
    static constexpr quint32 REG_FILTER_LOAD = 0x2C;
    static constexpr quint32 REG_AUX_LEVEL = 0x30;

    // Control word bits.
    static constexpr quint32 CONTROL_ENABLE = 1;
    static constexpr quint32 CONTROL_PHASE_SYNC = 4;
    static constexpr quint32 CONTROL_START = 8; // self-clearing
    static constexpr quint32 CONTROL_60HZ = 16;
    static constexpr quint32 CONTROL_RADIO_SYNC = 32;
    static constexpr quint32 CONTROL_SYNC_MONITOR = 64;
    static constexpr quint32 CONTROL_SYNC_PRESENT = 128; // read only

    // Sample memory: three buffers of MAX_SAMPLES words (byte offsets).
    static constexpr quint32 MIN_BUFFER_OFFSET = 0x0000;
    static constexpr quint32 AVG_BUFFER_OFFSET = 0x2000;
    static constexpr quint32 MAX_BUFFER_OFFSET = 0x4000;
    static constexpr size_t SAMPLE_MEMORY_SIZE = 65536;
    static constexpr size_t REGISTER_BLOCK_SIZE = 16384;

    static constexpr quint16 MAX_SAMPLES = 2048;
    static constexpr quint16 MAX_CLOCKS_PER_SAMPLE = 4096;
    static constexpr quint32 SAMPLE_CLOCK_NS = 40;
    static constexpr unsigned long SETTLE_TIME_US = 150;
    static constexpr int INTERRUPT_TIMEOUT_MS = 1000;

    // The FPGA's low-pass kernel, loaded at construction.
    static const qint16 FILTER_TABLE[];
    static const unsigned FILTER_TABLE_SIZE;

    explicit DataWorker(QObject* parent = nullptr);
    // Stops the thread and releases the mappings (the program's one worker lives until exit).
    ~DataWorker() override;

    // True when both FPGA memories are mapped; otherwise the worker never runs.
    bool isFpgaMapped() const;

    // Configuration: before start(); a change reaches the worker at its next start.
    virtual void setSyncMode(bool phaseSynchronous);
    virtual void setRadioSync(bool radioSync);
    virtual void setSweepRate(int hz);
    virtual void setMeasurementTime(quint16 timeMs, quint16 clocksPerSample);
    virtual void setSampling(quint16 nSamples, quint16 clocksPerSample);
    virtual void setAuxLevel(quint16 level);
    virtual void setVolume(quint16 volume); // written to the FPGA at once
    virtual quint16 sampleCount();
    virtual quint16 clocksPerSample();
    virtual quint32 fpgaVersion(); // 0 without the FPGA
    virtual void loadFilter(const qint16* table, unsigned n);

    // Control (GUI thread, except pause(), which the screen's slot calls in this thread).
    virtual void start(quint32 startKHz, quint32 stopKHz, quint32 stepKHz, int repeatCount);
    virtual void startSingle(quint32 frequencyKHz, int repeatCount);
    virtual void pause();
    virtual void resume();
    virtual void stop();

    // True while the worker waits in pause() for resume().
    bool isPaused() const;
    // Zeroes the first 4096 bytes of each of the three buffers.
    void clearBuffers();
    // False while sync monitoring is on and the FPGA sees no sync signal.
    bool syncOk() const;

signals:
    // frequency in kHz (0 when the synthesiser cannot be read); the buffers are the FPGA memory
    // itself and stay valid until the slot returns (or until resume() after a pause in the slot).
    void measurementFinished(quint32 frequency, const quint32* minValues, const quint32* avgValues,
                             const quint32* maxValues, quint16 nSamples, bool* repeatMeasurement);

protected:
    void run() override;

private:
    void writeRegister(quint32 offset, quint32 value);
    quint32 readRegister(quint32 offset) const;

    volatile quint32* m_registers;
    quint32* m_minBuffer;
    quint32* m_avgBuffer;
    quint32* m_maxBuffer;
    // Set by the GUI thread between runs (and by the screens' set-up); read by the worker.
    std::atomic<quint16> m_clocksPerSample;
    std::atomic<quint16> m_nSamples;
    std::atomic<quint16> m_auxLevel;
    // Written by start() only while the thread is not running.
    quint32 m_sweepStart;
    quint32 m_sweepStop;
    quint32 m_step;
    quint32 m_current;
    int m_repeatCount;
    // Written by the GUI thread (stop()) and by the worker (end of the repeat count).
    std::atomic<bool> m_stop;
    std::atomic<bool> m_phaseSynchronous;
    std::atomic<bool> m_radioSync;
    std::atomic<quint32> m_sweepRate;
    int m_interruptFd;
    QSemaphore m_pauseSemaphore;
    // The mapped sample memory, kept for the destructor.
    void* m_sampleMemory;
};
