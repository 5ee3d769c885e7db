#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The board simulator (the program named by the environment variable CORVANE_SIM) on a fresh
// temporary root below /dev/shm, for tests that need a live board: prepare() or start() it,
// point the platform root at it with useAsPlatformRoot(), map its FPGA memories with
// mapMemories(), switch faults with setFault(). The destructor stops the simulator (SIGTERM,
// then SIGKILL), unmaps, removes the root and sets the harmless platform root (TestRoot::harmlessRoot()).
class SimulatedBoard
{
public:
    explicit SimulatedBoard(const QStringList& extraArguments = {});
    ~SimulatedBoard();
    SimulatedBoard(const SimulatedBoard&) = delete;
    SimulatedBoard& operator=(const SimulatedBoard&) = delete;

    static QString program();
    bool isValid() const { return m_dir.isValid() && !program().isEmpty(); }
    QString root() const { return m_dir.path(); }
    // <root> + boardPath.
    QString path(const QString& boardPath) const;

    // Runs the simulator with --prepare-only; true on exit code 0.
    bool prepare(const QStringList& arguments = {});
    // Starts the simulator and waits until it serves the board.
    bool start(int timeoutMs = 10000);
    // SIGTERM and wait; returns the exit code (-1 when it had to be killed or was not running).
    int stop();

    void useAsPlatformRoot() const;
    // "corvane-boardsim --root <root> --fault NAME on|off".
    bool setFault(const QString& name, bool on) const;
    // Runs the simulator program with the root and further arguments; returns the exit code.
    int runProgram(const QStringList& arguments, QByteArray* output = nullptr) const;

    // Maps /dev/bram1 and /dev/bram0 (as the instrument does).
    bool mapMemories();
    quint32 readRegister(quint32 offset) const;
    void writeRegister(quint32 offset, quint32 value);
    // Word i of the buffer at byte offset 0x0000 (minimum), 0x2000 (average), 0x4000 (maximum).
    quint32 sample(quint32 bufferOffset, int i) const;

    // Writes a board file in place, as the instrument's board I/O does ("1" to a GPIO value file).
    bool writeBoardFile(const QString& boardPath, const QByteArray& content) const;
    QByteArray readBoardFile(const QString& boardPath) const;

private:
    void unmapMemories();

    QTemporaryDir m_dir;
    QStringList m_extraArguments;
    QProcess m_process;
    quint8* m_registers = nullptr;
    quint8* m_samples = nullptr;
};
