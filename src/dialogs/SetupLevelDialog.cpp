#include "dialogs/SetupLevelDialog.h"
#include "ui_SetupLevelDialog.h"

#include "dialogs/LevelMeterDialog.h"
#include "dialogs/SetupPageEdits.h"
#include "dialogs/ValueSelectDialog.h"
#include "hardware/BoardIO.h"
#include "util/Calibration.h"
#include "util/MarkerPresets.h"

#include <QCoreApplication>

namespace {

// A reference, so that it never depends on the order in which the files' statics are made.
const QString& kPath = LevelMeterDialog::NAME;
const QString kSystem = QStringLiteral("system");
// The least distance of the amplitude limits (dBm or µV).
const int kMinimumRange = 10;

int stored(Configuration::ValueType type)
{
    return SetupPageEdits::stored(type, kPath);
}

bool logMode()
{
    return stored(Configuration::VT_MeasMode) == Configuration::MEAS_MODE_LOG;
}

// The amplitude settings and unit of the detector mode: dBm for LOG, µV for RMS and envelope.
Configuration::ValueType amplitudeMin()
{
    return logMode() ? Configuration::VT_AmpMinDbm : Configuration::VT_AmpMinMicroVolt;
}

Configuration::ValueType amplitudeMax()
{
    return logMode() ? Configuration::VT_AmpMaxDbm : Configuration::VT_AmpMaxMicroVolt;
}

QString amplitudeUnit()
{
    return logMode() ? SetupLevelDialog::tr("dBm") : SetupLevelDialog::tr("µV");
}

bool serviceMode()
{
    return Configuration::getValue(Configuration::VT_Service, kSystem) != 0;
}

} // namespace

SetupLevelDialog::SetupLevelDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupLevelDialog)
{
    ui->setupUi(this);
}

SetupLevelDialog::~SetupLevelDialog()
{
    delete ui;
}

void SetupLevelDialog::activate()
{
    ui->retranslateUi(this);
    // Frequency, bandwidth and preamplifier belong to the UHF receiver; a TEV or HFCT sensor has none.
    const bool uhf = Configuration::getValue(Configuration::VT_Antenna, kSystem) == Configuration::ANTENNA_UHF;
    for (QWidget* widget : {static_cast<QWidget*>(ui->FreqLabel), static_cast<QWidget*>(ui->FreqButton),
                            static_cast<QWidget*>(ui->BandwidthLabel), static_cast<QWidget*>(ui->BandwidthButton),
                            static_cast<QWidget*>(ui->PreamplifierLabel), static_cast<QWidget*>(ui->PreamplifierButton)})
        widget->setVisible(uhf);
    ui->StartCalibLabel->setVisible(serviceMode());
    ui->StartCalibButton->setVisible(serviceMode());
    updateForm();
    ui->MeasModeButton->setFocus();
}

QString SetupLevelDialog::title() const
{
    return QCoreApplication::translate("LevelMeterDialog", "Level");
}

void SetupLevelDialog::updateForm()
{
    ui->GatingTimeButton->setText(QStringLiteral("%L1 %2").arg(stored(Configuration::VT_GatingTime)).arg(tr("ms")));
    ui->AmpMinButton->setText(QStringLiteral("%L1 %2").arg(stored(amplitudeMin())).arg(amplitudeUnit()));
    ui->AmpMaxButton->setText(QStringLiteral("%L1 %2").arg(stored(amplitudeMax())).arg(amplitudeUnit()));
    ui->MeasModeButton->setText(Configuration::toString(Configuration::MeasMode(stored(Configuration::VT_MeasMode))));
    ui->PreamplifierButton->setText(SetupPageEdits::onOffText(stored(Configuration::VT_Preamplifier)));
    ui->BandwidthButton->setText(SetupPageEdits::bandwidthText(stored(Configuration::VT_Bandwidth)));
    ui->FreqButton->setText(SetupPageEdits::megaHertzText(stored(Configuration::VT_FreqMin)));
    if (!serviceMode())
        return;
    // The button names the level the operator must apply for the calibration step in progress.
    const int step = Configuration::getValue(Configuration::VT_Meas_70, kSystem);
    if (step < 1 || step > Calibration::CAL_LEVEL_COUNT) {
        ui->StartCalibButton->setText(tr("Start"));
        return;
    }
    const int level = Calibration::CAL_LEVELS[step - 1];
    const bool dBm = step <= 4 || step == 13 || step == 14;
    ui->StartCalibButton->setText(dBm ? tr("Up %1 dBm").arg(level) : tr("Up %1 µV").arg(level));
}

void SetupLevelDialog::on_MeasModeButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_MeasMode, kPath, &ValueSelectDialog::selectMeasMode,
                               tr("Select measure mode")))
        updateForm();
}

void SetupLevelDialog::on_FreqButton_clicked()
{
    if (SetupPageEdits::editNumber(Configuration::VT_FreqMin, kPath, Configuration::getMin(Configuration::VT_FreqMin),
                                   Configuration::getMax(Configuration::VT_FreqMax), 10, tr("Enter frequency"), tr("MHz"),
                                   MarkerPresets::frequencyPresets()))
        updateForm();
}

void SetupLevelDialog::on_AmpMinButton_clicked()
{
    if (SetupPageEdits::editNumber(amplitudeMin(), kPath, Configuration::getMin(amplitudeMin()),
                                   stored(amplitudeMax()) - kMinimumRange, 5, tr("Enter minimum amplitude"),
                                   amplitudeUnit()))
        updateForm();
}

void SetupLevelDialog::on_AmpMaxButton_clicked()
{
    if (SetupPageEdits::editNumber(amplitudeMax(), kPath, stored(amplitudeMin()) + kMinimumRange,
                                   Configuration::getMax(amplitudeMax()), 5, tr("Enter maximum amplitude"),
                                   amplitudeUnit()))
        updateForm();
}

void SetupLevelDialog::on_GatingTimeButton_clicked()
{
    if (SetupPageEdits::editGatingTime(kPath, tr("Enter gating time")))
        updateForm();
}

void SetupLevelDialog::on_PreamplifierButton_clicked()
{
    // Stored only: the level meter sets the line when it starts.
    if (SetupPageEdits::choose(Configuration::VT_Preamplifier, kPath, &ValueSelectDialog::selectOnOff,
                               tr("Enable Preamplifier")))
        updateForm();
}

void SetupLevelDialog::on_BandwidthButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_Bandwidth, kPath, &ValueSelectDialog::selectBandwidth,
                               tr("Select bandwidth")))
        updateForm();
}

void SetupLevelDialog::on_StartCalibButton_clicked()
{
    int step = Configuration::getValue(Configuration::VT_Meas_70, kSystem);
    if (step < 1) {
        // A calibration starts from a known receiver set-up: LOG detector, preamplifier on,
        // 1 MHz, 5 ms at 500 MHz, no linear gain. The level meter advances the step from here.
        Configuration::setValue(Configuration::VT_MeasMode, Configuration::MEAS_MODE_LOG, kPath);
        Configuration::setValue(Configuration::VT_Preamplifier, 1, kPath);
        setPreamplifierOff(stored(Configuration::VT_Preamplifier) == 0);
        Configuration::setValue(Configuration::VT_Bandwidth, 1000, kPath);
        Configuration::setValue(Configuration::VT_GatingTime, 5, kPath);
        Configuration::setValue(Configuration::VT_FreqMin, 500, kPath);
        setLinearAmplifier(0);
        step = 1;
    } else {
        step = 0; // abort the calibration in progress
    }
    Configuration::setValue(Configuration::VT_Meas_70, step, kSystem);
    updateForm();
}
