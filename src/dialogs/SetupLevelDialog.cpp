#include "dialogs/SetupLevelDialog.h"
#include "ui_SetupLevelDialog.h"

#include <QCoreApplication>

SetupLevelDialog::SetupLevelDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupLevelDialog)
{
    ui->setupUi(this);
}

SetupLevelDialog::~SetupLevelDialog()
{
    delete ui;
}

void SetupLevelDialog::activate()
{
    ui->retranslateUi(this);
    ui->MeasModeButton->setFocus();
}

QString SetupLevelDialog::title() const
{
    return QCoreApplication::translate("LevelMeterDialog", "Level");
}
