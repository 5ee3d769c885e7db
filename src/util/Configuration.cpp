#include "util/Configuration.h"

#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QDebug>
#include <QMetaEnum>
#include <QSettings>

namespace {

struct Descriptor
{
    Configuration::ValueType type;
    qint32 min;
    qint32 max;
    QVariant defaultValue;
    bool persistent;
};

const QVector<Descriptor>& descriptors()
{
    using C = Configuration;
    static const QVector<Descriptor> table = {
        {C::VT_FreqMin, 150, 1000, 150, true},
        {C::VT_FreqMax, 200, 1000, 1000, true},
        {C::VT_FreqStep, 100, 1200, 200, true},
        {C::VT_AmpMinDbm, -100, 10, -90, true},
        {C::VT_AmpMaxDbm, -90, 20, -30, true},
        {C::VT_AmpMinPercent, 0, 100, 0, true},
        {C::VT_AmpMaxPercent, 0, 100, 100, true},
        {C::VT_AmpMinMicroVolt, 0, 100000, 0, true},
        {C::VT_AmpMaxMicroVolt, 100, 400000, 400000, true},
        {C::VT_Bandwidth, 1000, 20000, 5000, true},
        {C::VT_Antenna, 0, 2, 0, true},
        {C::VT_MeasMode, 0, 2, 0, true},
        {C::VT_GatingTime, 1, 80, 20, true},
        {C::VT_Sync, 0, 3, 3, true},
        {C::VT_Volume, 0, 100, 50, true},
        {C::VT_Persistency, 0, 100, 50, true},
        {C::VT_SweepRate, 20, 300, 50, true},
        {C::VT_Language, 0, 1, QStringLiteral("en"), true},
        {C::VT_DateFormat, 0, 1, 0, true},
        {C::VT_LinearAmplifier, 0, 1023, 500, true},
        {C::VT_Preamplifier, 0, 1, 1, true},
        {C::VT_Meas_70, 0, 80, 0, false},
        {C::VT_Service, 0, 1, 0, false},
        {C::VT_Screenshot, 0, 1, 0, false},
        {C::VT_PulseMode, 0, 1, 1, true},
        {C::VT_PhaseShift, 0, 360, 0, true},
        {C::VT_MaxHold, 0, 1, 0, true},
        {C::VT_MaxQuantity, 10, 100, 10, true},
        {C::VT_PromptPhase, 0, 1, 0, true},
        {C::VT_Resolution, 1, 4, 2, true},
        {C::VT_UpdateInterval, 100, 1000, 250, true},
        {C::VT_Brightness, 5, 100, 75, true},
        {C::VT_Algorithm, 0, 1, 0, true},
        {C::VT_CycleCountHigh, 1, 10, 1, true},
        {C::VT_GatingTimeHigh, 1, 80, 20, true},
        {C::VT_CycleCountLow, 1, 10, 1, true},
        {C::VT_GatingTimeLow, 1, 80, 1, true},
        {C::VT_GradingFilter, 1, 100, 5, true},
        {C::VT_Amplifier, 0, 1, 0, true},
        {C::VT_AmplifierFactorG, 1, 10, 1, true},
        {C::VT_Threshold1, 0, 100, 0, true},
        {C::VT_Threshold2, 0, 100, 0, true},
        {C::VT_Threshold3, 0, 100, 0, true},
        {C::VT_Threshold4, 0, 100, 0, true},
    };
    return table;
}

const Descriptor& descriptor(Configuration::ValueType type)
{
    const Descriptor* retval = nullptr;
    const auto& table = descriptors();
    if (type >= 0 && type < table.size() && table[type].type == type)
        retval = &table[type];
    Q_ASSERT_X(retval != nullptr, "Configuration", "NULL != retval");
    if (!retval)
        qFatal("NULL != retval");
    return *retval;
}

QString settingsFile()
{
    return Platform::path(QStringLiteral("/data")) + QStringLiteral("/config.ini");
}

QString fullKey(const QString& key, const QString& path)
{
    return QStringLiteral("%1/%2").arg(path, key);
}

template <typename Enum>
QString enumKey(Enum value)
{
    const char* key = QMetaEnum::fromType<Enum>().valueToKey(static_cast<int>(value));
    return key ? QString::fromLatin1(key) : QString();
}

QString withoutPrefix(const QString& key, const char* prefix)
{
    const QLatin1String p(prefix);
    return key.startsWith(p) ? key.mid(p.size()) : key;
}

} // namespace

Configuration::Configuration()
    : QObject(nullptr)
{
    // Listeners in other threads receive configurationChanged() queued; the enum must be known
    // to the meta-type system by its name for that.
    qRegisterMetaType<Configuration::ValueType>("Configuration::ValueType");
    qRegisterMetaType<Configuration::Antenna>("Configuration::Antenna");
    qRegisterMetaType<Configuration::MeasMode>("Configuration::MeasMode");
    qRegisterMetaType<Configuration::Sync>("Configuration::Sync");
    qRegisterMetaType<Configuration::Resolution>("Configuration::Resolution");
    qRegisterMetaType<Configuration::DateFormat>("Configuration::DateFormat");
    qRegisterMetaType<Configuration::Phase>("Configuration::Phase");
}

Configuration* Configuration::instance()
{
    static Configuration* instance = new Configuration();
    Q_ASSERT_X(instance != nullptr, "Configuration", "NULL != instance");
    return instance;
}

int Configuration::getValue(ValueType type, const QString& path)
{
    const Descriptor& row = descriptor(type);
    const QString key = keyName(type);
    const QVariant value = row.persistent ? valuePersistent(key, path, row.defaultValue)
                                          : Configuration::value(key, path, row.defaultValue);
    return value.toInt();
}

QString Configuration::getString(ValueType type, const QString& path)
{
    const Descriptor& row = descriptor(type);
    const QString key = keyName(type);
    const QVariant value = row.persistent ? valuePersistent(key, path, row.defaultValue)
                                          : Configuration::value(key, path, row.defaultValue);
    return value.toString();
}

bool Configuration::setValue(ValueType type, int value, const QString& path)
{
    const int stored = limit(type, value);
    bool written = true;
    if (isPersistent(type))
        written = setValuePersistent(keyName(type), QVariant(stored), path);
    else
        setValue(keyName(type), QVariant(stored), path);
    emit instance()->configurationChanged(type, QVariant(stored), path);
    return written;
}

bool Configuration::setValue(ValueType type, const QString& value, const QString& path)
{
    bool written = true;
    if (isPersistent(type))
        written = setValuePersistent(keyName(type), QVariant(value), path);
    else
        setValue(keyName(type), QVariant(value), path);
    emit instance()->configurationChanged(type, QVariant(value), path);
    return written;
}

int Configuration::getMin(ValueType type)
{
    return descriptor(type).min;
}

int Configuration::getMax(ValueType type)
{
    return descriptor(type).max;
}

QVariant Configuration::getDefault(ValueType type)
{
    return descriptor(type).defaultValue;
}

bool Configuration::isPersistent(ValueType type)
{
    return descriptor(type).persistent;
}

int Configuration::limit(ValueType type, int value)
{
    const Descriptor& row = descriptor(type);
    if (value > row.max)
        return row.max;
    if (!(value > row.min))
        return row.min;
    return value;
}

bool Configuration::setValuePersistent(const QString& key, QVariant value, const QString& path)
{
    // The value holds for this run in any case; only a written file keeps it for the next.
    instance()->m_cache.insert(fullKey(key, path), value);
    if (!SystemHelper::mountData()) {
        qWarning() << "Configuration::setValuePersistent(): the data partition could not be made writable";
        return false;
    }
    QSettings::Status status;
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(fullKey(key, path), value);
        settings.sync();
        status = settings.status();
    }
    SystemHelper::unmountData();
    if (status != QSettings::NoError) {
        qWarning() << "Configuration::setValuePersistent(): writing" << settingsFile() << "failed";
        return false;
    }
    return true;
}

void Configuration::setValue(const QString& key, QVariant value, const QString& path)
{
    instance()->m_cache.insert(fullKey(key, path), value);
}

QVariant Configuration::valuePersistent(const QString& key, const QString& path, const QVariant& defaultValue)
{
    QMap<QString, QVariant>& cache = instance()->m_cache;
    const QString full = fullKey(key, path);
    auto it = cache.constFind(full);
    if (it != cache.constEnd())
        return it.value();
    QSettings settings(settingsFile(), QSettings::IniFormat);
    const QVariant result = settings.value(full, defaultValue);
    cache.insert(full, result);
    return result;
}

QVariant Configuration::value(const QString& key, const QString& path, const QVariant& defaultValue)
{
    const QMap<QString, QVariant>& cache = instance()->m_cache;
    auto it = cache.constFind(fullKey(key, path));
    return it != cache.constEnd() ? it.value() : defaultValue;
}

void Configuration::clear()
{
    if (SystemHelper::mountData()) {
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            settings.clear();
            settings.sync();
        }
        SystemHelper::unmountData();
        qDebug() << "Configuration::clear()";
    }
    instance()->m_cache.clear();
}

QString Configuration::toString(Resolution value)
{
    switch (value) {
    case RESOLUTION_FINE: return tr("Fine");
    case RESOLUTION_MODERATE: return tr("Moderate");
    case RESOLUTION_COARSE: return tr("Coarse");
    }
    return tr("???");
}

QString Configuration::toString(Antenna value)
{
    switch (value) {
    case ANTENNA_UHF: return tr("UHF");
    case ANTENNA_TEV: return tr("TEV");
    case ANTENNA_HFCT: return tr("HFCT");
    }
    return tr("???");
}

QString Configuration::toString(MeasMode value)
{
    switch (value) {
    case MEAS_MODE_LOG: return tr("LOG");
    case MEAS_MODE_RMS: return tr("RMS");
    case MEAS_MODE_ENV: return tr("ENV");
    case MEAS_MODE_KAL: return QStringLiteral("KAL");
    }
    return tr("???");
}

QString Configuration::toString(Sync value)
{
    switch (value) {
    case SYNC_INT_E: return tr("Int E");
    case SYNC_SENSOR_E: return tr("RQ4417 (E)");
    case SYNC_SENSOR_H: return tr("RQ4417 (H)");
    case SYNC_MAINS_RF: return tr("TL4418");
    }
    return tr("???");
}

QString Configuration::toString(Phase value)
{
    switch (value) {
    case PHASE_L1: return tr("L1");
    case PHASE_L2: return tr("L2");
    case PHASE_L3: return tr("L3");
    case PHASE_Unspecified: break;
    }
    return tr("Unspecified");
}

QString Configuration::toString(DateFormat value)
{
    switch (value) {
    case DATE_FORMAT_DD_MM_YYYY: return tr("DD.MM.YYYY");
    case DATE_FORMAT_YYYY_MM_DD: return tr("YYYY.MM.DD");
    }
    return QString();
}

QString Configuration::dateFormatString(DateFormat value)
{
    switch (value) {
    case DATE_FORMAT_DD_MM_YYYY: return QStringLiteral("dd.MM.yyyy");
    case DATE_FORMAT_YYYY_MM_DD: return QStringLiteral("yyyy.MM.dd");
    }
    return QString();
}

QString Configuration::keyName(ValueType value)
{
    return withoutPrefix(enumKey(value), "VT_");
}

QString Configuration::keyName(Resolution value)
{
    return withoutPrefix(enumKey(value), "RESOLUTION_");
}

QString Configuration::keyName(Antenna value)
{
    return withoutPrefix(enumKey(value), "ANTENNA_");
}

QString Configuration::keyName(MeasMode value)
{
    return withoutPrefix(enumKey(value), "MEAS_MODE_");
}

QString Configuration::keyName(Sync value)
{
    return withoutPrefix(enumKey(value), "SYNC_").replace(QLatin1Char('_'), QLatin1Char(' '));
}

QString Configuration::keyName(Phase value)
{
    return withoutPrefix(enumKey(value), "PHASE_");
}

int Configuration::keyToValue(const QString& enumName, const QString& key)
{
    const QMetaObject& meta = Configuration::staticMetaObject;
    const int index = meta.indexOfEnumerator(enumName.toLatin1().constData());
    if (index < 0)
        return -1;
    bool ok = false;
    const int value = meta.enumerator(index).keyToValue(key.toLatin1().constData(), &ok);
    return ok ? value : -1;
}
