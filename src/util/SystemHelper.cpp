#include "util/SystemHelper.h"

#include "util/MutexLocker.h"
#include "util/Platform.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

int SystemHelper::s_mountCount = 0;

namespace {

// The suffix QSaveFile (and QSettings through it) gives its temporary file: a dot and six random
// letters, "recall.xml.qWeRtY" (digits allowed, as other Qt versions may use them). Nothing else
// writes beside these files on the board, so the pattern alone marks a leftover.
bool isTemporarySuffix(const QString& suffix)
{
    static const QRegularExpression pattern(QStringLiteral("^[.][A-Za-z0-9]{6}$"));
    return pattern.match(suffix).hasMatch();
}

// What writes cut short left beside fileName: temporary files and, with locks, QSettings' lock
// files.
QStringList leftoversBeside(const QString& fileName, bool locks)
{
    const QFileInfo file(fileName);
    const QDir dir = file.absoluteDir();
    static const QRegularExpression lock(QStringLiteral("^[.]lock([.]rmlock)?$"));
    QStringList found;
    const QStringList entries = dir.entryList({file.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        const QString suffix = entry.mid(file.fileName().size());
        if (isTemporarySuffix(suffix) || (locks && lock.match(suffix).hasMatch()))
            found << dir.filePath(entry);
    }
    return found;
}

void removeLeftovers(const QStringList& found)
{
    if (found.isEmpty() || !SystemHelper::mountData())
        return;
    for (const QString& name : found)
        QFile::remove(name);
    SystemHelper::unmountData();
    qDebug() << "SystemHelper: removed what cut writes left" << found;
}

// Programs of the board image that change the machine (clock, network, mounts, software). Under
// a root they run only as stand-ins from the root, never from the host.
bool changesMachineState(const QString& baseName)
{
    static const QStringList names = {QStringLiteral("mount"),  QStringLiteral("umount"), QStringLiteral("date"),
                                      QStringLiteral("hwclock"), QStringLiteral("ifconfig"), QStringLiteral("ifup"),
                                      QStringLiteral("ifdown"), QStringLiteral("updater"), QStringLiteral("editenv")};
    return names.contains(baseName);
}

// Programs that only read or change files: under a root the host's may run, with every path
// argument confined to the root.
bool touchesFilesOnly(const QString& baseName)
{
    static const QStringList names = {QStringLiteral("cat"), QStringLiteral("ls"), QStringLiteral("rm"),
                                      QStringLiteral("cp"), QStringLiteral("mkdir"), QStringLiteral("sync")};
    return names.contains(baseName);
}

QString standIn(const QString& program)
{
    const QString root = Platform::root();
    if (program.startsWith(QLatin1Char('/'))) {
        const QFileInfo own(root + program);
        if (own.isFile() && own.isExecutable())
            return own.absoluteFilePath();
    }
    const QString baseName = QFileInfo(program).fileName();
    for (const char* dir : {"/bin/", "/sbin/", "/usr/bin/", "/usr/sbin/"}) {
        const QFileInfo candidate(root + QLatin1String(dir) + baseName);
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QString();
}

// Confines an absolute path argument of a host program to the root; empty when it would leave it.
QString confinedPath(const QString& argument)
{
    const QString root = Platform::root();
    QString mapped = Platform::path(argument);
    if (!mapped.startsWith(root + QLatin1Char('/')) && mapped != root)
        mapped = root + argument;
    QString cleaned = QDir::cleanPath(mapped);
    if (cleaned != root && !cleaned.startsWith(root + QLatin1Char('/')))
        return QString();
    // Cleaning drops a trailing "/." or "/", which the programs read differently: "cp -r dir/. to"
    // copies the folder's content, "cp -r dir to" the folder itself (nested when "to" exists).
    if (argument.endsWith(QLatin1String("/.")))
        cleaned += QLatin1String("/.");
    else if (argument.endsWith(QLatin1Char('/')) && !cleaned.endsWith(QLatin1Char('/')))
        cleaned += QLatin1Char('/');
    return cleaned;
}

// Under a root: the program and arguments that actually run, or false when the command must not
// run on this machine.
bool resolveRooted(QString& program, QStringList& arguments)
{
    // A program path that climbs ("/bin/../../usr/bin/rm") could name a host program below the
    // root's parent and run it with arguments that were never confined.
    if (program.split(QLatin1Char('/')).contains(QLatin1String(".."))) {
        qDebug() << "SystemHelper::execute(): refused program path" << program;
        return false;
    }
    const QString baseName = QFileInfo(program).fileName();
    const QString found = standIn(program);
    if (!found.isEmpty()) {
        program = found;
        for (QString& argument : arguments) {
            if (argument.startsWith(QLatin1Char('/')))
                argument = Platform::path(argument);
        }
        return true;
    }
    if (changesMachineState(baseName) || !touchesFilesOnly(baseName)) {
        qDebug() << "SystemHelper::execute(): no stand-in for" << program << "below" << Platform::root();
        return false;
    }
    for (QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('/'))) {
            argument = confinedPath(argument);
            if (argument.isEmpty())
                return false;
        } else if (argument.contains(QLatin1String(".."))
                   || (argument.startsWith(QLatin1Char('-')) && argument.contains(QLatin1Char('/')))) {
            // Relative paths must not climb out of the working folder (the root), and an option
            // must not carry a path of its own ("--target-directory=/x") past the mapping.
            return false;
        }
    }
    program = baseName;
    return true;
}

QString firstField(const QByteArray& output)
{
    const QString firstLine = QString::fromLocal8Bit(output).split(QLatin1Char('\n')).value(0);
    QString field = firstLine.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
    field.remove(QLatin1Char('\n'));
    return field;
}

QString firstFieldOf(const QString& program, const QStringList& arguments, const QString& fallback)
{
    QByteArray output;
    if (!SystemHelper::execute(program, arguments, &output, nullptr, 30000))
        return fallback;
    const QString field = firstField(output);
    return field.isEmpty() ? fallback : field;
}

const QRegularExpression& commentLine()
{
    static const QRegularExpression re(QStringLiteral("^([\\s])*#"));
    return re;
}

const QRegularExpression& stanzaStart()
{
    static const QRegularExpression re(QStringLiteral("^iface"));
    return re;
}

const QRegularExpression& ipv4Address()
{
    static const QRegularExpression re(QStringLiteral("([0-9]{1,3}[\\.]){3}([0-9]{1,3})"));
    return re;
}

// Two hex digits followed by one of ":", "-" or ".", five times, then two hex digits.
const QRegularExpression& macAddress()
{
    static const QRegularExpression re(QStringLiteral("([0-9A-Fa-f]{2}[:.\\-]){5}([0-9A-Fa-f]{2})"));
    return re;
}

const QRegularExpression& leadingWhiteSpace()
{
    static const QRegularExpression re(QStringLiteral("^\\s+"));
    return re;
}

} // namespace

bool SystemHelper::execute(QString program, QStringList arguments, QByteArray* standardOutput,
                           QByteArray* standardError, int timeoutMs)
{
    if (arguments.isEmpty()) {
        // A whole command line: split it the way QProcess::start(command) would.
        QStringList parts = QProcess::splitCommand(program);
        if (parts.isEmpty())
            return false;
        program = parts.takeFirst();
        arguments = parts;
    }

    QProcess process;
    if (Platform::isRooted()) {
        if (!resolveRooted(program, arguments))
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVANE_ROOT"), Platform::root());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(Platform::root());
    }

    process.start(program, arguments, QIODevice::ReadWrite);
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished(1000);
    }
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    if (standardOutput)
        *standardOutput = out;
    if (standardError)
        *standardError = err;
    if (!err.isEmpty())
        qDebug() << QStringLiteral("\"%1\"").arg(QString::fromLocal8Bit(err));
    // A time-out or a program that did not start is a failure even where QProcess reports 0.
    return finished && process.exitStatus() == QProcess::NormalExit && process.error() == QProcess::UnknownError
           && process.exitCode() == 0;
}

bool SystemHelper::execute(QString commandLine, QByteArray* standardOutput, QByteArray* standardError, int timeoutMs)
{
    return execute(commandLine, QStringList(), standardOutput, standardError, timeoutMs);
}

namespace {

// Guards the nesting counter and is held through the remount itself: the calibration store may
// be written from the acquisition thread while settings and records are written from the GUI
// thread, and a second writer must not find the counter raised before the file system has
// actually become writable (nor lower it while the other still writes).
QMutex& mountLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

bool SystemHelper::mountData()
{
    MutexLocker lock(&mountLock());
    ++s_mountCount;
    if (s_mountCount == 1) {
        if (!execute(QStringLiteral("mount / -o remount,rw"), nullptr, nullptr, 30000)) {
            qDebug() << "mounting / failed!\n";
            --s_mountCount;
            return false;
        }
    }
    return true;
}

bool SystemHelper::unmountData()
{
    MutexLocker lock(&mountLock());
    // An unmount without its mount would leave the counter below zero, and every later bracket
    // would then skip its remount and write to a read-only file system.
    if (s_mountCount <= 0) {
        qDebug() << "SystemHelper::unmountData(): no open bracket";
        s_mountCount = 0;
        return false;
    }
    --s_mountCount;
    if (s_mountCount == 0) {
        if (!execute(QStringLiteral("mount / -o remount,ro"), nullptr, nullptr, 30000)) {
            qDebug() << "unmounting / failed!\n";
            return false;
        }
    }
    return true;
}

void SystemHelper::removeWriteLeftovers(const QString& fileName)
{
    removeLeftovers(leftoversBeside(fileName, true));
}

void SystemHelper::removeSaveFileLeftovers(const QStringList& fileNames, const QString& folder,
                                           const QStringList& temporaryPatterns)
{
    QStringList found;
    for (const QString& fileName : fileNames)
        found += leftoversBeside(fileName, false);
    if (!folder.isEmpty() && !temporaryPatterns.isEmpty()) {
        QDirIterator entries(folder, temporaryPatterns,
                             QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::CaseSensitive,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString name = entries.next();
            if (isTemporarySuffix(name.right(7)))
                found << name;
        }
    }
    removeLeftovers(found);
}

SystemHelper::InterfaceConfig SystemHelper::readInterfaceConfig(const QString& interfaceName, const QString& file)
{
    InterfaceConfig config;
    QFile input(Platform::path(file));
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text))
        return config;
    // Read as the writer reads and writes it: Latin-1, without guessing an encoding from a byte
    // order mark (a stray one would turn the whole file into UTF-16 here but not there).
    QTextStream stream(&input);
    stream.setCodec("ISO-8859-1");
    stream.setAutoDetectUnicode(false);
    bool inStanza = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (commentLine().match(line).hasMatch())
            continue;
        if (stanzaStart().match(line).hasMatch()) {
            const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            inStanza = fields.value(1) == interfaceName;
            if (inStanza) {
                config.name = fields.value(1);
                config.family = fields.value(2);
                config.method = fields.value(3);
            }
            continue;
        }
        if (!inStanza)
            continue;
        if (!leadingWhiteSpace().match(line).hasMatch()) {
            inStanza = false;
            continue;
        }
        if (!ipv4Address().match(line).hasMatch())
            continue;
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        const QString keyword = fields.value(0);
        if (keyword == QLatin1String("address"))
            config.address = trimAddress(fields.value(1));
        else if (keyword == QLatin1String("netmask"))
            config.netmask = trimAddress(fields.value(1));
        else if (keyword == QLatin1String("gateway"))
            config.gateway = trimAddress(fields.value(1));
    }
    return config;
}

bool SystemHelper::writeInterfaceConfig(const InterfaceConfig& config, const QString& file)
{
    const QString fileName = Platform::path(file);
    QStringList lines;
    {
        QFile input(fileName);
        const QFileInfo info(fileName);
        if (input.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QByteArray content = input.readAll();
            if (input.error() != QFileDevice::NoError) {
                qDebug() << "SystemHelper::writeInterfaceConfig(): cannot read" << fileName;
                return false;
            }
            // The whole file: QString::fromLatin1(QByteArray) would stop at a NUL byte (a damaged
            // file) and the rewrite would drop everything after it.
            lines = QString::fromLatin1(content.constData(), content.size()).split(QLatin1Char('\n'));
            if (!lines.isEmpty() && lines.last().isEmpty())
                lines.removeLast();
        } else if (info.exists() || info.isSymLink()) {
            // A file that is there but cannot be read would be replaced by this one stanza, and
            // every other interface (lo, the auto lines) would be lost.
            qDebug() << "SystemHelper::writeInterfaceConfig(): cannot read" << fileName;
            return false;
        }
    }

    QStringList kept;
    int position = -1;
    bool dropping = false;
    for (const QString& line : lines) {
        if (dropping) {
            // A comment at the start of a line is kept but does not end the stanza, as
            // readInterfaceConfig() (and ifupdown) read it: an option line after it would
            // otherwise outlive the rewrite and override the new value when the file is read.
            if (leadingWhiteSpace().match(line).hasMatch())
                continue;
            if (commentLine().match(line).hasMatch()) {
                kept.append(line);
                continue;
            }
            dropping = false;
        }
        if (stanzaStart().match(line).hasMatch()
            && line.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(1) == config.name) {
            dropping = true;
            position = kept.size();
            continue;
        }
        kept.append(line);
    }
    if (position < 0)
        position = kept.size();

    QStringList stanza;
    // A stanza without its address family ("iface eth0  static") breaks the whole file.
    const QString family = config.family.isEmpty() ? QStringLiteral("inet") : config.family;
    stanza << QStringLiteral("iface %1 %2 %3").arg(config.name, family, config.method);
    if (!config.address.isEmpty())
        stanza << QStringLiteral("        address %1").arg(trimAddress(config.address));
    if (!config.netmask.isEmpty())
        stanza << QStringLiteral("        netmask %1").arg(trimAddress(config.netmask));
    if (!config.gateway.isEmpty())
        stanza << QStringLiteral("        gateway %1").arg(trimAddress(config.gateway));
    for (int i = 0; i < stanza.size(); ++i)
        kept.insert(position + i, stanza.at(i));

    if (!mountData())
        return false;
    // Written through a temporary file and renamed over the old one, so that a power cut or a
    // full disk never leaves the board with a half-written network configuration.
    const QByteArray text = kept.join(QLatin1Char('\n')).toLatin1();
    QSaveFile output(fileName);
    bool written = false;
    if (output.open(QIODevice::WriteOnly)) {
        written = output.write(text) == text.size();
        written = output.commit() && written;
    }
    unmountData();
    return written;
}

QString SystemHelper::padAddress(const QString& address)
{
    QStringList parts = address.split(QLatin1Char('.'));
    for (QString& part : parts) {
        while (part.size() < 3)
            part.prepend(QLatin1Char('0'));
    }
    return parts.join(QLatin1Char('.'));
}

QString SystemHelper::trimAddress(const QString& address)
{
    QStringList parts = address.split(QLatin1Char('.'));
    for (QString& part : parts) {
        while (part.size() > 1 && part.startsWith(QLatin1Char('0')))
            part.remove(0, 1);
    }
    return parts.join(QLatin1Char('.'));
}

bool SystemHelper::isValidAddress(const QString& address)
{
    const QStringList parts = address.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        // Digits only: toInt() alone would also take a sign or blanks around the number.
        if (part.isEmpty())
            return false;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        bool ok = false;
        if (part.toInt(&ok, 10) > 255 || !ok)
            return false;
    }
    return true;
}

QStringList SystemHelper::interfaceAddresses(const QString& interfaceName)
{
    QByteArray output;
    execute(QStringLiteral("ifconfig"), QStringList{interfaceName}, &output, nullptr, 30000);
    return parseInterfaceAddresses(output);
}

QStringList SystemHelper::parseInterfaceAddresses(const QByteArray& output)
{
    QStringList result;
    const QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'));
    const QRegularExpressionMatch mac = macAddress().match(lines.value(0));
    if (mac.hasMatch())
        result << mac.captured(0);
    auto addresses = ipv4Address().globalMatch(lines.value(1));
    while (addresses.hasNext())
        result << addresses.next().captured(0);
    return result;
}

QString SystemHelper::osVersion(const QString& fallback)
{
    return firstFieldOf(QStringLiteral("cat"), QStringList{QStringLiteral("/etc/version.corvane")}, fallback);
}

QString SystemHelper::productId(const QString& fallback)
{
    QByteArray output;
    if (!execute(QStringLiteral("/bin/editenv"), QStringList{QStringLiteral("--prodid")}, &output, nullptr, 30000))
        return fallback;
    QString field = firstField(output);
    field.remove(QLatin1Char(','));
    return field.isEmpty() ? fallback : field;
}

QString SystemHelper::radioCountryVariant()
{
    return firstFieldOf(QStringLiteral("cat"), QStringList{QStringLiteral("/sys/class/cc1101/country_variant")},
                        QStringLiteral("???"));
}

QString SystemHelper::fpgaVersionText(quint32 version)
{
    return QStringLiteral("%1.%2.%3").arg(version >> 24).arg((version >> 16) & 0xFF).arg(version & 0xFFFF);
}

QList<QStringList> SystemHelper::diskUsage(const QRegExp& mountPointPattern, const QStringList& excludedMountPoints)
{
    QByteArray output;
    if (!execute(QStringLiteral("df"), QStringList{QStringLiteral("-h")}, &output, nullptr, 30000))
        return QList<QStringList>();
    return parseDiskUsage(output, mountPointPattern, excludedMountPoints);
}

QList<QStringList> SystemHelper::parseDiskUsage(const QByteArray& output, const QRegExp& mountPointPattern,
                                                const QStringList& excludedMountPoints)
{
    QList<QStringList> result;
    QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'));
    if (!lines.isEmpty())
        lines.removeFirst();
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() < 6)
            continue;
        // The mount point is the rest of the line from the sixth field on, blanks and all.
        int offset = 0;
        for (int i = 0; i < 5; ++i) {
            offset = line.indexOf(fields.at(i), offset) + fields.at(i).size();
        }
        QString mountPoint = line.mid(offset).trimmed();
        mountPoint.remove(QLatin1Char('\n'));
        fields = fields.mid(0, 5);
        fields << mountPoint;
        QRegExp pattern(mountPointPattern);
        if (pattern.indexIn(mountPoint) >= 0 && !excludedMountPoints.contains(mountPoint))
            result << fields;
    }
    return result;
}

int SystemHelper::interruptCount()
{
    QFile file(Platform::path(QStringLiteral("/proc/interrupts")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    // Files below /proc report a size of 0, so read until the end rather than trusting atEnd().
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String(" 89:")))
            continue;
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() <= 2)
            return 0;
        // The kernel's counts are unsigned 32-bit numbers: added as such, then kept below 2^30 so
        // that neither this sum nor a caller's small addition can overflow an int.
        const quint64 sum = quint64(fields.at(1).toUInt()) + quint64(fields.at(2).toUInt());
        return int(sum % (quint64(1) << 30));
    }
    return 0;
}
