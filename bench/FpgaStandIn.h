#pragma once

#include <QString>

#include <atomic>
#include <thread>

// A small stand-in for the FPGA over the two memory files of a root folder, so the worker's
// benchmark also runs where the board simulator cannot be started. It maps "/dev/bram0" and
// "/dev/bram1" on its own (its own addresses, like a device), watches the control word and, for each software start (value 8),
// reads the synthesiser's frequency file, the clock and sample registers, fills the three
// buffers of the block and clears the start bit, as the FPGA does:
//   minimum word i = i, average word i = block number (counting from 1),
//   maximum word i = frequency in kHz read from the synthesiser (0 when unreadable).
// While phase-synchronous mode (value 4) is on it reports the sync signal (value 128) when
// syncPresent is set.
class FpgaStandIn
{
public:
    // Creates the two memory files (zeroed, the version word set) and the synthesiser's
    // frequency file below root.
    static bool createFiles(const QString& root, quint32 version = 0x01020003);

    // With running false the stand-in only maps the memories (for checks) and never answers.
    explicit FpgaStandIn(const QString& root, bool running = true);
    ~FpgaStandIn();

    bool isValid() const { return m_registers && m_samples; }
    // Blocks delivered so far.
    quint32 blocks() const { return m_blocks.load(std::memory_order_acquire); }
    // Waits until at least count blocks were delivered; false after timeoutMs.
    bool waitForBlocks(quint32 count, int timeoutMs = 5000) const;
    void setSyncPresent(bool present) { m_syncPresent = present; }

    // Direct access to the memories for checks (the stand-in's own mapping).
    quint32 reg(quint32 offset) const;
    void setReg(quint32 offset, quint32 value);
    quint32 sample(quint32 byteOffset, int index) const;

private:
    void loop();
    void deliverBlock();

    QString m_pllFile;
    quint32* m_registers;
    quint32* m_samples;
    std::atomic<bool> m_quit;
    std::atomic<bool> m_syncPresent;
    std::atomic<quint32> m_blocks;
    std::thread m_thread;
};
