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

private:
    Ui::SetupAlgorithmDialog* ui;
};
