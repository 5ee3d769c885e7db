#include "BootEnvironmentImage.h"

#include <array>

namespace {

std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

} // namespace

quint32 BootEnvironmentImage::crc32(const char* data, int length)
{
    static const std::array<quint32, 256> table = makeCrcTable();
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < length; ++i)
        crc = table[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray BootEnvironmentImage::build(const QList<QPair<QString, QString>>& variables)
{
    QByteArray image(Size, '\0');
    int position = 4;
    for (const auto& variable : variables) {
        const QByteArray entry = (variable.first + QLatin1Char('=') + variable.second).toLatin1();
        if (position + entry.size() + 2 > Size)
            break;
        image.replace(position, entry.size(), entry);
        position += entry.size() + 1; // the NUL is already there
    }
    const quint32 crc = crc32(image.constData() + 4, Size - 4);
    for (int i = 0; i < 4; ++i)
        image[i] = char((crc >> (8 * i)) & 0xFF);
    return image;
}

bool BootEnvironmentImage::isValid(const QByteArray& image)
{
    if (image.size() != Size)
        return false;
    quint32 stored = 0;
    for (int i = 0; i < 4; ++i)
        stored |= quint32(quint8(image[i])) << (8 * i);
    return stored == crc32(image.constData() + 4, Size - 4);
}

QList<QPair<QString, QString>> BootEnvironmentImage::defaultVariables()
{
    return {
        {QStringLiteral("baudrate"), QStringLiteral("115200")},
        {QStringLiteral("bootcmd"), QStringLiteral("run mmcboot")},
        {QStringLiteral("bootdelay"), QStringLiteral("1")},
        {QStringLiteral("ethaddr"), QStringLiteral("00:1e:c0:8a:21:5f")},
        {QStringLiteral("mmcboot"), QStringLiteral("mmc rescan; load mmc 0:1 ${loadaddr} zImage; bootz ${loadaddr}")},
        {QStringLiteral("loadaddr"), QStringLiteral("0x82000000")},
        {QStringLiteral("serial#"), QStringLiteral("CV2026-0042")},
        {QStringLiteral("stderr"), QStringLiteral("serial")},
        {QStringLiteral("stdin"), QStringLiteral("serial")},
        {QStringLiteral("stdout"), QStringLiteral("serial")},
    };
}
