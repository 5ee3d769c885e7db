#include "dialogs/SetupInfoDialog.h"
#include "ui_SetupInfoDialog.h"

#include "MainWindow.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "hardware/SyncRadio.h"
#include "util/Configuration.h"
#include "util/SoftwareVersion.h"
#include "util/SystemHelper.h"

#include <QRegExp>
#include <QTimerEvent>

namespace {

const int kRefreshMs = 1000;
const int kBatteryGauge = 0;
// Read back as the gauge's "charging disabled" line.
const int kChargingDisabledLine = 234;

bool serviceMode()
{
    return Configuration::getValue(Configuration::VT_Service, QStringLiteral("system")) != 0;
}

} // namespace

SetupInfoDialog::SetupInfoDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupInfoDialog)
    , m_timerId(0)
{
    ui->setupUi(this);
}

SetupInfoDialog::~SetupInfoDialog()
{
    delete ui;
}

QString SetupInfoDialog::title() const
{
    return tr("Info");
}

void SetupInfoDialog::activate()
{
    ui->retranslateUi(this);
    const bool service = serviceMode();
    ui->FpgaTempLabel->setVisible(service);
    ui->FpgaTempValue->setVisible(service);
    ui->InterruptCountLabel->setVisible(service);
    ui->InterruptCountValue->setVisible(service);
    // The pulse counter only runs while the radio receives; the screens set it as they need later.
    if (service)
        setReceiveMode(true);

    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = startTimer(kRefreshMs);
    SetupDialog* frame = SetupDialog::instance();
    connect(frame, &SetupDialog::exit, this, &SetupInfoDialog::onExit, Qt::UniqueConnection);
    connect(frame, &SetupDialog::dialogChanged, this, &SetupInfoDialog::onDialogChanged, Qt::UniqueConnection);

    fillStaticRows();
    refresh();
    setFocus();
}

void SetupInfoDialog::fillStaticRows()
{
    ui->SoftwareVersionValue->setText(SoftwareVersion::text());
    ui->SoftwareDateValue->setText(SoftwareVersion::buildDate());
    // Asking for the worker would create the main window (and start the hardware) where there is none.
    const quint32 fpgaVersion = MainWindow::exists() ? MainWindow::dataWorker()->fpgaVersion() : 0;
    ui->FpgaVersionValue->setText(SystemHelper::fpgaVersionText(fpgaVersion));
    const QStringList addresses = SystemHelper::interfaceAddresses(QStringLiteral("eth0"));
    if (!addresses.isEmpty()) {
        ui->MacAddres->setText(addresses.at(0));
        ui->IpAddres->setText(addresses.value(1));
    }
    ui->BetriebsSystemVersion->setText(QStringLiteral("%1").arg(SystemHelper::osVersion(QStringLiteral("1"))));
    ui->SerialNumberValue->setText(SystemHelper::productId(QStringLiteral("Unknown")));
    ui->RadioVariant->setText(SystemHelper::radioCountryVariant());

    // The first file system of "df -h" (the root): size, available, use %.
    const QList<QStringList> fileSystems = SystemHelper::diskUsage(QRegExp(), QStringList());
    if (!fileSystems.isEmpty()) {
        const QStringList& first = fileSystems.first();
        ui->AvailableSpaceValue->setText(first.value(1));
        ui->FreeSpaceValue->setText(first.value(3));
        ui->UsedSpaceProgressBar->setValue(QString(first.value(4)).remove(QLatin1Char('%')).toInt());
    }
}

void SetupInfoDialog::refresh()
{
    if (serviceMode()) {
        // Single precision throughout, as the sensor's conversion is specified.
        const float celsius = float(temperatureRaw()) * 503.975f / 4096.0f - 273.15f;
        ui->FpgaTempValue->setText(QStringLiteral("%1 °C").arg(double(celsius), 0, 'f', 1));
        ui->InterruptCountValue->setText(QStringLiteral("%1").arg(SystemHelper::interruptCount()));
    }
    const QStringList states = {tr("Unknown"), tr("Charging"), tr("Discharging"), tr("Not charging"), tr("Full"),
                                tr("Unknown")};
    const int status = batteryStatus(kBatteryGauge);
    ui->BatteryStatusValue->setText(states.value(status, states.first()));
    ui->BatteryCapacityValue->setText(QStringLiteral("%1 %").arg(batteryCapacity(kBatteryGauge)));
    ui->BatteryVoltageValue->setText(
        QStringLiteral("%1 %2").arg(batteryVoltage(kBatteryGauge) / 1000.0, 0, 'f', 2).arg(tr("V")));
    ui->BatteryCurrentValue->setText(QStringLiteral("%1 %2").arg(batteryCurrent(kBatteryGauge)).arg(tr("mA")));
    // The gauge reports tenths of a degree.
    QString temperature = QStringLiteral("%1 %2").arg(batteryTemperature(kBatteryGauge) / 10.0).arg(QStringLiteral("°C"));
    if (gpioGetValue(kChargingDisabledLine))
        temperature += QLatin1Char('\n') + tr("(charging disabled)");
    ui->BatteryTemperatureValue->setText(temperature);
}

void SetupInfoDialog::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerId)
        refresh();
    else
        ISetupDialog::timerEvent(event);
}

void SetupInfoDialog::onDialogChanged(SetupDialog::Dialog dialog)
{
    if (dialog != SetupDialog::DIALOG_INFO)
        onExit();
}

void SetupInfoDialog::onExit()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = 0;
    SetupDialog* frame = SetupDialog::instance();
    disconnect(frame, &SetupDialog::exit, this, &SetupInfoDialog::onExit);
    disconnect(frame, &SetupDialog::dialogChanged, this, &SetupInfoDialog::onDialogChanged);
}
