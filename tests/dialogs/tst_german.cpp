#include "DialogDriver.h"
#include "common/TestRoot.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/TextEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"
#include "util/LanguageManager.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

// Switching the language to German, as the system page does, shows German texts in the setup
// frame and in the input dialogs; switching back shows English again.
class TestGerman : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

    bool install(const QString& name)
    {
        QFile file(QCoreApplication::applicationDirPath() + "/../translations/" + name);
        return file.open(QIODevice::ReadOnly) && m_root.writeFile("/usr/lib/language/" + name, file.readAll());
    }
    static void switchTo(const QString& code)
    {
        // The system page's language row: switch, then store the code (the frame re-shows its page).
        LanguageManager::instance()->changeLanguage(code);
        Configuration::setValue(Configuration::VT_Language, code, QStringLiteral("system"));
    }
    // The texts of the on/off selector: its two options and its exit button.
    static QStringList onOffTexts()
    {
        ValueSelectDialog* selector = ValueSelectDialog::instance();
        QStringList texts;
        DialogDriver::whenShown(selector, [&]() {
            auto* list = selector->findChild<QListWidget*>("ListWidget");
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
            texts << selector->findChild<QPushButton*>("pushButtonExit")->text();
            DialogDriver::pressKey(selector, Qt::Key_Escape);
        });
        ValueSelectDialog::selectOnOff(0, QStringLiteral("prompt"));
        return texts;
    }
    static QString emptyTextWarning()
    {
        TextEditDialog* editor = TextEditDialog::instance();
        QString text;
        DialogDriver::whenShown(editor, [&]() {
            text = editor->findChild<QLabel*>("labelStatusBar")->text();
            DialogDriver::pressKey(editor, Qt::Key_Escape);
        });
        editor->exec(QString(), QStringLiteral("prompt"), 20);
        return text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QVERIFY(m_root.installMount());
        QVERIFY(install("corvane_de.qm"));
        QVERIFY(install("corvane_de.cfg"));
        QVERIFY(install("corvane_en.cfg"));
        LanguageManager::instance()->reloadLanguages();
        QCOMPARE(LanguageManager::instance()->languages().count(), 2);
        DialogDriver::applyStyleSheet();
        SetupDialog::instance()->resize(640, 440);
        SetupDialog::instance()->show();
    }

    void setupFrameSpeaksGerman()
    {
        SetupDialog* frame = SetupDialog::instance();
        frame->setDialog(SetupDialog::DIALOG_SYSTEM, false);
        switchTo("de");
        QCOMPARE(frame->currentDialog(), int(SetupDialog::DIALOG_SYSTEM));
        QCOMPARE(frame->findChild<QLabel*>("LanguageLabel")->text(), QStringLiteral("Sprache"));
        QCOMPARE(frame->findChild<QLabel*>("BrightnessLabel")->text(), QStringLiteral("Helligkeit"));
        frame->setDialog(SetupDialog::DIALOG_TIME, false);
        QCOMPARE(frame->findChild<QPushButton*>("CategoryButton")->text(), QStringLiteral("Zeitbereich"));
        QCOMPARE(frame->findChild<QLabel*>("PhaseShiftLabel")->text(), QStringLiteral("Phasenverschiebung"));

        switchTo("en");
        QCOMPARE(frame->findChild<QPushButton*>("CategoryButton")->text(), QStringLiteral("Time Domain"));
        QCOMPARE(frame->findChild<QLabel*>("PhaseShiftLabel")->text(), QStringLiteral("Phase shift"));
    }

    void inputDialogsSpeakGerman()
    {
        switchTo("de");
        QCOMPARE(onOffTexts(), (QStringList{"Aus", "Ein", QString::fromUtf8("Zur\xc3\xbc" "ck")}));
        QCOMPARE(emptyTextWarning(), QStringLiteral("Leerer Text ist nicht erlaubt"));
        switchTo("en");
        QCOMPARE(onOffTexts(), (QStringList{"Off", "On", "Exit"}));
        QCOMPARE(emptyTextWarning(), QStringLiteral("Empty text is not allowed"));
    }
};

QTEST_MAIN(TestGerman)
#include "tst_german.moc"
