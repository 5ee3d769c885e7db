#include "storage/RecordWriter.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>

#include <limits>

int findHighestFolderIndex(const QString& path, const QString& folderName)
{
    // QDir("") would be the working folder.
    if (path.isEmpty())
        return -1;
    const QFileInfoList entries
        = QDir(path).entryInfoList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Time | QDir::Reversed);

    // The folder name is the operator's text: it is matched literally, so that a name such as
    // "Site (2)" or "a+b" neither breaks the pattern nor matches other folders.
    QString pattern = QRegularExpression::escape(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    if (!folderName.isEmpty())
        pattern += QStringLiteral("_%1").arg(QRegularExpression::escape(folderName));
    pattern += QStringLiteral("(_(\\d*))?");
    const QRegularExpression expression(pattern);

    int result = -1;
    for (const QFileInfo& entry : entries) {
        const QRegularExpressionMatch match = expression.match(entry.fileName());
        if (!match.hasMatch())
            continue;
        bool ok = false;
        const uint index = match.captured(2).isEmpty() ? 0u : match.captured(2).toUInt(&ok, 10);
        // An index too large to be followed by another one is ignored rather than wrapped.
        if (!match.captured(2).isEmpty() && (!ok || index >= uint(std::numeric_limits<int>::max())))
            continue;
        if (int(index) > result)
            result = int(index);
    }
    return result;
}
