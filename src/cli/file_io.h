// The batch scorer's files: descriptors read so that a read error is never
// taken for the end of the input, and a named output written through a
// device so that it can be published whole or not at all.
#pragma once

#include "csv.h"

#include <QtGlobal>

#include <array>
#include <streambuf>
#include <string>

class QIODevice;

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

// Writes to a device and remembers whether any write failed. Into a regular
// file, what is written is handed to the disk every few megabytes, so that
// the sync before the file is published waits only for the last of it.
class DeviceWriteBuffer : public std::streambuf {
public:
    explicit DeviceWriteBuffer(QIODevice &device);
    bool failed() const { return failed_; }

    // How much is written before the disk is asked to start on it.
    static constexpr qint64 kWriteBehind = 8 * 1024 * 1024;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *data, std::streamsize size) override;
    int sync() override;

private:
    bool flushBuffer();
    bool writeToDevice(const char *data, qint64 size);

    QIODevice &device_;
    int fileDescriptor_ = -1; // a regular file's, else -1
    qint64 written_ = 0;
    qint64 handedToDisk_ = 0;
    bool failed_ = false;
    std::array<char, 64 * 1024> buffer_{};
};

} // namespace tizhi::cli
