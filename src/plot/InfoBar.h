#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QGridLayout;
class QLabel;

// The compact information panel above a measurement plot: short rich-text entries in a grid of
// a given number of columns, each with its own style sheet. The labels are rebuilt only when the
// number of entries or columns changes, so a screen can refresh the bar several times a second
// without flicker.
class InfoBar : public QWidget {
    Q_OBJECT

public:
    struct Info {
        Info(
            const QString& text = QString(), const QString& styleSheet = QString(), int columnSpan = 1, int rowSpan = 1)
            : text(text)
            , styleSheet(styleSheet)
            , columnSpan(columnSpan)
            , rowSpan(rowSpan)
        {
        }

        QString text; // may hold rich text, for example a bold value
        QString styleSheet; // applied to the entry's label; empty for the default look
        int columnSpan;
        int rowSpan;
    };

    explicit InfoBar(QWidget* parent = nullptr);

    // Shows the entries in a grid of at most `columns` columns (at least 1).
    void setInfo(const QList<InfoBar::Info>& entries, int columns);

    QGridLayout* gridLayout() const { return m_layout; }
    const QList<QLabel*>& labels() const { return m_labels; }
    // The column count of the current grid (QGridLayout::columnCount never shrinks).
    int columns() const { return m_columns; }

private:
    void rebuild(const QList<InfoBar::Info>& entries, int columns);

    QGridLayout* m_layout;
    QList<QLabel*> m_labels;
    int m_columns;
};
