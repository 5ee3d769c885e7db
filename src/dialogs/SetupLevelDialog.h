#pragma once

#include "dialogs/ISetupDialog.h"

namespace Ui {
class SetupLevelDialog;
}

// Setup page: the level meter's settings.
class SetupLevelDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupLevelDialog(QWidget* parent = nullptr);
    ~SetupLevelDialog() override;

    void activate() override;
    QString title() const override;

public slots:
    void updateForm();
    void on_MeasModeButton_clicked();
    void on_FreqButton_clicked();
    void on_AmpMinButton_clicked();
    void on_AmpMaxButton_clicked();
    void on_GatingTimeButton_clicked();
    void on_PreamplifierButton_clicked();
    void on_BandwidthButton_clicked();
    void on_StartCalibButton_clicked();

private:
    Ui::SetupLevelDialog* ui;
};
