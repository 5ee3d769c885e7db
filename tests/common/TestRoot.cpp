#include "common/TestRoot.h"

#include "util/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestRoot::TestRoot()
{
    if (m_dir.isValid()) {
        QDir(m_dir.path()).mkpath(QStringLiteral("data"));
        Platform::setRoot(m_dir.path());
    }
}

TestRoot::~TestRoot()
{
    Platform::setRoot(harmlessRoot());
}

QString TestRoot::harmlessRoot()
{
    // Below /proc nothing can be created, not even by root: every board file is missing, every
    // write fails and no command finds a stand-in, so late code of a test cannot reach this
    // machine's own files and commands.
    return QStringLiteral("/proc/corvane-no-root");
}

QString TestRoot::path(const QString& absolutePath) const
{
    return m_dir.path() + absolutePath;
}

bool TestRoot::writeFile(const QString& absolutePath, const QByteArray& content) const
{
    const QString name = path(absolutePath);
    QDir().mkpath(QFileInfo(name).absolutePath());
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QByteArray TestRoot::readFile(const QString& absolutePath) const
{
    QFile file(path(absolutePath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool TestRoot::exists(const QString& absolutePath) const
{
    return QFileInfo::exists(path(absolutePath));
}

bool TestRoot::installScript(const QString& absolutePath, const QString& body) const
{
    const QByteArray script = "#!/bin/sh\n" + body.toUtf8() + "\n";
    if (!writeFile(absolutePath, script))
        return false;
    return QFile::setPermissions(path(absolutePath), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                         | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                         | QFileDevice::ExeGroup);
}

bool TestRoot::installMount() const
{
    const QString body = QStringLiteral("echo \"$(basename \"$0\") $*\" >> \"$CORVANE_ROOT/mount.log\"\n"
                                        "[ -e \"$CORVANE_ROOT/mount.fail\" ] && exit 1\n"
                                        "exit 0");
    return installScript(QStringLiteral("/bin/mount"), body) && installScript(QStringLiteral("/bin/umount"), body);
}

void TestRoot::setMountFails(bool fails) const
{
    if (fails)
        writeFile(QStringLiteral("/mount.fail"), QByteArray());
    else
        QFile::remove(path(QStringLiteral("/mount.fail")));
}

QStringList TestRoot::mountLog() const
{
    return QString::fromUtf8(readFile(QStringLiteral("/mount.log"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray TestRoot::gpio(int line) const
{
    return readFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(line)).trimmed();
}

bool TestRoot::setGpio(int line, const QByteArray& value) const
{
    return writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(line), value);
}

int TestRoot::dac(int device) const
{
    return readFile(QStringLiteral("/sys/bus/iio/devices/iio:device%1/out_voltage0_raw").arg(device)).trimmed().toInt();
}

void TestRoot::resetReceiver() const
{
    for (int line = 207; line <= 237; ++line)
        setGpio(line, "0");
    for (int device : {1, 2})
        writeFile(QStringLiteral("/sys/bus/iio/devices/iio:device%1/out_voltage0_raw").arg(device), "0");
}
