#include "dialogs/SetupSystemDialog.h"
#include "ui_SetupSystemDialog.h"

#include "dialogs/AdressEditDialog.h"
#include "dialogs/DataMaintenance.h"
#include "dialogs/DateTimeEditDialog.h"
#include "dialogs/SetupPageEdits.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "dialogs/ValueSliderDialog.h"
#include "hardware/BoardIO.h"
#include "util/Configuration.h"
#include "util/InfoMessageBox.h"
#include "util/LanguageManager.h"
#include "util/Platform.h"

#include <QDate>
#include <QDir>
#include <QEvent>
#include <QTime>
#include <QTimerEvent>

namespace {

const QString kSystem = QStringLiteral("system");
const QString kInterfaces = QStringLiteral("/etc/network/interfaces");
const QString kInterface = QStringLiteral("eth0");
const QString kDhcp = QStringLiteral("dhcp");
const int kRefreshMs = 1000;
const int kCommandMs = 30000;
const int kNoticeMs = 1000;
const int kFailureMs = 3000;

int stored(Configuration::ValueType type)
{
    return Configuration::getValue(type, kSystem);
}

bool serviceMode()
{
    return stored(Configuration::VT_Service) != 0;
}

QString datePattern()
{
    return Configuration::dateFormatString(Configuration::DateFormat(stored(Configuration::VT_DateFormat)));
}

// The code that opens service mode. It is not kept as one number in the program text; service
// staff have it from their own documentation.
int serviceCode()
{
    int code = 1;
    for (int factor : {7, 13, 15217})
        code *= factor;
    return code;
}

// What the page shows and writes for an interface without a stanza in the network file.
SystemHelper::InterfaceConfig defaultInterface()
{
    return SystemHelper::InterfaceConfig{kInterface,           QStringLiteral("inet"),          kDhcp,
                                         QStringLiteral("0.0.0.0"), QStringLiteral("255.255.255.0"), QStringLiteral("0.0.0.0")};
}

} // namespace

SetupSystemDialog::SetupSystemDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupSystemDialog)
    , m_timerId(0)
{
    ui->setupUi(this);
}

SetupSystemDialog::~SetupSystemDialog()
{
    delete ui;
}

QString SetupSystemDialog::title() const
{
    return tr("System");
}

void SetupSystemDialog::activate()
{
    ui->retranslateUi(this);
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = startTimer(kRefreshMs);
    SetupDialog* frame = SetupDialog::instance();
    connect(frame, &SetupDialog::exit, this, &SetupSystemDialog::onExit, Qt::UniqueConnection);
    connect(frame, &SetupDialog::dialogChanged, this, &SetupSystemDialog::onDialogChanged, Qt::UniqueConnection);
    updateForm();
    // Without records the copy button is disabled; the keys then start from the first row.
    if (ui->CopyToUsbButton->isEnabled())
        ui->CopyToUsbButton->setFocus();
    else
        ui->LanguageButton->setFocus();
    updateForm();
}

void SetupSystemDialog::onDialogChanged(SetupDialog::Dialog dialog)
{
    if (dialog != SetupDialog::DIALOG_SYSTEM)
        onExit();
}

void SetupSystemDialog::onExit()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = 0;
    SetupDialog* frame = SetupDialog::instance();
    disconnect(frame, &SetupDialog::exit, this, &SetupSystemDialog::onExit);
    disconnect(frame, &SetupDialog::dialogChanged, this, &SetupSystemDialog::onDialogChanged);
}

void SetupSystemDialog::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerId)
        updateForm();
    else
        ISetupDialog::timerEvent(event);
}

void SetupSystemDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        updateForm();
        return;
    }
    ISetupDialog::changeEvent(event);
}

void SetupSystemDialog::updateForm()
{
    const QString code = Configuration::getString(Configuration::VT_Language, kSystem);
    const QString native = LanguageManager::instance()->language(code).value(QStringLiteral("native")).toString();
    ui->LanguageButton->setText(native.isEmpty() ? code : native);
    ui->DateFormatButton->setText(Configuration::toString(Configuration::DateFormat(stored(Configuration::VT_DateFormat))));
    ui->DateButton->setText(QDate::currentDate().toString(datePattern()));
    ui->TimeButton->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    ui->SweepRateButton->setText(QStringLiteral("%1 %2").arg(stored(Configuration::VT_SweepRate)).arg(tr("Hz")));
    ui->BrightnessButton->setText(QStringLiteral("%1 %").arg(stored(Configuration::VT_Brightness)));
    ui->PromptPhaseButton->setText(SetupPageEdits::onOffText(stored(Configuration::VT_PromptPhase) == 1));

    const bool service = serviceMode();
    ui->ServiceButton->setText(service ? tr("Disable Service mode") : tr("Enable Service mode"));
    if (service) {
        m_interface = SystemHelper::readInterfaceConfig(kInterface, kInterfaces);
        if (m_interface.name.isEmpty())
            m_interface = defaultInterface();
        const bool dhcp = m_interface.method == kDhcp;
        ui->MethodButton->setText(dhcp ? tr("DHCP") : tr("Static"));
        ui->AddressButton->setText(m_interface.address);
        ui->NetmaskButton->setText(m_interface.netmask);
        ui->GatewayButton->setText(m_interface.gateway);
        ui->AddressButton->setEnabled(!dhcp);
        ui->NetmaskButton->setEnabled(!dhcp);
        ui->GatewayButton->setEnabled(!dhcp);
    }
    for (QWidget* widget : {static_cast<QWidget*>(ui->MethodLabel), static_cast<QWidget*>(ui->MethodButton),
                            static_cast<QWidget*>(ui->AddressLabel), static_cast<QWidget*>(ui->AddressButton),
                            static_cast<QWidget*>(ui->NetmaskLabel), static_cast<QWidget*>(ui->NetmaskButton),
                            static_cast<QWidget*>(ui->GatewayLabel), static_cast<QWidget*>(ui->GatewayButton)})
        widget->setVisible(service);

    const bool haveData = QDir(Platform::path(DataMaintenance::dataFolder())).exists();
    ui->CopyToUsbButton->setEnabled(haveData);
    ui->clearDataButton->setEnabled(haveData);
}

void SetupSystemDialog::on_LanguageButton_clicked()
{
    if (ValueSelectDialog::selectLanguage(Configuration::getString(Configuration::VT_Language, kSystem),
                                          tr("Select language"))
        != 1)
        return;
    const QString code = ValueSelectDialog::instance()->value().toString();
    LanguageManager::instance()->changeLanguage(code);
    Configuration::setValue(Configuration::VT_Language, code, kSystem);
    ui->retranslateUi(this);
    updateForm();
}

void SetupSystemDialog::on_DateFormatButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_DateFormat, kSystem, &ValueSelectDialog::selectDateFormat,
                               tr("Select date format")))
        updateForm();
}

void SetupSystemDialog::setClock(const QDate& date, const QTime& time)
{
    // Board commands: under a simulated root they are stand-ins, the host's clock stays as it is.
    const QString moment = QStringLiteral("%1-%2").arg(date.toString(QStringLiteral("yyyy.MM.dd")),
                                                       time.toString(QStringLiteral("hh:mm:ss")));
    SystemHelper::execute(QStringLiteral("date"), {QStringLiteral("-s"), moment}, nullptr, nullptr, kCommandMs);
    SystemHelper::execute(QStringLiteral("hwclock -u --systohc"), nullptr, nullptr, kCommandMs);
}

void SetupSystemDialog::on_DateButton_clicked()
{
    DateTimeEditDialog* editor = DateTimeEditDialog::instance();
    if (editor->execDate(QDate::currentDate(), tr("Enter date"), datePattern()) != 1)
        return;
    setClock(editor->date(), QTime::currentTime());
    updateForm();
}

void SetupSystemDialog::on_TimeButton_clicked()
{
    DateTimeEditDialog* editor = DateTimeEditDialog::instance();
    if (editor->execTime(QTime::currentTime(), tr("Enter time"), QStringLiteral("hh:mm:ss")) != 1)
        return;
    setClock(QDate::currentDate(), editor->time());
    updateForm();
}

void SetupSystemDialog::on_CopyToUsbButton_clicked()
{
    DataMaintenance::copyDataToUsb();
    updateForm();
}

void SetupSystemDialog::on_clearDataButton_clicked()
{
    if (DataMaintenance::clearData())
        updateForm();
}

void SetupSystemDialog::on_SweepRateButton_clicked()
{
    const QString hertz = tr("Hz");
    const QList<QPair<int, QString>> presets = {{50, QStringLiteral("50 %1").arg(hertz)},
                                                {60, QStringLiteral("60 %1").arg(hertz)}};
    if (SetupPageEdits::editNumber(Configuration::VT_SweepRate, kSystem, Configuration::getMin(Configuration::VT_SweepRate),
                                   Configuration::getMax(Configuration::VT_SweepRate), 5, tr("Enter sweep rate"), hertz,
                                   presets))
        updateForm();
}

void SetupSystemDialog::on_ServiceButton_clicked()
{
    if (serviceMode()) {
        Configuration::setValue(Configuration::VT_Service, 0, kSystem);
        InfoMessageBox::information(tr("Service mode disabled"), kNoticeMs);
        updateForm();
        SetupDialog::instance()->updateButtons();
        return;
    }
    ValueEditDialog* editor = ValueEditDialog::instance();
    editor->setMinimum(0);
    editor->setMaximum(9999999);
    editor->setStep(1);
    if (editor->exec(0, tr("Enter code"), QString(), {}) != 1)
        return;
    if (editor->value() != serviceCode()) {
        InfoMessageBox::information(tr("Wrong code"), kNoticeMs);
        return;
    }
    Configuration::setValue(Configuration::VT_Service, 1, kSystem);
    Configuration::setValue(Configuration::VT_Screenshot, 1, kSystem);
    InfoMessageBox::information(tr("Service mode enabled"), kNoticeMs);
    SetupDialog::instance()->setDialog(SetupDialog::DIALOG_SERVICE, false);
    // The service network: a fixed address for the service laptop, until the next restart.
    SystemHelper::execute(QStringLiteral("ifconfig"),
                          {kInterface, QStringLiteral("192.168.1.23"), QStringLiteral("netmask"),
                           QStringLiteral("255.255.255.0")},
                          nullptr, nullptr, kCommandMs);
}

void SetupSystemDialog::on_FactoryDefault_clicked()
{
    if (ValueSelectDialog::selectYesNo(0, tr("Load factory defaults?")) != 1
        || ValueSelectDialog::instance()->value().toInt() != 1)
        return;
    Configuration::clear();
    InfoMessageBox::information(tr("Factory defaults restored"), kNoticeMs);
    // The device follows its settings again: the default brightness and language, service mode off.
    setBrightness(stored(Configuration::VT_Brightness));
    LanguageManager::instance()->changeLanguage(Configuration::getString(Configuration::VT_Language, kSystem));
    SetupDialog::instance()->setDialog(SetupDialog::DIALOG_SYSTEM, false);
}

void SetupSystemDialog::on_SoftwareUpdateButton_clicked()
{
    DataMaintenance::updateSoftware();
}

void SetupSystemDialog::on_PromptPhaseButton_clicked()
{
    if (SetupPageEdits::choose(Configuration::VT_PromptPhase, kSystem, &ValueSelectDialog::selectOnOff,
                               tr("Enable phase prompt")))
        updateForm();
}

bool SetupSystemDialog::writeInterfaceConfig()
{
    if (SystemHelper::writeInterfaceConfig(m_interface, kInterfaces))
        return true;
    // An unreadable file is never replaced by this one stanza: the other interfaces would be lost.
    InfoMessageBox::information(tr("Network settings could not be saved!"), kFailureMs);
    return false;
}

void SetupSystemDialog::on_MethodButton_clicked()
{
    const int current = m_interface.method == kDhcp ? 0 : 1;
    ValueSelectDialog::Options options{new ValueSelectDialog::Option(tr("DHCP"), 0, current == 0, true),
                                       new ValueSelectDialog::Option(tr("Static"), 1, current == 1, true)};
    ValueSelectDialog* selector = ValueSelectDialog::instance();
    if (selector->exec(current, tr("Select method"), options, true, false) != 1)
        return;
    m_interface.method = selector->value().toInt() == 0 ? kDhcp : QStringLiteral("static");
    // Takes effect at the next start of the interface.
    writeInterfaceConfig();
    updateForm();
}

bool SetupSystemDialog::editAddress(QString* field, const QString& prompt)
{
    static const QVector<QChar> digits = {QLatin1Char('0'), QLatin1Char('1'), QLatin1Char('2'), QLatin1Char('3'),
                                          QLatin1Char('4'), QLatin1Char('5'), QLatin1Char('6'), QLatin1Char('7'),
                                          QLatin1Char('8'), QLatin1Char('9')};
    AdressEditDialog* editor = AdressEditDialog::instance();
    if (editor->exec(SystemHelper::padAddress(*field), prompt, digits, QStringLiteral("999.999.999.999"), true) != 1)
        return false;
    // Groups above 255 or left blank make no address: the entry is dropped.
    const QString address = SystemHelper::trimAddress(editor->text());
    if (!SystemHelper::isValidAddress(address))
        return false;
    *field = address;
    return true;
}

void SetupSystemDialog::on_AddressButton_clicked()
{
    if (editAddress(&m_interface.address, tr("Enter address")))
        updateInterfaceConfig();
    updateForm();
}

void SetupSystemDialog::on_NetmaskButton_clicked()
{
    if (editAddress(&m_interface.netmask, tr("Enter mask")))
        updateInterfaceConfig();
    updateForm();
}

void SetupSystemDialog::on_GatewayButton_clicked()
{
    if (editAddress(&m_interface.gateway, tr("Enter gateway")))
        updateInterfaceConfig();
    updateForm();
}

void SetupSystemDialog::updateInterfaceConfig()
{
    if (!writeInterfaceConfig())
        return;
    SystemHelper::execute(QStringLiteral("ifdown"), {m_interface.name}, nullptr, nullptr, kCommandMs);
    SystemHelper::execute(QStringLiteral("ifup"), {m_interface.name}, nullptr, nullptr, kCommandMs);
}

void SetupSystemDialog::on_BrightnessButton_clicked()
{
    ValueSliderDialog* slider = ValueSliderDialog::instance();
    slider->setRange(Configuration::getMin(Configuration::VT_Brightness), Configuration::getMax(Configuration::VT_Brightness));
    // The backlight follows the slider while it moves.
    connect(slider, &ValueSliderDialog::valueChanged, this, &SetupSystemDialog::changeBrightness);
    if (slider->exec(stored(Configuration::VT_Brightness), tr("Adjust brightness"), QStringLiteral("%"), false) == 1)
        Configuration::setValue(Configuration::VT_Brightness, slider->value(), kSystem);
    disconnect(slider, &ValueSliderDialog::valueChanged, this, &SetupSystemDialog::changeBrightness);
    // A cancelled slider puts the old brightness back.
    setBrightness(stored(Configuration::VT_Brightness));
    updateForm();
}

void SetupSystemDialog::changeBrightness(int percent)
{
    setBrightness(percent);
}
