#include "common/TestRoot.h"

#include "util/Platform.h"

#include <QDir>
#include <QFile>

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

bool TestRoot::writeFile(const QString& absolutePath, const QByteArray& content) const
{
    QFile file(path(absolutePath));
    QDir().mkpath(QFileInfo(file).absolutePath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray TestRoot::readFile(const QString& absolutePath) const
{
    QFile file(path(absolutePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TestRoot::installScript(const QString& absolutePath, const QString& body) const
{
    return writeFile(absolutePath, "#!/bin/sh\n" + body.toUtf8() + "\n")
        && QFile::setPermissions(path(absolutePath),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
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
