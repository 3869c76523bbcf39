// The batch scorer's rows: each input row scored exactly as the program
// scores the same answers right after start-up. A row goes either the
// record path (row_scorer.cpp: the row into an assessment record, the
// assessment, the record out) or, when it is plain, the cached path
// (cached_path.cpp: its output from columns scored once and kept).
#pragma once

#include "assessment.h"
#include "header_columns.h"
#include "plain_row_cache.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tizhi::cli {

// A row scored by the record path.
struct ScoredRow {
    // As many as the output header; the last is the error column.
    std::vector<std::string> fields;
    // Whether the run stopped with an error, which the error column holds.
    bool failed = false;
    // The input field (1-based) the error is in, when it is in one; else 0.
    std::size_t errorColumn = 0;
};

// A row scored into an assessment record, as the record path scores it.
struct ScoredRecord {
    AssessmentRecord record;
    // Empty when the row was scored; else why not.
    std::string error;
    // The input field (1-based) the error is in, when it is in one; else 0.
    std::size_t errorColumn = 0;
};

// Maps input columns to answers and scores rows. Texts are UTF-8.
class RowScorer {
public:
    // From the header's named columns that `readsColumn` accepts, each with
    // its 0-based position, of `columnCount` columns in all. Throws
    // UsageError naming the columns when the header does not fit the form.
    RowScorer(Form form, std::size_t columnCount,
              const std::vector<std::pair<std::size_t, std::string>> &named);

    std::vector<std::string> outputHeader() const;
    std::size_t inputColumnCount() const { return columnCount_; }

    // The output row for one input row (as many fields as the input
    // header, UTF-8 text).
    ScoredRow score(const std::vector<std::string_view> &row) const;
    // The same from the row's record, scored already.
    ScoredRow rowOf(const std::vector<std::string_view> &row, const ScoredRecord &record) const;
    // The record the output row is written from.
    ScoredRecord scoreRecord(const std::vector<std::string_view> &row) const;
    // Where the form's answers and the id stand in the input.
    const HeaderColumns &header() const { return header_; }

    // Appends the output row, as CSV, for a plain UTF-8 row, exactly as
    // score() gives it but from types scored once and kept: a row of the
    // 33-item form whose answers are each one digit from 1 to 5, or of the
    // 66-item form whose answers are too, in their own columns or as item
    // strings such as "3;1;4;" (up to kMaxPlainItems answers each). False,
    // having appended nothing, for any other row. `ascii` tells that the row
    // is known to hold only ASCII, so its cells need no UTF-8 check.
    bool appendPlainRow(const std::vector<std::string_view> &row, bool ascii, std::string &out);

    static constexpr std::size_t kMaxPlainItems = PlainRowCache::kMaxItems;

private:
    using Layout = HeaderColumns::Layout;

    bool appendPlainRow33(const std::vector<std::string_view> &row, std::string &out);
    bool appendPlainRow66(const std::vector<std::string_view> &row, std::string &out);
    // The row's id cell, or nothing when the input has no id column.
    const std::string_view *idOf(const std::vector<std::string_view> &row) const
    {
        return header_.idColumn >= 0 ? &row[static_cast<std::size_t>(header_.idColumn)] : nullptr;
    }

    std::size_t columnCount_ = 0;
    HeaderColumns header_;
    PlainRowCache cache_;
};

} // namespace tizhi::cli
