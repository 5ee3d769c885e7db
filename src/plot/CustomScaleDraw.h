#pragma once

#include <QString>

#include <qwt_scale_draw.h>
#include <qwt_text.h>

// An axis scale draw that prints the axis unit (for example "P/dBm") in place of the number at
// the highest major tick, so that a small screen needs no separate axis title.
class CustomScaleDraw : public QwtScaleDraw {
public:
    explicit CustomScaleDraw(const QString& unit);

    void setUnit(const QString& unit);
    QString unit() const;

    QwtText label(double value) const override;

private:
    QString m_unit;
};
