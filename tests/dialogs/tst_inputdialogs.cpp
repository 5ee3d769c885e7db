// The touch input dialogs, driven as the operator does: taps on the on-screen buttons and the
// hardware keys (Up, Down, Return, Escape; held keys repeat). Each table row is a script for
// DialogDriver::run; "?" notes what the dialog shows at that moment.
#include "DialogDriver.h"
#include "common/TestRoot.h"
#include "dialogs/AdressEditDialog.h"
#include "dialogs/DateTimeEditDialog.h"
#include "dialogs/StoreRecallDialog.h"
#include "dialogs/TextEditDialog.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "dialogs/ValueSliderDialog.h"
#include "util/LanguageManager.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTimeEdit>
#include <QtTest>

using namespace DialogDriver;
using Option = ValueSelectDialog::Option;
using Selector = int (*)(int current, const QString& prompt);
Q_DECLARE_METATYPE(Selector)

class TestInputDialogs : public QObject
{
    Q_OBJECT

    // A refused entry: the status line in red in place of the prompt, and no OK button.
    static QString refusal(QDialog* dialog)
    {
        auto* ok = dialog->findChild<QPushButton*>("ButtonOk");
        auto* status = dialog->findChild<QLabel*>("labelStatusBar");
        if (ok->isVisible() || ok->isEnabled())
            return QString();
        return status->styleSheet() == "color:red;" ? " [" + status->text() + "]" : " [not red]";
    }

    ValueEditDialog* valueEdit() { return ValueEditDialog::instance(); }
    QString editShown() { return valueEdit()->findChild<QLineEdit*>("lineEditValue")->text() + refusal(valueEdit()); }

    ValueSelectDialog* valueSelect() { return ValueSelectDialog::instance(); }
    QListWidget* list() { return valueSelect()->findChild<QListWidget*>("ListWidget"); }
    QPushButton* button(const char* name) { return valueSelect()->findChild<QPushButton*>(name); }
    // Options "Option 0", "Option 1", ... with the values given; "1-": one that cannot be chosen.
    static ValueSelectDialog::Options numbered(const QString& values)
    {
        ValueSelectDialog::Options options;
        for (const QString& value : values.split(' ')) {
            options << new Option(QStringLiteral("Option %1").arg(options.size()), QString(value).remove('-').toInt());
            options.last()->setSelectable(!value.endsWith('-'));
        }
        return options;
    }

    ValueSliderDialog* sliderDialog() { return ValueSliderDialog::instance(); }
    QSlider* slider() { return sliderDialog()->findChild<QSlider*>("Slider"); }
    // Drags the slider's handle past the right end and lets go there.
    void dragToTheEnd()
    {
        QStyleOptionSlider option;
        option.initFrom(slider());
        option.orientation = slider()->orientation();
        option.minimum = slider()->minimum();
        option.maximum = slider()->maximum();
        option.sliderPosition = option.sliderValue = slider()->value();
        const QPoint start
            = slider()->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider()).center();
        const QPoint end = start + QPoint(slider()->width(), 0);
        QTest::mousePress(slider(), Qt::LeftButton, Qt::NoModifier, start);
        // The move carries the held button (QTest::mouseMove does not).
        QMouseEvent move(QEvent::MouseMove, end, slider()->mapToGlobal(end), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(slider(), &move);
        QTest::mouseRelease(slider(), Qt::LeftButton, Qt::NoModifier, end);
    }

    TextEditDialog* textEdit() { return TextEditDialog::instance(); }
    QLineEdit* line() { return textEdit()->findChild<QLineEdit*>("lineEditText"); }
    QPushButton* key(QChar c)
    {
        for (auto* b : textEdit()->findChildren<QPushButton*>())
            if (b->isVisible() && b->isEnabled() && b->text() == QString(c))
                return b;
        return nullptr;
    }
    // "$word" types the word on the on-screen keys, switching the character set as needed;
    // "End" moves the cursor to the end; "keyboard" types "/.. x" on a keyboard.
    void other(const QString& token)
    {
        if (token == "End")
            return line()->end(false);
        if (token == "keyboard")
            return QTest::keyClicks(line(), "/.. x");
        const auto set = [this](const char* name) { tap(textEdit()->findChild<QPushButton*>(name)); };
        for (QChar c : token.mid(1)) {
            if (!key(c) && c.isDigit())
                set("ButtonNumbers");
            else if (!key(c) && (c == '_' || c == '-'))
                set("ButtonSymbols");
            for (int i = 0; i < 2 && !key(c); ++i)
                set("ButtonChars");
            QVERIFY2(key(c), qPrintable(QString("no key for ") + c));
            tap(key(c));
        }
    }

    AdressEditDialog* addressEdit() { return AdressEditDialog::instance(); }

    DateTimeEditDialog* dateTimeEdit() { return DateTimeEditDialog::instance(); }
    // A tap on the time's arrows ("up" at the right, "down" at the left) or on its "seconds".
    void touchTime(const QString& token)
    {
        auto* time = dateTimeEdit()->findChild<QTimeEdit*>("timeEdit");
        QLineEdit* edit = time->findChild<QLineEdit*>();
        const QPoint arrow(token == "up" ? time->width() - 29 : 29, time->height() / 2);
        if (token != "seconds")
            return QTest::mouseClick(time, Qt::LeftButton, Qt::NoModifier, arrow);
        int x = 0; // the first point whose cursor position is past "hh:mm:"
        while (x < edit->width() && edit->cursorPositionAt(QPoint(x, edit->height() / 2)) < 7)
            ++x;
        QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(x, edit->height() / 2));
    }

    // Plays the row's "script" on dialog, noting shown() at each "?", and checks the row's
    // "result" and "probes".
    void playRow(QDialog* dialog, const std::function<int()>& exec, const std::function<QString()>& shown,
                 const std::function<void(const QString&)>& other = {})
    {
        QFETCH(QString, script);
        QStringList probes;
        QTEST(run(dialog, script, exec, [&] { probes << shown(); }, other), "result");
        QTEST(probes, "probes");
    }

private slots:
    void initTestCase() { applyStyleSheet(); }

    void entries_data()
    {
        QTest::addColumn<QList<int>>("limits"); // minimum, maximum, step, start value
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("probes");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("value");
        QTest::newRow("fresh number, back and clear")
            << QList<int> {150, 1000, 10, 150} << "MHz"
            << "? @Button2 ? @Button5 ? @ButtonBack ? @ButtonClear ? @Button3 @Button0 @Button0 ? @ButtonOk"
            << QStringList {"150MHz", "2MHz [150 <= value <= 1000]", "25MHz [150 <= value <= 1000]",
                            "2MHz [150 <= value <= 1000]", "150MHz", "300MHz"}
            << 1 << 300;
        QTest::newRow("sign starts a new number") << QList<int> {-100, 10, 10, -95} << ""
                                                  << "@ButtonBack ? @Button5 ? @ButtonSign ? @Button7 ? @Button0 @ButtonSign ? Return"
                                                  << QStringList {"-9", "-95", "95 [-100 <= value <= 10]", "7", "-70"} << 1 << -70;
        QTest::newRow("keys step to multiples and stop at the ends")
            << QList<int> {-100, -80, 10, -95} << ""
            << "Up ? @ButtonClear Down ? Down* ? Down* ? @Button8 @Button3 @ButtonSign ? Up ? Up* ? Up* ? Escape"
            << QStringList {"-100", "-90", "-80", "-80", "-83", "-90", "-100", "-100"} << 0 << -100;
        const QString nines = QString("@Button9 ").repeated(14);
        QTest::newRow("long numbers do not overflow, out of range is not confirmed")
            << QList<int> {0, 9999999, 1, 0} << ""
            << nines + "? Return @ButtonSign ? @Button0 @ButtonSign " + nines + "@ButtonExit"
            << QStringList {"999999999 [0 <= value <= 9999999]", "-999999999 [0 <= value <= 9999999]"}
            << 0 << 999999999;
    }
    void entries()
    {
        QFETCH(QList<int>, limits);
        QFETCH(QString, unit);
        valueEdit()->setMinimum(limits[0]);
        valueEdit()->setMaximum(limits[1]);
        valueEdit()->setStep(limits[2]);
        playRow(valueEdit(), [&] { return valueEdit()->exec(limits[3], "Enter value", unit, {}); },
                [this] { return editShown(); });
        QTEST(valueEdit()->value(), "value");
    }

    // Predefined values show in a list beside the keypad (none: no list); the gating time takes
    // its limits from the settings.
    void predefinedValuesAndSettingsLimits()
    {
        valueEdit()->setMinimum(20);
        valueEdit()->setMaximum(300);
        auto* list = valueEdit()->findChild<QListWidget*>("listWidgetPredefines");
        QStringList shown;
        const auto probe = [&] {
            for (int i = 0; i < list->count(); ++i)
                shown << list->item(i)->text();
            shown << QString(list->isVisible() ? "list, " : "") + editShown();
        };
        QCOMPARE(run(valueEdit(), "#1 ? @ButtonOk",
                     [&] { return valueEdit()->exec(100, "Rate", "Hz", {{50, "50 Hz"}, {60, "60 Hz"}}); }, probe),
                 1);
        QCOMPARE(run(valueEdit(), "? Escape", [&] { return valueEdit()->exec(100, "Rate", "Hz", {}); }, probe), 0);
        QCOMPARE(run(valueEdit(), "@Button8 @Button1 ? @ButtonBack Return",
                     [] { return ValueEditDialog::getGatingTime(20, "Enter gating time"); }, probe),
                 1);
        QCOMPARE(shown, QStringList({"50 Hz", "60 Hz", "list, 60Hz", "100Hz", "81ms [1 <= value <= 80]"}));
        QCOMPARE(valueEdit()->value(), 8);
    }

    void choosing_data()
    {
        QTest::addColumn<QString>("options"); // their values
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("probes"); // the current row
        QTest::addColumn<int>("result");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("tap") << "0 1 2 3" << 0 << "#2" << QStringList() << 1 << QVariant(2);
        QTest::newRow("no match starts on the first row")
            << "0 1 2" << 77 << "? Return" << QStringList {"0"} << 1 << QVariant(0);
        QTest::newRow("keys move, stop at the ends") << "0 1 2 3" << 0 << "Up ? Down Down* Down* Down* ? Up* ? Return"
                                                     << QStringList {"0", "3", "2"} << 1 << QVariant(2);
        QTest::newRow("escape keeps the value") << "0 1 2" << 0 << "Down Escape" << QStringList() << 0 << QVariant(2);
        QTest::newRow("exit") << "0 1 2" << 1 << "@pushButtonExit" << QStringList() << 0
                              << QVariant(ValueSelectDialog::VALUE_EXIT);
        QTest::newRow("of two options with one value the later is current")
            << "0 1 2 3 2" << 2 << "? Escape" << QStringList {"4"} << 0 << QVariant(ValueSelectDialog::VALUE_EXIT);
        QTest::newRow("one that cannot be chosen ignores taps and Return")
            << "0 1- 2" << 1 << "#1 Return ? Down Return" << QStringList {"1"} << 1 << QVariant(2);
    }
    void choosing()
    {
        QFETCH(QString, options);
        QFETCH(int, current);
        QSignalSpy clicked(valueSelect(), &ValueSelectDialog::optionClicked);
        playRow(valueSelect(), [&] { return valueSelect()->exec(current, "Pick", numbered(options), true, false); },
                [this] { return QString::number(list()->currentRow()); });
        QTEST(valueSelect()->value(), "value");
        QTEST(clicked.count(), "result"); // a choice is announced, leaving is not
    }

    // A caller that hands the same option objects in again keeps them; check boxes keep the
    // dialog open; the custom button has its own result.
    void optionKinds()
    {
        ValueSelectDialog::Options options = numbered("0 1 2");
        const auto exec = [&] { return valueSelect()->exec(0, "Pick", options, true, false); };
        QCOMPARE(run(valueSelect(), "#1", exec), 1);
        QCOMPARE(run(valueSelect(), "#2", exec), 1);
        QCOMPARE(list()->count(), 3);
        // The caller toggles a check box in its handler, as the trace selection does.
        options = {new Option("Maximum", 0, true, false), new Option("Average", 1, false, false)};
        QMetaObject::Connection toggle = connect(valueSelect(), &ValueSelectDialog::optionClicked,
                                                 [](Option* option) { option->setChecked(!option->isChecked()); });
        bool checked = false;
        QCOMPARE(run(valueSelect(), "#1 ? @pushButtonExit", [&] { return valueSelect()->exec(-1, "Select trace", options, true, false); },
                     [&] { checked = list()->isVisible() && static_cast<Option*>(list()->item(1))->isChecked(); }),
                 0);
        disconnect(toggle);
        QVERIFY(checked);
        QSignalSpy custom(valueSelect(), &ValueSelectDialog::customButtonClicked);
        QCOMPARE(run(valueSelect(), "@pushButtonCustom",
                     [&] { return valueSelect()->exec(0, "Pick", numbered("0 1"), true, true); }),
                 1);
        QCOMPARE(valueSelect()->value(), QVariant(ValueSelectDialog::VALUE_CUSTOM));
        QCOMPARE(custom.count(), 1);
    }

    // Five rows show and a longer list scrolls; the dialog is centred on the main window (a
    // stand-in: the real one brings up the acquisition hardware).
    void layout()
    {
        QWidget mainWindow;
        mainWindow.setObjectName("MainWindow");
        mainWindow.setGeometry(40, 30, 640, 480);
        mainWindow.show();
        for (const char* values : {"0 1 2 3 4", "0 1 2 3 4 5 6"}) {
            run(valueSelect(), "?", [&] { return valueSelect()->exec(0, "Pick", numbered(values), true, false); }, [&] {
                const int rowHeight = list()->sizeHintForRow(0);
                QCOMPARE((list()->viewport()->height() + rowHeight / 2) / rowHeight, 5);
                QCOMPARE(list()->verticalScrollBar()->isVisible(), list()->count() > 5);
                const QRect g = valueSelect()->geometry();
                QCOMPARE(g.topLeft(), QPoint(40 + (640 - g.width()) / 2, 30 + (480 - g.height()) / 2));
            });
        }
    }

    // The ready-made selectors: the stored value is checked and current, and each row gives its
    // value (a yes/no question has no exit); none offers the custom button.
    void readyMadeSelectors_data()
    {
        QTest::addColumn<Selector>("selector");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("shown"); // the values, the checked one in brackets, ">": the current row
        QTest::addColumn<QVariant>("value"); // after Down and Return
        using V = ValueSelectDialog;
        QTest::newRow("resolution") << &V::selectResolution << 2 << "1 >[2] 3 exit" << QVariant(3);
        QTest::newRow("persistency") << &V::selectPersistency << 0 << "1 50 100 >[0] exit" << QVariant(0);
        QTest::newRow("on/off: any non-zero is on") << &V::selectOnOff << 7 << "0 >[1] exit" << QVariant(1);
        QTest::newRow("yes/no") << &V::selectYesNo << 0 << ">[0] 1" << QVariant(1);
    }
    void readyMadeSelectors()
    {
        QFETCH(Selector, selector);
        QFETCH(int, current);
        QStringList shown;
        const auto probe = [&] {
            for (int i = 0; i < list()->count(); ++i) {
                auto* option = static_cast<Option*>(list()->item(i));
                const QString value = option->value().toString();
                shown << (i == list()->currentRow() ? ">" : "") + (option->isChecked() ? "[" + value + "]" : value);
            }
            shown << (button("pushButtonExit")->isVisible() ? "exit" : "");
            shown << (button("pushButtonCustom")->isVisible() ? "custom" : "");
        };
        QCOMPARE(run(valueSelect(), "? Down* Return", [&] { return selector(current, "Pick"); }, probe), 1);
        QTEST(shown.join(' ').trimmed(), "shown");
        QTEST(valueSelect()->value(), "value");
    }

    void languages()
    {
        TestRoot root;
        QVERIFY(root.writeFile("/usr/lib/language/corvane_en.cfg", "name=English\nnative=English\n"));
        QVERIFY(root.writeFile("/usr/lib/language/corvane_de.cfg", "name=German\nnative=Deutsch\nfont=DejaVu Serif\n"));
        QVERIFY(root.writeFile("/usr/lib/language/corvane_de.qm", "stand-in"));
        LanguageManager::instance()->reloadLanguages();
        QStringList shown; // code=label, ">": the current row, and the font where it is the language's own
        const auto probe = [&] {
            for (int i = 0; i < list()->count(); ++i) {
                auto* option = static_cast<Option*>(list()->item(i));
                shown << (i == list()->currentRow() ? ">" : "") + option->value().toString() + "=" + option->text();
                shown.last() += option->font().family() == "DejaVu Serif" ? " in DejaVu Serif" : "";
            }
            shown.sort();
            for (QListWidgetItem* english : list()->findItems("English", Qt::MatchExactly))
                tap(list(), english);
        };
        const auto exec = [] { return ValueSelectDialog::selectLanguage("de", "Select language"); };
        QCOMPARE(run(valueSelect(), "?", exec, probe), 1);
        QCOMPARE(shown, QStringList({">de=Deutsch in DejaVu Serif", "en=English"}));
        QCOMPARE(valueSelect()->value(), QVariant("en"));
    }

    // Keys step one per press and ten per repeat; letting go of the slider confirms at once,
    // unless exit accepts.
    void adjusting_data()
    {
        QTest::addColumn<QList<int>>("range"); // minimum, maximum, start
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("exitAccepts");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("probes");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("value");
        QTest::newRow("percent of the range") << QList<int> {0, 200, 197} << "%" << false << "? Down Down Down ? Return"
                                              << QStringList {"98 %", "100 %"} << 1 << 200;
        QTest::newRow("number with unit") << QList<int> {0, 100, 42} << "dB" << true << "? Escape" << QStringList {"42 dB"}
                                          << 0 << 42;
        QTest::newRow("one per press, ten per repeat") << QList<int> {0, 100, 50} << "%" << true
                                                       << "Down ? Down* Down* ? Up ? Up* ? Up* Up* Up* Up* Up* Up* Up* Up* ? Return"
                                                       << QStringList {"51 %", "71 %", "70 %", "60 %", "0 %"} << 1 << 0;
        QTest::newRow("exit cancels otherwise") << QList<int> {5, 100, 75} << "%" << false << "Down @pushButtonExit"
                                                << QStringList() << 0 << 76;
        QTest::newRow("range ending at zero") << QList<int> {-10, 0, -5} << "%" << true << "? Escape" << QStringList {"0 %"}
                                              << 0 << -5;
        QTest::newRow("letting go confirms")
            << QList<int> {5, 100, 20} << "%" << false << "drag ?" << QStringList() << 1 << 100;
        QTest::newRow("letting go waits for exit, which accepts")
            << QList<int> {5, 100, 20} << "%" << true << "drag ? @pushButtonExit" << QStringList {"100 %"} << 1 << 100;
    }
    void adjusting()
    {
        QFETCH(QList<int>, range);
        QFETCH(QString, unit);
        QFETCH(bool, exitAccepts);
        sliderDialog()->setRange(range[0], range[1]);
        QSignalSpy changes(sliderDialog(), &ValueSliderDialog::valueChanged);
        playRow(sliderDialog(), [&] { return sliderDialog()->exec(range[2], "Adjust", unit, exitAccepts); },
                [this] { return sliderDialog()->findChild<QLabel*>("valueLabel")->text(); },
                [this](const QString&) { dragToTheEnd(); });
        QTEST(sliderDialog()->value(), "value");
        if (sliderDialog()->value() != range[2]) // every change reached the listeners live
            QCOMPARE(changes.last().at(0).toInt(), sliderDialog()->value());
    }

    void editing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("probes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("edited");
        QTest::newRow("a folder name, the cursor at the start")
            << "Folder" << 20 << "? $_ End $Ab-3 @ButtonOk" << QStringList {"0"} << 1 << "_FolderAb-3";
        QTest::newRow("length limit") << "abcdefghijklmnopqr" << 20 << "End $xyz @ButtonOk" << QStringList() << 1
                                      << "abcdefghijklmnopqrxy";
        QTest::newRow("empty text refused") << "ab" << 20 << "End @ButtonBack @ButtonBack ? Return ? $q ? Escape"
                                            << QStringList {"0 [Empty text is not allowed]", "0 [Empty text is not allowed]", "1"}
                                            << 0 << "q";
        QTest::newRow("keys move the cursor") << "abcd" << 10 << "Down Down* Down* ? Up ? $X Up* Up* Up* Up* ? Return"
                                              << QStringList {"3", "2", "0"} << 1 << "abXcd";
        QTest::newRow("a keyboard types only a name's characters")
            << "ab" << 20 << "End keyboard Return" << QStringList() << 1 << "abx";
    }
    void editing()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        playRow(textEdit(), [&] { return textEdit()->exec(text, "Edit name", length); },
                [this] { return QString::number(line()->cursorPosition()) + refusal(textEdit()); },
                [this](const QString& token) { other(token); });
        QTEST(textEdit()->text(), "edited");
    }

    // The character sets: lower case, upper case, digits, symbols, and back to lower case.
    void characterSets()
    {
        QStringList keys;
        const auto key = [this](int i) { return textEdit()->findChild<QPushButton*>(QString("Button%1").arg(i)); };
        run(textEdit(), "? @ButtonChars ? @ButtonNumbers ? @ButtonSymbols ? @ButtonChars ? Escape",
            [&] { return textEdit()->exec("x", "Edit name", 20); },
            [&] { keys << key(0)->text() + key(9)->text() + QString::number(key(25)->isEnabled()); });
        QCOMPARE(keys, QStringList({"aj1", "AJ1", "090", "_0", "aj1"}));
    }

    void stepping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("rules");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("probes"); // cursor position: character, arrows enabled (LRDU)
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("edited");
        QTest::newRow("arrows at the ends, dots skipped")
            << "192.168.001.005" << true
            << "? @ButtonRight @ButtonRight @ButtonRight ?" + QString(" Right*").repeated(8) + " ? @ButtonExit"
            << QStringList {"0:1 0111", "4:1 1111", "14:5 1011"} << 0 << "192.168.001.005";
        QTest::newRow("hundreds stop at two") << "100.000.000.000" << true << "@ButtonUp ? @ButtonUp ? @ButtonOk"
                                              << QStringList {"0:2 0111", "0:2 0111"} << 1 << "200.000.000.000";
        QTest::newRow("tens and units below 255") << "240.000.000.000" << true
                                                  << "@ButtonRight @ButtonUp @ButtonUp @ButtonUp ? @ButtonRight" + QString(" @ButtonUp").repeated(9) + " ? @ButtonOk"
                                                  << QStringList {"1:5 1111", "2:5 1111"} << 1 << "255.000.000.000";
        QTest::newRow("below 200 every digit is open") << "199.000.000.000" << true << "@ButtonRight @ButtonRight @ButtonUp ? @ButtonLeft @ButtonLeft @ButtonUp @ButtonOk"
                                                       << QStringList {"2:9 1110"} << 1 << "299.000.000.000";
        QTest::newRow("keys step the other way") << "010.000.000.000" << true << "Right Up ? Down Down* ? Return ? Escape ? Left ? Left"
                                                 << QStringList {"1:0 1101", "1:2 1111", "2:0 1101", "1:2 1111", "0:0 0101"} << 0
                                                 << "020.000.000.000";
        QTest::newRow("blank steps to the first character") << "" << true << "? @ButtonUp ? @ButtonOk"
                                                            << QStringList {"0:  0101", "0:0 0101"} << 1 << "0";
        QTest::newRow("without rules up to the last character") << "800.000.000.000" << false << "@ButtonUp ? @ButtonUp ? @ButtonOk"
                                                                << QStringList {"0:9 0110", "0:9 0110"} << 1 << "900.000.000.000";
    }
    void stepping()
    {
        QFETCH(QString, text);
        QFETCH(bool, rules);
        const QString digits = "0123456789";
        auto* line = addressEdit()->findChild<QLineEdit*>("lineEditText");
        const auto shown = [&] {
            QString arrows;
            for (const char* name : {"ButtonLeft", "ButtonRight", "ButtonDown", "ButtonUp"})
                arrows += addressEdit()->findChild<QPushButton*>(name)->isEnabled() ? "1" : "0";
            const QString character = addressEdit()->findChild<QLabel*>("LabelChar")->text();
            return QString("%1:%2 %3").arg(line->cursorPosition()).arg(character, arrows);
        };
        playRow(addressEdit(), [&] {
            return addressEdit()->exec(text, "Enter address", {digits.begin(), digits.end()}, "999.999.999.999", rules);
        }, shown);
        QFETCH(QString, edited);
        QVERIFY2(addressEdit()->text().startsWith(edited), qPrintable(addressEdit()->text()));
    }

    // Return walks through the sections and accepts after the last, Escape walks back and cancels
    // before the first; sections do not carry over. Touch alone: the arrows step the selected
    // section, a tap selects a section, and Return after a tapped last section accepts.
    void dateAndTime_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("script"); // "up", "down": a tap on the time's arrow; "seconds": on its seconds
        QTest::addColumn<QStringList>("probes"); // date and time shown, the current section
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("edited");
        QTest::newRow("date by keys") << "dd.MM.yyyy" << "06.12.2026" << "? Up Return ? Down Return ? Up Up* Up* Return"
                                      << QStringList {"10 0", "10 1", "10 2"} << 1 << "07.11.2029";
        QTest::newRow("Escape walks back") << "yyyy.MM.dd" << "2026.12.06" << "Return Return ? Escape ? Escape ? Escape"
                                           << QStringList {"10 2", "10 1", "10 0"} << 0 << "2026.12.06";
        QTest::newRow("time by keys") << "hh:mm:ss" << "13:28:30" << "? Return Up* Up* Return Down @ButtonOk"
                                      << QStringList {"01 0"} << 1 << "13:30:29";
        QTest::newRow("time by touch, Return after the tapped last section")
            << "hh:mm:ss" << "08:30:10" << "up seconds down down Return" << QStringList() << 1 << "09:30:08";
    }
    void dateAndTime()
    {
        QFETCH(QString, format);
        QFETCH(QString, start);
        DateTimeEditDialog* dialog = dateTimeEdit();
        const bool date = format.contains("yyyy");
        auto* editor = dialog->findChild<QDateTimeEdit*>(date ? "dateEdit" : "timeEdit");
        const auto probe = [&] {
            const auto shown = [dialog](const char* name) { return dialog->findChild<QWidget*>(name)->isVisible(); };
            return QString("%1%2 %3").arg(shown("dateEdit")).arg(shown("timeEdit")).arg(editor->currentSectionIndex());
        };
        playRow(dialog, [&] {
            return date ? dialog->execDate(QDate::fromString(start, format), "Enter date", format)
                        : dialog->execTime(QTime::fromString(start, format), "Enter time", format);
        }, probe, [this](const QString& token) { touchTime(token); });
        QTEST(date ? dialog->date().toString(format) : dialog->time().toString(format), "edited");
    }

    // The store/recall choice: a slot's own button reports and leaves the dialog open; edit
    // reports and closes it. What is reported can be asked for at once.
    void storeRecallButtons()
    {
        using Store = StoreRecallDialog;
        Store* dialog = Store::instance();
        const auto kind = [](Store::Button b, int slot) { return QString("%1:%2").arg(int(b)).arg(slot); };
        QStringList reported;
        const auto connection = connect(dialog, &Store::buttonPressed, [&](Store::Button b, int slot) {
            int index = -2;
            Store::Button pressed = Store::BUTTON_CLEAR_ALL;
            dialog->pressed(index, pressed);
            QCOMPARE(kind(pressed, index), kind(b, slot));
            reported << kind(b, slot);
        });
        QCOMPARE(run(dialog, "@Button1 @Button3 @ButtonExit", [&] { return dialog->exec("Store-/Recall curve"); }), 0);
        QCOMPARE(run(dialog, "@ButtonEdit2", [&] { return dialog->exec("Store-/Recall curve"); }), 1);
        disconnect(connection);
        QCOMPARE(reported, QStringList({kind(Store::BUTTON_SELECT, 1), kind(Store::BUTTON_SELECT, 3),
                                        kind(Store::BUTTON_EDIT, 2)}));
    }
};

QTEST_MAIN(TestInputDialogs)
#include "tst_inputdialogs.moc"
