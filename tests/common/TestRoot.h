#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary platform root for one test: sets Platform's root to a fresh folder holding an
// empty /data, and can install small shell stand-ins for the board image's commands. The
// stand-in "mount" logs its arguments to <root>/mount.log and fails while <root>/mount.fail
// exists. When destroyed it sets the harmless root (never "/": code that runs later in the test
// process must not act on this machine).
class TestRoot
{
public:
    TestRoot();
    ~TestRoot();
    TestRoot(const TestRoot&) = delete;
    TestRoot& operator=(const TestRoot&) = delete;

    // The root left behind: below /proc nothing can be created, not even by root, so every board
    // file is missing, every write fails and no command finds a stand-in there.
    static QString harmlessRoot() { return QStringLiteral("/proc/corvane-no-root"); }

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString path(const QString& absolutePath) const { return m_dir.path() + absolutePath; }

    // Writes a file (creating its folders) below the root.
    bool writeFile(const QString& absolutePath, const QByteArray& content) const;
    QByteArray readFile(const QString& absolutePath) const;
    bool exists(const QString& absolutePath) const { return QFileInfo::exists(path(absolutePath)); }

    // Installs <root><absolutePath> as an executable shell script with the given body.
    bool installScript(const QString& absolutePath, const QString& body) const;
    // The logging stand-in "mount" described above (also installed as "umount").
    bool installMount() const;
    void setMountFails(bool fails) const;
    QStringList mountLog() const;

    // The receiver's files as the board I/O sees them: GPIO line values and the DACs' raw values.
    // resetReceiver() writes "0" to lines 207..237 and to both amplifier DACs.
    QByteArray gpio(int line) const;
    bool setGpio(int line, const QByteArray& value) const;
    int dac(int device) const;
    void resetReceiver() const;

private:
    QTemporaryDir m_dir;
};
