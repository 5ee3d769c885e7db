#pragma once

#include "dialogs/ISetupDialog.h"

namespace Ui {
class SetupServiceDialog;
}

// Setup page: service switches; offered only while service mode is on.
class SetupServiceDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupServiceDialog(QWidget* parent = nullptr);
    ~SetupServiceDialog() override;

    void activate() override;
    QString title() const override;
    bool isAvailable() const override;

public slots:
    void updateForm();
    void on_AntSelButton_clicked();
    void on_RefBBButton_clicked();
    void on_CalibrationButton_clicked();
    void on_AlgorithmButton_clicked();

private:
    Ui::SetupServiceDialog* ui;
};
