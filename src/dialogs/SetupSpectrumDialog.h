#pragma once

#include "dialogs/ISetupDialog.h"

namespace Ui {
class SetupSpectrumDialog;
}

// Setup page: the spectrum screen's settings.
class SetupSpectrumDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupSpectrumDialog(QWidget* parent = nullptr);
    ~SetupSpectrumDialog() override;

    void activate() override;
    QString title() const override;

public slots:
    void updateForm();
    void on_CalibratorButton_clicked();
    void on_FreqMinButton_clicked();
    void on_FreqMaxButton_clicked();
    void on_AmpMinButton_clicked();
    void on_AmpMaxButton_clicked();
    void on_BandwidthButton_clicked();
    void on_GatingTimeButton_clicked();
    void on_PreamplifierButton_clicked();
    void on_MaxHoldButton_clicked();

private:
    Ui::SetupSpectrumDialog* ui;
};
