#include "dialogs/FrozenSlots.h"

#include "dialogs/StoreRecallDialog.h"
#include "plot/OverridingPlotData.h"
#include "plot/WidePenPlotCurve.h"
#include "storage/RecallFile.h"

#include <QIcon>
#include <QPushButton>

namespace {

const int SLOT_COUNT = 501;

} // namespace

FrozenSlots::FrozenSlots()
{
    const QColor colours[COUNT] = { QColor(51, 153, 255), Qt::yellow, Qt::darkYellow, Qt::green };
    for (int i = 0; i < COUNT; ++i) {
        m_series[i] = new OverridingPlotData(SLOT_COUNT);
        m_curves[i] = new WidePenPlotCurve(defaultTitle(i));
        m_curves[i]->setPen(colours[i], 3, Qt::SolidLine);
        m_curves[i]->setRenderHint(QwtPlotItem::RenderAntialiased, false);
    }
}

FrozenSlots::~FrozenSlots()
{
    for (int i = 0; i < COUNT; ++i) {
        // A plot deletes the curves attached to it.
        if (!m_curves[i]->plot())
            delete m_curves[i];
        delete m_series[i];
    }
}

QString FrozenSlots::defaultTitle(int slot)
{
    return QStringLiteral("RC%1").arg(slot + 1);
}

QString FrozenSlots::title(int slot) const
{
    return m_curves[slot]->title().text();
}

bool FrozenSlots::isFilled(int slot) const
{
    return m_series[slot]->count() > 0;
}

void FrozenSlots::store(int slot, const OverridingPlotData& trace)
{
    OverridingPlotData* frozen = m_series[slot];
    frozen->clear();
    for (const QPointF& point : *trace.getConstData())
        frozen->addSample(point);
}

bool FrozenSlots::rename(int slot, const QString& name)
{
    if (name.isEmpty())
        return false;
    m_curves[slot]->setTitle(name.left(NAME_LENGTH));
    return true;
}

void FrozenSlots::clearAll()
{
    for (int i = 0; i < COUNT; ++i) {
        m_series[i]->clear();
        m_curves[i]->setTitle(defaultTitle(i));
    }
}

bool FrozenSlots::exportTo(const QString& path) const
{
    QVector<RecallFile::Trace> traces;
    for (int i = 0; i < COUNT; ++i)
        traces.append({ title(i), *m_series[i]->getConstData() });
    return RecallFile::write(RecallFile::build(traces, SLOT_COUNT), path);
}

void FrozenSlots::importFrom(const QString& path)
{
    const QVector<RecallFile::Slot> loaded = RecallFile::read(path);
    for (int i = 0; i < loaded.size() && i < COUNT; ++i) {
        const RecallFile::Slot& slot = loaded.at(i);
        if (!slot.present)
            continue;
        rename(i, slot.name);
        m_series[i]->clear();
        for (double value : slot.values)
            m_series[i]->addSample(slot.freqMin, slot.freqMax, value);
    }
}

void FrozenSlots::prepare(StoreRecallDialog* dialog, int shownSlots) const
{
    bool anyFilled = false;
    for (int i = 0; i < COUNT; ++i) {
        QPushButton* select = dialog->button(StoreRecallDialog::BUTTON_SELECT, i);
        select->setText(title(i));
        select->setEnabled(isFilled(i));
        markShown(dialog, i, shownSlots & (1 << i));
        dialog->button(StoreRecallDialog::BUTTON_EDIT, i)->setEnabled(isFilled(i));
        anyFilled = anyFilled || isFilled(i);
    }
    dialog->button(StoreRecallDialog::BUTTON_CLEAR_ALL)->setEnabled(anyFilled);
    dialog->button(StoreRecallDialog::BUTTON_CLEAR_ALL)->setVisible(anyFilled);
}

void FrozenSlots::markShown(StoreRecallDialog* dialog, int slot, bool shown)
{
    dialog->button(StoreRecallDialog::BUTTON_SELECT, slot)
        ->setIcon(QIcon(shown ? QStringLiteral(":/resources/images/checkbox_checked.svg")
                              : QStringLiteral(":/resources/images/checkbox_unchecked.svg")));
}
