#include "dialogs/MarkerHandOver.h"

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
        const char* path;
        int value;
    };
    const int frequency = readings.frequencies.at(readings.lowest);
    const Setting wanted[]
        = { { Configuration::VT_FreqMin, "time", frequency }, { Configuration::VT_FreqMin, "level", frequency },
              { Configuration::VT_Bandwidth, "time", bandwidth }, { Configuration::VT_Bandwidth, "level", bandwidth },
              { Configuration::VT_LinearAmplifier, "time",
                  ConversionHelper::linearAmplifierForLevel(readings.amplitudes.at(readings.lowest)) } };
    // Moving a marker must not remount and rewrite the settings file five times: only what
    // changes is written, inside one remount.
    QList<Setting> changes;
    for (const Setting& setting : wanted) {
        if (Configuration::getValue(setting.type, QLatin1String(setting.path)) != setting.value)
            changes.append(setting);
    }
    if (changes.isEmpty())
        return;
    const bool mounted = SystemHelper::mountData();
    for (const Setting& setting : changes)
        Configuration::setValue(setting.type, setting.value, QLatin1String(setting.path));
    if (mounted)
        SystemHelper::unmountData();
}
