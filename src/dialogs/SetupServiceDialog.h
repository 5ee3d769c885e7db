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

private:
    Ui::SetupServiceDialog* ui;
};
