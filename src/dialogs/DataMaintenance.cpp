#include "dialogs/DataMaintenance.h"

#include "MainWindow.h"
#include "dialogs/ValueSelectDialog.h"
#include "storage/HtmlIndex.h"
#include "util/InfoMessageBox.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QDebug>

namespace {

const int kCommandMs = 30000;
const int kRemoveMs = 60000;
const int kCopyMs = 180000;
const int kUpdateMs = 300000;
const int kFailureMs = 3000;
const int kNoticeMs = 1000;

// Closes the progress notice before the outcome is shown.
void finish(const QString& message, int timeoutMs)
{
    InfoMessageBox::closeProgress();
    if (!message.isEmpty())
        InfoMessageBox::information(message, timeoutMs);
}

// A device identification that names exactly one folder (no separators, not "." or "..").
bool isFolderName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
           && name != QLatin1String("..");
}

} // namespace

QString DataMaintenance::dataFolder()
{
    return QStringLiteral("/data/corvane_data");
}

QString DataMaintenance::selectStick()
{
    return ValueSelectDialog::selectMountPoint(QString(), QStringLiteral("/media/[.]*"), {QStringLiteral("/media/ram")},
                                               tr("Select USB"));
}

bool DataMaintenance::copyDataToUsb()
{
    const QString stick = selectStick();
    if (stick.isEmpty())
        return false;
    InfoMessageBox::showProgress(tr("Copying data..."));
    // The index is refreshed for browsing on the stick; the records themselves are copied even
    // when it could not be written.
    if (!HtmlIndex::generateIndex(Platform::path(dataFolder())))
        qDebug("DataMaintenance::copyDataToUsb(): the HTML index was not refreshed");

    if (!SystemHelper::execute(QStringLiteral("mount"), {stick, QStringLiteral("-o"), QStringLiteral("remount,rw")},
                               nullptr, nullptr, kCommandMs)) {
        finish(tr("Mounting of USB device failed!"), kFailureMs);
        return false;
    }
    // This device's earlier copy goes first, so that records removed here do not linger there.
    const QString device = SystemHelper::productId(QStringLiteral("Unknown"));
    if (isFolderName(device))
        SystemHelper::execute(QStringLiteral("rm"), {QStringLiteral("-r"), stick + QStringLiteral("/corvane_data/") + device},
                              nullptr, nullptr, kRemoveMs);
    // "<data>/." copies the folder's content into corvane_data, whether that exists on the stick or not.
    if (!SystemHelper::execute(QStringLiteral("cp"),
                               {QStringLiteral("-r"), dataFolder() + QStringLiteral("/."), stick + QStringLiteral("/corvane_data")},
                               nullptr, nullptr, kCopyMs)) {
        finish(tr("Copying data failed!"), kFailureMs);
        return false;
    }
    const bool released = SystemHelper::execute(QStringLiteral("umount"), {stick}, nullptr, nullptr, kCommandMs);
    finish(tr("Copying data %1!").arg(tr("successful")), kNoticeMs);
    return released;
}

bool DataMaintenance::clearData()
{
    if (ValueSelectDialog::selectYesNo(0, tr("Clear all saved data?")) != 1
        || ValueSelectDialog::instance()->value().toInt() != 1)
        return false;
    InfoMessageBox::showProgress(tr("Clearing data..."));
    bool removed = false;
    if (SystemHelper::mountData()) {
        removed = SystemHelper::execute(QStringLiteral("rm"), {QStringLiteral("-r"), dataFolder()}, nullptr, nullptr,
                                        kCommandMs);
        SystemHelper::unmountData();
    }
    // A read-only file system keeps the records: say so rather than nothing.
    finish(tr("Clearing data %1").arg(removed ? tr("successful") : tr("failed")), kNoticeMs);
    if (MainWindow::exists())
        MainWindow::instance()->rescanFolderIndex();
    return removed;
}

bool DataMaintenance::updateSoftware()
{
    const QString stick = selectStick();
    if (stick.isEmpty())
        return false;
    QByteArray listing;
    SystemHelper::execute(QStringLiteral("ls"), {stick}, &listing, nullptr, kCommandMs);
    QStringList images;
    for (QString line : QString::fromLocal8Bit(listing).split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        if (line.endsWith(QLatin1String(".upd")))
            images << line;
    }
    ValueSelectDialog::Options options;
    for (int i = 0; i < images.size(); ++i)
        options << new ValueSelectDialog::Option(images.at(i), i, i == 0, true);
    ValueSelectDialog* selector = ValueSelectDialog::instance();
    if (selector->exec(0, tr("Select file"), options, true, false) != 1)
        return false;
    const int chosen = selector->value().toInt();
    if (chosen < 0 || chosen >= images.size())
        return false;
    InfoMessageBox::showProgress(tr("Updating, please wait for restart..."));
    const bool installed = SystemHelper::execute(QStringLiteral("/usr/sbin/updater"),
                                                 {stick + QLatin1Char('/') + images.at(chosen)}, nullptr, nullptr,
                                                 kUpdateMs);
    // An accepted image restarts the device; a refused one would otherwise leave the operator waiting.
    finish(installed ? QString() : tr("Software update failed!"), kFailureMs);
    return installed;
}
