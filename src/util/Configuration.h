#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>

// The store of every user setting: a fixed table of setting kinds, each with a minimum, a
// maximum, a default and a persistence flag. Values live per path ("spectrum", "time", "level",
// "algorithm", "system"), are cached in memory and, when persistent, written through to
// /data/config.ini. Every typed change is announced by configurationChanged().
class Configuration : public QObject
{
    Q_OBJECT

public:
    enum ValueType {
        VT_FreqMin,
        VT_FreqMax,
        VT_FreqStep,
        VT_AmpMinDbm,
        VT_AmpMaxDbm,
        VT_AmpMinPercent,
        VT_AmpMaxPercent,
        VT_AmpMinMicroVolt,
        VT_AmpMaxMicroVolt,
        VT_Bandwidth,
        VT_Antenna,
        VT_MeasMode,
        VT_GatingTime,
        VT_Sync,
        VT_Volume,
        VT_Persistency,
        VT_SweepRate,
        VT_Language,
        VT_DateFormat,
        VT_LinearAmplifier,
        VT_Preamplifier,
        VT_Meas_70,
        VT_Service,
        VT_Screenshot,
        VT_PulseMode,
        VT_PhaseShift,
        VT_MaxHold,
        VT_MaxQuantity,
        VT_PromptPhase,
        VT_Resolution,
        VT_UpdateInterval,
        VT_Brightness,
        VT_Algorithm,
        VT_CycleCountHigh,
        VT_GatingTimeHigh,
        VT_CycleCountLow,
        VT_GatingTimeLow,
        VT_GradingFilter,
        VT_Amplifier,
        VT_AmplifierFactorG,
        VT_Threshold1,
        VT_Threshold2,
        VT_Threshold3,
        VT_Threshold4
    };
    Q_ENUM(ValueType)

    enum Resolution { RESOLUTION_FINE = 1, RESOLUTION_MODERATE = 2, RESOLUTION_COARSE = 3 };
    Q_ENUM(Resolution)

    enum Antenna { ANTENNA_UHF = 0, ANTENNA_TEV = 1, ANTENNA_HFCT = 2 };
    Q_ENUM(Antenna)

    enum MeasMode { MEAS_MODE_LOG = 0, MEAS_MODE_RMS = 1, MEAS_MODE_ENV = 2, MEAS_MODE_KAL = 3 };
    Q_ENUM(MeasMode)

    enum Sync { SYNC_INT_E = 0, SYNC_SENSOR_E = 1, SYNC_SENSOR_H = 2, SYNC_MAINS_RF = 3 };
    Q_ENUM(Sync)

    enum DateFormat { DATE_FORMAT_DD_MM_YYYY = 0, DATE_FORMAT_YYYY_MM_DD = 1 };
    Q_ENUM(DateFormat)

    enum Phase { PHASE_Unspecified = 0, PHASE_L1 = 1, PHASE_L2 = 2, PHASE_L3 = 3 };
    Q_ENUM(Phase)

    static Configuration* instance();

    static int getValue(ValueType type, const QString& path);
    static QString getString(ValueType type, const QString& path);
    // Both hold the value for this run and announce it; false when a persistent value could not
    // be written to the settings file (it is then lost at the next start: tell the operator).
    static bool setValue(ValueType type, int value, const QString& path);
    static bool setValue(ValueType type, const QString& value, const QString& path);

    static int getMin(ValueType type);
    static int getMax(ValueType type);
    static QVariant getDefault(ValueType type);
    static bool isPersistent(ValueType type);
    static int limit(ValueType type, int value);

    // Raw access by key word, for lists the screens keep outside the table.
    // False when the settings file could not be written (the value still holds for this run).
    static bool setValuePersistent(const QString& key, QVariant value, const QString& path);
    static void setValue(const QString& key, QVariant value, const QString& path);
    static QVariant valuePersistent(const QString& key, const QString& path, const QVariant& defaultValue);
    static QVariant value(const QString& key, const QString& path, const QVariant& defaultValue);

    // Factory reset: empties config.ini and the cache.
    static void clear();

    static QString toString(Resolution value);
    static QString toString(Antenna value);
    static QString toString(MeasMode value);
    static QString toString(Sync value);
    static QString toString(Phase value);
    static QString toString(DateFormat value);
    static QString dateFormatString(DateFormat value);

    static QString keyName(ValueType value);
    static QString keyName(Resolution value);
    static QString keyName(Antenna value);
    static QString keyName(MeasMode value);
    static QString keyName(Sync value);
    static QString keyName(Phase value);
    static int keyToValue(const QString& enumName, const QString& key);

signals:
    void configurationChanged(Configuration::ValueType type, QVariant value, QString path);

private:
    Configuration();

    QMap<QString, QVariant> m_cache;
};
