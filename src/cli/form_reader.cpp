#include "form_reader.h"

#include "record_transcoding.h"

#include <map>

namespace tizhi::cli {

FormReader::FormReader(std::istream &in, Form form, Encoding encoding,
                       std::set<std::string> extraColumns)
    : form_(form), encoding_(encoding), extraColumns_(std::move(extraColumns)), reader_(in)
{
}

std::optional<RowScorer> FormReader::start(Diagnostic &trouble)
{
    // A spreadsheet's "Unicode text" is UTF-16, whose every other byte is
    // zero for the column names: it would pass for a header without them.
    if (reader_.startsWith("\xFF\xFE") || reader_.startsWith("\xFE\xFF")) {
        trouble = {1, 0,
                   "the input is UTF-16 text (it begins with a UTF-16 byte order mark); save it "
                   "as CSV in UTF-8 or GBK and score that"};
        return std::nullopt;
    }
    if (encoding_ == Encoding::Utf8) {
        reader_.skipByteOrderMark();
    } else if (reader_.startsWith(kUtf8ByteOrderMark)) {
        // Read as GBK, the mark would become part of the first column's name.
        trouble = {1, 0,
                   "the input begins with a UTF-8 byte order mark: it is UTF-8 text; read it "
                   "with --encoding utf-8"};
        return std::nullopt;
    }
    if (!readHeader()) {
        trouble = {0, 0, "the input is empty; the first line must name the columns"};
        return std::nullopt;
    }
    decodeNames(named_, encoding_, reader_.recordLine());
    try {
        return RowScorer(form_, reader_.fieldCount(), named_);
    } catch (const UsageError &usage) {
        trouble = {1, 0, usage.what()};
        return std::nullopt;
    }
}

// Reads the header's names; false when the input holds none.
bool FormReader::readHeader()
{
    // Only the names the form reads are kept, each at most twice (twice is
    // an error), so a header line of any length costs no memory.
    std::map<std::string, int> seen;
    const auto keep = [this, &seen](const std::string &name) {
        if (readsColumn(form_, name))
            return ++seen[columnKey(name)] <= 2;
        if (extraColumns_.empty())
            return false;
        const std::string key = columnKey(name);
        return extraColumns_.contains(key) && ++seen[key] <= 2;
    };
    return reader_.nextHeader(named_, keep);
}

std::vector<std::pair<std::size_t, std::string>> FormReader::extraNames() const
{
    std::vector<std::pair<std::size_t, std::string>> extra;
    for (const auto &named : named_)
        if (extraColumns_.contains(columnKey(named.second)))
            extra.push_back(named);
    return extra;
}

} // namespace tizhi::cli
