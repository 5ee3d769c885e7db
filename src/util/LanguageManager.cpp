#include "util/LanguageManager.h"

#include "util/Platform.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QSettings>
#include <QTranslator>

namespace {

const char* const kFilePrefix = "corvane_";
const char* const kBeginMarker = "/*LANGUAGEMANAGER_BEGIN*/";
const char* const kEndMarker = "/*LANGUAGEMANAGER_END*/";

} // namespace

LanguageManager* LanguageManager::instance()
{
    static LanguageManager* instance = new LanguageManager();
    Q_ASSERT_X(instance != nullptr, "LanguageManager", "NULL != instance");
    return instance;
}

LanguageManager::LanguageManager()
    : QObject(nullptr)
    , m_translator(new QTranslator(this))
{
    reloadLanguages();
}

QString LanguageManager::languageDirectory()
{
    return Platform::path(QStringLiteral("/usr/lib/language"));
}

void LanguageManager::reloadLanguages()
{
    m_languages.clear();
    const QString directory = languageDirectory();
    qDebug() << "Language directory" << directory;
    QDir dir(directory);
    if (!dir.exists())
        return;

    const QFileInfoList files = dir.entryInfoList({QStringLiteral("corvane_*.cfg")}, QDir::Files, QDir::Unsorted);
    for (const QFileInfo& info : files) {
        QVariantMap record;
        const QString code = info.completeBaseName().mid(int(qstrlen(kFilePrefix)));
        record.insert(QStringLiteral("code"), code);
        QString qmFile = info.absoluteFilePath();
        qmFile.chop(4); // ".cfg"
        record.insert(QStringLiteral("file"), qmFile + QStringLiteral(".qm"));

        QSettings description(info.absoluteFilePath(), QSettings::IniFormat);
        description.setIniCodec("UTF-8");
        const QStringList keys = description.allKeys();
        for (const QString& key : keys) {
            // The INI reader splits an unquoted text at its commas; a name is one text.
            QVariant value = description.value(key);
            if (value.type() == QVariant::StringList)
                value = value.toStringList().join(QStringLiteral(", "));
            record.insert(key.toLower(), value);
        }

        const QByteArray codeText = record.value(QStringLiteral("code")).toString().toUtf8();
        if (!record.contains(QStringLiteral("name"))) {
            qWarning("Language %s ignored, no english language name found in configuration file (i.e. "
                     "name=\"..\")!",
                     codeText.constData());
            continue;
        }
        if (!record.contains(QStringLiteral("native"))) {
            qWarning("Language %s ignored, no native language name found (i.e. native=\"..\")!", codeText.constData());
            continue;
        }
        const QString translation = record.value(QStringLiteral("file")).toString();
        if (record.value(QStringLiteral("code")).toString() != QLatin1String("en") && !QFileInfo::exists(translation)) {
            qWarning("Language %s ignored, translation file %s not exists!", codeText.constData(),
                     translation.toUtf8().constData());
            continue;
        }
        m_languages.append(record);
        qDebug("Found Language: %s", record.value(QStringLiteral("name")).toString().toUtf8().constData());
    }
}

QVariantList LanguageManager::languages() const
{
    return m_languages;
}

QVariantMap LanguageManager::language(const QString& code) const
{
    if (code.isEmpty())
        return QVariantMap();
    for (const QVariant& entry : m_languages) {
        const QVariantMap record = entry.toMap();
        if (record.value(QStringLiteral("code")).toString() == code)
            return record;
    }
    return QVariantMap();
}

bool LanguageManager::changeLanguage(QString code)
{
    const QVariantMap record = language(code);
    if (record.isEmpty())
        return false;

    QCoreApplication::removeTranslator(m_translator);
    const bool loaded = m_translator->load(record.value(QStringLiteral("file")).toString());
    if (loaded)
        QCoreApplication::installTranslator(m_translator);

    const QString font = record.value(QStringLiteral("font")).toString();
    if (!font.isEmpty()) {
        if (QFontDatabase().families().contains(font, Qt::CaseInsensitive)) {
            applyFontRule(font);
            qDebug("Font %s loaded!", font.toUtf8().constData());
        } else {
            qWarning("Font %s not found!", font.toUtf8().constData());
        }
    }

    qDebug("Language changed to %s!", record.value(QStringLiteral("name")).toString().toUtf8().constData());
    emit languageChanged(code);
    return loaded;
}

void LanguageManager::applyFontRule(const QString& family)
{
    QString sheet = qApp->styleSheet();
    const QLatin1String begin(kBeginMarker);
    const QLatin1String end(kEndMarker);
    const int from = sheet.indexOf(begin);
    if (from >= 0) {
        const int to = sheet.indexOf(end, from + begin.size());
        if (to >= 0)
            sheet.remove(from, to + end.size() - from);
    }
    sheet += begin + QStringLiteral("QWidget { font-family: %1 }").arg(family) + end;
    qApp->setStyleSheet(sheet);
}
