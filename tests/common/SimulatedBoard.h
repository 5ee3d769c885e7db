#pragma once

#include "util/Platform.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The board simulator (the program named by the environment variable CORVANE_SIM) on a fresh
// temporary root below /dev/shm, for tests that need a live board: prepare() or start() it,
// point the platform root at it with useAsPlatformRoot(), map its FPGA memories with
// mapMemories(), switch faults with setFault(). The destructor stops the simulator, unmaps,
// removes the root and sets the harmless platform root (TestRoot::harmlessRoot()).
class SimulatedBoard
{
public:
    explicit SimulatedBoard(const QStringList& extraArguments = {});
    ~SimulatedBoard();

    static QString program() { return qEnvironmentVariable("CORVANE_SIM"); }
    QString root() const { return m_dir.path(); }
    QString path(const QString& boardPath) const { return root() + boardPath; }

    // --prepare-only; true on exit code 0.
    bool prepare(const QStringList& arguments = {});
    // Starts the simulator and waits until it serves the board.
    bool start(int timeoutMs = 10000);
    // SIGTERM and wait; the exit code (-1 when it had to be killed or was not running).
    int stop();
    // Runs the simulator program on this root with further arguments; returns the exit code.
    int runProgram(const QStringList& arguments, QByteArray* output = nullptr) const;
    bool setFault(const QString& name, bool on) const;
    void useAsPlatformRoot() const { Platform::setRoot(root()); }

    // Maps /dev/bram1 (registers) and /dev/bram0 (samples) as the instrument does.
    bool mapMemories();
    quint32 readRegister(quint32 offset) const;
    void writeRegister(quint32 offset, quint32 value);
    // Word i of the buffer at byte offset 0x0000 (minimum), 0x2000 (average), 0x4000 (maximum).
    quint32 sample(quint32 bufferOffset, int i) const;

    // Writes a board file in place, as the board I/O does ("1" to a GPIO value file).
    bool writeBoardFile(const QString& boardPath, const QByteArray& content) const;
    QByteArray readBoardFile(const QString& boardPath) const;

private:
    void unmapMemories();

    QTemporaryDir m_dir;
    QStringList m_extraArguments;
    QProcess m_process;
    quint32* m_registers = nullptr;
    quint32* m_samples = nullptr;
};
