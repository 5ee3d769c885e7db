#include "util/BarcodeCheck.h"

QString BarcodeCheck::problem(const QString& barcode)
{
    if (barcode.isEmpty())
        return tr("it is empty");
    if (barcode.size() > MAX_LENGTH)
        return tr("longer than %1 characters").arg(MAX_LENGTH);
    for (const QChar c : barcode) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return tr("it contains control characters");
    }
    // "/" would split the path; the others cannot be copied to a stick's file system.
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : barcode) {
        if (refused.contains(c))
            return tr("it contains characters not allowed in a folder name");
    }
    if (barcode.count(QLatin1Char('.')) == barcode.size())
        return tr("it is no folder name");
    return QString();
}
