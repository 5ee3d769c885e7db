#include "DialogDriver.h"
#include "common/TestRoot.h"

#include "dialogs/ValueSelectDialog.h"
#include "util/LanguageManager.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace DialogDriver;
using Option = ValueSelectDialog::Option;

class TestValueSelectDialog : public QObject {
    Q_OBJECT

private:
    ValueSelectDialog* dialog() { return ValueSelectDialog::instance(); }
    QListWidget* list() { return dialog()->findChild<QListWidget*>(QStringLiteral("ListWidget")); }
    QPushButton* button(const char* name) { return dialog()->findChild<QPushButton*>(QLatin1String(name)); }
    QString prompt() { return dialog()->findChild<QLabel*>(QStringLiteral("labelStatusBar"))->text(); }

    static ValueSelectDialog::Options numbered(int count)
    {
        ValueSelectDialog::Options options;
        for (int i = 0; i < count; ++i)
            options << new Option(QStringLiteral("Option %1").arg(i), i);
        return options;
    }

private slots:
    void initTestCase()
    {
        applyStyleSheet();
        QVERIFY(list() && button("pushButtonExit") && button("pushButtonCustom"));
    }

    void currentRowIsTheLastMatchOrTheFirst()
    {
        // Two options share the value 2: the later one is current.
        ValueSelectDialog::Options options = numbered(4);
        options << new Option(QStringLiteral("Again two"), 2);
        int rowMatching = -2;
        whenShown(dialog(), [&]() {
            rowMatching = list()->currentRow();
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(dialog()->exec(2, QStringLiteral("Pick"), options, true, false), 0);
        QCOMPARE(rowMatching, 4);

        int rowNoMatch = -2;
        whenShown(dialog(), [&]() {
            rowNoMatch = list()->currentRow();
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(dialog()->exec(77, QStringLiteral("Pick"), numbered(3), true, false), 0);
        QCOMPARE(rowNoMatch, 0);
    }

    void fiveRowsAtMostWithScrollBarBeyond()
    {
        int visibleRows = 0;
        bool scrollBar = false;
        whenShown(dialog(), [&]() {
            const int rowHeight = list()->sizeHintForRow(0);
            visibleRows = (list()->viewport()->height() + rowHeight / 2) / rowHeight;
            scrollBar = list()->verticalScrollBar()->isVisible();
            screenshot(dialog(), QStringLiteral("ValueSelectDialog_scrolling"));
            pressKey(dialog(), Qt::Key_Escape);
        });
        dialog()->exec(0, QStringLiteral("Seven options"), numbered(7), true, false);
        QCOMPARE(visibleRows, 5);
        QVERIFY(scrollBar);
        QCOMPARE(list()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        whenShown(dialog(), [&]() {
            const int rowHeight = list()->sizeHintForRow(0);
            visibleRows = (list()->viewport()->height() + rowHeight / 2) / rowHeight;
            scrollBar = list()->verticalScrollBar()->isVisible();
            pressKey(dialog(), Qt::Key_Escape);
        });
        dialog()->exec(0, QStringLiteral("Five options"), numbered(5), true, false);
        QCOMPARE(visibleRows, 5);
        QVERIFY(!scrollBar);
        QCOMPARE(list()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void tappingAnOptionChoosesIt()
    {
        QSignalSpy clicked(dialog(), &ValueSelectDialog::optionClicked);
        whenShown(dialog(), [&]() { tap(list(), list()->item(2)); });
        QCOMPARE(dialog()->exec(0, QStringLiteral("Pick"), numbered(4), true, false), 1);
        QCOMPARE(dialog()->value(), QVariant(2));
        QCOMPARE(clicked.count(), 1);
    }

    void checkBoxesKeepTheDialogOpen()
    {
        ValueSelectDialog::Options options;
        options << new Option(QStringLiteral("Maximum"), 0, true, false)
                << new Option(QStringLiteral("Average"), 1, false, false);
        QCOMPARE(options.at(0)->kind(), int(Option::KIND_CHECKBOX));
        // The caller toggles the box in its handler, as the trace selection does.
        QMetaObject::Connection toggle = connect(dialog(), &ValueSelectDialog::optionClicked,
            [](ValueSelectDialog::Option* option) { option->setChecked(!option->isChecked()); });
        bool stillOpen = false;
        bool averageChecked = false;
        whenShown(dialog(), [&]() {
            tap(list(), list()->item(1));
            QCoreApplication::processEvents();
            stillOpen = dialog()->isVisible();
            averageChecked = static_cast<Option*>(list()->item(1))->isChecked();
            screenshot(dialog(), QStringLiteral("ValueSelectDialog_checkboxes"));
            tap(button("pushButtonExit"));
        });
        const int result = dialog()->exec(-1, QStringLiteral("Select trace"), options, true, false);
        disconnect(toggle);
        QVERIFY(stillOpen);
        QVERIFY(averageChecked);
        QCOMPARE(result, 0);
        QCOMPARE(dialog()->value(), QVariant(ValueSelectDialog::VALUE_EXIT));
    }

    void disabledOptionsIgnoreTapsAndReturn()
    {
        ValueSelectDialog::Options options = numbered(3);
        options.at(1)->setSelectable(false);
        QVERIFY(!options.at(1)->isSelectable());
        QSignalSpy clicked(dialog(), &ValueSelectDialog::optionClicked);
        bool stillOpen = false;
        whenShown(dialog(), [&]() {
            tap(list(), list()->item(1));
            pressKey(dialog(), Qt::Key_Return); // the disabled row is current
            QCoreApplication::processEvents();
            stillOpen = dialog()->isVisible();
            pressKey(dialog(), Qt::Key_Down);
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(1, QStringLiteral("Pick"), options, true, false), 1);
        QVERIFY(stillOpen);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(dialog()->value(), QVariant(2));
    }

    void customButtonGivesItsOwnResult()
    {
        QSignalSpy custom(dialog(), &ValueSelectDialog::customButtonClicked);
        // As the spectrum screen's marker choice sets it up.
        dialog()->customButton()->setText(QStringLiteral("Clear all"));
        dialog()->customButton()->setIcon(QIcon(QStringLiteral(":/resources/images/trash.png")));
        ValueSelectDialog::Options markers;
        const QStringList frequencies { "412.5", "655.25", "871" };
        for (int i = 0; i < frequencies.size(); ++i)
            markers << new Option(
                QStringLiteral("Marker %1 [%2 MHz]").arg(i + 1).arg(frequencies.at(i)), i, i == 1, true);
        bool customShown = false;
        whenShown(dialog(), [&]() {
            customShown = button("pushButtonCustom")->isVisible();
            screenshot(dialog(), QStringLiteral("ValueSelectDialog"));
            tap(button("pushButtonCustom"));
        });
        QCOMPARE(dialog()->exec(1, QStringLiteral("Select marker"), markers, true, true), 1);
        QVERIFY(customShown);
        QCOMPARE(dialog()->value(), QVariant(ValueSelectDialog::VALUE_CUSTOM));
        QCOMPARE(custom.count(), 1);

        // Without it the button is hidden.
        whenShown(dialog(), [&]() {
            customShown = button("pushButtonCustom")->isVisible();
            pressKey(dialog(), Qt::Key_Escape);
        });
        dialog()->exec(0, QStringLiteral("Pick"), numbered(2), true, false);
        QVERIFY(!customShown);
    }

    void hardwareKeysMoveAndChoose()
    {
        QList<int> rows;
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Up); // already on row 0
            rows << list()->currentRow();
            pressKey(dialog(), Qt::Key_Down);
            pressKey(dialog(), Qt::Key_Down, true); // held: auto-repeated presses
            pressKey(dialog(), Qt::Key_Down, true);
            pressKey(dialog(), Qt::Key_Down, true); // stops at the last row
            rows << list()->currentRow();
            pressKey(dialog(), Qt::Key_Up, true);
            rows << list()->currentRow();
            pressKey(dialog(), Qt::Key_Return);
        });
        QCOMPARE(dialog()->exec(0, QStringLiteral("Pick"), numbered(4), true, false), 1);
        QCOMPARE(rows, (QList<int> { 0, 3, 2 }));
        QCOMPARE(dialog()->value(), QVariant(2));
    }

    void escapeKeepsTheValue()
    {
        whenShown(dialog(), [&]() { pressKey(dialog(), Qt::Key_Return); });
        QCOMPARE(dialog()->exec(1, QStringLiteral("Pick"), numbered(3), true, false), 1);
        QCOMPARE(dialog()->value(), QVariant(1));
        whenShown(dialog(), [&]() {
            pressKey(dialog(), Qt::Key_Down);
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(dialog()->exec(0, QStringLiteral("Pick"), numbered(3), true, false), 0);
        QCOMPARE(dialog()->value(), QVariant(1));
    }

    void reopeningWithTheSameOptionsKeepsThem()
    {
        // A caller that hands the same option objects in again must not lose them.
        ValueSelectDialog::Options options = numbered(3);
        whenShown(dialog(), [&]() { pressKey(dialog(), Qt::Key_Escape); });
        dialog()->exec(0, QStringLiteral("Pick"), options, true, false);
        whenShown(dialog(), [&]() { tap(list(), list()->item(1)); });
        QCOMPARE(dialog()->exec(0, QStringLiteral("Pick"), options, true, false), 1);
        QCOMPARE(options.at(1)->value(), QVariant(1));
        QCOMPARE(list()->count(), 3);
    }

    void antennaSelectorForTheMainMenu()
    {
        QStringList labels;
        bool exitShown = true;
        bool uhfChecked = false;
        int current = -1;
        whenShown(dialog(), [&]() {
            for (int i = 0; i < list()->count(); ++i)
                labels << list()->item(i)->text();
            exitShown = button("pushButtonExit")->isVisible();
            current = list()->currentRow();
            uhfChecked = static_cast<Option*>(list()->item(0))->isChecked();
            screenshot(dialog(), QStringLiteral("ValueSelectDialog_antenna"));
            tap(list(), list()->item(2));
        });
        QCOMPARE(ValueSelectDialog::selectAntenna(1, QStringLiteral("Select antenna"), false), 1);
        QCOMPARE(labels, (QStringList { "UHF", "TEV", "HFCT" }));
        QVERIFY(!exitShown);
        QCOMPARE(current, 1);
        QVERIFY(!uhfChecked);
        QCOMPARE(dialog()->value(), QVariant(2));
    }

    void readyMadeSelectorsOfferTheirValues_data()
    {
        QTest::addColumn<int>("selector");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("checkedRow");
        QTest::addColumn<bool>("exitShown");
        QTest::newRow("resolution") << 0 << 2 << QStringList { "Fine", "Moderate", "Coarse" }
                                    << QVariantList { 1, 2, 3 } << 1 << true;
        QTest::newRow("bandwidth") << 1 << 20000 << QStringList { "1 MHz", "5 MHz", "20 MHz" }
                                   << QVariantList { 1000, 5000, 20000 } << 2 << true;
        QTest::newRow("meas mode") << 2 << 0 << QStringList { "LOG", "RMS", "ENV" } << QVariantList { 0, 1, 2 } << 0
                                   << true;
        QTest::newRow("sync") << 3 << 3 << QStringList { "Int E", "RQ4417 (E)", "RQ4417 (H)", "TL4418" }
                              << QVariantList { 0, 1, 2, 3 } << 3 << true;
        QTest::newRow("persistency") << 4 << 0 << QStringList { "1", "50", "100", "Infinite" }
                                     << QVariantList { 1, 50, 100, 0 } << 3 << true;
        QTest::newRow("on/off any non-zero is on")
            << 5 << 7 << QStringList { "Off", "On" } << QVariantList { 0, 1 } << 1 << true;
        QTest::newRow("yes/no needs an answer")
            << 6 << 0 << QStringList { "No", "Yes" } << QVariantList { 0, 1 } << 0 << false;
        QTest::newRow("date format") << 7 << 1 << QStringList { "DD.MM.YYYY", "YYYY.MM.DD" } << QVariantList { 0, 1 }
                                     << 1 << true;
        QTest::newRow("phase") << 8 << 0 << QStringList { "L1", "L2", "L3", "Unspecified" }
                               << QVariantList { 1, 2, 3, 0 } << 3 << true;
    }

    void readyMadeSelectorsOfferTheirValues()
    {
        QFETCH(int, selector);
        QFETCH(int, current);
        QFETCH(QStringList, labels);
        QFETCH(QVariantList, values);
        QFETCH(int, checkedRow);
        QFETCH(bool, exitShown);

        QStringList shownLabels;
        QVariantList shownValues;
        int shownChecked = -1;
        int currentRow = -1;
        bool exitVisible = false;
        QString shownPrompt;
        whenShown(dialog(), [&]() {
            for (int i = 0; i < list()->count(); ++i) {
                auto* option = static_cast<Option*>(list()->item(i));
                shownLabels << option->text();
                shownValues << option->value();
                QCOMPARE(option->kind(), int(Option::KIND_RADIO));
                if (option->isChecked())
                    shownChecked = i;
            }
            currentRow = list()->currentRow();
            exitVisible = button("pushButtonExit")->isVisible();
            shownPrompt = prompt();
            pressKey(dialog(), Qt::Key_Down, true);
            pressKey(dialog(), Qt::Key_Return);
        });
        const QString text = QStringLiteral("Prompt %1").arg(selector);
        int result = -1;
        switch (selector) {
        case 0:
            result = ValueSelectDialog::selectResolution(current, text);
            break;
        case 1:
            result = ValueSelectDialog::selectBandwidth(current, text);
            break;
        case 2:
            result = ValueSelectDialog::selectMeasMode(current, text);
            break;
        case 3:
            result = ValueSelectDialog::selectSync(current, text);
            break;
        case 4:
            result = ValueSelectDialog::selectPersistency(current, text);
            break;
        case 5:
            result = ValueSelectDialog::selectOnOff(current, text);
            break;
        case 6:
            result = ValueSelectDialog::selectYesNo(current, text);
            break;
        case 7:
            result = ValueSelectDialog::selectDateFormat(current, text);
            break;
        case 8:
            result = ValueSelectDialog::selectPhase(current, text);
            break;
        }
        QCOMPARE(result, 1);
        QCOMPARE(shownLabels, labels);
        QCOMPARE(shownValues, values);
        QCOMPARE(shownChecked, checkedRow);
        QCOMPARE(currentRow, checkedRow);
        QCOMPARE(exitVisible, exitShown);
        QCOMPARE(shownPrompt, text);
        const int chosenRow = qMin(checkedRow + 1, values.size() - 1);
        QCOMPARE(dialog()->value(), values.at(chosenRow));
    }

    void yesNoCanOnlyBeLeftWithEscape()
    {
        whenShown(dialog(), [&]() { pressKey(dialog(), Qt::Key_Return); });
        QCOMPARE(ValueSelectDialog::selectYesNo(1, QStringLiteral("Clear all saved data?")), 1);
        QCOMPARE(dialog()->value(), QVariant(1));
        whenShown(dialog(), [&]() {
            screenshot(dialog(), QStringLiteral("ValueSelectDialog_yesno"));
            pressKey(dialog(), Qt::Key_Escape);
        });
        QCOMPARE(ValueSelectDialog::selectYesNo(0, QStringLiteral("Clear all saved data?")), 0);
        QCOMPARE(dialog()->value(), QVariant(1));
    }

    void mountPointSelectorReturnsTheMountPoint()
    {
        TestRoot root;
        QVERIFY(root.installScript(QStringLiteral("/bin/df"),
            QStringLiteral("cat <<'EOF'\n"
                           "Filesystem      Size  Used Avail Use% Mounted on\n"
                           "/dev/root       512M  300M  212M  59% /\n"
                           "tmpfs            64M     0   64M   0% /media/ram\n"
                           "/dev/sda1        7.5G  1.2G  6.3G  16% /media/usb0\n"
                           "/dev/sdb1        3.7G  1.0G  2.7G  27% /media/my stick\n"
                           "EOF")));
        QStringList labels;
        int current = -1;
        whenShown(dialog(), [&]() {
            for (int i = 0; i < list()->count(); ++i)
                labels << list()->item(i)->text();
            current = list()->currentRow();
            tap(list(), list()->item(1));
        });
        const QString chosen = ValueSelectDialog::selectMountPoint(QStringLiteral("/media/usb0"),
            QStringLiteral("/media/[.]*"), { QStringLiteral("/media/ram") }, QStringLiteral("Select USB"));
        QCOMPARE(labels, (QStringList { "/media/usb0", "/media/my stick" }));
        QCOMPARE(current, 0);
        QCOMPARE(chosen, QStringLiteral("/media/my stick"));

        whenShown(dialog(), [&]() { tap(button("pushButtonExit")); });
        QCOMPARE(ValueSelectDialog::selectMountPoint(QString(), QStringLiteral("/media/[.]*"),
                     { QStringLiteral("/media/ram") }, QStringLiteral("Select USB")),
            QString());
    }

    void languageSelectorOffersTheInstalledLanguages()
    {
        TestRoot root;
        QVERIFY(root.writeFile(QStringLiteral("/usr/lib/language/corvane_en.cfg"), "name=English\nnative=English\n"));
        QVERIFY(root.writeFile(
            QStringLiteral("/usr/lib/language/corvane_de.cfg"), "name=German\nnative=Deutsch\nfont=DejaVu Serif\n"));
        QVERIFY(root.writeFile(QStringLiteral("/usr/lib/language/corvane_de.qm"), QByteArray("stand-in")));
        LanguageManager::instance()->reloadLanguages();

        QMap<QString, QString> labels; // code -> label
        QString germanFont;
        QString checkedCode;
        QString currentCode;
        whenShown(dialog(), [&]() {
            for (int i = 0; i < list()->count(); ++i) {
                auto* option = static_cast<Option*>(list()->item(i));
                labels.insert(option->value().toString(), option->text());
                if (option->value().toString() == QLatin1String("de"))
                    germanFont = option->font().family();
                if (option->isChecked())
                    checkedCode = option->value().toString();
            }
            currentCode = static_cast<Option*>(list()->currentItem())->value().toString();
            screenshot(dialog(), QStringLiteral("ValueSelectDialog_language"));
            for (int i = 0; i < list()->count(); ++i) {
                if (static_cast<Option*>(list()->item(i))->value().toString() == QLatin1String("en"))
                    tap(list(), list()->item(i));
            }
        });
        QCOMPARE(ValueSelectDialog::selectLanguage(QStringLiteral("de"), QStringLiteral("Select language")), 1);
        QCOMPARE(labels.value(QStringLiteral("en")), QStringLiteral("English"));
        QCOMPARE(labels.value(QStringLiteral("de")), QStringLiteral("Deutsch"));
        QCOMPARE(labels.size(), 2);
        QCOMPARE(germanFont, QStringLiteral("DejaVu Serif"));
        QCOMPARE(checkedCode, QStringLiteral("de"));
        QCOMPARE(currentCode, QStringLiteral("de"));
        QCOMPARE(dialog()->value(), QVariant(QStringLiteral("en")));
    }

    void centredOnTheScreenWithoutAMainWindow()
    {
        QRect geometry;
        whenShown(dialog(), [&]() {
            geometry = dialog()->geometry();
            pressKey(dialog(), Qt::Key_Escape);
        });
        dialog()->exec(0, QStringLiteral("Pick"), numbered(2), true, false);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(geometry.x(), screen.x() + (screen.width() - geometry.width()) / 2);
        QCOMPARE(geometry.y(), screen.y() + (screen.height() - geometry.height()) / 2);
    }

    void centredOnTheMainWindow()
    {
        // A stand-in for the main window (the real one brings up the acquisition hardware).
        QWidget mainWindow;
        mainWindow.setObjectName(QStringLiteral("MainWindow"));
        mainWindow.setGeometry(40, 30, 640, 480);
        mainWindow.show();
        QRect geometry;
        whenShown(dialog(), [&]() {
            geometry = dialog()->geometry();
            pressKey(dialog(), Qt::Key_Escape);
        });
        dialog()->exec(0, QStringLiteral("Pick"), numbered(3), true, false);
        QVERIFY(geometry.width() <= 640 && geometry.height() <= 480);
        QCOMPARE(geometry.x(), 40 + (640 - geometry.width()) / 2);
        QCOMPARE(geometry.y(), 30 + (480 - geometry.height()) / 2);
        QVERIFY(dialog()->windowFlags().testFlag(Qt::FramelessWindowHint));
    }
};

QTEST_MAIN(TestValueSelectDialog)
#include "tst_valueselectdialog.moc"
