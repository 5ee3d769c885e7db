#pragma once

#include <QColor>
#include <QImage>
#include <QVector>

// The time-domain screen's persistence raster: an 8-bit indexed image of 501 phase columns by
// 262 amplitude rows (row 0 at the top) whose pixel indices are hit counts:
//   0                      empty
//   1 .. maxQuantity       hits at or above the activity level (saturating)
//   101 .. 100+maxQuantity hits below the activity level (index - 100, saturating)
// Every write covers an r x r block anchored at (x, y) that extends to the right and upwards
// (columns x .. x + r - 1, rows y - r + 1 .. y); the anchor pixel carries the block's count.
// Colour 0 is transparent, so the plot's grid shows through empty pixels; changing maxQuantity
// or the colours only rewrites the colour table, never the pixels.
//
// Not thread-safe: the screen writes it from the acquisition thread and copies it for painting
// from the GUI thread, both under its own mutex.
class PersistenceImage
{
public:
    static constexpr int WIDTH = 501;
    static constexpr int HEIGHT = 262;
    static constexpr int BELOW_LEVEL_BASE = 100;
    static constexpr int MAX_QUANTITY_LIMIT = 100;

    PersistenceImage();
    // The raster is written through a pointer taken once; a copy would share those pixels.
    PersistenceImage(const PersistenceImage&) = delete;
    PersistenceImage& operator=(const PersistenceImage&) = delete;

    // Block size r (at least 1) and the saturation count (1..100); both apply to later writes.
    void setBlockSize(int r);
    int blockSize() const { return m_blockSize; }
    void setMaxQuantity(int maxQuantity);
    int maxQuantity() const { return m_maxQuantity; }

    void clear();
    int pixelIndex(int x, int y) const;
    // The number of hits a pixel stands for: its index for 1..100, index - 100 above; 0 when empty.
    int quantity(int x, int y) const;
    static int quantityOfIndex(int index);

    // Writes index to the whole block at (x, y); pixels outside the raster are left out.
    void setPixelBlock(int x, int y, int index);
    // One hit at or above the activity level: the anchor's count + 1, at most maxQuantity
    // (a below-level count jumps to maxQuantity).
    void hit(int x, int y);
    // One hit below the level: at least 101, at most 100 + maxQuantity.
    void belowLevelHit(int x, int y);
    // Takes one hit away again: 101 and 1 become empty, others count down by one.
    void retire(int x, int y);

    // Copies the pixels into target (same size and format, created there when not), leaving
    // target's colour table alone.
    void copyPixelsTo(QImage* target) const;

    // Sets entries 1..maxQuantity (dark blue over dark green to dark red) and 101..100+maxQuantity
    // (gray fading to dark gray) of image's colour table; the other entries stay as they are.
    static void applyColourTable(QImage* image, int maxQuantity);
    // A fresh image of the raster's size and format with 256 transparent colours.
    static QImage createImage();
    // a at x = x1, b at x = x0, linear in between (truncated to whole colour values, opaque).
    static QColor interpolateColor(const QColor& a, const QColor& b, double x, double x1, double x0);

private:
    uchar* pixel(int x, int y) { return m_bits + y * m_bytesPerLine + x; }

    QImage m_image;
    // The raster's memory, taken once: QImage::bits() would check for sharing on every call.
    uchar* m_bits;
    int m_bytesPerLine;
    int m_blockSize;
    int m_maxQuantity;
};
