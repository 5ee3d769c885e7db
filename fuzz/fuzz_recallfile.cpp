// recall.xml as the spectrum screen loads it: at most four loaded, each added to a 501-slot
// series over its stored range.
#include "FuzzSupport.h"
#include "plot/OverridingPlotData.h"
#include "storage/RecallFile.h"

#include <cmath>

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::writeFile(QStringLiteral("/data/recall.xml"), FuzzSupport::bytes(data, size));
    const QVector<RecallFile::Slot> loaded = RecallFile::read(RecallFile::path(QStringLiteral("recall.xml"),
                                                                              QStringLiteral("/data")));
    check(loaded.size() <= RecallFile::SLOT_COUNT, "at most four loaded");
    for (const RecallFile::Slot& slot : loaded) {
        if (!slot.present)
            continue;
        OverridingPlotData series(501);
        for (double value : slot.values) {
            check(std::isfinite(value), "values are numbers");
            series.addSample(slot.freqMin, slot.freqMax, value);
        }
        check(series.count() <= 501, "a series keeps its slot count");
        const QRectF bounds = series.boundingRect();
        check(slot.values.isEmpty() || (std::isfinite(bounds.left()) && std::isfinite(bounds.width())),
              "the plotted range is finite");
    }
    return 0;
}
