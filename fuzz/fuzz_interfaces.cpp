// The network configuration file: the system page reads the eth0 stanza and writes it back.
#include "FuzzSupport.h"
#include "util/SystemHelper.h"

using FuzzSupport::check;

namespace {

const QString FILE_NAME = QStringLiteral("/etc/network/interfaces");

bool operator==(const SystemHelper::InterfaceConfig& a, const SystemHelper::InterfaceConfig& b)
{
    return a.name == b.name && a.family == b.family && a.method == b.method && a.address == b.address
        && a.netmask == b.netmask && a.gateway == b.gateway;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::writeFile(FILE_NAME, FuzzSupport::bytes(data, size));
    SystemHelper::readInterfaceConfig(QStringLiteral("eth0"), FILE_NAME);
    const SystemHelper::InterfaceConfig loopback = SystemHelper::readInterfaceConfig(QStringLiteral("lo"), FILE_NAME);

    // Rewriting eth0 reads back as written and leaves the other stanzas alone.
    const SystemHelper::InterfaceConfig config{QStringLiteral("eth0"), QStringLiteral("inet"), QStringLiteral("static"),
                                               QStringLiteral("192.168.1.5"), QStringLiteral("255.255.255.0"),
                                               QStringLiteral("192.168.1.1")};
    check(SystemHelper::writeInterfaceConfig(config, FILE_NAME), "the file is written");
    check(SystemHelper::readInterfaceConfig(QStringLiteral("eth0"), FILE_NAME) == config, "eth0 reads back as written");
    check(SystemHelper::readInterfaceConfig(QStringLiteral("lo"), FILE_NAME) == loopback, "lo is left alone");
    return 0;
}
