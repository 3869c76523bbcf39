// tizhi-score's record forms: each row scored without an error becomes a
// form in the folder of --forms, its header from the optional columns
// name, time, doctor and site, its file named from the id column.
#pragma once

#include "batch_scorer.h"
#include "form_columns.h"
#include "form_files.h"

#include <array>
#include <cstdint>

namespace tizhi::cli {

class ScoreForms : public RowObserver {
public:
    ScoreForms(FormFiles &files, Form form, const DiagnosticSink &report)
        : files_(files), form_(form), report_(report)
    {
    }

    std::set<std::string> extraColumns() const override { return formColumnKeys(); }
    void start(const HeaderColumns &header,
               const std::vector<std::pair<std::size_t, std::string>> &extraNames) override;
    void row(std::int64_t line, const std::vector<std::string_view> &cells,
             const ScoredRecord &scored) override;

    // Rows that got no form: scored with an error, or with a time that
    // cannot be read.
    std::int64_t rowsWithoutForm() const { return withoutForm_; }

private:
    void tell(Diagnostic diagnostic) const
    {
        if (report_)
            report_(diagnostic);
    }

    FormFiles &files_;
    const Form form_;
    const DiagnosticSink &report_;
    HeaderColumns header_;
    std::array<long, kFormColumns> at_{};
    std::int64_t withoutForm_ = 0;
};

} // namespace tizhi::cli
