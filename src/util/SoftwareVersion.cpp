#include "util/SoftwareVersion.h"

QString SoftwareVersion::text()
{
    return QStringLiteral(CORVANE_VERSION);
}

QString SoftwareVersion::buildDate()
{
    return QStringLiteral(__DATE__ " " __TIME__);
}
