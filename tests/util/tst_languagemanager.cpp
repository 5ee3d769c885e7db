#include "common/TestRoot.h"
#include "util/LanguageManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

// The language manager: which description files it accepts, switching translations, and the
// marked font rule in the application style sheet.
class TestLanguageManager : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    QByteArray m_germanQm;

    static QString dir() { return QStringLiteral("/usr/lib/language"); }
    void writeCfg(const QString& code, const QByteArray& content, bool withTranslation)
    {
        QVERIFY(m_root.writeFile(dir() + "/corvane_" + code + ".cfg", content));
        if (withTranslation)
            QVERIFY(m_root.writeFile(dir() + "/corvane_" + code + ".qm", m_germanQm));
    }
    static QStringList codes()
    {
        QStringList result;
        for (const QVariant& language : LanguageManager::instance()->languages())
            result << language.toMap().value("code").toString();
        result.sort();
        return result;
    }
    static int count(const QString& text, const QString& part) { return text.count(part); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        // The compiled German translation of this build.
        QFile qm(QCoreApplication::applicationDirPath() + "/../translations/corvane_de.qm");
        QVERIFY2(qm.open(QIODevice::ReadOnly), qPrintable(qm.fileName()));
        m_germanQm = qm.readAll();
    }

    void init()
    {
        QDir(m_root.path(dir())).removeRecursively();
        qApp->setStyleSheet(QString());
    }

    void missingDirectoryOffersNothing()
    {
        LanguageManager* manager = LanguageManager::instance();
        manager->reloadLanguages();
        QVERIFY(manager->languages().isEmpty());
        QSignalSpy changed(manager, &LanguageManager::languageChanged);
        QVERIFY(!manager->changeLanguage("en"));
        QCOMPARE(changed.count(), 0);
    }

    void descriptionFilesFollowTheirRules()
    {
        writeCfg("en", "name=English\nnative=English\n", false);
        writeCfg("de", "name=German\nnative=Deutsch\n", true);
        writeCfg("fr", "name=French\nnative=Fran\xc3\xa7" "ais\n", false);   // no translation file
        writeCfg("it", "name=Italian\n", true);                                // no native name
        writeCfg("es", "native=Espa\xc3\xb1ol\n", true);                       // no English name
        writeCfg("pl", "NAME=Polish\nNative=Polski\nFONT=DejaVu Serif\n", true); // keys in any case
        writeCfg("pt", "name=Portuguese, Brazil\nnative=Portugu\xc3\xaas\ncode=pt_BR\n", true);
        QVERIFY(m_root.writeFile(dir() + "/corvane_nl.txt", "name=Dutch\nnative=Nederlands\n"));
        QDir().mkpath(m_root.path(dir() + "/corvane_sv.cfg")); // a folder, not a file

        LanguageManager* manager = LanguageManager::instance();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Language fr ignored, translation file .*corvane_fr.qm not exists!"));
        QTest::ignoreMessage(QtWarningMsg, "Language it ignored, no native language name found (i.e. native=\"..\")!");
        QTest::ignoreMessage(QtWarningMsg, "Language es ignored, no english language name found in configuration file (i.e. name=\"..\")!");
        manager->reloadLanguages();
        QCOMPARE(codes(), (QStringList{"de", "en", "pl", "pt_BR"}));

        const QVariantMap german = manager->language("de");
        QCOMPARE(german.value("name").toString(), QStringLiteral("German"));
        QCOMPARE(german.value("native").toString(), QStringLiteral("Deutsch"));
        QCOMPARE(german.value("file").toString(), m_root.path(dir() + "/corvane_de.qm"));
        const QVariantMap polish = manager->language("pl");
        QCOMPARE(polish.value("native").toString(), QStringLiteral("Polski"));
        QCOMPARE(polish.value("font").toString(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(manager->language("pt_BR").value("native").toString(), QString::fromUtf8("Portugu\xc3\xaas"));
        QCOMPARE(manager->language("pt_BR").value("name").toString(), QStringLiteral("Portuguese, Brazil"));
        QVERIFY(manager->language("").isEmpty());
    }

    void switchingLanguagesExchangesTheTranslation()
    {
        writeCfg("en", "name=English\nnative=English\n", false);
        writeCfg("de", "name=German\nnative=Deutsch\n", true);
        LanguageManager* manager = LanguageManager::instance();
        manager->reloadLanguages();
        QSignalSpy changed(manager, &LanguageManager::languageChanged);

        QVERIFY(manager->changeLanguage("de"));
        QCOMPARE(QCoreApplication::translate("SetupDialog", "Setup"), QStringLiteral("Einstellungen"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("de"));

        // An unknown code or none at all changes nothing.
        QVERIFY(!manager->changeLanguage("xx"));
        QVERIFY(!manager->changeLanguage(QString()));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(QCoreApplication::translate("SetupDialog", "Setup"), QStringLiteral("Einstellungen"));

        // English has no translation file: the texts fall back and the change is still announced.
        QVERIFY(!manager->changeLanguage("en"));
        QCOMPARE(QCoreApplication::translate("SetupDialog", "Setup"), QStringLiteral("Setup"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("en"));
    }

    void fontRuleIsReplacedNotAdded()
    {
        writeCfg("en", "name=English\nnative=English\n", false);
        writeCfg("ka", "name=Serif\nnative=Serif\nfont=DejaVu Serif\n", true);
        writeCfg("kb", "name=Mono\nnative=Mono\nfont=DejaVu Sans Mono\n", true);
        writeCfg("kc", "name=Missing\nnative=Missing\nfont=No Such Family\n", true);
        LanguageManager* manager = LanguageManager::instance();
        manager->reloadLanguages();
        const QString base = QStringLiteral("QLabel { color: #222222; }\n");
        qApp->setStyleSheet(base);

        QVERIFY(manager->changeLanguage("ka"));
        QCOMPARE(qApp->styleSheet(), base + "/*LANGUAGEMANAGER_BEGIN*/QWidget { font-family: DejaVu Serif }"
                                            "/*LANGUAGEMANAGER_END*/");
        QVERIFY(manager->changeLanguage("kb"));
        const QString sheet = qApp->styleSheet();
        QCOMPARE(count(sheet, "/*LANGUAGEMANAGER_BEGIN*/"), 1);
        QCOMPARE(count(sheet, "/*LANGUAGEMANAGER_END*/"), 1);
        QVERIFY(sheet.startsWith(base));
        QVERIFY(sheet.contains("QWidget { font-family: DejaVu Sans Mono }"));
        QVERIFY(!sheet.contains("DejaVu Serif"));

        // A language without a font keeps the rule; an unknown font leaves the sheet alone.
        QVERIFY(!manager->changeLanguage("en"));
        QCOMPARE(qApp->styleSheet(), sheet);
        QTest::ignoreMessage(QtWarningMsg, "Font No Such Family not found!");
        QVERIFY(manager->changeLanguage("kc"));
        QCOMPARE(qApp->styleSheet(), sheet);

        // An end marker without a begin marker is left as it is.
        qApp->setStyleSheet(base + "/*LANGUAGEMANAGER_END*/");
        QVERIFY(manager->changeLanguage("ka"));
        QCOMPARE(count(qApp->styleSheet(), "/*LANGUAGEMANAGER_BEGIN*/"), 1);
        QCOMPARE(count(qApp->styleSheet(), "/*LANGUAGEMANAGER_END*/"), 2);
        manager->changeLanguage("en");
    }
};

QTEST_MAIN(TestLanguageManager)
#include "tst_languagemanager.moc"
