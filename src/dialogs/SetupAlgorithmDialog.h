#pragma once

#include "dialogs/ISetupDialog.h"

namespace Ui {
class SetupAlgorithmDialog;
}

// Setup page: the autodetection parameters; offered only while the algorithm is switched on.
class SetupAlgorithmDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupAlgorithmDialog(QWidget* parent = nullptr);
    ~SetupAlgorithmDialog() override;

    void activate() override;
    QString title() const override;
    bool isAvailable() const override;

public slots:
    void updateForm();
    void on_CycleCountHighButton_clicked();
    void on_GatingTimeHighButton_clicked();
    void on_CycleCountLowButton_clicked();
    void on_GatingTimeLowButton_clicked();
    void on_GradingFilterButton_clicked();
    void on_AmplifierButton_clicked();
    void on_AmplifierFactorButton_clicked();
    void on_Threshold1Button_clicked();
    void on_Threshold2Button_clicked();
    void on_Threshold3Button_clicked();
    void on_Threshold4Button_clicked();

private:
    Ui::SetupAlgorithmDialog* ui;
};
