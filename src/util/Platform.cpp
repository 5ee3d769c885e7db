#include "util/Platform.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

QString& rootStorage()
{
    static QString root = QStringLiteral("/");
    return root;
}

bool hasBoardPrefix(const QString& path)
{
    static const char* const prefixes[] = {"/sys", "/dev", "/proc", "/data", "/etc", "/usr", "/bin", "/sbin", "/media"};
    for (const char* prefix : prefixes) {
        const QLatin1String p(prefix);
        if (path.startsWith(p) && (path.size() == p.size() || path.at(p.size()) == QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

void Platform::setRoot(const QString& root)
{
    QString cleaned = root.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(QDir(root).absolutePath());
    rootStorage() = cleaned;
}

QString Platform::root()
{
    return rootStorage();
}

bool Platform::isRooted()
{
    return rootStorage() != QLatin1String("/");
}

QString Platform::path(const QString& absolutePath)
{
    if (!isRooted() || !hasBoardPrefix(absolutePath))
        return absolutePath;
    const QString& root = rootStorage();
    // A path that already lies below the root passes through unchanged.
    if (absolutePath.startsWith(root + QLatin1Char('/')))
        return absolutePath;
    return root + absolutePath;
}

QByteArray Platform::nativePath(const char* absolutePath)
{
    return QFile::encodeName(path(QString::fromLocal8Bit(absolutePath)));
}

QString Platform::boardPath(const QString& path)
{
    if (!isRooted())
        return path;
    const QString& root = rootStorage();
    if (path.startsWith(root + QLatin1Char('/')))
        return path.mid(root.size());
    return path;
}
