#include "dialogs/SetupTimeDialog.h"
#include "ui_SetupTimeDialog.h"

#include <QCoreApplication>

SetupTimeDialog::SetupTimeDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupTimeDialog)
{
    ui->setupUi(this);
}

SetupTimeDialog::~SetupTimeDialog()
{
    delete ui;
}

void SetupTimeDialog::activate()
{
    ui->retranslateUi(this);
    ui->BandwidthButton->setFocus();
}

QString SetupTimeDialog::title() const
{
    return QCoreApplication::translate("TimeDomainDialog", "Time Domain");
}
