#include "csv.h"

namespace tizhi::cli {

namespace {
constexpr int kEof = std::char_traits<char>::eof();
}

CsvReader::CsvReader(std::istream &in)
    : buffer_(in.rdbuf()), errors_(dynamic_cast<const ReadErrorSource *>(buffer_))
{
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
    if (aheadPos_ < ahead_.size())
        return static_cast<unsigned char>(ahead_[aheadPos_++]);
    return checked(buffer_ ? buffer_->sbumpc() : kEof);
}

int CsvReader::peek()
{
    if (aheadPos_ < ahead_.size())
        return static_cast<unsigned char>(ahead_[aheadPos_]);
    return checked(buffer_ ? buffer_->sgetc() : kEof);
}

void CsvReader::consumeLineEnd(int c)
{
    if (c == '\r' && peek() == '\n')
        get();
    ++line_;
}

bool CsvReader::startsWithByteOrderMark()
{
    // Up to three bytes read ahead, kept to be read again.
    while (ahead_.size() < 3) {
        const int c = checked(buffer_ ? buffer_->sbumpc() : kEof);
        if (c == kEof)
            break;
        ahead_.push_back(static_cast<char>(c));
    }
    return ahead_ == "\xEF\xBB\xBF";
}

void CsvReader::skipByteOrderMark()
{
    if (peek() != 0xEF)
        return;
    get();
    if (get() != 0xBB || get() != 0xBF)
        throw CsvError(1, "the input begins with a broken byte order mark");
    if (peek() == 0xEF)
        throw CsvError(1, "the input begins with two byte order marks; remove the second, "
                          "or it would pass for part of the first column's name");
}

bool CsvReader::next(std::vector<std::string> &fields)
{
    fields.clear();
    return read([this, &fields](std::string &&field) {
        if (fieldCount_ <= fieldLimit_)
            fields.push_back(std::move(field));
    });
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
            if (c == '"') {
                const std::int64_t openedOn = line_;
                while (true) {
                    c = get();
                    if (c == kEof)
                        throw CsvError(openedOn, "a quoted field opened on this line is never "
                                                 "closed");
                    if (c == '"') {
                        if (peek() == '"') {
                            get();
                            field.push_back('"');
                            continue;
                        }
                        c = get();
                        break;
                    }
                    if (c == '\r' || c == '\n') {
                        field.push_back(static_cast<char>(c));
                        if (c == '\r' && peek() == '\n')
                            field.push_back(static_cast<char>(get()));
                        ++line_;
                        continue;
                    }
                    field.push_back(static_cast<char>(c));
                }
                if (c != ',' && c != '\r' && c != '\n' && c != kEof)
                    throw CsvError(line_, "text follows the closing quote of a field");
            } else {
                while (c != ',' && c != '\r' && c != '\n' && c != kEof) {
                    if (c == '"')
                        throw CsvError(line_, "a quote inside an unquoted field (quote the "
                                              "whole field and double the quote)");
                    field.push_back(static_cast<char>(c));
                    c = get();
                }
            }
            ++fieldCount_;
            onField(std::move(field));
            if (c == ',')
                continue;
            if (c == '\r' || c == '\n')
                consumeLineEnd(c);
            return true;
        }
    }
}

void writeCsvRecord(std::ostream &out, const std::vector<std::string> &fields)
{
    bool first = true;
    for (const std::string &field : fields) {
        if (!first)
            out.put(',');
        first = false;
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            out << field;
            continue;
        }
        out.put('"');
        for (char c : field) {
            if (c == '"')
                out.put('"');
            out.put(c);
        }
        out.put('"');
    }
    out.put('\n');
}

} // namespace tizhi::cli
