#pragma once

#include "util/Configuration.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>

// The row contract of the setup pages: a button shows a stored setting, pressing it opens an
// input dialog, and an accepted input is stored at once under the page's path. A cancelled
// dialog changes nothing. Each function returns whether a value was stored.
class SetupPageEdits
{
    Q_DECLARE_TR_FUNCTIONS(SetupPageEdits)

public:
    // A ready-made selector of ValueSelectDialog: (current value, prompt) -> 1 for a choice.
    using Selector = int (*)(int current, const QString& prompt);

    // The numeric editor limited to minimum..maximum, stepping by step.
    static bool editNumber(Configuration::ValueType type, const QString& path, int minimum, int maximum, int step,
                           const QString& prompt, const QString& unit,
                           const QList<QPair<int, QString>>& presets = QList<QPair<int, QString>>());
    // The numeric editor with the setting's own limits, step 1 and no unit.
    static bool editPlainNumber(Configuration::ValueType type, const QString& path, const QString& prompt);
    static bool editGatingTime(const QString& path, const QString& prompt);
    static bool choose(Configuration::ValueType type, const QString& path, Selector selector, const QString& prompt);

    static int stored(Configuration::ValueType type, const QString& path);
    // "On" / "Off".
    static QString onOffText(int value);
    // "5 MHz" for 5000 kHz.
    static QString bandwidthText(int kiloHertz);
    // "950 MHz" with the locale's digit grouping.
    static QString megaHertzText(int megaHertz);
};
