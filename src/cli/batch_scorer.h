// The batch scorer: reads forms collected on paper as CSV rows and scores
// each row exactly as the program scores the same answers right after
// start-up, writing every value the program would show.
#pragma once

#include "header_columns.h"
#include "text_encoding.h"

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>

namespace tizhi::cli {

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
