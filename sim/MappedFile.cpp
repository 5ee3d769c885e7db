#include "MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

MappedFile::~MappedFile()
{
    unmap();
}

bool MappedFile::ensure(const QByteArray& path, qint64 size)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && info.st_size < size)
        ok = ::ftruncate(fd, size) == 0; // only ever grows the file
    ::close(fd);
    return ok;
}

bool MappedFile::map(const QByteArray& path, qint64 size)
{
    unmap();
    if (!ensure(path, size))
        return false;
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    void* address = ::mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (address == MAP_FAILED)
        return false;
    m_data = static_cast<quint8*>(address);
    m_size = size;
    return true;
}

void MappedFile::unmap()
{
    if (m_data)
        ::munmap(m_data, size_t(m_size));
    m_data = nullptr;
    m_size = 0;
}

quint32* MappedFile::word(quint32 offset) const
{
    return reinterpret_cast<quint32*>(m_data + offset);
}

quint32 MappedFile::load(quint32 offset) const
{
    return __atomic_load_n(word(offset), __ATOMIC_ACQUIRE);
}

void MappedFile::store(quint32 offset, quint32 value)
{
    __atomic_store_n(word(offset), value, __ATOMIC_RELEASE);
}
