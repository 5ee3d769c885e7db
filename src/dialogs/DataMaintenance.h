#pragma once

#include <QCoreApplication>
#include <QString>

// The long maintenance actions of the system page: copying the record tree with its HTML index to
// a USB stick, clearing the records, and installing a software update from a stick. Each shows a
// progress notice while its commands run and always closes it before it shows its outcome.
// Mount points and file names reach the commands as single arguments, never through a shell.
class DataMaintenance
{
    Q_DECLARE_TR_FUNCTIONS(DataMaintenance)

public:
    // The board's record folder.
    static QString dataFolder();
    // The operator picks a stick; empty when none was chosen.
    static QString selectStick();

    // True when the copy reached the stick and the stick was released.
    static bool copyDataToUsb();
    // Asks first; true when the records were removed.
    static bool clearData();
    // The operator picks an update image (names ending in ".upd") from a stick; true when the
    // updater accepted it.
    static bool updateSoftware();
};
