#include "file_io.h"

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

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t done = ::write(fd, data.data(), data.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = EIO; // a write that takes nothing would never end
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

FdWriteBuffer::FdWriteBuffer(int fd, bool writeBehind) : fd_(fd), writeBehind_(writeBehind)
{
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool FdWriteBuffer::writeToFd(const char *data, std::size_t size)
{
    if (error_ != 0)
        return false;
    if (!writeAll(fd_, std::string_view(data, size))) {
        error_ = errno;
        return false;
    }
    written_ += static_cast<std::int64_t>(size);
    if (writeBehind_ && written_ - handedToDisk_ >= kWriteBehind) {
        // Only a request to start writing; whether it was taken changes
        // nothing but the time the final sync takes.
        sync_file_range(fd_, handedToDisk_, written_ - handedToDisk_, SYNC_FILE_RANGE_WRITE);
        handedToDisk_ = written_;
    }
    return true;
}

bool FdWriteBuffer::flushBuffer()
{
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    if (size > 0)
        writeToFd(pbase(), size);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

FdWriteBuffer::int_type FdWriteBuffer::overflow(int_type c)
{
    if (!flushBuffer())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize FdWriteBuffer::xsputn(const char *data, std::streamsize size)
{
    if (size >= epptr() - pptr()) {
        if (!flushBuffer())
            return 0;
        if (size >= static_cast<std::streamsize>(buffer_.size()))
            return writeToFd(data, static_cast<std::size_t>(size)) ? size : 0;
    }
    std::memcpy(pptr(), data, static_cast<std::size_t>(size));
    pbump(static_cast<int>(size));
    return size;
}

int FdWriteBuffer::sync()
{
    return flushBuffer() ? 0 : -1;
}

} // namespace tizhi::cli
