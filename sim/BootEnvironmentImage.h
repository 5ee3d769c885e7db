#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The boot loader's environment partition as the board's flash holds it: 0x40000 bytes, a
// CRC-32 (little-endian) over bytes 4..0x3FFFF, then NUL-terminated "name=value" texts ended by
// an empty text, the rest zero.
class BootEnvironmentImage
{
public:
    static constexpr int Size = 0x40000;

    static quint32 crc32(const char* data, int length);
    static QByteArray build(const QList<QPair<QString, QString>>& variables);
    // True when the image has the right size and its stored CRC matches its contents.
    static bool isValid(const QByteArray& image);
    // The boot-loader variables a fresh board carries.
    static QList<QPair<QString, QString>> defaultVariables();
};
