#pragma once

#include <QByteArray>
#include <QList>
#include <QRegExp>
#include <QString>
#include <QStringList>

// Everything the program asks of the operating system: commands with a time-out, the remount of
// the read-only root file system around every write, the Ethernet stanza of the network
// configuration, and device facts. Static functions; the only state is the remount nesting
// counter. The remount bracket may be used from any thread (the calibration store takes writes
// from the acquisition thread); everything else is for the GUI thread.
class SystemHelper
{
public:
    struct InterfaceConfig
    {
        QString name;
        QString family;
        QString method;
        QString address;
        QString netmask;
        QString gateway;
    };

    // Runs a program with its arguments (each one argument, never split or interpreted by a
    // shell). True exactly when it ran to the end within timeoutMs and exited with code 0.
    static bool execute(QString program, QStringList arguments, QByteArray* standardOutput = nullptr,
                        QByteArray* standardError = nullptr, int timeoutMs = 30000);
    // The same for a whole command line without operator-supplied parts.
    static bool execute(QString commandLine, QByteArray* standardOutput = nullptr,
                        QByteArray* standardError = nullptr, int timeoutMs = 30000);

    // Bracket every write below /data or /etc: mountData(), and only when it returned true,
    // write and then unmountData(). Pairs nest, also across threads; only the outermost one
    // remounts, and a caller returns only once the file system is writable.
    static bool mountData();
    static bool unmountData();

    // Removes what a write cut short by a power loss leaves beside a file that QSettings or
    // QSaveFile writes: the lock file (an empty one makes the next writer wait out its 30 s
    // stale time) and temporary files ("<name>.XXXXXX"). Only for the start, when nothing else
    // writes the file. Bracketed by the remount when there is anything to remove.
    static void removeWriteLeftovers(const QString& fileName);
    // The same for files written only through QSaveFile (or copied with QFile::copy), which leave
    // nothing but their temporary file: beside each of fileNames, and in folder and every folder
    // below it each file matching one of temporaryPatterns (wildcards ending in ".??????", for
    // example "*.xml.??????" for the records).
    static void removeSaveFileLeftovers(const QStringList& fileNames, const QString& folder = QString(),
                                        const QStringList& temporaryPatterns = QStringList());

    static InterfaceConfig readInterfaceConfig(const QString& interfaceName, const QString& file);
    static bool writeInterfaceConfig(const InterfaceConfig& config, const QString& file);
    static QString padAddress(const QString& address);
    static QString trimAddress(const QString& address);
    static bool isValidAddress(const QString& address);
    static QStringList interfaceAddresses(const QString& interfaceName);

    static QString osVersion(const QString& fallback);
    static QString productId(const QString& fallback);
    static QString fpgaVersionText(quint32 version);
    static QList<QStringList> diskUsage(const QRegExp& mountPointPattern, const QStringList& excludedMountPoints);
    // The parsing halves of interfaceAddresses() and diskUsage(): "ifconfig <name>" and "df -h"
    // output as the commands printed it.
    static QStringList parseInterfaceAddresses(const QByteArray& ifconfigOutput);
    static QList<QStringList> parseDiskUsage(const QByteArray& dfOutput, const QRegExp& mountPointPattern,
                                             const QStringList& excludedMountPoints);
    // The radio receiver's interrupts on both processors, modulo 2^30.
    static int interruptCount();
    static QString radioCountryVariant();

private:
    static int s_mountCount;
};
