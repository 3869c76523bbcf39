#include "csv.h"

#include <algorithm>
#include <array>

namespace tizhi::cli {

namespace {
constexpr int kEof = std::char_traits<char>::eof();

// The bytes that end an unquoted field or need quoting: , " CR LF.
constexpr std::array<bool, 256> kSpecial = [] {
    std::array<bool, 256> special{};
    for (const unsigned char c : {',', '"', '\r', '\n'})
        special[c] = true;
    return special;
}();

std::string mebibytes(std::size_t bytes)
{
    return std::to_string(bytes / (1024 * 1024)) + " MiB";
}
} // namespace

CsvReader::CsvReader(std::istream &in)
    : source_(in.rdbuf()), errors_(dynamic_cast<const ReadErrorSource *>(source_)),
      buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize))
{
}

bool CsvReader::fill()
{
    if (atEnd_ || !source_)
        return false;
    if (pos_ > 0) {
        dropped_ += pos_;
        std::copy(buffer_.get() + pos_, buffer_.get() + end_, buffer_.get());
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ == kBufferSize)
        return false; // full of one record: the caller reads it byte by byte
    // What the source holds already, or what one read brings: a pipe's rows
    // are scored as they come, not once a whole buffer has arrived.
    std::streamsize available = source_->in_avail();
    if (available <= 0) {
        if (source_->sgetc() == kEof) {
            atEnd_ = true;
            return false;
        }
        available = std::max<std::streamsize>(source_->in_avail(), 1);
    }
    const std::streamsize got =
        source_->sgetn(buffer_.get() + end_,
                       std::min(available, static_cast<std::streamsize>(kBufferSize - end_)));
    if (got <= 0) {
        atEnd_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

int CsvReader::checked(int c)
{
    if (c == kEof && errors_) {
        if (const std::string error = errors_->readError(); !error.empty())
            throw CsvError(line_, error);
    }
    return c;
}

int CsvReader::get()
{
    if (pos_ == end_ && !fill())
        return checked(kEof);
    return static_cast<unsigned char>(buffer_[pos_++]);
}

int CsvReader::peek()
{
    if (pos_ == end_ && !fill())
        return checked(kEof);
    return static_cast<unsigned char>(buffer_[pos_]);
}

void CsvReader::consumeLineEnd(int c)
{
    if (c == '\r' && peek() == '\n')
        get();
    ++line_;
}

bool CsvReader::startsWith(std::string_view bytes)
{
    // Read ahead and kept to be read again; a read error before them is an
    // error here.
    while (end_ - pos_ < bytes.size() && fill()) {
    }
    if (end_ - pos_ < bytes.size())
        checked(kEof);
    return std::string_view(buffer_.get() + pos_, end_ - pos_).starts_with(bytes);
}

void CsvReader::skipByteOrderMark()
{
    // Only these three bytes are a mark: a header may begin with another
    // character whose UTF-8 starts with 0xEF, such as "（" or "Ｉ".
    if (!startsWith(kUtf8ByteOrderMark))
        return;
    pos_ += kUtf8ByteOrderMark.size();
    if (startsWith(kUtf8ByteOrderMark))
        throw CsvError(1, "the input begins with two byte order marks; remove the second, "
                          "or it would pass for part of the first column's name");
}

bool CsvReader::next(std::vector<std::string> &fields)
{
    std::vector<std::string_view> views;
    const bool found = next(views);
    fields.assign(views.begin(), views.end());
    return found;
}

bool CsvReader::next(std::vector<std::string_view> &fields)
{
    fields.clear();
    if (readPlain(fields))
        return true;
    ascii_ = false; // not known
    slowBytes_.clear();
    slowEnds_.clear();
    const bool found = read([this](std::string &&field) {
        if (fieldCount_ <= fieldLimit_) {
            slowBytes_ += field;
            slowEnds_.push_back(slowBytes_.size());
        }
    });
    // Whatever the attempt in place left there goes.
    fields.clear();
    fields.reserve(slowEnds_.size());
    std::size_t start = 0;
    for (const std::size_t end : slowEnds_) {
        fields.emplace_back(slowBytes_.data() + start, end - start);
        start = end;
    }
    return found;
}

bool CsvReader::readPlain(std::vector<std::string_view> &fields)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (pos_ == end_ && !fill())
            return false;
        const char *const data = buffer_.get();
        if (data[pos_] == '\r' || data[pos_] == '\n')
            return false; // empty lines are skipped by the byte-by-byte reader
        fields.clear();
        std::size_t count = 0;
        std::size_t at = pos_;
        unsigned char bits = 0;
        while (true) {
            const std::size_t fieldStart = at;
            while (at < end_ && !kSpecial[static_cast<unsigned char>(data[at])]) {
                bits |= static_cast<unsigned char>(data[at]);
                ++at;
            }
            if (at == end_) {
                if (!atEnd_)
                    break; // the record goes on past the bytes read
                // The last record, without a line end.
                checked(kEof);
                if (++count <= fieldLimit_)
                    fields.emplace_back(data + fieldStart, at - fieldStart);
                recordLine_ = line_;
                fieldCount_ = count;
                ascii_ = bits < 0x80;
                pos_ = end_;
                return true;
            }
            const char c = data[at];
            if (c == '"')
                return false;
            if (++count <= fieldLimit_)
                fields.emplace_back(data + fieldStart, at - fieldStart);
            ++at;
            if (c == ',')
                continue;
            if (c == '\r') {
                if (at == end_ && !atEnd_)
                    break; // the LF that may follow is not read yet
                if (at < end_ && data[at] == '\n')
                    ++at;
            }
            recordLine_ = line_++;
            fieldCount_ = count;
            ascii_ = bits < 0x80;
            pos_ = at;
            return true;
        }
        if (!fill())
            return false;
    }
    return false;
}

bool CsvReader::nextHeader(std::vector<std::pair<std::size_t, std::string>> &kept,
                           const std::function<bool(const std::string &)> &keep)
{
    kept.clear();
    return read([this, &kept, &keep](std::string &&field) {
        if (keep(field))
            kept.emplace_back(fieldCount_ - 1, std::move(field));
    });
}

bool CsvReader::read(const std::function<void(std::string &&)> &onField)
{
    while (true) {
        fieldCount_ = 0;
        recordLine_ = line_;
        recordStart_ = dropped_ + pos_;
        int c = peek();
        if (c == kEof)
            return false;
        if (c == '\r' || c == '\n') { // empty line
            consumeLineEnd(get());
            continue;
        }
        while (true) {
            std::string field;
            c = get();
            c = c == '"' ? readQuoted(field) : readUnquoted(field, c);
            ++fieldCount_;
            checkRecordSize(c);
            onField(std::move(field));
            if (c == ',')
                continue;
            if (c == '\r' || c == '\n')
                consumeLineEnd(c);
            return true;
        }
    }
}

int CsvReader::readQuoted(std::string &field)
{
    const std::int64_t openedOn = line_;
    int c = kEof;
    while (true) {
        c = get();
        if (c == kEof)
            throw CsvError(openedOn, "a quoted field opened on this line is never closed");
        if (c == '"') {
            if (peek() == '"') {
                get();
                append(field, '"');
                continue;
            }
            c = get();
            break;
        }
        append(field, c);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && peek() == '\n')
                append(field, get());
            ++line_;
        }
    }
    if (c != ',' && c != '\r' && c != '\n' && c != kEof)
        throw CsvError(line_, "text follows the closing quote of a field");
    return c;
}

int CsvReader::readUnquoted(std::string &field, int c)
{
    while (c != ',' && c != '\r' && c != '\n' && c != kEof) {
        if (c == '"')
            throw CsvError(line_, "a quote inside an unquoted field (quote the whole field and "
                                  "double the quote)");
        append(field, c);
        c = get();
    }
    return c;
}

void CsvReader::append(std::string &field, int c)
{
    if (field.size() == kMaxFieldBytes)
        throw CsvError(recordLine_,
                       "field " + std::to_string(fieldCount_ + 1) + " holds more than " +
                           mebibytes(kMaxFieldBytes) + ", the most a field may hold",
                       fieldCount_ + 1);
    field.push_back(static_cast<char>(c));
}

void CsvReader::checkRecordSize(int c) const
{
    // The byte that ended the field is read; it counts unless it ends the record.
    const std::uint64_t size = dropped_ + pos_ - recordStart_ - (c == ',' || c == kEof ? 0 : 1);
    if (size > kMaxRecordBytes)
        throw CsvError(recordLine_, "the row holds more than " + mebibytes(kMaxRecordBytes) +
                                        ", the most a row may hold");
}

bool needsQuoting(std::string_view field)
{
    return std::any_of(field.begin(), field.end(),
                       [](char c) { return kSpecial[static_cast<unsigned char>(c)]; });
}

void appendCsvField(std::string &out, std::string_view field)
{
    if (!needsQuoting(field)) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendCsvRecord(std::string &out, const std::vector<std::string> &fields)
{
    bool first = true;
    for (const std::string &field : fields) {
        if (!first)
            out += ',';
        first = false;
        appendCsvField(out, field);
    }
    out += '\n';
}

void writeCsvRecord(std::ostream &out, const std::vector<std::string> &fields)
{
    std::string text;
    appendCsvRecord(text, fields);
    out << text;
}

} // namespace tizhi::cli
