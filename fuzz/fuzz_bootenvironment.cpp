// The boot loader's environment image as the partition holds it. The first input byte chooses
// whether the checksum is made to match (so that the entries are parsed) or taken as it stands.
#include "FuzzSupport.h"
#include "util/BootEnvironment.h"

#include <cstring>

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool sealed = data[0] & 1;
    ++data;
    --size;
    QByteArray image(BootEnvironment::IMAGE_SIZE, '\0');
    const int offset = sealed ? BootEnvironment::DATA_OFFSET : 0;
    std::memcpy(image.data() + offset, data, qMin(size, size_t(image.size() - offset)));
    uchar* bytes = reinterpret_cast<uchar*>(image.data());
    if (sealed) {
        const quint32 crc = BootEnvironment::crc32(bytes + BootEnvironment::DATA_OFFSET, BootEnvironment::DATA_SIZE);
        for (int i = 0; i < 4; ++i)
            bytes[i] = uchar(crc >> (8 * i));
    }

    QMap<QString, QString> variables;
    const BootEnvironment::ReadResult result = BootEnvironment::parseImage(bytes, &variables);
    check(result == BootEnvironment::READ_OK || result == BootEnvironment::READ_BAD_CHECKSUM, "a known result");
    check(result == BootEnvironment::READ_OK || variables.isEmpty(), "a bad checksum gives no variables");
    check(!sealed || result == BootEnvironment::READ_OK, "a matching checksum is accepted");
    for (auto it = variables.constBegin(); it != variables.constEnd(); ++it)
        check(!it.key().isEmpty() && !it.key().contains(QLatin1Char('=')), "names are usable");

    // Written back and read again, the image gives the same variables, less those whose value is
    // empty (they are written as a bare name).
    QByteArray rebuilt;
    check(BootEnvironment::buildImage(variables, &rebuilt), "what was read fits again");
    QMap<QString, QString> reread;
    check(BootEnvironment::parseImage(reinterpret_cast<const uchar*>(rebuilt.constData()), &reread)
              == BootEnvironment::READ_OK,
          "the rebuilt image reads back");
    QMap<QString, QString> expected = variables;
    for (auto it = expected.begin(); it != expected.end();)
        it = it.value().isEmpty() ? expected.erase(it) : it + 1;
    check(reread == expected, "the variables survive a write");
    return 0;
}
