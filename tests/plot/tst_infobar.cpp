#include "plot/InfoBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QtTest>

namespace {

QList<InfoBar::Info> entries(int count, int lastColumnSpan = 1)
{
    QList<InfoBar::Info> list;
    for (int i = 0; i < count; ++i)
        list.append(InfoBar::Info(QStringLiteral("Entry <b>%1</b>").arg(i), QString()));
    if (count > 0)
        list.last().columnSpan = lastColumnSpan;
    return list;
}

struct Cell {
    int row, column, rowSpan, columnSpan;
};

Cell cellOf(const InfoBar& bar, int labelIndex)
{
    Cell cell { -1, -1, -1, -1 };
    const int index = bar.gridLayout()->indexOf(bar.labels().at(labelIndex));
    if (index >= 0)
        bar.gridLayout()->getItemPosition(index, &cell.row, &cell.column, &cell.rowSpan, &cell.columnSpan);
    return cell;
}

} // namespace

class TestInfoBar : public QObject {
    Q_OBJECT

private slots:
    void layoutIsTheGrid()
    {
        InfoBar bar(nullptr);
        QVERIFY(qobject_cast<QGridLayout*>(bar.layout()) != nullptr);
        QCOMPARE(bar.layout(), bar.gridLayout());
        QCOMPARE(bar.gridLayout()->verticalSpacing(), 2);
        QCOMPARE(bar.gridLayout()->horizontalSpacing(), 15);
        QCOMPARE(bar.gridLayout()->contentsMargins(), QMargins(0, 0, 0, 0));

        const InfoBar::Info info(QStringLiteral("t"), QStringLiteral("color: red;"));
        QCOMPARE(info.text, QStringLiteral("t"));
        QCOMPARE(info.styleSheet, QStringLiteral("color: red;"));
        QCOMPARE(info.columnSpan, 1);
        QCOMPARE(info.rowSpan, 1);
    }

    void fiveEntriesInFourColumns()
    {
        InfoBar bar(nullptr);
        bar.setInfo(entries(5, 4), 4);
        QCOMPARE(bar.labels().size(), 5);
        const Cell fifth = cellOf(bar, 4);
        QCOMPARE(fifth.row, 1);
        QCOMPARE(fifth.column, 0);
        QCOMPARE(fifth.columnSpan, 4);
        const Cell fourth = cellOf(bar, 3);
        QCOMPARE(fourth.row, 0);
        QCOMPARE(fourth.column, 3);
        QCOMPARE(bar.labels().at(4)->text(), QStringLiteral("Entry <b>4</b>"));
    }

    void fewerEntriesThanColumns()
    {
        InfoBar bar(nullptr);
        bar.setInfo(entries(3), 4);
        QCOMPARE(bar.columns(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(cellOf(bar, i).row, 0);
            QCOMPARE(cellOf(bar, i).column, i);
        }
    }

    void refreshKeepsLabelsAndUpdatesTexts()
    {
        InfoBar bar(nullptr);
        bar.setInfo(entries(4), 2);
        const QList<QLabel*> before = bar.labels();
        QList<InfoBar::Info> changed = entries(4);
        changed[2].text = QStringLiteral("new");
        changed[2].styleSheet = QStringLiteral("color: red;");
        bar.setInfo(changed, 2);
        QCOMPARE(bar.labels(), before);
        QCOMPARE(bar.labels().at(2)->text(), QStringLiteral("new"));
        QCOMPARE(bar.labels().at(2)->styleSheet(), QStringLiteral("color: red;"));
        QCOMPARE(cellOf(bar, 2).row, 1);
    }

    void shrinkingDeletesTheLastLabels()
    {
        InfoBar bar(nullptr);
        bar.setInfo(entries(6), 3);
        QPointer<QLabel> fifth = bar.labels().at(4);
        QPointer<QLabel> sixth = bar.labels().at(5);
        QPointer<QLabel> first = bar.labels().at(0);
        bar.setInfo(entries(4), 3);
        QCOMPARE(bar.labels().size(), 4);
        QVERIFY(fifth.isNull());
        QVERIFY(sixth.isNull());
        QVERIFY(!first.isNull());
        QCOMPARE(bar.gridLayout()->count(), 4);
        QCOMPARE(cellOf(bar, 3).row, 1);
        QCOMPARE(cellOf(bar, 3).column, 0);
    }

    void columnsShrinkAndGrowAgain()
    {
        // The grid's own column count never shrinks, so the bar must notice 3 -> 2 -> 3.
        InfoBar bar(nullptr);
        bar.setInfo(entries(6), 3);
        bar.setInfo(entries(6), 2);
        QCOMPARE(bar.columns(), 2);
        QCOMPARE(cellOf(bar, 2).row, 1);
        QCOMPARE(cellOf(bar, 2).column, 0);
        bar.setInfo(entries(6), 3);
        QCOMPARE(bar.columns(), 3);
        QCOMPARE(cellOf(bar, 2).row, 0);
        QCOMPARE(cellOf(bar, 2).column, 2);
        QCOMPARE(cellOf(bar, 3).row, 1);
        QCOMPARE(cellOf(bar, 3).column, 0);
    }

    void emptyListRemovesEverything()
    {
        InfoBar bar(nullptr);
        bar.setInfo(entries(5), 2);
        bar.setInfo(QList<InfoBar::Info>(), 2);
        QVERIFY(bar.labels().isEmpty());
        QCOMPARE(bar.gridLayout()->count(), 0);
        QVERIFY(bar.findChildren<QLabel*>().isEmpty());
        // Zero columns for a non-empty list is treated as one column.
        bar.setInfo(entries(2), 0);
        QCOMPARE(cellOf(bar, 1).row, 1);
        QCOMPARE(cellOf(bar, 1).column, 0);
    }
};

QTEST_MAIN(TestInfoBar)
#include "tst_infobar.moc"
