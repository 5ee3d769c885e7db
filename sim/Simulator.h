#pragma once

#include "BoardHousekeeping.h"
#include "Faults.h"
#include "FpgaEmulator.h"
#include "ReadOnlyWatch.h"
#include "SignalModel.h"
#include "SimRoot.h"

#include <QByteArray>
#include <csignal>

// The running simulator: holds the root's lock, serves the FPGA memories and the board's slow
// files from one loop paced by the monotonic clock, and applies the fault switches it finds in
// <root>/sim/faults. Runs until SIGTERM or SIGINT.
class Simulator
{
public:
    struct Options
    {
        quint64 seed = 1;
        double radioRateHz = 1.0;
        bool verbose = false;
        bool realtime = true; // lowest real-time priority when permitted
    };

    Simulator(const SimRoot& root, const Options& options);
    ~Simulator();

    // Takes the root's lock ("<root>/sim/lock"); false when another simulator serves this root.
    bool lock(QString* error);
    bool start(QString* error);
    int run();

    // Applies the fault control files to the board files (PLL link, FPGA device files) and writes
    // "<root>/sim/fault-state". Also used after a prepare-only run.
    static void applyFaults(const SimRoot& root, bool* fpgaPresent, bool* radioTransmitting);
    static QByteArray faultStateText(const SimRoot& root);

    static double monotonicSeconds();
    static double wallSeconds();
    static void requestQuit(int signal);

private:
    void checkFaults();
    void writeReadyFile();
    void removeReadyFile();

    const SimRoot& m_root;
    Options m_options;
    SignalModel m_model;
    FpgaEmulator m_fpga;
    BoardHousekeeping m_housekeeping;
    ReadOnlyWatch m_readOnlyWatch;
    int m_lockFd = -1;
    double m_nextFaultCheck = 0.0;
    double m_nextReadOnlyCheck = 0.0;
    QByteArray m_appliedFaults;
    static volatile std::sig_atomic_t s_quit;
};
