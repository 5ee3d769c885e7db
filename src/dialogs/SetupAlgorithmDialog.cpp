#include "dialogs/SetupAlgorithmDialog.h"
#include "ui_SetupAlgorithmDialog.h"

#include "dialogs/AlgorithmDialog.h"
#include "dialogs/SetupPageEdits.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"

namespace {

// A reference, so that it never depends on the order in which the files' statics are made.
const QString& kPath = AlgorithmDialog::NAME;

QString number(Configuration::ValueType type)
{
    return QString::number(SetupPageEdits::stored(type, kPath));
}

} // namespace

SetupAlgorithmDialog::SetupAlgorithmDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupAlgorithmDialog)
{
    ui->setupUi(this);
}

SetupAlgorithmDialog::~SetupAlgorithmDialog()
{
    delete ui;
}

void SetupAlgorithmDialog::activate()
{
    ui->retranslateUi(this);
    updateForm();
    ui->CycleCountHighButton->setFocus();
}

QString SetupAlgorithmDialog::title() const
{
    return tr("Algorithm");
}

bool SetupAlgorithmDialog::isAvailable() const
{
    // Only while the (in-memory) algorithm switch is on.
    return isEnabled() && Configuration::value(AlgorithmDialog::NAME, QStringLiteral("system"), QVariant()).toBool();
}

void SetupAlgorithmDialog::updateForm()
{
    const QString ms = QStringLiteral("%1 ms");
    ui->CycleCountHighButton->setText(number(Configuration::VT_CycleCountHigh));
    ui->GatingTimeHighButton->setText(ms.arg(number(Configuration::VT_GatingTimeHigh)));
    ui->CycleCountLowButton->setText(number(Configuration::VT_CycleCountLow));
    ui->GatingTimeLowButton->setText(ms.arg(number(Configuration::VT_GatingTimeLow)));
    ui->GradingFilterButton->setText(number(Configuration::VT_GradingFilter));
    const int amplifier = SetupPageEdits::stored(Configuration::VT_Amplifier, kPath);
    ui->AmplifierButton->setText(SetupPageEdits::onOffText(amplifier));
    // The factor stays visible while the amplifier is off, but cannot be changed then.
    ui->AmplifierFactorButton->setText(number(Configuration::VT_AmplifierFactorG));
    ui->AmplifierFactorButton->setEnabled(amplifier != 0);
    ui->Threshold1Button->setText(number(Configuration::VT_Threshold1));
    ui->Threshold2Button->setText(number(Configuration::VT_Threshold2));
    ui->Threshold3Button->setText(number(Configuration::VT_Threshold3));
    ui->Threshold4Button->setText(number(Configuration::VT_Threshold4));
}

void SetupAlgorithmDialog::on_CycleCountHighButton_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_CycleCountHigh, kPath, tr("Enter cycle count (high)")))
        updateForm();
}

void SetupAlgorithmDialog::on_GatingTimeHighButton_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_GatingTimeHigh, kPath, tr("Enter gating time (high)")))
        updateForm();
}

void SetupAlgorithmDialog::on_CycleCountLowButton_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_CycleCountLow, kPath, tr("Enter cycle count (low)")))
        updateForm();
}

void SetupAlgorithmDialog::on_GatingTimeLowButton_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_GatingTimeLow, kPath, tr("Enter gating time (low)")))
        updateForm();
}

void SetupAlgorithmDialog::on_GradingFilterButton_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_GradingFilter, kPath, tr("Enter grading filter")))
        updateForm();
}

void SetupAlgorithmDialog::on_AmplifierButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_Amplifier, kPath, &ValueSelectDialog::selectOnOff,
                               tr("Enable amplifier")))
        updateForm();
}

void SetupAlgorithmDialog::on_AmplifierFactorButton_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_AmplifierFactorG, kPath, tr("Enter amplifier factor")))
        updateForm();
}

void SetupAlgorithmDialog::on_Threshold1Button_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_Threshold1, kPath, tr("Enter threshold")))
        updateForm();
}

void SetupAlgorithmDialog::on_Threshold2Button_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_Threshold2, kPath, tr("Enter threshold")))
        updateForm();
}

void SetupAlgorithmDialog::on_Threshold3Button_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_Threshold3, kPath, tr("Enter threshold")))
        updateForm();
}

void SetupAlgorithmDialog::on_Threshold4Button_clicked()
{
    if (SetupPageEdits::editPlainNumber(Configuration::VT_Threshold4, kPath, tr("Enter threshold")))
        updateForm();
}
