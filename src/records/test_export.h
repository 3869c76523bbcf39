// The export of stored constitution tests as CSV: per test the client's
// identity number, the test's header and every field of its assessment
// record under the names tizhi-score writes, so that the stored scores can
// be set beside tizhi-score's for the same answers.
#pragma once

#include "batch_scorer.h"
#include "form_files.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

class QSqlDatabase;

namespace tizhi::records {

struct ExportResult {
    cli::ExitStatus status = cli::ExitStatus::AllScored;
    std::int64_t rows = 0;
    std::string error; // why the export stopped, when it did
};

// The output's columns: id, name, time, doctor, site, form, then
// V_YANGXU_FIELD ... V_RESULT_TOTAL.
std::vector<std::string> exportHeader();

// Writes every stored test, oldest record first, or only those of the
// client with the identity number `client`, to `out`; with `forms`, each
// test's record form too, its client's identity from the client table.
ExportResult exportTests(QSqlDatabase &db, const std::optional<QString> &client, std::ostream &out,
                         cli::Encoding encoding,
                         const std::function<void(std::int64_t)> &progress = {},
                         cli::FormFiles *forms = nullptr);

} // namespace tizhi::records
