// "ifconfig eth0" output as the device information page reads it: a MAC address, then IPv4
// addresses.
#include "FuzzSupport.h"
#include "util/SystemHelper.h"

#include <QRegularExpression>

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QRegularExpression address(QStringLiteral("^(([0-9]{1,3}[.]){3}[0-9]{1,3}|([0-9A-Fa-f]{2}[:.-]){5}[0-9A-Fa-f]{2})$"));
    for (const QString& text : SystemHelper::parseInterfaceAddresses(FuzzSupport::bytes(data, size)))
        check(address.match(text).hasMatch(), "only addresses");
    return 0;
}
