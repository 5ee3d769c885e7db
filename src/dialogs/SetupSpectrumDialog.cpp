#include "dialogs/SetupSpectrumDialog.h"
#include "ui_SetupSpectrumDialog.h"

#include <QCoreApplication>

SetupSpectrumDialog::SetupSpectrumDialog(QWidget* parent)
    : ISetupDialog(parent)
    , ui(new Ui::SetupSpectrumDialog)
{
    ui->setupUi(this);
}

SetupSpectrumDialog::~SetupSpectrumDialog()
{
    delete ui;
}

void SetupSpectrumDialog::activate()
{
    ui->retranslateUi(this);
    ui->CalibratorButton->setFocus();
}

QString SetupSpectrumDialog::title() const
{
    return QCoreApplication::translate("SpectrumDialog", "Spectrum");
}
