#include "plot/CustomScaleDraw.h"

#include <qwt_scale_div.h>

CustomScaleDraw::CustomScaleDraw(const QString& unit)
    : m_unit(unit)
{
}

void CustomScaleDraw::setUnit(const QString& unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    // Labels are cached per value; the top tick's label has changed.
    invalidateCache();
}

QString CustomScaleDraw::unit() const
{
    return m_unit;
}

QwtText CustomScaleDraw::label(double value) const
{
    const QList<double> majorTicks = scaleDiv().ticks(QwtScaleDiv::MajorTick);
    if (!majorTicks.isEmpty() && value == majorTicks.last())
        return QwtText(m_unit);
    return QwtScaleDraw::label(value);
}
