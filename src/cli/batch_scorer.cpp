#include "batch_scorer.h"
#include "gcc12_restrict.h"

#include "csv.h"
#include "form_reader.h"
#include "output_text.h"
#include "record_transcoding.h"
#include "row_scorer.h"

#include <optional>
#include <utility>
#include <vector>

namespace tizhi::cli {

namespace {

// One run over one input: its reader, its output and what it found.
class ScoreRun {
public:
    ScoreRun(std::istream &in, std::ostream &out, Form form, Encoding encoding,
             const DiagnosticSink &report, const std::function<void(std::int64_t)> &progress,
             RowObserver *observer)
        : out_(out), encoding_(encoding), report_(report), progress_(progress), observer_(observer),
          forms_(in, form, encoding, observer ? observer->extraColumns() : std::set<std::string>()),
          reader_(forms_.csv()), output_(out)
    {
    }

    RunResult run();

private:
    // The scorer for the header's columns; nothing, the reason told, when
    // the input has none the form can use. Throws CsvError.
    std::optional<RowScorer> start();
    // Throws CsvError at the first row that stops the run.
    void scoreRows(RowScorer &scorer);
    void rowDone()
    {
        ++result_.rows;
        output_.writeIfFull();
        if (progress_ && result_.rows % 1024 == 0)
            progress_(result_.rows);
    }
    void tell(Diagnostic diagnostic)
    {
        if (report_)
            report_(diagnostic);
    }
    // Ends the run in trouble, telling why.
    RunResult stop(Diagnostic diagnostic)
    {
        tell(std::move(diagnostic));
        result_.status = ExitStatus::Trouble;
        return result_;
    }

    std::ostream &out_;
    const Encoding encoding_;
    const DiagnosticSink &report_;
    const std::function<void(std::int64_t)> &progress_;
    RowObserver *const observer_;
    FormReader forms_;
    CsvReader &reader_;
    OutputText output_;
    RunResult result_;
};

RunResult ScoreRun::run()
{
    try {
        std::optional<RowScorer> scorer = start();
        if (!scorer)
            return result_;
        scoreRows(*scorer);
    } catch (const CsvError &csv) {
        output_.write();
        out_.flush();
        return stop({csv.line(), csv.column(), csv.what()});
    }
    output_.write();
    out_.flush();
    if (!out_)
        return stop({0, 0, "the output could not be written"});
    result_.status = result_.failedRows > 0 ? ExitStatus::RowsWithErrors : ExitStatus::AllScored;
    return result_;
}

std::optional<RowScorer> ScoreRun::start()
{
    Diagnostic trouble;
    std::optional<RowScorer> scorer = forms_.start(trouble);
    try {
        if (scorer && observer_)
            observer_->start(scorer->header(), forms_.extraNames());
    } catch (const UsageError &usage) {
        trouble = {1, 0, usage.what()};
        scorer.reset();
    }
    if (!scorer)
        stop(std::move(trouble));
    return scorer;
}

void ScoreRun::scoreRows(RowScorer &scorer)
{
    appendRecord(output_.text(), scorer.outputHeader(), encoding_, reader_.recordLine());
    // A row keeps no more fields than the header names, however many
    // commas it holds.
    reader_.setFieldLimit(scorer.inputColumnCount());
    std::vector<std::string_view> fields;
    while (reader_.next(fields)) {
        const std::int64_t line = reader_.recordLine();
        if (reader_.fieldCount() != scorer.inputColumnCount())
            throw CsvError(line, "the row has " + std::to_string(reader_.fieldCount()) +
                                     " fields where the header has " +
                                     std::to_string(scorer.inputColumnCount()));
        // An observer needs every row's record, which the plain path skips.
        if (encoding_ == Encoding::Utf8 && !observer_ &&
            scorer.appendPlainRow(fields, reader_.recordIsAscii(), output_.text())) {
            rowDone();
            continue;
        }
        const std::deque<std::string> decoded = decodeRecord(fields, encoding_, line);
        const ScoredRecord record = scorer.scoreRecord(fields);
        ScoredRow scored = scorer.rowOf(fields, record);
        appendRecord(output_.text(), scored.fields, encoding_, line);
        rowDone();
        if (scored.failed) {
            ++result_.failedRows;
            tell({line, scored.errorColumn, std::move(scored.fields.back()), true});
        }
        if (observer_)
            observer_->row(line, fields, record);
    }
}

} // namespace

RunResult scoreCsv(std::istream &in, std::ostream &out, Form form, Encoding encoding,
                   const DiagnosticSink &report, const std::function<void(std::int64_t)> &progress,
                   RowObserver *observer)
{
    return ScoreRun(in, out, form, encoding, report, progress, observer).run();
}

} // namespace tizhi::cli
