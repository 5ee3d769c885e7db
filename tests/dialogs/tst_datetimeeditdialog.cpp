#include "DialogDriver.h"

#include "dialogs/DateTimeEditDialog.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QTimeEdit>

using namespace DialogDriver;

class TestDateTimeEditDialog : public QObject {
    Q_OBJECT

private:
    DateTimeEditDialog* dialog() { return DateTimeEditDialog::instance(); }
    QDateEdit* dateEdit() { return dialog()->findChild<QDateEdit*>(QStringLiteral("dateEdit")); }
    QTimeEdit* timeEdit() { return dialog()->findChild<QTimeEdit*>(QStringLiteral("timeEdit")); }
    QPushButton* button(const QString& name) { return dialog()->findChild<QPushButton*>(name); }
    // Taps the on-screen up or down arrow of an editor.
    void tapArrow(QAbstractSpinBox* editor, bool up)
    {
        QStyleOptionSpinBox option;
        option.initFrom(editor);
        option.subControls
            = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
        option.buttonSymbols = editor->buttonSymbols();
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        option.frame = editor->hasFrame();
        const QRect rect = editor->style()->subControlRect(
            QStyle::CC_SpinBox, &option, up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown, editor);
        QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, rect.center());
    }

private slots:
    void initTestCase()
    {
        applyStyleSheet();
        QVERIFY(dateEdit() && timeEdit() && button(QStringLiteral("ButtonOk")) && button(QStringLiteral("ButtonExit")));
        QCOMPARE(dateEdit()->displayFormat(), QStringLiteral("dd.MM.yyyy"));
    }

    void returnWalksThroughTheDateSections()
    {
        QList<int> sections;
        QString prompt;
        bool timeShown = true;
        QCOMPARE(
            [&]() {
                whenShown(dialog(), [&]() {
                    sections << dateEdit()->currentSectionIndex();
                    prompt = dialog()->findChild<QLabel*>(QStringLiteral("labelStatusBar"))->text();
                    timeShown = timeEdit()->isVisible();
                    screenshot(dialog(), QStringLiteral("DateTimeEditDialog_date"));
                    pressKey(dialog(), Qt::Key_Up); // day + 1
                    pressKey(dialog(), Qt::Key_Return);
                    sections << dateEdit()->currentSectionIndex();
                    pressKey(dialog(), Qt::Key_Down); // month - 1
                    pressKey(dialog(), Qt::Key_Return);
                    sections << dateEdit()->currentSectionIndex();
                    pressKey(dialog(), Qt::Key_Up); // year + 1, held: two more
                    pressKey(dialog(), Qt::Key_Up, true);
                    pressKey(dialog(), Qt::Key_Up, true);
                    // The key filter swallows the release after repeats: nothing may run on.
                    QTest::qWait(700);
                    pressKey(dialog(), Qt::Key_Return);
                });
                return dialog()->execDate(
                    QDate(2026, 12, 6), QStringLiteral("Enter date"), QStringLiteral("dd.MM.yyyy"));
            }(),
            1);
        QCOMPARE(sections, (QList<int> { 0, 1, 2 }));
        QCOMPARE(prompt, QStringLiteral("Enter date"));
        QVERIFY(!timeShown);
        QCOMPARE(dialog()->date(), QDate(2029, 11, 7));
    }

    void escapeWalksBackAndCancelsBeforeTheFirst()
    {
        QList<int> sections;
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Return);
            pressKey(dialog(), Qt::Key_Return);
            sections << dateEdit()->currentSectionIndex();
            pressKey(dialog(), Qt::Key_Escape);
            sections << dateEdit()->currentSectionIndex();
            pressKey(dialog(), Qt::Key_Escape);
            sections << dateEdit()->currentSectionIndex();
            pressKey(dialog(), Qt::Key_Escape);
        });
        // The year comes first in this pattern.
        QCOMPARE(dialog()->execDate(QDate(2026, 12, 6), QStringLiteral("Enter date"), QStringLiteral("yyyy.MM.dd")), 0);
        QCOMPARE(sections, (QList<int> { 2, 1, 0 }));
        QCOMPARE(dateEdit()->displayFormat(), QStringLiteral("yyyy.MM.dd"));
    }

    void timeAfterDateShowsOnlyTheTime()
    {
        bool dateShown = true;
        bool timeShown = false;
        whenShown(dialog(), [&]() {
            dateShown = dateEdit()->isVisible();
            timeShown = timeEdit()->isVisible();
            screenshot(dialog(), QStringLiteral("DateTimeEditDialog"));
            pressKey(dialog(), Qt::Key_Return); // to the minutes
            pressKey(dialog(), Qt::Key_Up, true);
            pressKey(dialog(), Qt::Key_Up, true);
            pressKey(dialog(), Qt::Key_Return); // to the seconds
            pressKey(dialog(), Qt::Key_Down);
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->execTime(QTime(13, 28, 30), QStringLiteral("Enter time"), QStringLiteral("hh:mm:ss")), 1);
        QVERIFY(!dateShown);
        QVERIFY(timeShown);
        // Sections do not carry over into the next one.
        QCOMPARE(dialog()->time(), QTime(13, 30, 29));

        // And the reverse.
        whenShown(dialog(), [&]() {
            dateShown = dateEdit()->isVisible();
            timeShown = timeEdit()->isVisible();
            tap(button(QStringLiteral("ButtonExit")));
        });
        QCOMPARE(dialog()->execDate(QDate(2026, 1, 1), QStringLiteral("Enter date"), QStringLiteral("dd.MM.yyyy")), 0);
        QVERIFY(dateShown);
        QVERIFY(!timeShown);
    }

    void touchAloneSetsATime()
    {
        whenShown(dialog(), [&]() {
            tapArrow(timeEdit(), true); // hours + 1
            // A tap into the seconds selects that section.
            QLineEdit* edit = timeEdit()->findChild<QLineEdit*>();
            int x = 0;
            while (x < edit->width() && edit->cursorPositionAt(QPoint(x, edit->height() / 2)) < 7)
                ++x;
            QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(x, edit->height() / 2));
            tapArrow(timeEdit(), false);
            tapArrow(timeEdit(), false);
            tap(button(QStringLiteral("ButtonOk")));
        });
        QCOMPARE(dialog()->execTime(QTime(8, 30, 10), QStringLiteral("Enter time"), QStringLiteral("hh:mm:ss")), 1);
        QCOMPARE(dialog()->time(), QTime(9, 30, 8));
    }

    void keysGoOnFromATappedSection()
    {
        whenShown(dialog(), [&]() {
            timeEdit()->setCurrentSection(QDateTimeEdit::SecondSection); // as a tap does
            pressKey(dialog(), Qt::Key_Return); // after the last section: accepted
        });
        QCOMPARE(dialog()->execTime(QTime(8, 30, 10), QStringLiteral("Enter time"), QStringLiteral("hh:mm:ss")), 1);
    }
};

QTEST_MAIN(TestDateTimeEditDialog)
#include "tst_datetimeeditdialog.moc"
