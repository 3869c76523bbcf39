// The batch scorer: reads forms collected on paper as CSV rows and scores
// each row exactly as the program scores the same answers right after
// start-up, writing every value the program would show.
#pragma once

#include "text_encoding.h"

#include "catalogue.h"

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tizhi::cli {

enum class Form { Items33, Items66 };

// A header the scorer cannot work with: a missing, repeated or mixed column.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Maps input columns to answers and scores rows. Texts are UTF-8.
class RowScorer {
public:
    // From the header's named columns that `readsColumn` accepts, each with
    // its 0-based position, of `columnCount` columns in all. Throws
    // UsageError naming the columns when the header does not fit the form.
    RowScorer(Form form, std::size_t columnCount,
              const std::vector<std::pair<std::size_t, std::string>> &named);

    // Whether the form reads a column of this name (any case, blanks around).
    static bool readsColumn(Form form, std::string_view name);

    std::vector<std::string> outputHeader() const;
    std::size_t inputColumnCount() const { return columnCount_; }

    // The output row for one input row (as many fields as the header);
    // `failed` tells whether the run stopped with a conversion error.
    std::vector<std::string> score(const std::vector<std::string> &row, bool &failed) const;

    // Appends the output row, as CSV, for a plain UTF-8 row, exactly as
    // score() gives it but from types scored once and kept: a row of the
    // 33-item form whose answers are each one digit from 1 to 5, or of the
    // 66-item form whose answers are too, in their own columns or as item
    // strings such as "3;1;4;" (up to kMaxPlainItems answers each). False,
    // having appended nothing, for any other row. `ascii` tells that the row
    // is known to hold only ASCII, so its cells need no UTF-8 check.
    bool appendPlainRow(const std::vector<std::string_view> &row, bool ascii, std::string &out);

    static constexpr std::size_t kMaxPlainItems = 16;

private:
    enum class Layout { Answers33, ItemStrings66, Rows66 };

    // One type's output columns for one combination of its answers (33) or
    // one raw sum (66), as the assessment writes them, and what it reads
    // back from them; PingHe's verdict comes with the summaries.
    struct TypeColumns {
        std::string csv;   // 33: "3;4;2;5;,14,14,是,"; 66, after the item string: ",20,46.43,是,"
        std::string score; // as the score summary shows it
        Level level = Level::No;
        bool pingHeHigh = false;
    };
    const TypeColumns &typeColumns(std::size_t typeIndex, std::size_t combination);
    // `itemString` is one whose raw sum is `raw`, to score it by when the
    // sum turns up first.
    const TypeColumns &typeColumns66(std::size_t typeIndex, int raw, std::string_view itemString);
    bool appendPlainRow33(const std::vector<std::string_view> &row, std::string &out);
    bool appendPlainRow66(const std::vector<std::string_view> &row, std::string &out);
    // PingHe's verdict, the two summaries and the empty error column.
    void appendSummaries(const std::array<const TypeColumns *, kTypeCount> &types,
                         std::string &out);
    // PingHe's verdict column ("是,") and the end of the row after the
    // score summary (",[平和体质]...,\n", with an empty error column).
    struct VerdictColumns {
        std::string pingHe;
        std::string summary;
    };
    const VerdictColumns &verdictColumns(bool pingHeHigh,
                                         const std::array<Level, kTypeCount> &levels);

    Layout layout_ = Layout::Answers33;
    std::size_t columnCount_ = 0;
    long idColumn_ = -1;
    // Answers33: 33 columns; ItemStrings66: 9; Rows66: 67, type by type.
    std::vector<std::size_t> columns_;
    std::vector<std::string> columnNames_; // as the header writes them
    // Filled as combinations and sums turn up; empty strings mean not yet
    // scored.
    std::array<std::vector<TypeColumns>, kTypeCount> typeColumns_;
    std::array<std::vector<TypeColumns>, kTypeCount> typeColumns66_; // by raw sum
    std::vector<VerdictColumns> verdictColumns_;
};

struct RunResult {
    int exitCode = 0; // 0 all scored, 1 some rows carry an error, 2 unreadable input
    std::int64_t rows = 0;
    std::int64_t failedRows = 0;
};

// Reads all of `in`, writes the scored CSV to `out` and diagnostics to `err`.
// `progress`, if set, is called now and then with the number of rows done.
RunResult scoreCsv(std::istream &in, std::ostream &out, std::ostream &err, Form form,
                   Encoding encoding, const std::function<void(std::int64_t)> &progress = {});

} // namespace tizhi::cli
