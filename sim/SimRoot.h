#pragma once

#include <QByteArray>
#include <QString>

// The simulated board's root folder: builds the paths of the board's files below it and of the
// simulator's own control folder "<root>/sim". It also reads and writes the small text files of
// sysfs the way the drivers would: a file the simulator produces is replaced atomically (no
// reader ever sees it half written), a value the instrument writes is read as it stands.
class SimRoot
{
public:
    explicit SimRoot(const QString& root);

    // The default root: /dev/shm/corvane-root-<uid> (tmpfs, so file writes cost what sysfs writes
    // cost), or "<fallbackDir>/root" where /dev/shm is not available.
    static QString defaultRoot(const QString& fallbackDir);

    QString root() const { return m_root; }
    // <root> + boardPath ("/sys/class/gpio/gpio207/value").
    QString path(const QString& boardPath) const;
    QByteArray nativePath(const QString& boardPath) const;
    // "<root>/sim/<name>": the simulator's control files (faults, logs, state, ready marker).
    QString simPath(const QString& name) const;

    QString gpioPath(int gpio, const char* file) const;
    QString iioPath(int device, const char* file) const;
    QString pllFrequencyPath() const;

    // Writes the whole file through a temporary file and a rename (for files only the
    // simulator writes, such as /proc/interrupts or the battery gauge).
    bool replaceFile(const QString& boardPath, const QByteArray& content) const;
    // Creates the folders and writes the file in place (preparation only).
    bool writeFile(const QString& boardPath, const QByteArray& content) const;
    QByteArray readFile(const QString& boardPath, qint64 maxSize = 4096) const;
    // Reads the first integer of a file; false when it cannot be opened or holds none.
    bool readInt(const QString& boardPath, qint64* value) const;
    bool exists(const QString& boardPath) const;

private:
    QString m_root;
};
