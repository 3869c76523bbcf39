// The import of forms collected on paper into the database: the rows of a
// file in tizhi-score's layouts, each scored as tizhi-score scores it, kept
// as constitution tests of the clients their `id` column names. A file is
// stored whole or not at all.
#pragma once

#include "batch_scorer.h"

#include <QDateTime>

#include <cstdint>
#include <functional>
#include <istream>

class QSqlDatabase;

namespace tizhi::records {

struct ImportResult {
    cli::ExitStatus status = cli::ExitStatus::AllScored;
    std::int64_t rows = 0;
    std::int64_t failedRows = 0;
    std::int64_t stored = 0;
    std::int64_t duplicates = 0; // rows already stored, or twice in the file
    std::int64_t newClients = 0;
};

// Reads all of `in` and stores its tests in one transaction on `db`, which
// nothing else writes meanwhile. `importTime` is the time of a test whose
// row gives none. A row that cannot be scored or kept is reported with its
// line and the rows after it are still checked; then nothing is stored
// (RowsWithErrors). Malformed input or a refusing database stops the run
// (Trouble), and nothing is stored either.
ImportResult importTests(QSqlDatabase &db, std::istream &in, cli::Form form, cli::Encoding encoding,
                         const QDateTime &importTime, const cli::DiagnosticSink &report,
                         const std::function<void(std::int64_t)> &progress = {});

} // namespace tizhi::records
