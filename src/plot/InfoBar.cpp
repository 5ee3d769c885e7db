#include "plot/InfoBar.h"

#include <QGridLayout>
#include <QLabel>

InfoBar::InfoBar(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QGridLayout(this))
    , m_columns(0)
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setVerticalSpacing(2);
    m_layout->setHorizontalSpacing(15);
}

void InfoBar::setInfo(const QList<InfoBar::Info>& entries, int columns)
{
    if (entries.size() < columns)
        columns = entries.size();
    columns = qMax(1, columns);

    if (columns != m_columns || m_labels.size() != entries.size())
        rebuild(entries, columns);

    for (int i = 0; i < entries.size(); ++i) {
        QLabel* label = m_labels.at(i);
        // Setting an unchanged text or style still relayouts and repolishes the label.
        if (label->text() != entries.at(i).text)
            label->setText(entries.at(i).text);
        if (label->styleSheet() != entries.at(i).styleSheet)
            label->setStyleSheet(entries.at(i).styleSheet);
    }
}

void InfoBar::rebuild(const QList<InfoBar::Info>& entries, int columns)
{
    while (m_layout->count() > 0)
        delete m_layout->takeAt(0);
    while (m_labels.size() > entries.size())
        delete m_labels.takeLast();
    while (m_labels.size() < entries.size())
        m_labels.append(new QLabel(this));

    for (int i = 0; i < entries.size(); ++i) {
        const Info& entry = entries.at(i);
        m_layout->addWidget(
            m_labels.at(i), i / columns, i % columns, qMax(1, entry.rowSpan), qMax(1, entry.columnSpan));
    }
    m_columns = columns;
}
