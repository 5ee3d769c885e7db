#pragma once

#include "SimRoot.h"

#include <QStringList>

// Fills a root folder with everything the instrument reaches on the board: the GPIO lines 207 to
// 237, the IIO devices 0 to 3, the battery gauge, the backlight, the FPGA memories, the boot
// environment, the radio device and its country variant, /proc/interrupts, an empty /data, the
// network and version files, the language directory, a simulated USB stick under /media/usb0,
// and the stand-in commands. Files that hold state worth keeping across restarts (the FPGA
// memories, the boot environment, /data, the network file, the stick) are created only when
// missing; the board's power-up state (GPIO lines, DACs, PLL) is written afresh.
class RootPreparer
{
public:
    explicit RootPreparer(const SimRoot& root);

    // True when the folder may become a simulated root: missing, empty, made by the simulator, or
    // holding only a /data folder. Guards against writing a board into the wrong folder.
    bool isUsable(QString* error) const;
    // Removes an earlier simulated root first (only a folder that carries the simulator's marker).
    bool wipe(QString* error) const;
    bool prepare(QString* error) const;
    // Copies the translations (*.qm) and language descriptions (corvane_*.cfg) of a folder into
    // /usr/lib/language; returns the number of files copied.
    int installLanguages(const QString& sourceDir) const;

    // An update image as the updater stand-in checks it: a header line, the version, the
    // payload's SHA-256, a blank line, then the payload.
    static QByteArray updateImage(const QString& version, const QByteArray& payload);

    static QString markerName() { return QStringLiteral(".corvane-boardsim-root"); }

private:
    bool prepareGpio() const;
    bool prepareIio() const;
    bool prepareMisc() const;
    bool prepareBootEnvironment() const;

    const SimRoot& m_root;
};
