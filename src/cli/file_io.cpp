#include "file_io.h"

#include <QFileDevice>
#include <QIODevice>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tizhi::cli {

void ensureStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor is `fd` itself.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0)
            close(opened);
    }
}

FdReadBuffer::FdReadBuffer(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

FdReadBuffer::int_type FdReadBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (!error_.empty())
        return traits_type::eof();
    while (true) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got > 0) {
            setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
            return traits_type::to_int_type(*gptr());
        }
        if (got == 0)
            return traits_type::eof();
        if (errno == EINTR)
            continue;
        error_ = "cannot read " + name_ + ": " + std::strerror(errno);
        return traits_type::eof();
    }
}

DeviceWriteBuffer::DeviceWriteBuffer(QIODevice &device) : device_(device)
{
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (auto *file = qobject_cast<QFileDevice *>(&device)) {
        struct stat info {};
        if (file->handle() >= 0 && fstat(file->handle(), &info) == 0 && S_ISREG(info.st_mode) &&
            file->pos() == 0)
            fileDescriptor_ = file->handle();
    }
}

bool DeviceWriteBuffer::writeToDevice(const char *data, qint64 size)
{
    if (failed_ || device_.write(data, size) != size) {
        failed_ = true;
        return false;
    }
    written_ += size;
    if (fileDescriptor_ >= 0 && written_ - handedToDisk_ >= kWriteBehind) {
        // Only a request to start writing; whether it was taken changes
        // nothing but the time the final sync takes.
        auto *file = static_cast<QFileDevice *>(&device_);
        if (file->flush())
            sync_file_range(fileDescriptor_, handedToDisk_, written_ - handedToDisk_,
                            SYNC_FILE_RANGE_WRITE);
        handedToDisk_ = written_;
    }
    return true;
}

bool DeviceWriteBuffer::flushBuffer()
{
    const qint64 size = pptr() - pbase();
    if (size > 0)
        writeToDevice(pbase(), size);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return !failed_;
}

DeviceWriteBuffer::int_type DeviceWriteBuffer::overflow(int_type c)
{
    if (!flushBuffer())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize DeviceWriteBuffer::xsputn(const char *data, std::streamsize size)
{
    if (size >= epptr() - pptr()) {
        if (!flushBuffer())
            return 0;
        if (size >= static_cast<std::streamsize>(buffer_.size()))
            return writeToDevice(data, size) ? size : 0;
    }
    std::memcpy(pptr(), data, static_cast<std::size_t>(size));
    pbump(static_cast<int>(size));
    return size;
}

int DeviceWriteBuffer::sync()
{
    return flushBuffer() ? 0 : -1;
}

} // namespace tizhi::cli
