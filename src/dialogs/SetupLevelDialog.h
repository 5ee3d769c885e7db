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

private:
    Ui::SetupLevelDialog* ui;
};
