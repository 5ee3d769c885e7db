// /proc/interrupts as the time-domain screen reads the radio receiver's count from it.
#include "FuzzSupport.h"
#include "util/SystemHelper.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::writeFile(QStringLiteral("/proc/interrupts"), FuzzSupport::bytes(data, size));
    check(SystemHelper::interruptCount() >= 0, "a count");
    return 0;
}
