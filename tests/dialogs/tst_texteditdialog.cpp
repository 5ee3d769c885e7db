#include "DialogDriver.h"

#include "dialogs/TextEditDialog.h"
#include "dialogs/TextEditEventFilter.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace DialogDriver;

class TestTextEditDialog : public QObject {
    Q_OBJECT

private:
    TextEditDialog* dialog() { return TextEditDialog::instance(); }
    QPushButton* button(const QString& name) { return dialog()->findChild<QPushButton*>(name); }
    QPushButton* charButton(QChar c)
    {
        for (int i = 0; i < 26; ++i) {
            QPushButton* b = button(QStringLiteral("Button%1").arg(i));
            if (b->text() == QString(c))
                return b;
        }
        return nullptr;
    }
    // Types a word on the on-screen keys, switching the character set as needed.
    void type(const QString& word)
    {
        for (QChar c : word) {
            QPushButton* key = charButton(c);
            if (key == nullptr) {
                if (c.isDigit())
                    tap(button(QStringLiteral("ButtonNumbers")));
                else if (c == QLatin1Char('_') || c == QLatin1Char('-'))
                    tap(button(QStringLiteral("ButtonSymbols")));
                else {
                    tap(button(QStringLiteral("ButtonChars")));
                    if (charButton(c) == nullptr)
                        tap(button(QStringLiteral("ButtonChars")));
                }
                key = charButton(c);
            }
            QVERIFY2(key != nullptr, qPrintable(QStringLiteral("no key for %1").arg(c)));
            tap(key);
        }
    }
    QLineEdit* line() { return dialog()->findChild<QLineEdit*>(QStringLiteral("lineEditText")); }
    QLabel* status() { return dialog()->findChild<QLabel*>(QStringLiteral("labelStatusBar")); }

private slots:
    void initTestCase()
    {
        applyStyleSheet();
        for (int i = 0; i < 26; ++i)
            QVERIFY(button(QStringLiteral("Button%1").arg(i)));
        for (const char* name :
            { "ButtonBack", "ButtonOk", "ButtonExit", "ButtonSymbols", "ButtonChars", "ButtonNumbers" })
            QVERIFY(button(QLatin1String(name)));
    }

    void typingAFolderName()
    {
        int cursorAtOpen = -1;
        whenShown(dialog(), [&]() {
            cursorAtOpen = line()->cursorPosition();
            line()->end(false);
            type(QStringLiteral("_Ab-3"));
            screenshot(dialog(), QStringLiteral("TextEditDialog"));
            tap(button(QStringLiteral("ButtonOk")));
        });
        QCOMPARE(dialog()->exec(QStringLiteral("Folder"), QStringLiteral("Edit folder name"), 20), 1);
        QCOMPARE(cursorAtOpen, 0);
        QCOMPARE(dialog()->text(), QStringLiteral("Folder_Ab-3"));
    }

    void characterSets()
    {
        QStringList firstKeys;
        QStringList charsLabels;
        bool blankDisabled = true;
        whenShown(dialog(), [&]() {
            firstKeys << button(QStringLiteral("Button0"))->text() + button(QStringLiteral("Button25"))->text();
            charsLabels << button(QStringLiteral("ButtonChars"))->text();
            tap(button(QStringLiteral("ButtonChars")));
            firstKeys << button(QStringLiteral("Button0"))->text() + button(QStringLiteral("Button25"))->text();
            charsLabels << button(QStringLiteral("ButtonChars"))->text();
            tap(button(QStringLiteral("ButtonNumbers")));
            firstKeys << button(QStringLiteral("Button0"))->text() + button(QStringLiteral("Button9"))->text();
            for (int i = 10; i < 26; ++i) {
                QPushButton* b = button(QStringLiteral("Button%1").arg(i));
                blankDisabled = blankDisabled && b->text().isEmpty() && !b->isEnabled();
            }
            charsLabels << button(QStringLiteral("ButtonChars"))->text();
            screenshot(dialog(), QStringLiteral("TextEditDialog_digits"));
            tap(button(QStringLiteral("ButtonSymbols")));
            firstKeys << button(QStringLiteral("Button0"))->text() + button(QStringLiteral("Button1"))->text();
            blankDisabled = blankDisabled && !button(QStringLiteral("Button2"))->isEnabled();
            // From digits or symbols the letter key brings the lower case back.
            tap(button(QStringLiteral("ButtonChars")));
            firstKeys << button(QStringLiteral("Button0"))->text() + button(QStringLiteral("Button25"))->text();
            tap(button(QStringLiteral("ButtonExit")));
        });
        QCOMPARE(dialog()->exec(QStringLiteral("x"), QStringLiteral("Edit folder name"), 20), 0);
        QCOMPARE(firstKeys, (QStringList { "az", "AZ", "09", "_-", "az" }));
        QCOMPARE(charsLabels, (QStringList { "ABC", "abc", "abc" }));
        QVERIFY(blankDisabled);
    }

    void lengthLimit()
    {
        whenShown(dialog(), [&]() {
            line()->end(false);
            type(QStringLiteral("xyz"));
            tap(button(QStringLiteral("ButtonOk")));
        });
        QCOMPARE(dialog()->exec(QStringLiteral("abcdefghijklmnopqr"), QStringLiteral("Edit folder name"), 20), 1);
        QCOMPARE(dialog()->text(), QStringLiteral("abcdefghijklmnopqrxy"));

        whenShown(dialog(), [&]() {
            type(QStringLiteral("a"));
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(QStringLiteral("Curve1"), QStringLiteral("Edit curve name"), 10), 1);
        QCOMPARE(dialog()->text(), QStringLiteral("aCurve1"));
    }

    void emptyTextCannotBeConfirmed()
    {
        bool okShownBefore = false;
        bool okShownEmpty = true;
        QString emptyMessage;
        QString emptyStyle;
        bool openAfterReturn = false;
        QString promptAgain;
        whenShown(dialog(), [&]() {
            okShownBefore = button(QStringLiteral("ButtonOk"))->isVisible();
            line()->end(false);
            tap(button(QStringLiteral("ButtonBack")));
            tap(button(QStringLiteral("ButtonBack")));
            okShownEmpty
                = button(QStringLiteral("ButtonOk"))->isVisible() || button(QStringLiteral("ButtonOk"))->isEnabled();
            emptyMessage = status()->text();
            emptyStyle = status()->styleSheet();
            screenshot(dialog(), QStringLiteral("TextEditDialog_empty"));
            pressKey(dialog(), Qt::Key_Return);
            QCoreApplication::processEvents();
            openAfterReturn = dialog()->isVisible();
            type(QStringLiteral("q"));
            promptAgain = status()->text();
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(dialog()->exec(QStringLiteral("ab"), QStringLiteral("Edit folder name"), 20), 0);
        QVERIFY(okShownBefore);
        QVERIFY(!okShownEmpty);
        QCOMPARE(emptyMessage, QStringLiteral("Empty text is not allowed"));
        QCOMPARE(emptyStyle, QStringLiteral("color:red;"));
        QVERIFY(openAfterReturn);
        QCOMPARE(promptAgain, QStringLiteral("Edit folder name"));
    }

    void hardwareKeysMoveTheCursor()
    {
        QList<int> positions;
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Down);
            pressKey(dialog(), Qt::Key_Down, true);
            pressKey(dialog(), Qt::Key_Down, true);
            positions << line()->cursorPosition();
            pressKey(dialog(), Qt::Key_Up);
            positions << line()->cursorPosition();
            type(QStringLiteral("X"));
            pressKey(dialog(), Qt::Key_Up, true);
            pressKey(dialog(), Qt::Key_Up, true);
            pressKey(dialog(), Qt::Key_Up, true);
            pressKey(dialog(), Qt::Key_Up, true); // stops at the start
            positions << line()->cursorPosition();
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(QStringLiteral("abcd"), QStringLiteral("Edit curve name"), 10), 1);
        QCOMPARE(positions, (QList<int> { 3, 2, 0 }));
        QCOMPARE(dialog()->text(), QStringLiteral("abXcd"));
    }

    void keyboardTypesOnlyNameCharacters()
    {
        whenShown(dialog(), [&]() {
            line()->end(false);
            QTest::keyClicks(line(), QStringLiteral("/.. x"));
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(QStringLiteral("ab"), QStringLiteral("Edit folder name"), 20), 1);
        QCOMPARE(dialog()->text(), QStringLiteral("abx"));
    }

    void filterPassesOtherEvents()
    {
        QLineEdit edit;
        edit.setText(QStringLiteral("abc"));
        edit.setCursorPosition(1);
        TextEditEventFilter filter;
        edit.installEventFilter(&filter);
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QVERIFY(filter.eventFilter(&edit, &up));
        QCOMPARE(edit.cursorPosition(), 0);
        QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QVERIFY(!filter.eventFilter(&edit, &other));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
        QVERIFY(!filter.eventFilter(&edit, &release));
        QCOMPARE(edit.cursorPosition(), 0);
    }
};

QTEST_MAIN(TestTextEditDialog)
#include "tst_texteditdialog.moc"
