#pragma once

#include <QByteArray>
#include <QtGlobal>

// A file shared with the instrument through a MAP_SHARED mapping. The file is created with its
// size when it is missing and extended when it is too short, but never truncated or replaced:
// the instrument may have it mapped, and shrinking a mapped file kills that process with SIGBUS.
class MappedFile
{
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Makes sure the file exists with at least `size` bytes (no mapping).
    static bool ensure(const QByteArray& path, qint64 size);

    bool map(const QByteArray& path, qint64 size);
    void unmap();
    bool isMapped() const { return m_data != nullptr; }
    quint8* data() const { return m_data; }
    qint64 size() const { return m_size; }

    // 32-bit little-endian words, read and written atomically (the other process sees whole words).
    quint32 load(quint32 offset) const;
    void store(quint32 offset, quint32 value);
    quint32* word(quint32 offset) const;

private:
    quint8* m_data = nullptr;
    qint64 m_size = 0;
};
