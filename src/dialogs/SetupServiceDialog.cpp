#include "dialogs/SetupServiceDialog.h"
#include "ui_SetupServiceDialog.h"

#include "dialogs/AlgorithmDialog.h"
#include "MainWindow.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "hardware/BoardIO.h"
#include "util/Configuration.h"

namespace {

const QString kSystem = QStringLiteral("system");
// A reference, so that it never depends on the order in which the files' statics are made.
const QString& kAlgorithm = AlgorithmDialog::NAME;

// The in-memory algorithm switch: off after every start.
bool algorithmOn()
{
    return Configuration::value(kAlgorithm, kSystem, QVariant()).toBool();
}

// Service texts are fixed English, like the rows' labels.
QString lineText(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

// Lets the operator switch an RF-path line; true when a choice was made.
bool switchLine(bool current, const QString& prompt, void (*set)(bool))
{
    if (ValueSelectDialog::selectOnOff(current ? 1 : 0, prompt) != 1)
        return false;
    set(ValueSelectDialog::instance()->value().toInt() != 0);
    return true;
}

} // namespace

SetupServiceDialog::SetupServiceDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupServiceDialog)
{
    ui->setupUi(this);
}

SetupServiceDialog::~SetupServiceDialog()
{
    delete ui;
}

void SetupServiceDialog::activate()
{
    ui->retranslateUi(this);
    updateForm();
    ui->AntSelButton->setFocus();
}

QString SetupServiceDialog::title() const
{
    return tr("Service");
}

bool SetupServiceDialog::isAvailable() const
{
    // Only while service mode is on.
    return isEnabled() && Configuration::getValue(Configuration::VT_Service, kSystem) != 0;
}

void SetupServiceDialog::updateForm()
{
    ui->AntSelButton->setText(lineText(antennaSelectA()));
    ui->RefBBButton->setText(lineText(antennaSelectB()));
    ui->AlgorithmButton->setText(lineText(algorithmOn()));
}

void SetupServiceDialog::on_AntSelButton_clicked()
{
    // The next measurement screen sets the line again for its input.
    switchLine(antennaSelectA(), QStringLiteral("Ant Sel"), &setAntennaSelectA);
    updateForm();
}

void SetupServiceDialog::on_RefBBButton_clicked()
{
    switchLine(antennaSelectB(), QStringLiteral("Ref BB"), &setAntennaSelectB);
    updateForm();
}

void SetupServiceDialog::on_CalibrationButton_clicked()
{
    // The offset calibration is a screen of the main window; without one there is nothing to open.
    if (MainWindow::exists())
        MainWindow::instance()->gotoDialog(MainWindow::DIALOG_KALIB);
}

void SetupServiceDialog::on_AlgorithmButton_clicked()
{
    if (ValueSelectDialog::selectOnOff(algorithmOn() ? 1 : 0, tr("Enable algorithm")) != 1)
        return;
    const int on = ValueSelectDialog::instance()->value().toInt();
    Configuration::setValue(kAlgorithm, on, kSystem);
    if (on == 0) {
        updateForm();
        SetupDialog::instance()->updateButtons();
    } else {
        SetupDialog::instance()->setDialog(SetupDialog::DIALOG_ALGORITHM, false);
    }
}
