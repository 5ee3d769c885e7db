// config.ini as the settings store reads it back at a start.
#include "FuzzSupport.h"
#include "util/Configuration.h"

#include <QSettings>

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Empties the cache, as a new start does.
    Configuration::clear();
    FuzzSupport::writeFile(QStringLiteral("/data/config.ini"), FuzzSupport::bytes(data, size));
    const QStringList paths = {QStringLiteral("spectrum"), QStringLiteral("time"), QStringLiteral("level"),
                               QStringLiteral("algorithm"), QStringLiteral("system")};
    for (const QString& path : paths) {
        for (int type = Configuration::VT_FreqMin; type <= Configuration::VT_Threshold4; ++type) {
            Configuration::getValue(Configuration::ValueType(type), path);
            Configuration::getString(Configuration::ValueType(type), path);
        }
    }
    // A damaged file must not keep a changed setting from being stored.
    Configuration::setValue(Configuration::VT_Brightness, 42, QStringLiteral("system"));
    const QSettings stored(FuzzSupport::path(QStringLiteral("/data/config.ini")), QSettings::IniFormat);
    check(stored.value(QStringLiteral("system/Brightness")).toInt() == 42, "a change reaches the file");
    return 0;
}
