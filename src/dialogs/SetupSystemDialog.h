#pragma once

#include "dialogs/ISetupDialog.h"

namespace Ui {
class SetupSystemDialog;
}

// Setup page: device-wide settings and maintenance actions.
class SetupSystemDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupSystemDialog(QWidget* parent = nullptr);
    ~SetupSystemDialog() override;

    void activate() override;
    QString title() const override;

private:
    Ui::SetupSystemDialog* ui;
};
