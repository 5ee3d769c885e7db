#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class QTranslator;

// The installed user-interface languages. Each language is described by a small INI file
// "corvane_<code>.cfg" in the language directory (its English and native names, optionally a
// font); the compiled translation "corvane_<code>.qm" sits next to it. Switching the language
// exchanges the application's translator and, for a language with a font of its own, puts one
// font rule between two marker comments into the application style sheet.
class LanguageManager : public QObject
{
    Q_OBJECT

public:
    static LanguageManager* instance();

    // The board's language directory (below the platform root, worked out at each call).
    static QString languageDirectory();

    // Rescans the language directory.
    void reloadLanguages();
    // One QVariantMap per accepted language ("code", "file", "name", "native", optional "font").
    QVariantList languages() const;
    // The record of the language with this code; empty when none is installed.
    QVariantMap language(const QString& code) const;
    // True when the language's translation file was loaded (false for English, which needs none).
    bool changeLanguage(QString code);

signals:
    void languageChanged(QString code);

private:
    LanguageManager();
    // Replaces the marked font rule of the application style sheet (or appends one).
    static void applyFontRule(const QString& family);

    QVariantList m_languages;
    QTranslator* m_translator;
};
