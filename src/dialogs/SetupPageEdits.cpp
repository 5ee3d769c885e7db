#include "dialogs/SetupPageEdits.h"

#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"

bool SetupPageEdits::editNumber(Configuration::ValueType type, const QString& path, int minimum, int maximum,
                                int step, const QString& prompt, const QString& unit,
                                const QList<QPair<int, QString>>& presets)
{
    ValueEditDialog* editor = ValueEditDialog::instance();
    editor->setMinimum(minimum);
    editor->setMaximum(maximum);
    editor->setStep(step);
    if (editor->exec(stored(type, path), prompt, unit, presets) != 1)
        return false;
    Configuration::setValue(type, editor->value(), path);
    return true;
}

bool SetupPageEdits::editPlainNumber(Configuration::ValueType type, const QString& path, const QString& prompt)
{
    if (ValueEditDialog::getValue(stored(type, path), type, 1, prompt, QString()) != 1)
        return false;
    Configuration::setValue(type, ValueEditDialog::instance()->value(), path);
    return true;
}

bool SetupPageEdits::editGatingTime(const QString& path, const QString& prompt)
{
    if (ValueEditDialog::getGatingTime(stored(Configuration::VT_GatingTime, path), prompt) != 1)
        return false;
    Configuration::setValue(Configuration::VT_GatingTime, ValueEditDialog::instance()->value(), path);
    return true;
}

bool SetupPageEdits::choose(Configuration::ValueType type, const QString& path, Selector selector,
                            const QString& prompt)
{
    if (selector(stored(type, path), prompt) != 1)
        return false;
    Configuration::setValue(type, ValueSelectDialog::instance()->value().toInt(), path);
    return true;
}

int SetupPageEdits::stored(Configuration::ValueType type, const QString& path)
{
    return Configuration::getValue(type, path);
}

QString SetupPageEdits::onOffText(int value)
{
    return value != 0 ? tr("On") : tr("Off");
}

QString SetupPageEdits::bandwidthText(int kiloHertz)
{
    return QStringLiteral("%1 %2").arg(kiloHertz / 1000).arg(tr("MHz"));
}

QString SetupPageEdits::megaHertzText(int megaHertz)
{
    return QStringLiteral("%L1 %2").arg(megaHertz).arg(tr("MHz"));
}
