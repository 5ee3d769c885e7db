// "df -h" output as the USB selection of the system page reads it.
#include "FuzzSupport.h"
#include "util/SystemHelper.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QRegExp pattern(QStringLiteral("/media/[.]*"));
    const QList<QStringList> rows
        = SystemHelper::parseDiskUsage(FuzzSupport::bytes(data, size), pattern, {QStringLiteral("/media/ram")});
    for (const QStringList& row : rows) {
        check(row.size() == 6, "six fields");
        check(row.at(5) != QLatin1String("/media/ram"), "excluded mount points stay out");
        check(QRegExp(pattern).indexIn(row.at(5)) >= 0, "mount points match");
    }
    return 0;
}
