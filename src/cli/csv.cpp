#include "csv.h"

namespace tizhi::cli {

namespace {
constexpr int kEof = std::char_traits<char>::eof();
}

CsvReader::CsvReader(std::istream &in) : buffer_(in.rdbuf()) {}

int CsvReader::get()
{
    return buffer_ ? buffer_->sbumpc() : kEof;
}

int CsvReader::peek()
{
    return buffer_ ? buffer_->sgetc() : kEof;
}

void CsvReader::consumeLineEnd(int c)
{
    if (c == '\r' && peek() == '\n')
        get();
    ++line_;
}

void CsvReader::skipByteOrderMark()
{
    if (peek() != 0xEF)
        return;
    get();
    if (get() != 0xBB || get() != 0xBF)
        throw CsvError(1, "the input begins with a broken byte order mark");
}

bool CsvReader::next(std::vector<std::string> &fields)
{
    while (true) {
        fields.clear();
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
            fields.push_back(std::move(field));
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
