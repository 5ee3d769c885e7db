// corvane-htmlindex FOLDER: writes the browsable record index (an index.html in every folder, the
// style sheet and icons in res/) into a record tree copied to a desktop, exactly as the
// instrument does before it copies the tree to a USB stick.
//   FOLDER  the data folder ("corvane_data": one folder per device, named after its product
//           identification), or one device's folder in it.
// Nothing outside FOLDER (and, for a device's folder, its res/ beside it) is written.
#include "storage/HtmlIndex.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTextStream>

namespace {

// A device's folder holds records or dated record folders; a data folder holds device folders.
bool isDeviceFolder(const QDir& folder)
{
    if (!folder.entryList({QStringLiteral("*.xml")}, QDir::Files).isEmpty())
        return true;
    static const QRegularExpression dated(QStringLiteral("\\d{4}-\\d{2}-\\d{2}"));
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (dated.match(name).hasMatch())
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = application.arguments();
    if (args.size() != 2 || args.at(1).startsWith(QLatin1Char('-'))) {
        err << "usage: corvane-htmlindex FOLDER\n"
               "  FOLDER: a copied data folder (corvane_data) or one device's folder in it\n";
        return 2;
    }
    const QDir folder(QDir(args.at(1)).absolutePath());
    if (!folder.exists()) {
        err << "no such folder: " << folder.path() << "\n";
        return 1;
    }

    QString root = folder.path();
    QStringList devices;
    if (isDeviceFolder(folder)) {
        QDir parent = folder;
        parent.cdUp();
        root = parent.path();
        devices << folder.dirName();
    } else {
        devices = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
        devices.removeAll(QStringLiteral("res"));
    }
    if (devices.isEmpty()) {
        err << "no device folder in " << folder.path() << "\n";
        return 1;
    }

    bool written = true;
    for (const QString& device : devices) {
        const bool ok = HtmlIndex::writeIndex(root, device);
        out << (ok ? "indexed " : "FAILED  ") << QDir(root).filePath(device) << "/index.html\n";
        written = written && ok;
    }
    return written ? 0 : 1;
}
