#include "util/BootEnvironment.h"

#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QDebug>
#include <QFile>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <linux/fs.h>
#include <mtd/mtd-user.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

bool BootEnvironment::s_dirty = false;

namespace {

const char* const READ_DEVICE = "/dev/mtdblock1";
const char* const WRITE_DEVICE = "/dev/mtd1";

const std::array<quint32, 256>& crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t {};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
            t[n] = c;
        }
        return t;
    }();
    return table;
}

quint32 storedChecksum(const uchar* image)
{
    return quint32(image[0]) | (quint32(image[1]) << 8) | (quint32(image[2]) << 16) | (quint32(image[3]) << 24);
}

// The size of what the descriptor refers to: a regular file's length or a block device's
// capacity; -1 for anything else.
qint64 deviceSize(int fd)
{
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return -1;
    if (S_ISREG(info.st_mode))
        return info.st_size;
    if (S_ISBLK(info.st_mode)) {
        quint64 bytes = 0;
        if (::ioctl(fd, BLKGETSIZE64, &bytes) == 0)
            return qint64(bytes);
    }
    return -1;
}

bool isRegularFile(int fd)
{
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

bool writeAll(int fd, const char* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

bool isValidName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('=')) && !name.contains(QChar(0));
}

} // namespace

BootEnvironment::BootEnvironment()
    : QObject(nullptr)
    , m_writable(false)
{
    // The partition written back is the one read here.
    const QString readDevice = Platform::path(QString::fromLatin1(READ_DEVICE));
    m_writeDevice = Platform::path(QString::fromLatin1(WRITE_DEVICE));
    const ReadResult result = readPartition(readDevice, &m_variables);
    m_writable = result == READ_OK;
    if (result == READ_BAD_CHECKSUM)
        qDebug() << "BootEnvironment: bad checksum, the environment is read as empty and left alone";
    s_dirty = false;
}

BootEnvironment* BootEnvironment::instance()
{
    static BootEnvironment* instance = new BootEnvironment();
    Q_ASSERT_X(instance != nullptr, "BootEnvironment", "NULL != instance");
    return instance;
}

void BootEnvironment::setValue(const QString& name, const QString& value)
{
    if (!isValidName(name) || value.contains(QChar(0))) {
        qDebug() << "BootEnvironment::setValue(): unusable variable" << name;
        return;
    }
    m_variables.insert(name, value);
    s_dirty = true;
}

QString BootEnvironment::value(const QString& name, const QString& defaultValue) const
{
    return m_variables.value(name, defaultValue);
}

bool BootEnvironment::contains(const QString& name) const
{
    return m_variables.contains(name);
}

void BootEnvironment::save()
{
    if (!s_dirty)
        return;
    s_dirty = false;
    if (!m_writable) {
        qDebug() << "BootEnvironment::save(): the partition was not read intact, it is not written";
        return;
    }
    QByteArray image;
    if (!buildImage(m_variables, &image)) {
        qDebug() << "BootEnvironment::save(): the variables do not fit, nothing written";
        return;
    }
    if (!SystemHelper::mountData())
        return;
    const WriteResult result = writePartition(m_writeDevice, image);
    SystemHelper::unmountData();
    if (result != WRITE_OK)
        qDebug() << "BootEnvironment::save(): writing failed" << result;
}

quint32 BootEnvironment::crc32(const uchar* data, size_t size)
{
    const std::array<quint32, 256>& table = crcTable();
    quint32 crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

BootEnvironment::ReadResult BootEnvironment::parseImage(const uchar* image, QMap<QString, QString>* variables)
{
    variables->clear();
    if (crc32(image + DATA_OFFSET, DATA_SIZE) != storedChecksum(image))
        return READ_BAD_CHECKSUM;

    const char* text = reinterpret_cast<const char*>(image);
    int position = DATA_OFFSET;
    while (position < IMAGE_SIZE) {
        const void* end = std::memchr(text + position, '\0', size_t(IMAGE_SIZE - position));
        // A text running to the end of the image has no terminator: the list ends there.
        if (!end)
            break;
        const int length = int(static_cast<const char*>(end) - (text + position));
        if (length == 0)
            break;
        const QString entry = QString::fromLatin1(text + position, length);
        const int separator = entry.indexOf(QLatin1Char('='));
        if (separator > 0)
            variables->insert(entry.left(separator), entry.mid(separator + 1));
        position += length + 1;
    }
    return READ_OK;
}

bool BootEnvironment::buildImage(const QMap<QString, QString>& variables, QByteArray* image)
{
    image->clear();
    QByteArray buffer(IMAGE_SIZE, '\0');
    int position = DATA_OFFSET;
    for (auto it = variables.constBegin(); it != variables.constEnd(); ++it) {
        QByteArray entry = it.key().toLatin1();
        if (!it.value().isEmpty())
            entry += '=' + it.value().toLatin1();
        // The entry, its NUL and the empty text that ends the list must stay inside the image.
        if (qint64(position) + entry.size() + 2 > IMAGE_SIZE)
            return false;
        std::memcpy(buffer.data() + position, entry.constData(), size_t(entry.size()));
        position += entry.size() + 1;
    }
    const quint32 crc = crc32(reinterpret_cast<const uchar*>(buffer.constData()) + DATA_OFFSET, DATA_SIZE);
    for (int i = 0; i < 4; ++i)
        buffer[i] = char((crc >> (8 * i)) & 0xFFu);
    *image = buffer;
    return true;
}

BootEnvironment::ReadResult BootEnvironment::readPartition(const QString& device, QMap<QString, QString>* variables)
{
    variables->clear();
    const QByteArray name = QFile::encodeName(device);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::printf("Fehler bei open %s\n", name.constData());
        return READ_OPEN_FAILED;
    }
    // Mapping past the end of a shorter file would fault on the first access.
    if (deviceSize(fd) < IMAGE_SIZE) {
        ::close(fd);
        return READ_MAP_FAILED;
    }
    void* mapping = ::mmap(nullptr, IMAGE_SIZE, PROT_READ, MAP_SHARED, fd, 0);
    if (mapping == MAP_FAILED) {
        std::printf("Fehler bei mmap %s\n", name.constData());
        ::close(fd);
        return READ_MAP_FAILED;
    }
    const ReadResult result = parseImage(static_cast<const uchar*>(mapping), variables);
    ::munmap(mapping, IMAGE_SIZE);
    ::close(fd);
    return result;
}

BootEnvironment::WriteResult BootEnvironment::writePartition(const QString& device, const QByteArray& image)
{
    if (image.size() != IMAGE_SIZE)
        return WRITE_FAILED;
    const QByteArray name = QFile::encodeName(device);
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::printf("Fehler bei open %s\n", name.constData());
        return WRITE_OPEN_FAILED;
    }

    if (isRegularFile(fd)) {
        // A file standing in for the flash: no erase blocks, written in place.
        const bool written = ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, image.constData(), size_t(image.size()))
            && ::fsync(fd) == 0;
        ::close(fd);
        return written ? WRITE_OK : WRITE_FAILED;
    }

    mtd_info_user info;
    std::memset(&info, 0, sizeof(info));
    if (::ioctl(fd, MEMGETINFO, &info) != 0 || info.erasesize == 0 || info.size < quint32(IMAGE_SIZE)) {
        std::printf("Fehler bei MEMGETINFO %s\n", name.constData());
        ::close(fd);
        return WRITE_NO_MTD_INFO;
    }
    for (quint32 offset = 0; offset < info.size; offset += info.erasesize) {
        erase_info_user block;
        block.start = offset;
        block.length = info.erasesize;
        // Many chips have no lock; a failed unlock shows up as a failed erase if it matters.
        ::ioctl(fd, MEMUNLOCK, &block);
        if (::ioctl(fd, MEMERASE, &block) != 0) {
            std::printf("Fehler bei MEMERASE %s\n", name.constData());
            ::close(fd);
            return WRITE_FAILED;
        }
    }
    const bool written = ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, image.constData(), size_t(image.size()));
    ::close(fd);
    return written ? WRITE_OK : WRITE_FAILED;
}
