#include "DialogDriver.h"

#include "dialogs/AdressEditDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace DialogDriver;

namespace {

const QString kMask = QStringLiteral("999.999.999.999");

QVector<QChar> digits()
{
    QVector<QChar> chars;
    for (char c = '0'; c <= '9'; ++c)
        chars << QLatin1Char(c);
    return chars;
}

} // namespace

class TestAdressEditDialog : public QObject {
    Q_OBJECT

private:
    AdressEditDialog* dialog() { return AdressEditDialog::instance(); }
    QPushButton* button(const QString& name) { return dialog()->findChild<QPushButton*>(name); }
    QLineEdit* line() { return dialog()->findChild<QLineEdit*>(QStringLiteral("lineEditText")); }
    QString charShown() { return dialog()->findChild<QLabel*>(QStringLiteral("LabelChar"))->text(); }
    void moveTo(int position)
    {
        while (line()->cursorPosition() < position && button(QStringLiteral("ButtonRight"))->isEnabled())
            tap(button(QStringLiteral("ButtonRight")));
        while (line()->cursorPosition() > position && button(QStringLiteral("ButtonLeft"))->isEnabled())
            tap(button(QStringLiteral("ButtonLeft")));
    }
    // Taps the up arrow n times and returns the character under the cursor afterwards.
    QString stepUp(int times)
    {
        for (int i = 0; i < times; ++i)
            tap(button(QStringLiteral("ButtonUp")));
        return charShown();
    }
    int run(const QString& text, std::function<void()> action, bool rules = true)
    {
        whenShown(dialog(), action);
        return dialog()->exec(text, QStringLiteral("Enter address"), digits(), kMask, rules);
    }

private slots:
    void initTestCase()
    {
        applyStyleSheet();
        QCOMPARE(dialog()->objectName(), QStringLiteral("AddressEditDialog"));
        for (const char* name : { "ButtonUp", "ButtonDown", "ButtonLeft", "ButtonRight", "ButtonOk", "ButtonExit" })
            QVERIFY(button(QLatin1String(name)));
    }

    void arrowsAtTheEnds()
    {
        QList<bool> states;
        QString label;
        QCOMPARE(run(QStringLiteral("192.168.001.005"),
                     [&]() {
                         states << button(QStringLiteral("ButtonLeft"))->isEnabled()
                                << button(QStringLiteral("ButtonRight"))->isEnabled()
                                << button(QStringLiteral("ButtonDown"))->isEnabled()
                                << button(QStringLiteral("ButtonUp"))->isEnabled();
                         label = charShown();
                         screenshot(dialog(), QStringLiteral("AdressEditDialog"));
                         moveTo(14);
                         states << button(QStringLiteral("ButtonLeft"))->isEnabled()
                                << button(QStringLiteral("ButtonRight"))->isEnabled();
                         tap(button(QStringLiteral("ButtonOk")));
                     }),
            1);
        QCOMPARE(label, QStringLiteral("1"));
        QCOMPARE(states, (QList<bool> { false, true, true, true, true, false }));
        QCOMPARE(dialog()->text(), QStringLiteral("192.168.001.005"));
    }

    void hundredsStopAtTwo()
    {
        QStringList steps;
        QCOMPARE(run(QStringLiteral("100.000.000.000"),
                     [&]() {
                         steps << stepUp(1) << stepUp(1);
                         tap(button(QStringLiteral("ButtonOk")));
                     }),
            1);
        QCOMPARE(steps, (QStringList { "2", "2" }));
        QCOMPARE(dialog()->text(), QStringLiteral("200.000.000.000"));
    }

    void tensAndUnitsBelowTwoFiftyFive()
    {
        QStringList steps;
        QCOMPARE(run(QStringLiteral("240.000.000.000"),
                     [&]() {
                         moveTo(1);
                         steps << stepUp(3); // 4 -> 5, no further under a hundreds digit 2
                         moveTo(2);
                         steps << stepUp(9); // 250 .. 255
                         tap(button(QStringLiteral("ButtonOk")));
                     }),
            1);
        QCOMPARE(steps, (QStringList { "5", "5" }));
        QCOMPARE(dialog()->text(), QStringLiteral("255.000.000.000"));

        // Below 200 every digit is open.
        QCOMPARE(run(QStringLiteral("199.000.000.000"),
                     [&]() {
                         moveTo(2);
                         steps << stepUp(1);
                         moveTo(5);
                         steps << stepUp(3);
                         tap(button(QStringLiteral("ButtonOk")));
                     }),
            1);
        QCOMPARE(steps.mid(2), (QStringList { "9", "3" }));
        QCOMPARE(dialog()->text(), QStringLiteral("199.030.000.000"));
    }

    void raisingTheHundredsLastCanPass255()
    {
        // The rules only limit stepping up; the caller validates the result.
        QCOMPARE(run(QStringLiteral("199.000.000.000"),
                     [&]() {
                         stepUp(1);
                         tap(button(QStringLiteral("ButtonOk")));
                     }),
            1);
        QCOMPARE(dialog()->text(), QStringLiteral("299.000.000.000"));
    }

    void hardwareKeysStepTheOtherWayAndLeaveAtTheEnds()
    {
        QList<int> positions;
        QStringList chars;
        QCOMPARE(run(QStringLiteral("010.000.000.000"),
                     [&]() {
                         pressKey(dialog(), Qt::Key_Right);
                         pressKey(dialog(), Qt::Key_Up); // down the list: 1 -> 0
                         chars << charShown();
                         pressKey(dialog(), Qt::Key_Down); // up the list
                         pressKey(dialog(), Qt::Key_Down, true);
                         chars << charShown();
                         pressKey(dialog(), Qt::Key_Return); // Return walks right
                         positions << line()->cursorPosition();
                         pressKey(dialog(), Qt::Key_Escape); // Escape walks left
                         positions << line()->cursorPosition();
                         pressKey(dialog(), Qt::Key_Left);
                         positions << line()->cursorPosition();
                         pressKey(dialog(), Qt::Key_Left); // at position 0: leaves with 0
                     }),
            0);
        QCOMPARE(chars, (QStringList { "0", "2" }));
        QCOMPARE(positions, (QList<int> { 2, 1, 0 }));

        // Right on the last position confirms.
        QCOMPARE(run(QStringLiteral("010.000.000.000"),
                     [&]() {
                         for (int i = 0; i < 11; ++i)
                             pressKey(dialog(), Qt::Key_Right, true);
                         positions << line()->cursorPosition();
                         pressKey(dialog(), Qt::Key_Right);
                     }),
            1);
        QCOMPARE(positions.last(), 14);
    }

    void dotsAreSkipped()
    {
        QList<int> positions;
        run(QStringLiteral("001.002.003.004"), [&]() {
            for (int i = 0; i < 4; ++i) {
                tap(button(QStringLiteral("ButtonRight")));
                positions << line()->cursorPosition();
            }
            tap(button(QStringLiteral("ButtonExit")));
        });
        QCOMPARE(positions, (QList<int> { 1, 2, 4, 5 }));
    }

    void blankStepsUpToTheFirstCharacter()
    {
        QString first;
        bool downEnabled = true;
        QCOMPARE(run(QString(),
                     [&]() {
                         downEnabled = button(QStringLiteral("ButtonDown"))->isEnabled();
                         first = stepUp(1);
                         tap(button(QStringLiteral("ButtonOk")));
                     }),
            1);
        QVERIFY(!downEnabled);
        QCOMPARE(first, QStringLiteral("0"));
        QVERIFY(dialog()->text().startsWith(QLatin1Char('0')));
    }

    void withoutAddressRulesEveryCharacterIsReachable()
    {
        QCOMPARE(run(
                     QStringLiteral("900.000.000.000"),
                     [&]() {
                         QCOMPARE(stepUp(1), QStringLiteral("9")); // the last character: no further
                         QVERIFY(!button(QStringLiteral("ButtonUp"))->isEnabled());
                         tap(button(QStringLiteral("ButtonDown")));
                         tap(button(QStringLiteral("ButtonOk")));
                     },
                     false),
            1);
        QCOMPARE(dialog()->text(), QStringLiteral("800.000.000.000"));
    }

    void typedCharactersDoNotReachTheLine()
    {
        QCOMPARE(run(QStringLiteral("192.168.001.005"),
                     [&]() {
                         QTest::keyClicks(line(), QStringLiteral("77"));
                         tap(button(QStringLiteral("ButtonOk")));
                     }),
            1);
        QCOMPARE(dialog()->text(), QStringLiteral("192.168.001.005"));
    }
};

QTEST_MAIN(TestAdressEditDialog)
#include "tst_adresseditdialog.moc"
