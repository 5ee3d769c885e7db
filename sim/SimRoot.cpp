#include "SimRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

SimRoot::SimRoot(const QString& root)
    : m_root(QDir::cleanPath(QDir(root).absolutePath()))
{
}

QString SimRoot::defaultRoot(const QString& fallbackDir)
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isDir() && shm.isWritable())
        return QStringLiteral("/dev/shm/corvane-root-%1").arg(getuid());
    return QDir(fallbackDir).absoluteFilePath(QStringLiteral("root"));
}

QString SimRoot::path(const QString& boardPath) const
{
    return m_root + boardPath;
}

QByteArray SimRoot::nativePath(const QString& boardPath) const
{
    return QFile::encodeName(path(boardPath));
}

QString SimRoot::simPath(const QString& name) const
{
    return m_root + QStringLiteral("/sim/") + name;
}

QString SimRoot::gpioPath(int gpio, const char* file) const
{
    return QStringLiteral("/sys/class/gpio/gpio%1/%2").arg(gpio).arg(QLatin1String(file));
}

QString SimRoot::iioPath(int device, const char* file) const
{
    return QStringLiteral("/sys/bus/iio/devices/iio:device%1/%2").arg(device).arg(QLatin1String(file));
}

QString SimRoot::pllFrequencyPath() const
{
    return iioPath(3, "out_altvoltage0_frequency");
}

bool SimRoot::replaceFile(const QString& boardPath, const QByteArray& content) const
{
    const QByteArray target = nativePath(boardPath);
    const QByteArray temporary = target + ".simtmp";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const ssize_t written = ::write(fd, content.constData(), size_t(content.size()));
    ::close(fd);
    if (written != content.size() || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

bool SimRoot::writeFile(const QString& boardPath, const QByteArray& content) const
{
    const QString name = path(boardPath);
    QDir().mkpath(QFileInfo(name).absolutePath());
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QByteArray SimRoot::readFile(const QString& boardPath, qint64 maxSize) const
{
    const QByteArray name = nativePath(boardPath);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QByteArray();
    QByteArray content(int(maxSize), '\0');
    const ssize_t n = ::read(fd, content.data(), size_t(maxSize));
    ::close(fd);
    content.resize(n > 0 ? int(n) : 0);
    return content;
}

bool SimRoot::readInt(const QString& boardPath, qint64* value) const
{
    // A raw open/read: this runs for every simulated block and must stay cheap.
    char buffer[64];
    const QByteArray name = nativePath(boardPath);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0)
        return false;
    buffer[n] = '\0';
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(buffer, &end, 10);
    if (end == buffer || errno != 0)
        return false;
    *value = parsed;
    return true;
}

bool SimRoot::exists(const QString& boardPath) const
{
    return QFileInfo::exists(path(boardPath));
}
