#pragma once

#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariant>

class BootEnvironment;

// The per-instrument constants that turn raw detector counts into levels: an offset and a factor
// for each detector (LOG, RMS, envelope) and signal path (UHF with preamplifier on or off,
// broadband), the null offsets of the offset amplifier and the time of the last offset
// calibration. They live in /data/calib.ini and are mirrored into the boot loader's environment
// ("calib" + key name), so that a wiped data partition gets them back at the next start.
// All operations are static; the first use creates the store. Safe to call from the GUI thread
// and the acquisition thread.
class Calibration : public QObject {
    Q_OBJECT

public:
    // The key text minus "VT_" is the key name in calib.ini.
    enum ValueType {
        VT_AmpOnLOGOffset,
        VT_AmpOnLOGFaktor,
        VT_AmpOffLOGOffset,
        VT_AmpOffLOGFaktor,
        VT_BBLOGOffset,
        VT_BBLOGFaktor,
        VT_AmpOnRMSOffset,
        VT_AmpOnRMSFaktor,
        VT_AmpOffRMSOffset,
        VT_AmpOffRMSFaktor,
        VT_BBRMSOffset,
        VT_BBRMSFaktor,
        VT_AmpOnENVOffset,
        VT_AmpOnENVFaktor,
        VT_AmpOffENVOffset,
        VT_AmpOffENVFaktor,
        VT_BBENVOffset,
        VT_BBENVFaktor,
        VT_NullOffsetLOG,
        VT_NullOffsetRMS,
        VT_NullOffsetENV,
        VT_KalibTimestamp // text "yyyy-MM-dd hh:mm:ss"; no limits, not mirrored
    };
    Q_ENUM(ValueType)

    // Reference levels of the two-point calibration: dBm for LOG, µV for RMS and envelope.
    static constexpr int CAL_AMPON_LOW_LOG = -75;
    static constexpr int CAL_AMPON_HIGH_LOG = -40;
    static constexpr int CAL_AMPOFF_LOW_LOG = -45;
    static constexpr int CAL_AMPOFF_HIGH_LOG = -10;
    static constexpr int CAL_BB_LOW_LOG = -50;
    static constexpr int CAL_BB_HIGH_LOG = -10;
    static constexpr int CAL_AMPON_LOW_RMS = 0;
    static constexpr int CAL_AMPON_HIGH_RMS = 4500;
    static constexpr int CAL_AMPOFF_LOW_RMS = 0;
    static constexpr int CAL_AMPOFF_HIGH_RMS = 150000;
    static constexpr int CAL_BB_LOW_RMS = 0;
    static constexpr int CAL_BB_HIGH_RMS = 150000;
    static constexpr int CAL_AMPON_LOW_ENV = 0;
    static constexpr int CAL_AMPON_HIGH_ENV = 4500;
    static constexpr int CAL_AMPOFF_LOW_ENV = 0;
    static constexpr int CAL_AMPOFF_HIGH_ENV = 150000;
    static constexpr int CAL_BB_LOW_ENV = 0;
    static constexpr int CAL_BB_HIGH_ENV = 150000;
    // The 18 reference levels in calibration-step order (step s uses CAL_LEVELS[s - 1]).
    static constexpr int CAL_LEVEL_COUNT = 18;
    static constexpr int CAL_LEVELS[CAL_LEVEL_COUNT] = {
        CAL_AMPON_LOW_LOG,
        CAL_AMPON_HIGH_LOG,
        CAL_AMPOFF_LOW_LOG,
        CAL_AMPOFF_HIGH_LOG,
        CAL_AMPON_LOW_RMS,
        CAL_AMPON_HIGH_RMS,
        CAL_AMPOFF_LOW_RMS,
        CAL_AMPOFF_HIGH_RMS,
        CAL_AMPON_LOW_ENV,
        CAL_AMPON_HIGH_ENV,
        CAL_AMPOFF_LOW_ENV,
        CAL_AMPOFF_HIGH_ENV,
        CAL_BB_LOW_LOG,
        CAL_BB_HIGH_LOG,
        CAL_BB_LOW_RMS,
        CAL_BB_HIGH_RMS,
        CAL_BB_LOW_ENV,
        CAL_BB_HIGH_ENV,
    };

    // Creates the store on first use: restores values missing from calib.ini from the boot
    // environment, then mirrors the file's values back into the environment.
    static Calibration* instance();

    // Store a value limited to the type's range; it reaches calib.ini when the root can be
    // remounted writable, and is used until the program ends in any case.
    static void setValue(ValueType type, int value, const QString& group = QString());
    static void setValue(ValueType type, double value, const QString& group = QString());
    // Stores a text without limiting (the calibration time stamp).
    static void setValue(ValueType type, const QString& value, const QString& group = QString());

    // The value limited to the type's range; the default when nothing is stored or the stored
    // text is not a number.
    static int getInt(ValueType type, const QString& group = QString());
    static double getDouble(ValueType type, const QString& group = QString());
    // The stored text, or an empty text (for the calibration time stamp).
    static QString getString(ValueType type, const QString& group = QString());

    static int getMin(ValueType type);
    static int getMax(ValueType type);
    static int getDefault(ValueType type);
    static double getMinDouble(ValueType type);
    static double getMaxDouble(ValueType type);
    static double getDefaultDouble(ValueType type);

    // Empties calib.ini (when the root can be remounted) and the cache.
    static void clear();

    // The key name of a type: its enum key without "VT_" (for example "AmpOnLOGOffset").
    static QString keyName(ValueType type);

private:
    Calibration();

    void restoreFromEnvironment(BootEnvironment* environment);
    void mirrorToEnvironment(BootEnvironment* environment);
    void store(ValueType type, const QVariant& value, const QString& group);
    QVariant stored(ValueType type, const QString& group);

    QMap<QString, QVariant> m_cache;
    // Guards the cache and calib.ini: the offset calibration writes from the acquisition thread.
    QMutex m_mutex;
};
