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
#include <string>

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

// Reads all of `in` and writes the scored CSV to `out`. Diagnostics go to
// `report` (dropped when it is empty) as they are found. `progress`, if
// set, is called now and then with the number of rows done.
RunResult scoreCsv(std::istream &in, std::ostream &out, Form form, Encoding encoding,
                   const DiagnosticSink &report,
                   const std::function<void(std::int64_t)> &progress = {});

} // namespace tizhi::cli
