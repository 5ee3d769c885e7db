#include "DialogDriver.h"

#include "dialogs/ValueEditDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <limits>

using namespace DialogDriver;

class TestValueEditDialog : public QObject {
    Q_OBJECT

private:
    ValueEditDialog* dialog() { return ValueEditDialog::instance(); }
    QPushButton* button(const QString& name) { return dialog()->findChild<QPushButton*>(name); }
    void typeDigits(const QString& digits)
    {
        for (QChar c : digits)
            tap(button(QStringLiteral("Button") + c));
    }
    QString shown() { return dialog()->findChild<QLineEdit*>(QStringLiteral("lineEditValue"))->text(); }
    QLabel* status() { return dialog()->findChild<QLabel*>(QStringLiteral("labelStatusBar")); }
    QListWidget* predefines() { return dialog()->findChild<QListWidget*>(QStringLiteral("listWidgetPredefines")); }
    void setLimits(int minimum, int maximum, int step)
    {
        dialog()->setMinimum(minimum);
        dialog()->setMaximum(maximum);
        dialog()->setStep(step);
    }

private slots:
    void initTestCase()
    {
        applyStyleSheet();
        for (const char* name : { "ButtonBack", "ButtonClear", "ButtonSign", "ButtonOk", "ButtonExit" })
            QVERIFY(button(QLatin1String(name)));
    }

    void freshNumberBackAndClear()
    {
        setLimits(150, 1000, 10);
        QStringList texts;
        whenShown(dialog(), [&]() {
            texts << shown();
            typeDigits(QStringLiteral("2")); // a fresh number
            texts << shown();
            typeDigits(QStringLiteral("5"));
            texts << shown();
            tap(button(QStringLiteral("ButtonBack")));
            texts << shown();
            tap(button(QStringLiteral("ButtonClear")));
            texts << shown();
            typeDigits(QStringLiteral("3")); // after clear the next digit starts anew
            typeDigits(QStringLiteral("00"));
            texts << shown();
            screenshot(dialog(), QStringLiteral("ValueEditDialog"));
            tap(button(QStringLiteral("ButtonOk")));
        });
        QCOMPARE(dialog()->exec(150, QStringLiteral("Enter start frequency"), QStringLiteral("MHz"), {}), 1);
        QCOMPARE(texts, (QStringList { "150MHz", "2MHz", "25MHz", "2MHz", "150MHz", "300MHz" }));
        QCOMPARE(dialog()->value(), 300);
    }

    void negativeNumbersAndTheSign()
    {
        setLimits(-100, 10, 10);
        QList<int> values;
        whenShown(dialog(), [&]() {
            tap(button(QStringLiteral("ButtonBack")));
            values << dialog()->value(); // -9, not a fresh number any more
            typeDigits(QStringLiteral("5"));
            values << dialog()->value();
            tap(button(QStringLiteral("ButtonSign")));
            values << dialog()->value();
            typeDigits(QStringLiteral("7")); // after the sign a new number begins
            values << dialog()->value();
            typeDigits(QStringLiteral("0"));
            tap(button(QStringLiteral("ButtonSign")));
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(-95, QStringLiteral("Enter minimum amplitude"), QStringLiteral("dBm"), {}), 1);
        QCOMPARE(values, (QList<int> { -9, -95, 95, 7, -70 }));
        QCOMPARE(dialog()->value(), -70);
    }

    void rangeMessageBlocksConfirmation()
    {
        setLimits(0, 1000, 10);
        QString message;
        QString style;
        bool okShown = true;
        bool openAfterReturn = false;
        QString promptBack;
        whenShown(dialog(), [&]() {
            typeDigits(QStringLiteral("1005"));
            message = status()->text();
            style = status()->styleSheet();
            okShown
                = button(QStringLiteral("ButtonOk"))->isVisible() || button(QStringLiteral("ButtonOk"))->isEnabled();
            screenshot(dialog(), QStringLiteral("ValueEditDialog_range"));
            pressKey(dialog(), Qt::Key_Return);
            QCoreApplication::processEvents();
            openAfterReturn = dialog()->isVisible();
            tap(button(QStringLiteral("ButtonBack")));
            promptBack = status()->text();
            tap(button(QStringLiteral("ButtonExit")));
        });
        QCOMPARE(dialog()->exec(500, QStringLiteral("Enter value"), QString(), {}), 0);
        QCOMPARE(message, QStringLiteral("0 <= value <= 1000"));
        QCOMPARE(style, QStringLiteral("color:red;"));
        QVERIFY(!okShown);
        QVERIFY(openAfterReturn);
        QCOMPARE(promptBack, QStringLiteral("Enter value"));
    }

    void hardwareKeysStepToMultiples()
    {
        setLimits(-100, 1000, 10);
        QList<int> values;
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Down);
            values << dialog()->value(); // 153 -> 160
            pressKey(dialog(), Qt::Key_Down, true);
            values << dialog()->value(); // 170
            typeDigits(QStringLiteral("153")); // stepping made the next digit start anew
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Up);
            values << dialog()->value(); // 150
            pressKey(dialog(), Qt::Key_Up, true);
            values << dialog()->value(); // 140
            tap(button(QStringLiteral("ButtonExit")));
        });
        dialog()->exec(153, QStringLiteral("Enter value"), QString(), {});
        QCOMPARE(values, (QList<int> { 160, 170, 153, 150, 140 }));

        values.clear();
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Up);
            values << dialog()->value(); // -95 -> -100
            tap(button(QStringLiteral("ButtonClear")));
            pressKey(dialog(), Qt::Key_Down);
            values << dialog()->value(); // -95 -> -90
            tap(button(QStringLiteral("ButtonClear")));
            for (int i = 0; i < 3; ++i)
                pressKey(dialog(), Qt::Key_Up, true); // held at the minimum
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(dialog()->exec(-95, QStringLiteral("Enter value"), QString(), {}), 0);
        QCOMPARE(values, (QList<int> { -100, -90, -100 }));
    }

    void steppingStopsAtTheMaximum()
    {
        setLimits(1, 80, 1);
        QList<int> values;
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Down);
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Down, true);
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(79, QStringLiteral("Enter gating time"), QStringLiteral("ms"), {}), 1);
        QCOMPARE(values, (QList<int> { 80, 80 }));
    }

    void predefinedValues()
    {
        setLimits(20, 300, 5);
        bool listShown = false;
        QStringList rows;
        int value = 0;
        int currentRow = 0;
        whenShown(dialog(), [&]() {
            listShown = predefines()->isVisible();
            for (int i = 0; i < predefines()->count(); ++i)
                rows << predefines()->item(i)->text();
            screenshot(dialog(), QStringLiteral("ValueEditDialog_predefines"));
            tap(predefines(), predefines()->item(1));
            value = dialog()->value();
            currentRow = predefines()->currentRow();
            tap(button(QStringLiteral("ButtonOk")));
        });
        QCOMPARE(dialog()->exec(100, QStringLiteral("Enter sweep rate"), QStringLiteral("Hz"),
                     { { 50, QStringLiteral("50 Hz") }, { 60, QStringLiteral("60 Hz") } }),
            1);
        QVERIFY(listShown);
        QCOMPARE(rows, (QStringList { "50 Hz", "60 Hz" }));
        QCOMPARE(value, 60);
        QCOMPARE(currentRow, -1);
        QCOMPARE(dialog()->value(), 60);

        // Without predefined values the list is hidden.
        whenShown(dialog(), [&]() {
            listShown = predefines()->isVisible();
            pressKey(dialog(), Qt::Key_Escape);
        });
        dialog()->exec(100, QStringLiteral("Enter sweep rate"), QStringLiteral("Hz"), {});
        QVERIFY(!listShown);
    }

    void longNumbersDoNotOverflow()
    {
        setLimits(0, 9999999, 1);
        QList<int> values;
        whenShown(dialog(), [&]() {
            typeDigits(QStringLiteral("99999999999999"));
            values << dialog()->value();
            tap(button(QStringLiteral("ButtonSign")));
            values << dialog()->value();
            typeDigits(QStringLiteral("0"));
            tap(button(QStringLiteral("ButtonSign")));
            typeDigits(QStringLiteral("99999999999999"));
            tap(button(QStringLiteral("ButtonExit")));
        });
        dialog()->exec(0, QStringLiteral("Enter code"), QString(), {});
        QCOMPARE(values, (QList<int> { 999999999, -999999999 }));
        QCOMPARE(dialog()->value(), 999999999);
    }

    void gatingTimeUsesTheSettingsLimits()
    {
        QString text;
        QString message;
        whenShown(dialog(), [&]() {
            text = shown();
            typeDigits(QStringLiteral("81"));
            message = status()->text();
            tap(button(QStringLiteral("ButtonBack")));
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(ValueEditDialog::getGatingTime(20, QStringLiteral("Enter gating time")), 1);
        QCOMPARE(text, QStringLiteral("20ms"));
        QCOMPARE(message, QStringLiteral("1 <= value <= 80"));
        QCOMPARE(dialog()->value(), 8);

        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Up, true);
            message = status()->text();
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(
            ValueEditDialog::getValue(5, Configuration::VT_Threshold1, 1, QStringLiteral("Enter threshold"), QString()),
            1);
        QCOMPARE(dialog()->value(), 4);
        QCOMPARE(message, QStringLiteral("Enter threshold"));
    }
};

QTEST_MAIN(TestValueEditDialog)
#include "tst_valueeditdialog.moc"
