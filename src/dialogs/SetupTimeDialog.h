#pragma once

#include "dialogs/ISetupDialog.h"

namespace Ui {
class SetupTimeDialog;
}

// Setup page: the time-domain screen's settings.
class SetupTimeDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupTimeDialog(QWidget* parent = nullptr);
    ~SetupTimeDialog() override;

    void activate() override;
    QString title() const override;

public slots:
    void updateForm();
    void on_FreqButton_clicked();
    void on_AmpMinButton_clicked();
    void on_AmpMaxButton_clicked();
    void on_PreamplifierButton_clicked();
    void on_PersistencyButton_clicked();
    void on_BandwidthButton_clicked();
    void on_MaxQuantityButton_clicked();
    void on_PhaseShiftButton_clicked();
    void on_ResolutionButton_clicked();
    void on_UpdateIntervalButton_clicked();

private:
    Ui::SetupTimeDialog* ui;
};
