#include "dialogs/SetupTimeDialog.h"
#include "ui_SetupTimeDialog.h"

#include "dialogs/TimeDomainDialog.h"
#include "dialogs/SetupPageEdits.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/MarkerPresets.h"

#include <QCoreApplication>

namespace {

// A reference, so that it never depends on the order in which the files' statics are made.
const QString& kPath = TimeDomainDialog::NAME;
// The least distance of the amplitude limits (%).
const int kMinimumRange = 10;

int stored(Configuration::ValueType type)
{
    return SetupPageEdits::stored(type, kPath);
}

} // namespace

SetupTimeDialog::SetupTimeDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupTimeDialog)
{
    ui->setupUi(this);
}

SetupTimeDialog::~SetupTimeDialog()
{
    delete ui;
}

void SetupTimeDialog::activate()
{
    ui->retranslateUi(this);
    // Frequency, bandwidth and preamplifier belong to the UHF receiver; a TEV or HFCT sensor has none.
    const bool uhf = Configuration::getValue(Configuration::VT_Antenna, QStringLiteral("system")) == Configuration::ANTENNA_UHF;
    for (QWidget* widget : {static_cast<QWidget*>(ui->FreqLabel), static_cast<QWidget*>(ui->FreqButton),
                            static_cast<QWidget*>(ui->BandwidthLabel), static_cast<QWidget*>(ui->BandwidthButton),
                            static_cast<QWidget*>(ui->PreamplifierLabel), static_cast<QWidget*>(ui->PreamplifierButton)})
        widget->setVisible(uhf);
    updateForm();
    ui->BandwidthButton->setFocus();
}

QString SetupTimeDialog::title() const
{
    return QCoreApplication::translate("TimeDomainDialog", "Time Domain");
}

void SetupTimeDialog::updateForm()
{
    ui->FreqButton->setText(SetupPageEdits::megaHertzText(stored(Configuration::VT_FreqMin)));
    ui->PreamplifierButton->setText(SetupPageEdits::onOffText(stored(Configuration::VT_Preamplifier)));
    ui->PhaseShiftButton->setText(QStringLiteral("%1 %2").arg(stored(Configuration::VT_PhaseShift)).arg(QStringLiteral("°")));
    ui->ResolutionButton->setText(
        QStringLiteral("%1").arg(Configuration::toString(Configuration::Resolution(stored(Configuration::VT_Resolution)))));
    ui->BandwidthButton->setText(SetupPageEdits::bandwidthText(stored(Configuration::VT_Bandwidth)));
    const int persistency = stored(Configuration::VT_Persistency);
    ui->PersistencyButton->setText(persistency == 0 ? tr("Infinite") : QString::number(persistency));
    ui->AmpMaxButton->setText(QStringLiteral("%L1 %").arg(stored(Configuration::VT_AmpMaxPercent)));
    ui->MaxQuantityButton->setText(QStringLiteral("%L1").arg(stored(Configuration::VT_MaxQuantity)));
    ui->AmpMinButton->setText(QStringLiteral("%L1 %").arg(stored(Configuration::VT_AmpMinPercent)));
    ui->UpdateIntervalButton->setText(QStringLiteral("%1 %2").arg(stored(Configuration::VT_UpdateInterval)).arg(tr("ms")));
}

void SetupTimeDialog::on_FreqButton_clicked()
{
    if (SetupPageEdits::editNumber(Configuration::VT_FreqMin, kPath, Configuration::getMin(Configuration::VT_FreqMin),
                                   Configuration::getMax(Configuration::VT_FreqMax), 10, tr("Enter frequency"), tr("MHz"),
                                   MarkerPresets::frequencyPresets()))
        updateForm();
}

void SetupTimeDialog::on_AmpMinButton_clicked()
{
    if (SetupPageEdits::editNumber(Configuration::VT_AmpMinPercent, kPath,
                                   Configuration::getMin(Configuration::VT_AmpMinPercent),
                                   stored(Configuration::VT_AmpMaxPercent) - kMinimumRange, 5, tr("Enter minimum amplitude"),
                                   QStringLiteral("%")))
        updateForm();
}

void SetupTimeDialog::on_AmpMaxButton_clicked()
{
    if (SetupPageEdits::editNumber(Configuration::VT_AmpMaxPercent, kPath,
                                   stored(Configuration::VT_AmpMinPercent) + kMinimumRange,
                                   Configuration::getMax(Configuration::VT_AmpMaxPercent), 5, tr("Enter maximum amplitude"),
                                   QStringLiteral("%")))
        updateForm();
}

void SetupTimeDialog::on_PreamplifierButton_clicked()
{
    // Stored only: the time-domain screen sets the line when it starts.
    if (SetupPageEdits::choose(Configuration::VT_Preamplifier, kPath, &ValueSelectDialog::selectOnOff,
                               tr("Enable Preamplifier")))
        updateForm();
}

void SetupTimeDialog::on_PersistencyButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_Persistency, kPath, &ValueSelectDialog::selectPersistency,
                               tr("Persistency")))
        updateForm();
}

void SetupTimeDialog::on_BandwidthButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_Bandwidth, kPath, &ValueSelectDialog::selectBandwidth,
                               tr("Select bandwidth")))
        updateForm();
}

void SetupTimeDialog::on_MaxQuantityButton_clicked()
{
    if (SetupPageEdits::editNumber(Configuration::VT_MaxQuantity, kPath, Configuration::getMin(Configuration::VT_MaxQuantity),
                                   Configuration::getMax(Configuration::VT_MaxQuantity), 5, tr("Enter maximum quantity"),
                                   QString()))
        updateForm();
}

void SetupTimeDialog::on_PhaseShiftButton_clicked()
{
    if (SetupPageEdits::editNumber(Configuration::VT_PhaseShift, kPath, Configuration::getMin(Configuration::VT_PhaseShift),
                                   Configuration::getMax(Configuration::VT_PhaseShift), 120, tr("Enter phase shift"),
                                   QStringLiteral("°")))
        updateForm();
}

void SetupTimeDialog::on_ResolutionButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_Resolution, kPath, &ValueSelectDialog::selectResolution,
                               tr("Select resolution")))
        updateForm();
}

void SetupTimeDialog::on_UpdateIntervalButton_clicked()
{
    if (SetupPageEdits::editNumber(Configuration::VT_UpdateInterval, kPath,
                                   Configuration::getMin(Configuration::VT_UpdateInterval),
                                   Configuration::getMax(Configuration::VT_UpdateInterval), 50, tr("Enter update interval"),
                                   tr("ms")))
        updateForm();
}
