#include "dialogs/SetupSystemDialog.h"
#include "ui_SetupSystemDialog.h"

SetupSystemDialog::SetupSystemDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupSystemDialog)
{
    ui->setupUi(this);
}

SetupSystemDialog::~SetupSystemDialog()
{
    delete ui;
}

void SetupSystemDialog::activate()
{
    ui->retranslateUi(this);
    ui->CopyToUsbButton->setFocus();
}

QString SetupSystemDialog::title() const
{
    return tr("System");
}
