#include "dialogs/SetupSpectrumDialog.h"
#include "ui_SetupSpectrumDialog.h"

#include "dialogs/SetupPageEdits.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "hardware/BoardIO.h"

#include <QCoreApplication>

namespace {

// The least span of the sweep (MHz) and the least distance of the amplitude limits (dB).
const int kMinimumSpan = 50;
const int kMinimumRange = 10;

} // namespace

SetupSpectrumDialog::SetupSpectrumDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupSpectrumDialog)
{
    ui->setupUi(this);
}

SetupSpectrumDialog::~SetupSpectrumDialog()
{
    delete ui;
}

void SetupSpectrumDialog::activate()
{
    ui->retranslateUi(this);
    updateForm();
    ui->CalibratorButton->setFocus();
}

QString SetupSpectrumDialog::title() const
{
    return QCoreApplication::translate("SpectrumDialog", "Spectrum");
}

void SetupSpectrumDialog::updateForm()
{
    const QString& path = SpectrumDialog::NAME;
    const QString dB = tr("dB");
    // The pulse generator is a line, not a setting: the page shows what the line says.
    ui->CalibratorButton->setText(SetupPageEdits::onOffText(pulseGenerator()));
    ui->BandwidthButton->setText(SetupPageEdits::bandwidthText(SetupPageEdits::stored(Configuration::VT_Bandwidth, path)));
    ui->GatingTimeButton->setText(
        QStringLiteral("%1 %2").arg(SetupPageEdits::stored(Configuration::VT_GatingTime, path)).arg(tr("ms")));
    ui->FreqMinButton->setText(SetupPageEdits::megaHertzText(SetupPageEdits::stored(Configuration::VT_FreqMin, path)));
    ui->FreqMaxButton->setText(SetupPageEdits::megaHertzText(SetupPageEdits::stored(Configuration::VT_FreqMax, path)));
    ui->PreamplifierButton->setText(SetupPageEdits::onOffText(SetupPageEdits::stored(Configuration::VT_Preamplifier, path)));
    ui->AmpMinButton->setText(QStringLiteral("%L1 %2").arg(SetupPageEdits::stored(Configuration::VT_AmpMinDbm, path)).arg(dB));
    ui->AmpMaxButton->setText(QStringLiteral("%L1 %2").arg(SetupPageEdits::stored(Configuration::VT_AmpMaxDbm, path)).arg(dB));
    ui->MaxHoldButton->setText(SetupPageEdits::onOffText(SetupPageEdits::stored(Configuration::VT_MaxHold, path)));
}

void SetupSpectrumDialog::on_CalibratorButton_clicked()
{
    // Switched at once on the line; nothing is stored.
    if (ValueSelectDialog::selectOnOff(pulseGenerator() ? 1 : 0, tr("Enable pulse generator")) != 1)
        return;
    setPulseGenerator(ValueSelectDialog::instance()->value().toInt() != 0);
    updateForm();
}

void SetupSpectrumDialog::on_FreqMinButton_clicked()
{
    const QString& path = SpectrumDialog::NAME;
    if (SetupPageEdits::editNumber(Configuration::VT_FreqMin, path, Configuration::getMin(Configuration::VT_FreqMin),
                                   SetupPageEdits::stored(Configuration::VT_FreqMax, path) - kMinimumSpan, 10,
                                   tr("Enter start frequency"), tr("MHz")))
        updateForm();
}

void SetupSpectrumDialog::on_FreqMaxButton_clicked()
{
    const QString& path = SpectrumDialog::NAME;
    if (SetupPageEdits::editNumber(Configuration::VT_FreqMax, path,
                                   SetupPageEdits::stored(Configuration::VT_FreqMin, path) + kMinimumSpan,
                                   Configuration::getMax(Configuration::VT_FreqMax), 10, tr("Enter end frequency"),
                                   tr("MHz")))
        updateForm();
}

void SetupSpectrumDialog::on_AmpMinButton_clicked()
{
    const QString& path = SpectrumDialog::NAME;
    if (SetupPageEdits::editNumber(Configuration::VT_AmpMinDbm, path, Configuration::getMin(Configuration::VT_AmpMinDbm),
                                   SetupPageEdits::stored(Configuration::VT_AmpMaxDbm, path) - kMinimumRange, 5,
                                   tr("Enter minimum amplitude"), tr("dB")))
        updateForm();
}

void SetupSpectrumDialog::on_AmpMaxButton_clicked()
{
    const QString& path = SpectrumDialog::NAME;
    if (SetupPageEdits::editNumber(Configuration::VT_AmpMaxDbm, path,
                                   SetupPageEdits::stored(Configuration::VT_AmpMinDbm, path) + kMinimumRange,
                                   Configuration::getMax(Configuration::VT_AmpMaxDbm), 5, tr("Enter maximum amplitude"),
                                   tr("dB")))
        updateForm();
}

void SetupSpectrumDialog::on_BandwidthButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_Bandwidth, SpectrumDialog::NAME, &ValueSelectDialog::selectBandwidth,
                               tr("Select bandwidth")))
        updateForm();
}

void SetupSpectrumDialog::on_GatingTimeButton_clicked()
{
    if (SetupPageEdits::editGatingTime(SpectrumDialog::NAME, tr("Enter gating time")))
        updateForm();
}

void SetupSpectrumDialog::on_PreamplifierButton_clicked()
{
    const QString& path = SpectrumDialog::NAME;
    if (!SetupPageEdits::choose(Configuration::VT_Preamplifier, path, &ValueSelectDialog::selectOnOff,
                                tr("Enable preamplifier")))
        return;
    // The line is the inverse of the setting: 1 switches the preamplifier off.
    setPreamplifierOff(SetupPageEdits::stored(Configuration::VT_Preamplifier, path) == 0);
    updateForm();
}

void SetupSpectrumDialog::on_MaxHoldButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_MaxHold, SpectrumDialog::NAME, &ValueSelectDialog::selectOnOff,
                               tr("Enable max hold")))
        updateForm();
}
