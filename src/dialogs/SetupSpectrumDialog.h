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

private:
    Ui::SetupSpectrumDialog* ui;
};
