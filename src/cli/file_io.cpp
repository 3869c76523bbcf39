#include "file_io.h"

#include <QIODevice>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
}

bool DeviceWriteBuffer::flushBuffer()
{
    const qint64 size = pptr() - pbase();
    if (size > 0 && !failed_ && device_.write(pbase(), size) != size)
        failed_ = true;
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
        if (size >= static_cast<std::streamsize>(buffer_.size())) {
            if (device_.write(data, size) != size) {
                failed_ = true;
                return 0;
            }
            return size;
        }
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
