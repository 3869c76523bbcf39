#include "batch_scorer.h"
#include "gcc12_restrict.h"

#include "csv.h"
#include "output_text.h"
#include "record_transcoding.h"
#include "row_scorer.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace tizhi::cli {

namespace {

// One run over one input: its reader, its output and what it found.
class ScoreRun {
public:
    ScoreRun(std::istream &in, std::ostream &out, Form form, Encoding encoding,
             const DiagnosticSink &report, const std::function<void(std::int64_t)> &progress)
        : out_(out), form_(form), encoding_(encoding), report_(report), progress_(progress),
          reader_(in), output_(out)
    {
    }

    RunResult run();

private:
    // The scorer for the header's columns; nothing, the reason told, when
    // the input has none the form can use. Throws CsvError.
    std::optional<RowScorer> start();
    bool readHeader(std::vector<std::pair<std::size_t, std::string>> &named);
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
    const Form form_;
    const Encoding encoding_;
    const DiagnosticSink &report_;
    const std::function<void(std::int64_t)> &progress_;
    CsvReader reader_;
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
    // A spreadsheet's "Unicode text" is UTF-16, whose every other byte is
    // zero for the column names: it would pass for a header without them.
    if (reader_.startsWith("\xFF\xFE") || reader_.startsWith("\xFE\xFF")) {
        stop({1, 0,
              "the input is UTF-16 text (it begins with a UTF-16 byte order mark); save it as "
              "CSV in UTF-8 or GBK and score that"});
        return std::nullopt;
    }
    if (encoding_ == Encoding::Utf8) {
        reader_.skipByteOrderMark();
    } else if (reader_.startsWith(kUtf8ByteOrderMark)) {
        // Read as GBK, the mark would become part of the first column's name.
        stop({1, 0,
              "the input begins with a UTF-8 byte order mark: it is UTF-8 text; read it "
              "with --encoding utf-8"});
        return std::nullopt;
    }
    std::vector<std::pair<std::size_t, std::string>> named;
    if (!readHeader(named)) {
        stop({0, 0, "the input is empty; the first line must name the columns"});
        return std::nullopt;
    }
    decodeNames(named, encoding_, reader_.recordLine());
    try {
        return RowScorer(form_, reader_.fieldCount(), named);
    } catch (const UsageError &usage) {
        stop({1, 0, usage.what()});
        return std::nullopt;
    }
}

// Reads the header's names; false when the input holds none.
bool ScoreRun::readHeader(std::vector<std::pair<std::size_t, std::string>> &named)
{
    // Only the names the form reads are kept, each at most twice (twice is
    // an error), so a header line of any length costs no memory.
    std::map<std::string, int> seen;
    const auto keep = [this, &seen](const std::string &name) {
        if (!readsColumn(form_, name))
            return false;
        return ++seen[columnKey(name)] <= 2;
    };
    return reader_.nextHeader(named, keep);
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
        if (encoding_ == Encoding::Utf8 &&
            scorer.appendPlainRow(fields, reader_.recordIsAscii(), output_.text())) {
            rowDone();
            continue;
        }
        const std::deque<std::string> decoded = decodeRecord(fields, encoding_, line);
        ScoredRow scored = scorer.score(fields);
        appendRecord(output_.text(), scored.fields, encoding_, line);
        rowDone();
        if (scored.failed) {
            ++result_.failedRows;
            tell({line, scored.errorColumn, std::move(scored.fields.back()), true});
        }
    }
}

} // namespace

RunResult scoreCsv(std::istream &in, std::ostream &out, Form form, Encoding encoding,
                   const DiagnosticSink &report, const std::function<void(std::int64_t)> &progress)
{
    return ScoreRun(in, out, form, encoding, report, progress).run();
}

} // namespace tizhi::cli
