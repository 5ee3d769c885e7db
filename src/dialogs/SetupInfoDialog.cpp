#include "dialogs/SetupInfoDialog.h"
#include "ui_SetupInfoDialog.h"

SetupInfoDialog::SetupInfoDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupInfoDialog)
{
    ui->setupUi(this);
}

SetupInfoDialog::~SetupInfoDialog()
{
    delete ui;
}

void SetupInfoDialog::activate()
{
    ui->retranslateUi(this);
    setFocus();
}

QString SetupInfoDialog::title() const
{
    return tr("Info");
}
