// The record index over trees of 1 000, 5 000 and 10 000 records (20 records per folder, so 10 000
// records lie in 500 record folders below 25 barcode folders). Goal: at most 5 s at 10 000
// records on the build machine, and a cost per record that stays flat as the tree grows.
#include "storage/HtmlIndex.h"
#include "storage/RecordWriter.h"
#include "util/Platform.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtMath>

namespace {

const int kRecordsPerFolder = 20;
const int kFoldersPerBarcode = 20;

QVector<QPointF> trace(int count, double base)
{
    QVector<QPointF> points;
    for (int i = 0; i < count; ++i)
        points << QPointF(i, base + 8 * qSin(i / 23.0) + (i * 7919 % 13) * 0.37);
    return points;
}

// One record body of each screen, of the size the instrument writes.
QByteArray recordBody(const QString& name)
{
    QDomDocument document;
    QDomElement root = createRecordRoot(document, name, 1);
    appendCommonHeader(document, root, 0x01041B, QStringLiteral("4711/2024-01-31_Site"));
    const auto add = [&](const char* tag, const QString& text) {
        root.appendChild(createTextElement(document, QLatin1String(tag), text));
    };
    if (name != QLatin1String("algorithm"))
        appendReceiverGroup(document, root, Configuration::MEAS_MODE_LOG, Configuration::ANTENNA_UHF, 5000, true, false);
    add("phase", QStringLiteral("L2"));
    if (name == QLatin1String("spectrum")) {
        add("max_hold", QStringLiteral("Off"));
        root.appendChild(createSeriesElement(document, QStringLiteral("max"), trace(501, -60)));
        root.appendChild(createSeriesElement(document, QStringLiteral("avg"), trace(501, -70)));
    } else if (name == QLatin1String("time")) {
        add("linear_amplifier", QStringLiteral("67"));
        add("maxQuantity", QStringLiteral("20"));
        for (const char* tag : {"times", "sample", "quantity", "pixel"})
            root.appendChild(createSeriesElement(document, QLatin1String(tag), trace(400, 20)));
    } else {
        root.appendChild(createSeriesElement(document, QStringLiteral("max"), trace(500, -50)));
    }
    return document.toByteArray(2);
}

bool writeTree(const QString& device, int records)
{
    const QStringList names{"spectrum", "spectrum", "spectrum", "time", "level", "spectrum", "time", "level",
                            "spectrum", "algorithm"};
    QMap<QString, QByteArray> bodies;
    for (const QString& name : names)
        bodies.insert(name, recordBody(name));
    for (int i = 0; i < records; ++i) {
        const int folder = i / kRecordsPerFolder;
        const QString path = QStringLiteral("%1/%2/2024-%3-%4_Site_%5")
                                 .arg(device)
                                 .arg(400000 + folder / kFoldersPerBarcode)
                                 .arg(1 + folder % 12, 2, 10, QLatin1Char('0'))
                                 .arg(1 + folder % 28, 2, 10, QLatin1Char('0'))
                                 .arg(folder);
        if (i % kRecordsPerFolder == 0 && !QDir().mkpath(path))
            return false;
        const QString& name = names.at(i % names.size());
        const QString stamp = QStringLiteral("20240131_%1").arg(100000 + i % kRecordsPerFolder, 6, 10, QLatin1Char('0'));
        QFile xml(recordFilePath(path, name, stamp, QStringLiteral("xml")));
        if (!xml.open(QIODevice::WriteOnly) || xml.write(bodies.value(name)) < 0)
            return false;
        QFile png(recordFilePath(path, name, stamp, QStringLiteral("png")));
        if (name != QLatin1String("algorithm") && !png.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

void BM_GenerateIndex(benchmark::State& state)
{
    const int records = int(state.range(0));
    QTemporaryDir root;
    // Rooted: the record header's device facts come from stand-ins, never from this machine.
    Platform::setRoot(root.path());
    QFile editenv(root.filePath(QStringLiteral("bin/editenv")));
    if (!QDir().mkpath(root.filePath(QStringLiteral("bin"))) || !editenv.open(QIODevice::WriteOnly)
        || editenv.write("#!/bin/sh\necho CV-1\n") < 0 || !editenv.setPermissions(editenv.permissions() | QFile::ExeOwner)) {
        state.SkipWithError("the product identification stand-in could not be written");
        return;
    }
    editenv.close();
    const QString data = root.filePath(QStringLiteral("data/corvane_data"));
    if (!writeTree(data + QStringLiteral("/CV-1"), records)) {
        state.SkipWithError("the record tree could not be written");
        return;
    }
    for (auto _ : state) {
        if (!HtmlIndex::writeIndex(data, QStringLiteral("CV-1")))
            state.SkipWithError("the index could not be written");
    }
    state.SetItemsProcessed(state.iterations() * records);
    // Wall time per record: flat when the generation is linear in the record count.
    state.counters["per_record"]
        = benchmark::Counter(double(records) * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    Platform::setRoot(QStringLiteral("/"));
}
BENCHMARK(BM_GenerateIndex)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
