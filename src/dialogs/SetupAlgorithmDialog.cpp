#include "dialogs/SetupAlgorithmDialog.h"
#include "ui_SetupAlgorithmDialog.h"

#include "util/Configuration.h"

SetupAlgorithmDialog::SetupAlgorithmDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupAlgorithmDialog)
{
    ui->setupUi(this);
}

SetupAlgorithmDialog::~SetupAlgorithmDialog()
{
    delete ui;
}

void SetupAlgorithmDialog::activate()
{
    ui->retranslateUi(this);
    ui->CycleCountHighButton->setFocus();
}

QString SetupAlgorithmDialog::title() const
{
    return tr("Algorithm");
}

bool SetupAlgorithmDialog::isAvailable() const
{
    // Only while the autodetection algorithm is switched on (a memory-only switch).
    return isEnabled() && Configuration::value(QStringLiteral("algorithm"), QStringLiteral("system"), QVariant()).toBool();
}
