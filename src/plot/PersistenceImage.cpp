#include "plot/PersistenceImage.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>

PersistenceImage::PersistenceImage()
    : m_image(createImage())
    , m_bits(m_image.bits())
    , m_bytesPerLine(m_image.bytesPerLine())
    , m_blockSize(1)
    , m_maxQuantity(10)
{
    clear();
}

QImage PersistenceImage::createImage()
{
    QImage image(WIDTH, HEIGHT, QImage::Format_Indexed8);
    image.setColorTable(QVector<QRgb>(256, qRgba(0, 0, 0, 0)));
    image.fill(0);
    return image;
}

void PersistenceImage::setBlockSize(int r)
{
    m_blockSize = std::max(1, r);
}

void PersistenceImage::setMaxQuantity(int maxQuantity)
{
    m_maxQuantity = qBound(1, maxQuantity, MAX_QUANTITY_LIMIT);
}

void PersistenceImage::clear()
{
    std::memset(m_bits, 0, size_t(m_bytesPerLine) * HEIGHT);
}

int PersistenceImage::pixelIndex(int x, int y) const
{
    if (x < 0 || x >= WIDTH || y < 0 || y >= HEIGHT)
        return 0;
    return m_bits[y * m_bytesPerLine + x];
}

int PersistenceImage::quantityOfIndex(int index)
{
    return index > BELOW_LEVEL_BASE ? index - BELOW_LEVEL_BASE : index;
}

int PersistenceImage::quantity(int x, int y) const
{
    return quantityOfIndex(pixelIndex(x, y));
}

void PersistenceImage::setPixelBlock(int x, int y, int index)
{
    const uchar value = uchar(index);
    const int r = m_blockSize;
    if (x >= 0 && x + r <= WIDTH && y - r + 1 >= 0 && y < HEIGHT) {
        // The usual case, a block well inside: a few plain stores.
        uchar* row = pixel(x, y - r + 1);
        for (int j = 0; j < r; ++j, row += m_bytesPerLine)
            for (int i = 0; i < r; ++i)
                row[i] = value;
        return;
    }
    const int left = std::max(0, x);
    const int right = std::min(WIDTH - 1, x + r - 1);
    const int top = std::max(0, y - r + 1);
    const int bottom = std::min(HEIGHT - 1, y);
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column)
            *pixel(column, row) = value;
}

void PersistenceImage::hit(int x, int y)
{
    setPixelBlock(x, y, qBound(0, pixelIndex(x, y) + 1, m_maxQuantity));
}

void PersistenceImage::belowLevelHit(int x, int y)
{
    setPixelBlock(x, y, qBound(BELOW_LEVEL_BASE + 1, pixelIndex(x, y) + 1, BELOW_LEVEL_BASE + m_maxQuantity));
}

void PersistenceImage::retire(int x, int y)
{
    const int index = pixelIndex(x, y);
    int next = 0;
    if (index == BELOW_LEVEL_BASE + 1)
        next = 0;
    else if (index > 0)
        next = index - 1;
    setPixelBlock(x, y, next);
}

void PersistenceImage::copyPixelsTo(QImage* target) const
{
    if (target->size() != m_image.size() || target->format() != m_image.format())
        *target = createImage();
    uchar* bits = target->bits();
    const int targetBytesPerLine = target->bytesPerLine();
    if (targetBytesPerLine == m_bytesPerLine) {
        std::memcpy(bits, m_bits, size_t(m_bytesPerLine) * HEIGHT);
        return;
    }
    for (int y = 0; y < HEIGHT; ++y)
        std::memcpy(bits + y * targetBytesPerLine, m_bits + y * m_bytesPerLine, WIDTH);
}

QColor PersistenceImage::interpolateColor(const QColor& a, const QColor& b, double x, double x1, double x0)
{
    const double whole = std::sqrt((x1 - x0) * (x1 - x0));
    const double ratio = whole > 0.0 ? std::sqrt((x - x0) * (x - x0)) / whole : 0.0;
    auto mix = [ratio](int from, int to) { return int(from * ratio + to * (1.0 - ratio)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()), 255);
}

void PersistenceImage::applyColourTable(QImage* image, int maxQuantity)
{
    if (image->colorCount() < 256)
        image->setColorCount(256);
    const int count = qBound(1, maxQuantity, MAX_QUANTITY_LIMIT);
    const QColor darkBlue(Qt::darkBlue);
    const QColor darkGreen(Qt::darkGreen);
    const QColor darkRed(Qt::darkRed);
    const QColor gray(Qt::gray);
    const QColor darkGray(Qt::darkGray);
    for (int k = 0; k < count; ++k) {
        const double t = double(k) / count;
        const QColor above = t < 0.5 ? interpolateColor(darkBlue, darkGreen, t, 0.0, 0.5)
                                     : interpolateColor(darkGreen, darkRed, t, 0.5, 1.0);
        image->setColor(k + 1, above.rgba());
        image->setColor(k + 1 + BELOW_LEVEL_BASE, interpolateColor(gray, darkGray, t, 0.0, 1.0).rgba());
    }
}
