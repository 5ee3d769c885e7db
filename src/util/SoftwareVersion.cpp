#include "util/SoftwareVersion.h"

QString SoftwareVersion::text()
{
    return QStringLiteral("2.0.14");
}

QString SoftwareVersion::buildDate()
{
    return QStringLiteral(__DATE__ " " __TIME__);
}
