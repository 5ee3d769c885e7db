#include "dialogs/ISetupDialog.h"

ISetupDialog::ISetupDialog(QWidget* parent)
    : QWidget(parent)
{
}

bool ISetupDialog::isAvailable() const
{
    return isEnabled();
}
