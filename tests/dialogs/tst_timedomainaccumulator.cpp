#include "dialogs/TimeDomainAccumulator.h"

#include <QtTest>

#include <memory>
#include <vector>

// The time-domain screen's sweep processing: where a sample lands in the persistence image, how
// kept sweeps are retired, the activity figures, and settings a damaged file may hold.
class TestTimeDomainAccumulator : public QObject
{
    Q_OBJECT

private:
    // 500 samples at 0 counts except the given (index, counts) pairs; tag bits above 14 set.
    static std::vector<quint32> sweep(std::initializer_list<std::pair<int, quint32>> spikes, int n = 500)
    {
        std::vector<quint32> values(size_t(n), 0xABC00000u);
        for (const auto& spike : spikes)
            values[size_t(spike.first)] |= spike.second;
        return values;
    }
    static std::unique_ptr<TimeDomainAccumulator> make(int persistency, int r = 1, int level = 0)
    {
        auto data = std::make_unique<TimeDomainAccumulator>();
        data->setResolution(r);
        data->setPersistency(persistency);
        data->setActivityLevel(level);
        return data;
    }
    static void add(TimeDomainAccumulator& data, const std::vector<quint32>& values, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            data.addSweep(values.data(), int(values.size()));
    }
    // The columns of row y holding a hit.
    static QList<int> hitColumns(const TimeDomainAccumulator& data, int y)
    {
        QList<int> columns;
        for (int x = 0; x < PersistenceImage::WIDTH; ++x)
            if (data.image().pixelIndex(x, y))
                columns << x;
        return columns;
    }

private slots:
    void conversions_data()
    {
        QTest::addColumn<QList<int>>("scale"); // r, ampMin, ampMax
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QList<int>>("expected"); // valueToPixel, pixelToValue of that, percent
        QTest::newRow("half scale") << QList<int>{1, 0, 100} << 8192u << QList<int>{131, 8160, 50};
        QTest::newRow("16300 near the top") << QList<int>{1, 0, 100} << 16300u << QList<int>{2, 16257, 99};
        QTest::newRow("coarse, range minimum") << QList<int>{3, 20, 80} << 3276u << QList<int>{259, 3276, 19};
        QTest::newRow("coarse, half scale") << QList<int>{3, 20, 80} << 8191u << QList<int>{130, 8190, 50};
        QTest::newRow("coarse, maximum above row r") << QList<int>{3, 20, 80} << 13105u << QList<int>{1, 13105, 79};
        QTest::newRow("coarse, below the range") << QList<int>{3, 20, 80} << 1000u << QList<int>{316, 3276, 6};
    }
    void conversions()
    {
        QFETCH(QList<int>, scale);
        QFETCH(quint32, value);
        QFETCH(QList<int>, expected);
        auto data = make(50, scale[0]);
        data->setAmplitudeRange(scale[1], scale[2]);
        const int pixel = data->valueToPixel(value);
        QCOMPARE((QList<int>{pixel, int(data->pixelToValue(pixel)), data->valueToCoordinate(value)}), expected);
    }

    void phaseShiftAndSampleCount_data()
    {
        QTest::addColumn<QList<int>>("pulse"); // samples, phase shift, index of the pulse
        QTest::addColumn<int>("column"); // -1: not drawn
        QTest::newRow("no shift") << QList<int>{500, 0, 100} << 100;
        QTest::newRow("90 degrees rotate left by 125") << QList<int>{500, 90, 125} << 0;
        QTest::newRow("90 degrees wrap around") << QList<int>{500, 90, 0} << 375;
        QTest::newRow("a full period") << QList<int>{500, 360, 100} << 100;
        QTest::newRow("600 samples: rotation modulo 500") << QList<int>{600, 90, 125} << 0;
        QTest::newRow("600 samples: the rest unused") << QList<int>{600, 0, 550} << -1;
        QTest::newRow("negative shift from the file") << QList<int>{500, -90, 100} << 100;
    }
    void phaseShiftAndSampleCount()
    {
        QFETCH(QList<int>, pulse);
        QFETCH(int, column);
        auto data = make(50);
        data->setPhaseShift(pulse[1]);
        add(*data, sweep({{pulse[2], 8192}}, pulse[0]));
        QCOMPARE(hitColumns(*data, 131), column < 0 ? QList<int>() : QList<int>{column});
    }

    void samplesAreLimitedAndRowsOutsideCount()
    {
        auto data = make(50, 1, 20);
        add(*data, sweep({{10, 16383}}));
        QCOMPARE(hitColumns(*data, 2), QList<int>{10}); // taken as 16300, not row 0
        data->setAmplitudeRange(40, 60); // starts afresh
        QCOMPARE(data->count(), quint64(0));
        add(*data, sweep({{10, 16000}}));
        for (int y = 0; y < PersistenceImage::HEIGHT; ++y)
            QVERIFY(hitColumns(*data, y).isEmpty());
        QCOMPARE(data->activity(), 98 - 20); // 16000 / 163 percent, outside the range all the same
    }

    void finitePersistenceRetiresTheOldest_data()
    {
        QTest::addColumn<int>("persistency");
        QTest::newRow("50") << 50;
        QTest::newRow("100") << 100;
    }
    void finitePersistenceRetiresTheOldest()
    {
        QFETCH(int, persistency);
        auto data = make(persistency, 3);
        add(*data, sweep({{100, 8192}}));
        add(*data, sweep({}), persistency - 1);
        QCOMPARE(data->image().pixelIndex(99, data->valueToPixel(8192)), 1);
        add(*data, sweep({}));
        QCOMPARE(data->count(), quint64(persistency));
        QCOMPARE(data->image().pixelIndex(99, data->valueToPixel(8192)), 0);
        QCOMPARE(data->image().pixelIndex(0, data->valueToPixel(0)), std::min(3 * persistency, 10)); // 3 samples a block
    }

    void infinitePersistenceAveragesAfter10000Sweeps()
    {
        auto data = make(0, 1, 20);
        const std::vector<quint32> values = sweep({{7, 9830}}); // 60 %, 40 above the level
        add(*data, values, 10001);
        QCOMPARE(data->count(), quint64(1));
        QCOMPARE(data->activitySum(), quint64(40));
        QCOMPARE(data->activity(), 40);
        QCOMPARE(data->image().pixelIndex(7, data->valueToPixel(9830)), 10); // never retired
    }

    void finiteActivityAndLineMode()
    {
        auto data = make(50, 1, 20);
        std::vector<quint32> high(500, 9780); // 60 % by 163 counts per percent
        add(*data, high);
        add(*data, sweep({}));
        QCOMPARE(data->activity(), 40 * 500 / 2);

        data->setPersistency(1);
        data->setPhaseShift(90);
        add(*data, sweep({{125, 300}, {126, 16383}}));
        QCOMPARE(data->count(), quint64(1));
        const std::vector<quint32>& line = data->firstKeptSweep();
        QCOMPARE(int(line.size()), 500);
        QCOMPARE(line[0], 300u);
        QCOMPARE(line[1], 16383u); // raw, not limited
        QCOMPARE(data->activity(), 100 - 20);
        QVERIFY(hitColumns(*data, 261).isEmpty());
        data->addSweep(nullptr, 500);
        data->addSweep(line.data(), 0);
        QCOMPARE(data->count(), quint64(1));
    }
};

QTEST_MAIN(TestTimeDomainAccumulator)
#include "tst_timedomainaccumulator.moc"
