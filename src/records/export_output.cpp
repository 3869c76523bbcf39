#include "export_output.h"
#include "gcc12_restrict.h"

#include "text_encoding.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tizhi::records {

ExportOutput::~ExportOutput()
{
    if (direct_ >= 0)
        ::close(direct_);
}

std::string ExportOutput::open(const std::optional<std::string> &path)
{
    int fd = STDOUT_FILENO;
    if (path && *path != "-") {
        name_ = "'" + cli::printableBytes(*path) + "'";
        struct stat target {};
        if (::stat(path->c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
            fd = direct_ = ::open(path->c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        } else {
            replaced_.emplace();
            fd = replaced_->open(*path) ? replaced_->fd() : -1;
        }
        if (fd < 0)
            return "cannot write " + name_ + ": " + std::strerror(errno);
    }
    buffer_.emplace(fd, replaced_.has_value());
    stream_.emplace(&*buffer_);
    return {};
}

std::string ExportOutput::finish(bool complete)
{
    stream_->flush();
    int error = buffer_->error();
    if (direct_ >= 0) {
        if (::close(direct_) != 0 && error == 0 && errno != EINTR)
            error = errno;
        direct_ = -1;
    }
    if (replaced_) {
        if (error != 0 || !complete)
            replaced_->cancel();
        else if (!replaced_->publish())
            error = errno;
    }
    return error == 0 ? std::string() : "cannot write " + name_ + ": " + std::strerror(error);
}

} // namespace tizhi::records
