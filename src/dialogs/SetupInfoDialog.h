#pragma once

#include "dialogs/ISetupDialog.h"

namespace Ui {
class SetupInfoDialog;
}

// Setup page: read-only facts about the device.
class SetupInfoDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupInfoDialog(QWidget* parent = nullptr);
    ~SetupInfoDialog() override;

    void activate() override;
    QString title() const override;

private:
    Ui::SetupInfoDialog* ui;
};
