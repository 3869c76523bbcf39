#include "record_transcoding.h"
#include "gcc12_restrict.h"

#include "csv.h"

namespace tizhi::cli {

namespace {

std::string encodingName(Encoding encoding)
{
    return encoding == Encoding::Gbk ? "GBK" : "UTF-8";
}

// `bytes` as UTF-8; throws naming the field (0-based `index`) when they are
// no text in `encoding`.
std::string decodeField(std::string_view bytes, Encoding encoding, std::int64_t line,
                        std::size_t index)
{
    auto text = decodeToUtf8(encoding, bytes);
    if (!text)
        throw CsvError(line,
                       "field " + std::to_string(index + 1) + " holds bytes that are not " +
                           encodingName(encoding) + " text",
                       index + 1);
    return std::move(*text);
}

} // namespace

std::deque<std::string> decodeRecord(std::vector<std::string_view> &fields, Encoding encoding,
                                     std::int64_t line)
{
    std::deque<std::string> decoded;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (encoding == Encoding::Utf8 ? isValidUtf8(fields[i]) : isAscii(fields[i]))
            continue;
        decoded.push_back(decodeField(fields[i], encoding, line, i));
        fields[i] = decoded.back();
    }
    return decoded;
}

void decodeNames(std::vector<std::pair<std::size_t, std::string>> &named, Encoding encoding,
                 std::int64_t line)
{
    for (auto &[column, name] : named)
        name = decodeField(name, encoding, line, column);
}

void appendRecord(std::string &out, const std::vector<std::string> &fields, Encoding encoding,
                  std::int64_t line)
{
    if (encoding == Encoding::Utf8) {
        appendCsvRecord(out, fields);
        return;
    }
    std::vector<std::string> encoded;
    encoded.reserve(fields.size());
    for (const std::string &field : fields) {
        auto bytes = encodeFromUtf8(encoding, field);
        if (!bytes) // input came in GBK, so everything we write has a place in it
            throw CsvError(line, "a value cannot be written in " + encodingName(encoding));
        encoded.push_back(std::move(*bytes));
    }
    appendCsvRecord(out, encoded);
}

} // namespace tizhi::cli
