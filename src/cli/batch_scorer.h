// The batch scorer: reads forms collected on paper as CSV rows and scores
// each row exactly as the program scores the same answers right after
// start-up, writing every value the program would show. What it finds
// wrong it hands back as diagnostics, and how the run went as an exit
// status; the command prints them.
#pragma once

#include "header_columns.h"
#include "text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tizhi::cli {

// How a run ended, as the command's exit status.
enum class ExitStatus {
    AllScored = 0,      // every row scored
    RowsWithErrors = 1, // some rows carry an error in their error column
    Trouble = 2,        // wrong usage or unreadable input: not every row was read
};

// Something the scorer has to tell about its input.
struct Diagnostic {
    // The 1-based line it was found on; 0 for the input as a whole.
    std::int64_t line = 0;
    // The 1-based field it is in, when it is in one; else 0. The message
    // names the field itself where that helps the reader.
    std::size_t column = 0;
    std::string message;
    // Whether the row was written with this message in its error column and
    // the run went on, rather than the run stopping here.
    bool rowError = false;

    bool operator==(const Diagnostic &) const = default;
};

// Takes each diagnostic as it is found, while the run goes on.
using DiagnosticSink = std::function<void(const Diagnostic &)>;

struct RunResult {
    ExitStatus status = ExitStatus::AllScored;
    std::int64_t rows = 0;
    std::int64_t failedRows = 0;
};

struct ScoredRecord;

// Sees every row a run scores, for what a command makes of it beside the
// scored CSV (the record forms).
class RowObserver {
public:
    virtual ~RowObserver() = default;
    // The keys (columnKey) of the columns it reads beside the form's.
    virtual std::set<std::string> extraColumns() const = 0;
    // Once the header is read: where the form's columns and the extra
    // columns (each with its 0-based position) stand. Throws UsageError
    // when the header will not do; the run stops before any row.
    virtual void start(const HeaderColumns &header,
                       const std::vector<std::pair<std::size_t, std::string>> &extraNames) = 0;
    // A row as it is scored: its line, its cells (UTF-8) and its record.
    virtual void row(std::int64_t line, const std::vector<std::string_view> &cells,
                     const ScoredRecord &scored) = 0;
};

// Reads all of `in` and writes the scored CSV to `out`. Diagnostics go to
// `report` (dropped when it is empty) as they are found. `progress`, if
// set, is called now and then with the number of rows done. `observer`,
// if given, sees each row after its output; the output is the same.
RunResult scoreCsv(std::istream &in, std::ostream &out, Form form, Encoding encoding,
                   const DiagnosticSink &report,
                   const std::function<void(std::int64_t)> &progress = {},
                   RowObserver *observer = nullptr);

} // namespace tizhi::cli
