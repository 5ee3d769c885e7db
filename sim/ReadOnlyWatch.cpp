#include "ReadOnlyWatch.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

// Timestamps come from two clocks read by two processes: allow a little slack.
constexpr double Slack = 0.05;

double modificationTime(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0.0;
    return double(info.st_mtim.tv_sec) + double(info.st_mtim.tv_nsec) * 1e-9;
}

} // namespace

ReadOnlyWatch::ReadOnlyWatch(const SimRoot& root)
    : m_root(root)
{
}

void ReadOnlyWatch::start(double wallSeconds)
{
    // The preparation wrote /etc just now: judge only what comes later.
    m_lastScan = wallSeconds + Slack;
    QFile log(m_root.simPath(QStringLiteral("rootfs.log")));
    m_logOffset = log.exists() ? log.size() : 0;
    m_windows.clear();
    // A root that is writable already opens a window now.
    QFile state(m_root.simPath(QStringLiteral("rootfs")));
    if (state.open(QIODevice::ReadOnly) && state.readAll().trimmed() == "rw")
        m_windows.append({wallSeconds, std::numeric_limits<double>::infinity()});
}

void ReadOnlyWatch::readRemountLog()
{
    QFile log(m_root.simPath(QStringLiteral("rootfs.log")));
    if (!log.open(QIODevice::ReadOnly) || log.size() <= m_logOffset)
        return;
    log.seek(m_logOffset);
    while (!log.atEnd()) {
        const QByteArray line = log.readLine();
        if (!line.endsWith('\n'))
            break; // half written: read it next time
        m_logOffset += line.size();
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool ok = false;
        const double time = fields.value(1).toDouble(&ok);
        if (!ok)
            continue;
        const bool open = !m_windows.isEmpty() && std::isinf(m_windows.last().second);
        if (fields.value(0) == "rw" && !open)
            m_windows.append({time, std::numeric_limits<double>::infinity()});
        else if (fields.value(0) == "ro" && open)
            m_windows.last().second = time;
    }
    // Old windows no longer matter once the scan has passed them.
    while (m_windows.size() > 1 && m_windows.first().second + 10.0 < m_lastScan)
        m_windows.removeFirst();
}

bool ReadOnlyWatch::writable(double modified) const
{
    for (const auto& window : m_windows) {
        if (modified >= window.first - Slack && modified <= window.second + Slack)
            return true;
    }
    return false;
}

QStringList ReadOnlyWatch::check(double wallSeconds)
{
    readRemountLog();
    QStringList violations;
    // File times come from the kernel's coarse clock, a few milliseconds behind: look back by the
    // slack, and remember what was reported so that nothing is reported twice.
    const double from = m_lastScan - Slack;
    m_lastScan = std::max(m_lastScan, wallSeconds);
    for (const char* top : {"/data", "/etc"}) {
        QDirIterator it(m_root.path(QLatin1String(top)), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const double modified = modificationTime(path);
            if (modified <= from || modified > wallSeconds || writable(modified))
                continue;
            if (m_reported.value(path) == modified)
                continue;
            m_reported.insert(path, modified);
            violations << path.mid(m_root.root().size());
        }
    }
    for (auto it = m_reported.begin(); it != m_reported.end();) {
        if (it.value() < from)
            it = m_reported.erase(it);
        else
            ++it;
    }
    if (!violations.isEmpty()) {
        QFile report(m_root.simPath(QStringLiteral("readonly-violations.log")));
        if (report.open(QIODevice::Append)) {
            for (const QString& path : violations)
                report.write(QByteArray::number(wallSeconds, 'f', 3) + ' ' + path.toUtf8() + '\n');
        }
    }
    return violations;
}
