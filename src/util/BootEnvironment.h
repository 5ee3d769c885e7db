#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

// The boot loader's variables in their raw flash partition. The calibration store keeps a second
// copy of its constants there, which survives a re-installation of the data partition. The
// partition is read once into a name/value map; the whole image is written back (erase and
// program) only when something changed and a caller asks for it.
//
// Image: 0x40000 bytes; bytes 0..3 the CRC-32 of the rest, little-endian; from byte 4 texts
// "name=value", each ended by a NUL, the list ended by an empty text; the rest zero.
//
// A partition whose checksum does not match (an erased one included) reads as empty and is never
// written back: the boot loader falls back to its built-in defaults on a bad checksum, and an
// image holding only our variables would replace those defaults and could leave the device
// unable to boot. GUI thread only.
class BootEnvironment : public QObject {
    Q_OBJECT

public:
    static constexpr int IMAGE_SIZE = 0x40000;
    static constexpr int DATA_OFFSET = 4;
    static constexpr int DATA_SIZE = IMAGE_SIZE - DATA_OFFSET;

    enum ReadResult {
        READ_OK = 0,
        READ_OPEN_FAILED = -1,
        READ_MAP_FAILED = -2, // too small, or cannot be mapped
        READ_BAD_CHECKSUM = -3,
    };
    enum WriteResult {
        WRITE_OK = 0,
        WRITE_OPEN_FAILED = -2,
        WRITE_NO_MTD_INFO = -3,
        WRITE_FAILED = -4, // erase or write failed
    };

    // Reads the partition on first use.
    static BootEnvironment* instance();

    // Inserts or replaces a variable. Names must be non-empty and hold neither "=" nor a NUL, and
    // values no NUL (the image could not give them back); other calls are ignored.
    void setValue(const QString& name, const QString& value);
    QString value(const QString& name, const QString& defaultValue = QString()) const;
    bool contains(const QString& name) const;
    // Writes the image back when something changed since the last save, and only when the
    // partition was read with a valid checksum. The write is bracketed by the root remount.
    void save();

    // True when the partition was read with a valid checksum, so it may be written back.
    bool isWritable() const { return m_writable; }
    QMap<QString, QString> variables() const { return m_variables; }

    // The standard CRC-32 (IEEE 802.3, reflected, initial value and final inversion all ones).
    static quint32 crc32(const uchar* data, size_t size);
    // Parses an image of IMAGE_SIZE bytes; never reads past its end. READ_BAD_CHECKSUM leaves the
    // map empty.
    static ReadResult parseImage(const uchar* image, QMap<QString, QString>* variables);
    // Builds the image of the variables in name order; false (and an empty image) when they do
    // not fit.
    static bool buildImage(const QMap<QString, QString>& variables, QByteArray* image);
    // Reads and parses the partition through its block device (or a regular file of at least
    // IMAGE_SIZE bytes standing in for it).
    static ReadResult readPartition(const QString& device, QMap<QString, QString>* variables);
    // Erases and programs the partition through its MTD character device; a regular file standing
    // in for it is written directly.
    static WriteResult writePartition(const QString& device, const QByteArray& image);

private:
    BootEnvironment();

    QMap<QString, QString> m_variables;
    bool m_writable;
    QString m_writeDevice;

    static bool s_dirty;
};
