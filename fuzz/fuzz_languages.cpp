// A language description file in the language directory: discovered, offered and switched to.
// The first input byte names the file (English needs no translation; another language does).
#include "FuzzSupport.h"
#include "util/LanguageManager.h"

#include <QApplication>
#include <QFile>

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::setUp(true);
    FuzzSupport::writeFile(QStringLiteral("/usr/lib/language/corvane_xx.qm"), QByteArray());
    LanguageManager::instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString other = (data[0] & 1) ? QStringLiteral("xx") : QStringLiteral("en");
    const QString code = (data[0] & 1) ? QStringLiteral("en") : QStringLiteral("xx");
    QFile::remove(FuzzSupport::path(QStringLiteral("/usr/lib/language/corvane_%1.cfg").arg(other)));
    FuzzSupport::writeFile(QStringLiteral("/usr/lib/language/corvane_%1.cfg").arg(code),
                           FuzzSupport::bytes(data + 1, size - 1));
    LanguageManager* manager = LanguageManager::instance();
    manager->reloadLanguages();
    for (const QVariant& entry : manager->languages()) {
        const QVariantMap record = entry.toMap();
        check(record.contains(QStringLiteral("name")) && record.contains(QStringLiteral("native")),
              "offered languages have both names");
        manager->changeLanguage(record.value(QStringLiteral("code")).toString());
    }
    check(qApp->styleSheet().count(QLatin1String("/*LANGUAGEMANAGER_BEGIN*/")) <= 1, "one font rule at most");
    return 0;
}
