#pragma once

#include "MappedFile.h"
#include "SignalModel.h"
#include "SimRoot.h"

// Plays the FPGA over the two memory files "/dev/bram0" (sample buffers) and "/dev/bram1"
// (registers). It watches the control word:
//  - software start (bit value 8): consumed (cleared) after the block is in the buffers; the
//    block uses the sample count (0x0C), clocks per sample (0x08 + 1), the PLL frequency file and
//    the receiver's GPIO lines and DACs as they are at that moment;
//  - phase-synchronous mode (enable 1 + bit value 4): one block per mains period (50 Hz, 60 Hz
//    with bit value 16), its slots spread over the period and starting at the mains zero crossing;
//    bit 7 is kept set while the sync source is present. Without sync the blocks run free (their
//    phase wanders) and bit 7 stays clear.
// Every event goes over a self-clearing bit or a counter (status words at 0x100, see
// BoardLayout), never over a level that could flip twice between two looks of the other side.
class FpgaEmulator
{
public:
    FpgaEmulator(const SimRoot& root, SignalModel& model);

    // Maps the memories (creating them when missing). False when they cannot be mapped.
    bool attach();
    // The "FPGA missing" fault: the device files disappear from /dev (moved into <root>/sim/hidden,
    // so that a mapping the instrument already holds stays valid) and nothing is served.
    void setPresent(bool present);
    bool isPresent() const { return m_present; }
    // Sync presence as the housekeeping sees it: the selected sync lines, and the radio sensor.
    void setSyncPresence(bool linesPresent, bool radioPresent);

    // One look at the registers at time `now` (monotonic seconds). Returns how long the caller may
    // sleep before the next look.
    double service(double now);

    static QString hiddenPath(const SimRoot& root, const char* device);

private:
    // Fills the buffers with one block and counts `blocks` delivered blocks.
    void deliverBlock(double startSeconds, double mainsHz, quint32 blocks);
    bool syncPresent(quint32 controlWord) const;
    void keepSyncBit(quint32 controlWord);
    void clearControlBits(quint32 bits);

    const SimRoot& m_root;
    SignalModel& m_model;
    MappedFile m_samples;
    MappedFile m_registers;
    SignalModel::Block m_block;
    bool m_present = true;
    bool m_linesPresent = true;
    bool m_radioPresent = true;
    double m_nextSyncBlock = 0.0; // 0: phase-synchronous delivery not running
    double m_nextHeartbeat = 0.0;
    double m_freeRunPhase = 0.0;
};
