// calib.ini as the calibration store reads it back: every value within its limits.
#include "FuzzSupport.h"
#include "util/Calibration.h"

#include <cmath>

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::setUp();
    Calibration::instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Calibration::clear();
    FuzzSupport::writeFile(QStringLiteral("/data/calib.ini"), FuzzSupport::bytes(data, size));
    for (int i = Calibration::VT_AmpOnLOGOffset; i <= Calibration::VT_NullOffsetENV; ++i) {
        const auto type = Calibration::ValueType(i);
        const int whole = Calibration::getInt(type);
        check(whole >= Calibration::getMin(type) && whole <= Calibration::getMax(type), "int within its limits");
        const double number = Calibration::getDouble(type);
        check(std::isfinite(number) && number >= Calibration::getMinDouble(type)
                  && number <= Calibration::getMaxDouble(type),
              "double within its limits");
    }
    Calibration::getString(Calibration::VT_KalibTimestamp);
    return 0;
}
