// A streaming CSV reader and writer for the batch scorer: comma separated,
// double-quoted fields with "" inside, LF, CRLF or CR line ends. It works on
// bytes, which is safe for UTF-8 and for GBK alike: no byte of a multi-byte
// character in either is a comma, a quote, CR or LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tizhi::cli {

// The UTF-8 byte order mark that spreadsheets write at the start of a file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Malformed input; `line` is the 1-based line where the fault was found,
// `column` the 1-based field it is in, or 0 when it is in none.
class CsvError : public std::runtime_error {
public:
    CsvError(std::int64_t line, const std::string &message, std::size_t column = 0)
        : std::runtime_error(message), line_(line), column_(column)
    {
    }
    std::int64_t line() const { return line_; }
    std::size_t column() const { return column_; }

private:
    std::int64_t line_;
    std::size_t column_;
};

// A stream buffer that can tell a read error from the end of its input
// (the standard file buffers cannot: both end in EOF).
class ReadErrorSource {
public:
    virtual ~ReadErrorSource() = default;
    // Empty while nothing failed; else what failed, naming the input.
    virtual std::string readError() const = 0;
};

class CsvReader {
public:
    // Bytes read from the input at a time. A record that fits whole is read
    // in place; a longer one, or one with quoted fields, byte by byte.
    static constexpr std::size_t kBufferSize = 256 * 1024;
    // The most a field may hold (its quotes not counted), and a record (one
    // line, or more when a quoted field holds line ends) as the file holds
    // it, its final line end not counted. A form's row needs a few hundred
    // bytes, so anything near these is no form, and memory stays bounded
    // whatever the input is.
    static constexpr std::size_t kMaxFieldBytes = 1024 * 1024;
    static constexpr std::size_t kMaxRecordBytes = 2 * 1024 * 1024;
    static_assert(kBufferSize < kMaxFieldBytes, "a record read in place is never too long");

    // When `in`'s buffer is a ReadErrorSource, a read error ends the reading
    // with a CsvError instead of passing for the end of the input.
    explicit CsvReader(std::istream &in);

    // Whether the input begins with these bytes; reads nothing.
    bool startsWith(std::string_view bytes);
    // Skips a UTF-8 byte order mark if the input begins with one; a second
    // mark right after it is an error (it would pass for part of the first
    // column's name).
    void skipByteOrderMark();

    // Records keep at most this many fields; the count of the rest is still
    // known (fieldCount), so a line of millions of commas costs no memory.
    void setFieldLimit(std::size_t limit) { fieldLimit_ = limit; }

    // Reads the next record into `fields`; false at the end of the input.
    // Empty lines are skipped. Throws CsvError on malformed input.
    bool next(std::vector<std::string> &fields);
    // The same without copying: the views stay valid until the next call.
    bool next(std::vector<std::string_view> &fields);
    // The same, keeping only the fields `keep` accepts, each with its
    // 0-based position: a header of millions of names the reader has no use
    // for costs no memory.
    bool nextHeader(std::vector<std::pair<std::size_t, std::string>> &kept,
                    const std::function<bool(const std::string &)> &keep);

    // Line on which the last record read began.
    std::int64_t recordLine() const { return recordLine_; }
    // Fields of the last record read, also those beyond the limit.
    std::size_t fieldCount() const { return fieldCount_; }
    // Whether the last record read is known to hold only ASCII bytes.
    bool recordIsAscii() const { return ascii_; }

private:
    bool read(const std::function<void(std::string &&)> &onField);
    // The rest of a quoted field after its opening quote, and of an
    // unquoted one from its first byte `c`; both return the byte that ends
    // the field (a comma, CR, LF or EOF).
    int readQuoted(std::string &field);
    int readUnquoted(std::string &field, int c);
    // Adds a byte to a field, refusing one longer than kMaxFieldBytes.
    void append(std::string &field, int c);
    // Refuses a record longer than kMaxRecordBytes once its field ended by `c` is read.
    void checkRecordSize(int c) const;
    // A record of unquoted fields that lies whole in the buffer, read in
    // place; false, having consumed nothing, for any other record.
    bool readPlain(std::vector<std::string_view> &fields);
    // Reads more input after the bytes not yet consumed; false at its end.
    bool fill();
    int get();
    int peek();
    int checked(int c);         // a read error at EOF becomes a CsvError
    void consumeLineEnd(int c); // after CR or LF: counts the line, eats LF after CR

    std::streambuf *source_;
    const ReadErrorSource *errors_ = nullptr;
    std::size_t fieldLimit_ = static_cast<std::size_t>(-1);
    std::size_t fieldCount_ = 0;
    bool ascii_ = false;
    std::unique_ptr<char[]> buffer_; // not cleared: only bytes read are looked at
    std::size_t pos_ = 0;            // next byte to consume
    std::size_t end_ = 0;            // end of the bytes read
    std::uint64_t dropped_ = 0;      // bytes consumed and moved out of the buffer
    std::uint64_t recordStart_ = 0;  // where the record being read began, counted as dropped_
    bool atEnd_ = false;             // the source has no more
    // The fields of a record read byte by byte, one after the other, and
    // where each ends: a row of a million empty fields takes 8 MB, not 32.
    std::string slowBytes_;
    std::vector<std::size_t> slowEnds_;
    std::int64_t line_ = 1;
    std::int64_t recordLine_ = 0;
};

// Whether a field holds a comma, a quote or a line end.
bool needsQuoting(std::string_view field);
// Appends one field, quoted when it holds a comma, a quote or a line end.
void appendCsvField(std::string &out, std::string_view field);
// Appends one record, quoting the fields that need it, ended by "\n".
void appendCsvRecord(std::string &out, const std::vector<std::string> &fields);
// Writes one record the same way.
void writeCsvRecord(std::ostream &out, const std::vector<std::string> &fields);

} // namespace tizhi::cli
