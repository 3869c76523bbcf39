// Where the export goes: standard output, or a named FILE published as
// tizhi-score publishes its OUTPUT (a regular file replaced whole once
// everything is written and on disk; a device or FIFO written directly).
#pragma once

#include "file_io.h"
#include "output_file.h"

#include <optional>
#include <ostream>
#include <string>

namespace tizhi::records {

class ExportOutput {
public:
    ExportOutput() = default;
    ExportOutput(const ExportOutput &) = delete;
    ExportOutput &operator=(const ExportOutput &) = delete;
    ~ExportOutput();

    // Opens FILE (bytes as given), or takes standard output for none or
    // "-". Empty on success, else why not.
    std::string open(const std::optional<std::string> &path);
    std::ostream &stream() { return *stream_; }
    // Ends the output; FILE appears only when `complete`. Empty on
    // success, else why the output does not stand.
    std::string finish(bool complete);

private:
    std::string name_ = "standard output"; // as messages show it
    int direct_ = -1;                      // a device or FIFO opened, else -1
    std::optional<cli::ReplacedFile> replaced_;
    std::optional<cli::FdWriteBuffer> buffer_;
    std::optional<std::ostream> stream_;
};

} // namespace tizhi::records
