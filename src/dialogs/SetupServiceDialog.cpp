#include "dialogs/SetupServiceDialog.h"
#include "ui_SetupServiceDialog.h"

#include "util/Configuration.h"

SetupServiceDialog::SetupServiceDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupServiceDialog)
{
    ui->setupUi(this);
}

SetupServiceDialog::~SetupServiceDialog()
{
    delete ui;
}

void SetupServiceDialog::activate()
{
    ui->retranslateUi(this);
    ui->AntSelButton->setFocus();
}

QString SetupServiceDialog::title() const
{
    return tr("Service");
}

bool SetupServiceDialog::isAvailable() const
{
    // Only while service mode is on.
    return isEnabled() && Configuration::getValue(Configuration::VT_Service, QStringLiteral("system")) != 0;
}
