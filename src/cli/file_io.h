// The batch scorer's descriptors: read so that a read error is never taken
// for the end of the input, written so that no failed write goes unnoticed.
#pragma once

#include "csv.h"

#include <array>
#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>

namespace tizhi::cli {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed at
// start, so that no file opened later takes its place (messages written
// into the output file, input read from it).
void ensureStandardDescriptors();

// Reads a descriptor; a failed read ends the input with an error that
// names `name` and the system's reason.
class FdReadBuffer : public std::streambuf, public ReadErrorSource {
public:
    FdReadBuffer(int fd, std::string name);
    std::string readError() const override { return error_; }

protected:
    int_type underflow() override;

private:
    int fd_;
    std::string name_;
    std::string error_;
    std::array<char, 64 * 1024> buffer_{};
};

// Writes to a descriptor and keeps the reason of the first write that
// failed; nothing is written after it. With `writeBehind`, for a regular
// file that is synced before it is published, what is written is handed to
// the disk every few megabytes, so that the sync waits only for the last
// of it.
class FdWriteBuffer : public std::streambuf {
public:
    explicit FdWriteBuffer(int fd, bool writeBehind = false);
    bool failed() const { return error_ != 0; }
    // The errno of the write that failed, or 0.
    int error() const { return error_; }

    // How much is written before the disk is asked to start on it.
    static constexpr std::int64_t kWriteBehind = 8 * 1024 * 1024;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *data, std::streamsize size) override;
    int sync() override;

private:
    bool flushBuffer();
    bool writeToFd(const char *data, std::size_t size);

    int fd_;
    bool writeBehind_;
    std::int64_t written_ = 0;
    std::int64_t handedToDisk_ = 0;
    int error_ = 0;
    std::array<char, 64 * 1024> buffer_{};
};

// Writes all of `data` to `fd`; false, errno set, when a write fails.
bool writeAll(int fd, std::string_view data);

} // namespace tizhi::cli
