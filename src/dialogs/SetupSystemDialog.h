#pragma once

#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"
#include "util/SystemHelper.h"

namespace Ui {
class SetupSystemDialog;
}

// Setup page: device-wide settings and maintenance actions (language, date format, clock, USB
// copy, clearing the records, sweep rate, service mode, factory defaults, software update, the
// phase prompt, in service mode the Ethernet configuration, and the brightness). Date and time run
// live: a one-second refresh fills the form while the page is the shown one.
class SetupSystemDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupSystemDialog(QWidget* parent = nullptr);
    ~SetupSystemDialog() override;

    void activate() override;
    QString title() const override;

    // Whether the one-second refresh runs.
    bool isRefreshing() const { return m_timerId != 0; }

public slots:
    void onDialogChanged(SetupDialog::Dialog dialog);
    void onExit();
    void updateForm();
    void on_LanguageButton_clicked();
    void on_DateFormatButton_clicked();
    void on_DateButton_clicked();
    void on_TimeButton_clicked();
    void on_CopyToUsbButton_clicked();
    void on_clearDataButton_clicked();
    void on_SweepRateButton_clicked();
    void on_ServiceButton_clicked();
    void on_FactoryDefault_clicked();
    void on_SoftwareUpdateButton_clicked();
    void on_PromptPhaseButton_clicked();
    void on_MethodButton_clicked();
    void on_AddressButton_clicked();
    void on_NetmaskButton_clicked();
    void on_GatewayButton_clicked();
    void on_BrightnessButton_clicked();
    void updateInterfaceConfig();
    void changeBrightness(int percent);

protected:
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Sets the clock and then the hardware clock.
    void setClock(const QDate& date, const QTime& time);
    // Edits one address of the network record; true when a valid address replaced it.
    bool editAddress(QString* field, const QString& prompt);
    // Writes the network record; tells the operator when the file could not be written.
    bool writeInterfaceConfig();

    Ui::SetupSystemDialog* ui;
    SystemHelper::InterfaceConfig m_interface;
    int m_timerId;
};
