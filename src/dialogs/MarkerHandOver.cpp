#include "dialogs/MarkerHandOver.h"

#include "dialogs/LevelMeterDialog.h"
#include "dialogs/TimeDomainDialog.h"
#include "util/Configuration.h"
#include "util/ConversionHelper.h"
#include "util/MarkerPresets.h"
#include "util/SystemHelper.h"

#include <QList>

void MarkerHandOver::publish(const SpectrumMarkers::Readings& readings, int bandwidth)
{
    MarkerPresets::store(readings.frequencies, readings.amplitudes);
    if (readings.lowest < 0)
        return;
    struct Setting {
        Configuration::ValueType type;
        const QString& path;
        int value;
    };
    const int frequency = readings.frequencies.at(readings.lowest);
    const Setting wanted[]
        = { { Configuration::VT_FreqMin, TimeDomainDialog::NAME, frequency }, { Configuration::VT_FreqMin, LevelMeterDialog::NAME, frequency },
              { Configuration::VT_Bandwidth, TimeDomainDialog::NAME, bandwidth }, { Configuration::VT_Bandwidth, LevelMeterDialog::NAME, bandwidth },
              { Configuration::VT_LinearAmplifier, TimeDomainDialog::NAME,
                  ConversionHelper::linearAmplifierForLevel(readings.amplitudes.at(readings.lowest)) } };
    // Moving a marker must not remount and rewrite the settings file five times: only what
    // changes is written, inside one remount.
    QList<Setting> changes;
    for (const Setting& setting : wanted) {
        if (Configuration::getValue(setting.type, setting.path) != setting.value)
            changes.append(setting);
    }
    if (changes.isEmpty())
        return;
    const bool mounted = SystemHelper::mountData();
    for (const Setting& setting : changes)
        Configuration::setValue(setting.type, setting.value, setting.path);
    if (mounted)
        SystemHelper::unmountData();
}
