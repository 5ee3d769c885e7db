// Replays inputs through a fuzz target without libFuzzer: every file named on the command line,
// and every file in every folder named there (the seed corpus and the kept crash reproducers).
// Built with the normal compiler and run by CTest, so a fixed finding stays fixed.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QString name = QFile::decodeName(argv[i]);
        QStringList files;
        if (QFileInfo(name).isDir()) {
            const QDir dir(name);
            for (const QString& entry : dir.entryList(QDir::Files, QDir::Name))
                files << dir.filePath(entry);
        } else {
            files << name;
        }
        for (const QString& fileName : files) {
            QFile file(fileName);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(fileName));
                return 1;
            }
            const QByteArray input = file.readAll();
            std::fprintf(stderr, "replaying %s\n", qPrintable(fileName));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
