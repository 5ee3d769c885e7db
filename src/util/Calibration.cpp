#include "util/Calibration.h"

#include "util/BootEnvironment.h"
#include "util/MutexLocker.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QDebug>
#include <QMetaEnum>
#include <QSettings>

#include <cmath>

namespace {

struct Descriptor {
    Calibration::ValueType type;
    int min;
    int max;
    int defaultValue;
};

// Every type but the time stamp, in enum order. Factors are stored as doubles but bounded by
// these whole numbers.
const Descriptor DESCRIPTORS[] = {
    { Calibration::VT_AmpOnLOGOffset, 0, 16383, 7150 },
    { Calibration::VT_AmpOnLOGFaktor, 10, 500, 195 },
    { Calibration::VT_AmpOffLOGOffset, 0, 16383, 7000 },
    { Calibration::VT_AmpOffLOGFaktor, 10, 500, 195 },
    { Calibration::VT_BBLOGOffset, 0, 16383, 7000 },
    { Calibration::VT_BBLOGFaktor, 10, 500, 195 },
    { Calibration::VT_AmpOnRMSOffset, 0, 16383, 0 },
    { Calibration::VT_AmpOnRMSFaktor, 0, 500, 9 },
    { Calibration::VT_AmpOffRMSOffset, 0, 16383, 0 },
    { Calibration::VT_AmpOffRMSFaktor, 0, 500, 1 },
    { Calibration::VT_BBRMSOffset, 0, 16383, 0 },
    { Calibration::VT_BBRMSFaktor, 0, 500, 1 },
    { Calibration::VT_AmpOnENVOffset, 0, 16383, 0 },
    { Calibration::VT_AmpOnENVFaktor, 0, 500, 4 },
    { Calibration::VT_AmpOffENVOffset, 0, 16383, 0 },
    { Calibration::VT_AmpOffENVFaktor, 0, 500, 1 },
    { Calibration::VT_BBENVOffset, 0, 16383, 0 },
    { Calibration::VT_BBENVFaktor, 0, 500, 1 },
    { Calibration::VT_NullOffsetLOG, 0, 1023, 630 },
    { Calibration::VT_NullOffsetRMS, 0, 1023, 250 },
    { Calibration::VT_NullOffsetENV, 0, 1023, 65 },
};
const int DESCRIPTOR_COUNT = int(sizeof(DESCRIPTORS) / sizeof(DESCRIPTORS[0]));

const QLatin1String ENVIRONMENT_PREFIX("calib");

const Descriptor& descriptor(Calibration::ValueType type)
{
    const Descriptor* retval = nullptr;
    if (type >= 0 && type < DESCRIPTOR_COUNT && DESCRIPTORS[type].type == type)
        retval = &DESCRIPTORS[type];
    Q_ASSERT_X(retval != nullptr, "util/Calibration.cpp", "NULL != retval");
    if (!retval)
        qFatal("util/Calibration.cpp: NULL != retval");
    return *retval;
}

QString calibrationFile()
{
    return Platform::path(QStringLiteral("/data")) + QStringLiteral("/calib.ini");
}

QString fullKey(Calibration::ValueType type, const QString& group)
{
    const QString key = Calibration::keyName(type);
    return group.isEmpty() ? key : QStringLiteral("%1/%2").arg(group, key);
}

// A stored value as a finite number; false for an absent value or a text that is no number.
bool toNumber(const QVariant& value, double* number)
{
    if (!value.isValid())
        return false;
    bool ok = false;
    const double result = value.toString().trimmed().toDouble(&ok);
    if (!ok || std::isnan(result))
        return false;
    *number = result;
    return true;
}

bool isNumber(const QString& text)
{
    double number;
    return toNumber(QVariant(text), &number) && std::isfinite(number);
}

double limited(double value, const Descriptor& row)
{
    return qBound(double(row.min), value, double(row.max));
}

// Writes go through a temporary file and a rename, so a power loss mid-write keeps the old file.
void prepareForWriting(QSettings& settings)
{
    settings.setAtomicSyncRequired(true);
}

bool finishWriting(QSettings& settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qDebug() << "Calibration: writing" << settings.fileName() << "failed";
        return false;
    }
    return true;
}

} // namespace

Calibration::Calibration()
    : QObject(nullptr)
{
}

Calibration* Calibration::instance()
{
    static Calibration* instance = [] {
        Calibration* created = new Calibration();
        // A power loss during a write of the last run may have left QSettings' lock file behind.
        SystemHelper::removeWriteLeftovers(calibrationFile());
        BootEnvironment* environment = BootEnvironment::instance();
        created->restoreFromEnvironment(environment);
        created->mirrorToEnvironment(environment);
        return created;
    }();
    Q_ASSERT_X(instance != nullptr, "Calibration", "NULL != instance");
    return instance;
}

void Calibration::restoreFromEnvironment(BootEnvironment* environment)
{
    MutexLocker locker(&m_mutex);
    QSettings settings(calibrationFile(), QSettings::IniFormat);
    prepareForWriting(settings);
    bool mountTried = false;
    bool mounted = false;
    for (int i = 0; i < DESCRIPTOR_COUNT; ++i) {
        const QString key = keyName(ValueType(i));
        const QString name = ENVIRONMENT_PREFIX + key;
        if (settings.contains(key) || !environment->contains(name))
            continue;
        const QString text = environment->value(name);
        // A damaged copy would only replace the default by another default.
        if (!isNumber(text))
            continue;
        if (!mountTried) {
            mountTried = true;
            mounted = SystemHelper::mountData();
        }
        if (mounted)
            settings.setValue(key, text);
        m_cache.insert(key, text);
    }
    if (mounted) {
        finishWriting(settings);
        SystemHelper::unmountData();
        qDebug() << "Calibration: values restored from the boot environment";
    }
}

void Calibration::mirrorToEnvironment(BootEnvironment* environment)
{
    MutexLocker locker(&m_mutex);
    const QSettings settings(calibrationFile(), QSettings::IniFormat);
    for (int i = 0; i < DESCRIPTOR_COUNT; ++i) {
        const QString key = keyName(ValueType(i));
        QVariant value;
        if (m_cache.contains(key))
            value = m_cache.value(key);
        else if (settings.contains(key))
            value = settings.value(key);
        else
            continue;
        const QString text = value.toString();
        // A damaged file must not overwrite the good copy in the environment.
        if (!isNumber(text))
            continue;
        const QString name = ENVIRONMENT_PREFIX + key;
        if (!environment->contains(name) || environment->value(name) != text)
            environment->setValue(name, text);
    }
    locker.unlock();
    environment->save();
}

void Calibration::store(ValueType type, const QVariant& value, const QString& group)
{
    MutexLocker locker(&m_mutex);
    const QString key = fullKey(type, group);
    if (SystemHelper::mountData()) {
        {
            QSettings settings(calibrationFile(), QSettings::IniFormat);
            prepareForWriting(settings);
            settings.setValue(key, value);
            finishWriting(settings);
        }
        SystemHelper::unmountData();
    }
    m_cache.insert(key, value);
}

QVariant Calibration::stored(ValueType type, const QString& group)
{
    MutexLocker locker(&m_mutex);
    const QString key = fullKey(type, group);
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return cached.value();
    const QSettings settings(calibrationFile(), QSettings::IniFormat);
    return settings.value(key);
}

void Calibration::setValue(ValueType type, int value, const QString& group)
{
    const Descriptor& row = descriptor(type);
    instance()->store(type, QVariant(qBound(row.min, value, row.max)), group);
}

void Calibration::setValue(ValueType type, double value, const QString& group)
{
    const Descriptor& row = descriptor(type);
    const double stored = std::isnan(value) ? double(row.defaultValue) : limited(value, row);
    instance()->store(type, QVariant(stored), group);
}

void Calibration::setValue(ValueType type, const QString& value, const QString& group)
{
    instance()->store(type, QVariant(value), group);
}

int Calibration::getInt(ValueType type, const QString& group)
{
    const Descriptor& row = descriptor(type);
    double number;
    if (!toNumber(instance()->stored(type, group), &number))
        return row.defaultValue;
    return int(std::lround(limited(number, row)));
}

double Calibration::getDouble(ValueType type, const QString& group)
{
    const Descriptor& row = descriptor(type);
    double number;
    if (!toNumber(instance()->stored(type, group), &number))
        return double(row.defaultValue);
    return limited(number, row);
}

QString Calibration::getString(ValueType type, const QString& group)
{
    return instance()->stored(type, group).toString();
}

int Calibration::getMin(ValueType type)
{
    return descriptor(type).min;
}

int Calibration::getMax(ValueType type)
{
    return descriptor(type).max;
}

int Calibration::getDefault(ValueType type)
{
    return descriptor(type).defaultValue;
}

double Calibration::getMinDouble(ValueType type)
{
    return double(descriptor(type).min);
}

double Calibration::getMaxDouble(ValueType type)
{
    return double(descriptor(type).max);
}

double Calibration::getDefaultDouble(ValueType type)
{
    return double(descriptor(type).defaultValue);
}

void Calibration::clear()
{
    Calibration* calibration = instance();
    MutexLocker locker(&calibration->m_mutex);
    if (SystemHelper::mountData()) {
        {
            QSettings settings(calibrationFile(), QSettings::IniFormat);
            prepareForWriting(settings);
            settings.clear();
            finishWriting(settings);
        }
        SystemHelper::unmountData();
    }
    calibration->m_cache.clear();
}

QString Calibration::keyName(ValueType type)
{
    const char* key = QMetaEnum::fromType<ValueType>().valueToKey(type);
    const QString text = key ? QString::fromLatin1(key) : QString();
    return text.startsWith(QLatin1String("VT_")) ? text.mid(3) : text;
}
