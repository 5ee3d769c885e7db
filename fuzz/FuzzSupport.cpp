#include "FuzzSupport.h"

#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

namespace {

QTemporaryDir* s_root = nullptr;
QCoreApplication* s_application = nullptr;

} // namespace

void setUp(bool widgets)
{
    if (s_root)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The stores log every write; a fuzzer calls them millions of times.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    static int argc = 1;
    static char name[] = "corvane-fuzz";
    static char* argv[] = {name, nullptr};
    if (widgets)
        s_application = new QApplication(argc, argv);
    else
        s_application = new QCoreApplication(argc, argv);

    // tmpfs when there is one: every input is written as a file.
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                              : QDir::tempPath();
    s_root = new QTemporaryDir(base + QStringLiteral("/corvane-fuzz-XXXXXX"));
    if (!s_root->isValid()) {
        std::fprintf(stderr, "no temporary root below %s\n", qPrintable(base));
        std::abort();
    }
    Platform::setRoot(s_root->path());
    writeFile(QStringLiteral("/bin/mount"), "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(path(QStringLiteral("/bin/mount")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(path(QStringLiteral("/data")));
    check(SystemHelper::mountData(), "the stand-in mount opens the remount bracket");
    // Removed at a normal exit; a crash leaves it for the reproducer's inspection.
    std::atexit([] { delete s_root; });
}

QString path(const QString& boardPath)
{
    return Platform::path(boardPath);
}

void writeFile(const QString& boardPath, const QByteArray& content)
{
    const QString fileName = path(boardPath);
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size(),
          "the input is written below the root");
}

QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), int(size));
}

void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

} // namespace FuzzSupport
