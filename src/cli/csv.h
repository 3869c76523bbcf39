// A streaming CSV reader and writer for the batch scorer: comma separated,
// double-quoted fields with "" inside, LF, CRLF or CR line ends. It works on
// bytes, which is safe for UTF-8 and for GBK alike: no byte of a multi-byte
// character in either is a comma, a quote, CR or LF.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tizhi::cli {

// Malformed input; `line` is the 1-based line where the fault was found.
class CsvError : public std::runtime_error {
public:
    CsvError(std::int64_t line, const std::string &message)
        : std::runtime_error(message), line_(line)
    {
    }
    std::int64_t line() const { return line_; }

private:
    std::int64_t line_;
};

class CsvReader {
public:
    explicit CsvReader(std::istream &in);

    // Skips a UTF-8 byte order mark if the input begins with one.
    void skipByteOrderMark();

    // Reads the next record into `fields`; false at the end of the input.
    // Empty lines are skipped. Throws CsvError on malformed input.
    bool next(std::vector<std::string> &fields);

    // Line on which the last record read began.
    std::int64_t recordLine() const { return recordLine_; }

private:
    int get();
    int peek();
    void consumeLineEnd(int c); // after CR or LF: counts the line, eats LF after CR

    std::streambuf *buffer_;
    std::int64_t line_ = 1;
    std::int64_t recordLine_ = 0;
};

// Writes one record, quoting the fields that need it, ended by "\n".
void writeCsvRecord(std::ostream &out, const std::vector<std::string> &fields);

} // namespace tizhi::cli
