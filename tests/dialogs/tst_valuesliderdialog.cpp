#include "DialogDriver.h"

#include "dialogs/ValueSliderDialog.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

using namespace DialogDriver;

class TestValueSliderDialog : public QObject {
    Q_OBJECT

private:
    ValueSliderDialog* dialog() { return ValueSliderDialog::instance(); }
    QSlider* slider() { return dialog()->findChild<QSlider*>(QStringLiteral("Slider")); }
    QPushButton* exitButton() { return dialog()->findChild<QPushButton*>(QStringLiteral("pushButtonExit")); }
    QString shown() { return dialog()->findChild<QLabel*>(QStringLiteral("valueLabel"))->text(); }
    QString prompt() { return dialog()->findChild<QLabel*>(QStringLiteral("labelStatusBar"))->text(); }
    QPoint handleCentre()
    {
        QStyleOptionSlider option;
        option.initFrom(slider());
        option.orientation = slider()->orientation();
        option.minimum = slider()->minimum();
        option.maximum = slider()->maximum();
        option.sliderPosition = slider()->sliderPosition();
        option.sliderValue = slider()->value();
        return slider()
            ->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider())
            .center();
    }

private slots:
    void initTestCase()
    {
        applyStyleSheet();
        QVERIFY(slider() && exitButton());
    }

    void percentDisplay()
    {
        dialog()->setRange(0, 200);
        QStringList texts;
        QString shownPrompt;
        whenShown(dialog(), [&]() {
            texts << shown();
            shownPrompt = prompt();
            slider()->setValue(200);
            texts << shown();
            slider()->setValue(3);
            texts << shown();
            slider()->setValue(150);
            screenshot(dialog(), QStringLiteral("ValueSliderDialog"));
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(50, QStringLiteral("Adjust brightness"), QStringLiteral("%"), false), 1);
        QCOMPARE(texts, (QStringList { "25 %", "100 %", "1 %" }));
        QCOMPARE(shownPrompt, QStringLiteral("Adjust brightness"));
        QCOMPARE(dialog()->value(), 150);
    }

    void numberWithUnit()
    {
        dialog()->setRange(0, 100);
        QString text;
        whenShown(dialog(), [&]() {
            text = shown();
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(dialog()->exec(42, QStringLiteral("Adjust volume"), QStringLiteral("dB"), true), 0);
        QCOMPARE(text, QStringLiteral("42 dB"));
    }

    void keysStepByOneAndByTenWhileHeld()
    {
        dialog()->setRange(0, 100);
        QSignalSpy changes(dialog(), &ValueSliderDialog::valueChanged);
        QList<int> values;
        whenShown(dialog(), [&]() {
            changes.clear();
            pressKey(dialog(), Qt::Key_Down); // the first press
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Down, true); // the repeats of a held key
            pressKey(dialog(), Qt::Key_Down, true);
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Up);
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Up, true);
            values << dialog()->value();
            for (int i = 0; i < 8; ++i)
                pressKey(dialog(), Qt::Key_Up, true); // stops at the minimum
            values << dialog()->value();
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(50, QStringLiteral("Adjust volume"), QStringLiteral("%"), true), 1);
        QCOMPARE(values, (QList<int> { 51, 71, 70, 60, 0 }));
        // Every change reached the listeners live.
        QVERIFY(changes.count() >= 5);
        QCOMPARE(changes.last().at(0).toInt(), 0);
    }

    void exitAcceptsWhenAsked()
    {
        dialog()->setRange(5, 100);
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Down);
            tap(exitButton());
        });
        QCOMPARE(dialog()->exec(75, QStringLiteral("Adjust brightness"), QStringLiteral("%"), true), 1);
        QCOMPARE(dialog()->value(), 76);

        // Otherwise exit cancels ...
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Down);
            tap(exitButton());
        });
        QCOMPARE(dialog()->exec(75, QStringLiteral("Adjust brightness"), QStringLiteral("%"), false), 0);

        // ... and letting go of the slider confirms at once.
        bool openWhileDragging = false;
        whenShown(dialog(), [&]() {
            const QPoint start = handleCentre();
            QTest::mousePress(slider(), Qt::LeftButton, Qt::NoModifier, start);
            // A drag: the move carries the held button (QTest::mouseMove does not).
            QMouseEvent move(QEvent::MouseMove, start + QPoint(40, 0), slider()->mapToGlobal(start + QPoint(40, 0)),
                Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(slider(), &move);
            openWhileDragging = dialog()->isVisible();
            QTest::mouseRelease(slider(), Qt::LeftButton, Qt::NoModifier, start + QPoint(40, 0));
        });
        QCOMPARE(dialog()->exec(20, QStringLiteral("Adjust brightness"), QStringLiteral("%"), false), 1);
        QVERIFY(openWhileDragging);
        QVERIFY(dialog()->value() > 20);

        // With exitAccepts the release alone does not close the dialog.
        bool openAfterRelease = false;
        whenShown(dialog(), [&]() {
            const QPoint start = handleCentre();
            QTest::mousePress(slider(), Qt::LeftButton, Qt::NoModifier, start);
            QTest::mouseRelease(slider(), Qt::LeftButton, Qt::NoModifier, start);
            QCoreApplication::processEvents();
            openAfterRelease = dialog()->isVisible();
            tap(exitButton());
        });
        QCOMPARE(dialog()->exec(20, QStringLiteral("Adjust brightness"), QStringLiteral("%"), true), 1);
        QVERIFY(openAfterRelease);
    }

    void rangeEndingAtZeroShowsZeroPercent()
    {
        dialog()->setRange(-10, 0);
        QString text;
        whenShown(dialog(), [&]() {
            text = shown();
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(dialog()->exec(-5, QStringLiteral("Adjust"), QStringLiteral("%"), true), 0);
        QCOMPARE(text, QStringLiteral("0 %"));
    }
};

QTEST_MAIN(TestValueSliderDialog)
#include "tst_valuesliderdialog.moc"
