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

private:
    Ui::SetupTimeDialog* ui;
};
