#include "dialogs/RecordSaving.h"

#include "MainWindow.h"
#include "dialogs/ValueSelectDialog.h"
#include "storage/RecordWriter.h"
#include "util/InfoMessageBox.h"
#include "util/Platform.h"

namespace {

const int SAVED_NOTICE_MS = 1000;
// A failure is read more slowly than a success: the operator has to act on it.
const int FAILED_NOTICE_MS = 3000;

} // namespace

bool RecordSaving::askPhase(Configuration::Phase* phase)
{
    *phase = Configuration::PHASE_Unspecified;
    if (!Configuration::getValue(Configuration::VT_PromptPhase, QStringLiteral("system")))
        return true;
    setStatusText(recordFolder(false));
    const bool accepted
        = ValueSelectDialog::selectPhase(Configuration::PHASE_Unspecified, tr("Select phase")) == 1;
    if (accepted) {
        const int chosen = ValueSelectDialog::instance()->value().toInt();
        if (chosen >= Configuration::PHASE_Unspecified && chosen <= Configuration::PHASE_L3)
            *phase = Configuration::Phase(chosen);
    }
    setStatusText(QString());
    return accepted;
}

bool RecordSaving::saveAndReport(const QString& name, const QPixmap& picture, const QDomDocument& document)
{
    InfoMessageBox::showProgress(tr("Saving data..."));
    const bool saved = saveMeasurement(name, picture, document, recordFolder(true));
    InfoMessageBox::closeProgress();
    if (saved) {
        InfoMessageBox::information(
            tr("Data saved in folder:") + QStringLiteral("\n%1").arg(recordFolder(false)), SAVED_NOTICE_MS);
    } else {
        InfoMessageBox::information(tr("Saving data failed!"), FAILED_NOTICE_MS, QString(), QMessageBox::Warning);
    }
    return saved;
}

QString RecordSaving::recordFolder(bool fullPath)
{
    if (MainWindow::exists())
        return MainWindow::folderName(fullPath);
    return fullPath ? Platform::path(QStringLiteral("/data/corvane_data")) : QString();
}

void RecordSaving::setStatusText(const QString& text)
{
    if (MainWindow::exists())
        MainWindow::setStatusText(text);
}
