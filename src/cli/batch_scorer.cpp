#include "batch_scorer.h"
#include "gcc12_restrict.h"

#include "assessment.h"
#include "csv.h"
#include "item_string.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>

namespace tizhi::cli {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string lower(trimText(text));
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

std::string joinNames(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// "q1" ... "q33".
std::vector<std::string> answerColumns33()
{
    std::vector<std::string> names;
    for (int k = 1; k <= kQuestionCount33; ++k)
        names.push_back("q" + std::to_string(k));
    return names;
}

// "YangXu" ... "PingHe".
std::vector<std::string> itemStringColumns66()
{
    std::vector<std::string> names;
    for (const ConstitutionType &type : kTypes)
        names.emplace_back(type.pinyin);
    return names;
}

// "YangXu1" ... "YangXu7", "YinXu1" ... "PingHe8": one per questionnaire row.
std::vector<std::string> rowColumns66()
{
    std::vector<std::string> names;
    for (const ConstitutionType &type : kTypes)
        for (std::size_t row = 1; row <= type.questions66.size(); ++row)
            names.push_back(std::string(type.pinyin) + std::to_string(row));
    return names;
}

// Shortens a long list of missing columns to its first few names.
std::string describeMissing(const std::vector<std::string> &missing)
{
    if (missing.size() <= 12)
        return joinNames(missing);
    std::vector<std::string> head(missing.begin(), missing.begin() + 10);
    return joinNames(head) + " and " + std::to_string(missing.size() - 10) + " more";
}

} // namespace

namespace {

} // namespace

bool RowScorer::readsColumn(Form form, std::string_view name)
{
    static const auto names = [] {
        std::array<std::set<std::string>, 2> sets;
        for (const std::string &n : answerColumns33())
            sets[0].insert(lowerAscii(n));
        for (const auto &list : {itemStringColumns66(), rowColumns66()})
            for (const std::string &n : list)
                sets[1].insert(lowerAscii(n));
        for (auto &set : sets)
            set.insert("id");
        return sets;
    }();
    return names[form == Form::Items33 ? 0 : 1].contains(lowerAscii(name));
}

RowScorer::RowScorer(Form form, std::size_t columnCount,
                     const std::vector<std::pair<std::size_t, std::string>> &named)
    : columnCount_(columnCount)
{
    // Columns the scorer ignores may repeat; one it reads may not, since it
    // could not tell which of the two holds the answer.
    std::map<std::string, std::size_t> byName;
    std::map<std::string, std::string> repeated; // key -> the name as written
    std::map<std::size_t, std::string> written;  // position -> the name as written
    for (const auto &[i, name] : named) {
        const std::string key = lowerAscii(name);
        if (key.empty())
            continue;
        written.emplace(i, std::string(trimText(name)));
        if (!byName.emplace(key, i).second)
            repeated.emplace(key, std::string(trimText(name)));
    }
    auto checkOnce = [&repeated](const std::string &name) {
        if (auto twice = repeated.find(lowerAscii(name)); twice != repeated.end())
            throw UsageError("the column '" + twice->second + "' appears twice in the header");
    };
    if (auto id = byName.find("id"); id != byName.end()) {
        checkOnce("id");
        idColumn_ = static_cast<long>(id->second);
    }

    // Finds every name of `names`; returns the missing ones.
    auto lookUp = [&](const std::vector<std::string> &names, std::vector<std::size_t> &found) {
        std::vector<std::string> missing;
        found.clear();
        for (const std::string &name : names) {
            auto it = byName.find(lowerAscii(name));
            if (it == byName.end())
                missing.push_back(name);
            else
                found.push_back(it->second);
        }
        return missing;
    };
    // The names as the header writes them, for messages about a cell.
    auto keepNames = [&](const std::vector<std::size_t> &columns) {
        for (const std::size_t column : columns) {
            checkOnce(written[column]);
            columnNames_.push_back(written[column]);
        }
    };

    if (form == Form::Items33) {
        layout_ = Layout::Answers33;
        const auto missing = lookUp(answerColumns33(), columns_);
        if (!missing.empty())
            throw UsageError("the 33-item form needs the columns q1 ... q33; missing: " +
                             describeMissing(missing));
        keepNames(columns_);
        return;
    }

    std::vector<std::size_t> strings, rows;
    const auto missingStrings = lookUp(itemStringColumns66(), strings);
    const auto missingRows = lookUp(rowColumns66(), rows);
    const bool anyStrings = missingStrings.size() < itemStringColumns66().size();
    const bool anyRows = missingRows.size() < rowColumns66().size();
    if (anyStrings && anyRows)
        throw UsageError("the header mixes the two 66-item forms: give either the nine "
                         "item-string columns YangXu ... PingHe or the 67 answer columns "
                         "YangXu1 ... PingHe8, not both");
    if (anyRows) {
        if (!missingRows.empty())
            throw UsageError("the 66-item answer columns YangXu1 ... PingHe8 are incomplete; "
                             "missing: " +
                             describeMissing(missingRows));
        layout_ = Layout::Rows66;
        columns_ = rows;
        keepNames(columns_);
        return;
    }
    if (!anyStrings || !missingStrings.empty())
        throw UsageError("the 66-item form needs the nine item-string columns " +
                         joinNames(itemStringColumns66()) +
                         " or the 67 answer columns YangXu1 ... PingHe8; missing: " +
                         describeMissing(missingStrings));
    layout_ = Layout::ItemStrings66;
    columns_ = strings;
    keepNames(columns_);
}

std::vector<std::string> RowScorer::outputHeader() const
{
    std::vector<std::string> names;
    if (idColumn_ >= 0)
        names.emplace_back("id");
    for (const ConstitutionType &type : kTypes) {
        names.push_back(fieldName(type));
        names.push_back(orgName(type));
        names.push_back(conName(type));
        names.push_back(resultName(type));
    }
    names.emplace_back("V_CON_TOTAL");
    names.emplace_back("V_RESULT_TOTAL");
    names.emplace_back("error");
    return names;
}

std::vector<std::string> RowScorer::score(const std::vector<std::string> &row, bool &failed) const
{
    // Right after start-up every type field holds "0" and nothing else is shown.
    AssessmentRecord record = startRecord();
    std::string error;
    // An answer cell holds one answer: a ";" in it would split into two and
    // move every later answer of its type to the wrong question. No answer
    // box of the program can hold one, so the row is not scored.
    if (layout_ != Layout::ItemStrings66) {
        for (std::size_t i = 0; i < columns_.size() && error.empty(); ++i) {
            if (row[columns_[i]].find(';') != std::string::npos)
                error = "the answer in column '" + columnNames_[i] +
                        "' holds ';', which no answer box can hold";
        }
        if (!error.empty())
            record = AssessmentRecord{};
    }
    if (error.empty()) {
        try {
            switch (layout_) {
            case Layout::Answers33: {
                Answers33 answers;
                for (std::size_t k = 0; k < answers.size(); ++k)
                    answers[k] = row[columns_[k]];
                BuildItemStrings33(answers, record);
                Assess33(record);
                break;
            }
            case Layout::ItemStrings66:
                for (std::size_t i = 0; i < kTypes.size(); ++i)
                    record.*kTypeFields[i].field = row[columns_[i]];
                Assess66(record);
                break;
            case Layout::Rows66: {
                // As the questionnaire window confirms: each answer trimmed and
                // followed by ";", one slot per row.
                std::size_t column = 0;
                for (const ConstitutionType &type : kTypes) {
                    std::string itemString;
                    for (std::size_t r = 0; r < type.questions66.size(); ++r) {
                        itemString += trimText(row[columns_[column++]]);
                        itemString += ';';
                    }
                    record.*fieldsOf(type).field = std::move(itemString);
                }
                Assess66(record);
                break;
            }
            }
        } catch (const ConvertError &conversion) {
            error = conversion.what();
        }
    }
    failed = !error.empty();

    std::vector<std::string> out;
    out.reserve(4 * kTypes.size() + 4);
    if (idColumn_ >= 0)
        out.push_back(row[static_cast<std::size_t>(idColumn_)]);
    for (const TypeFields &fields : kTypeFields) {
        out.push_back(record.*fields.field);
        out.push_back(record.*fields.org);
        out.push_back(record.*fields.con);
        out.push_back(record.*fields.result);
    }
    out.push_back(record.V_CON_TOTAL);
    out.push_back(record.V_RESULT_TOTAL);
    out.push_back(error);
    return out;
}

namespace {

constexpr std::size_t kAnswerValues = 5; // answers 1 to 5

std::size_t power(std::size_t base, std::size_t exponent)
{
    std::size_t result = 1;
    while (exponent-- > 0)
        result *= base;
    return result;
}

// ",14,14,是," after a type's item string: its raw and transformed scores and,
// for a biased type, its verdict (PingHe's comes with the summaries).
void appendScoreColumns(std::string &csv, const AssessmentRecord &record,
                        const ConstitutionType &type)
{
    const TypeFields &fields = fieldsOf(type);
    csv += ',';
    appendCsvField(csv, record.*fields.org);
    csv += ',';
    appendCsvField(csv, record.*fields.con);
    if (type.isBiased()) {
        csv += ',';
        appendCsvField(csv, record.*fields.result);
    }
    csv += ',';
}

} // namespace

const RowScorer::TypeColumns &RowScorer::typeColumns(std::size_t typeIndex, std::size_t combination)
{
    const ConstitutionType &type = kTypes[typeIndex];
    auto &columns = typeColumns_[typeIndex];
    if (columns.empty())
        columns.resize(power(kAnswerValues, type.questions33Used().size()));
    TypeColumns &entry = columns[combination];
    if (!entry.csv.empty())
        return entry;
    // Scored by the assessment itself: the type's answers from the
    // combination's base-5 digits, every other question answered 1.
    Answers33 answers;
    answers.fill("1");
    std::size_t rest = combination;
    for (const int question : type.questions33Used()) {
        answers[static_cast<std::size_t>(question - 1)] =
            std::string(1, static_cast<char>('1' + rest % kAnswerValues));
        rest /= kAnswerValues;
    }
    AssessmentRecord record = startRecord();
    BuildItemStrings33(answers, record);
    Assess33(record);
    const TypeFields &fields = fieldsOf(type);
    appendCsvField(entry.csv, record.*fields.field);
    appendScoreColumns(entry.csv, record, type);
    entry.score = record.*fields.con;
    const std::int64_t raw = parseInteger64(entry.score);
    entry.level = Level33(raw);
    entry.pingHeHigh = PingHeHigh33(raw);
    return entry;
}

const RowScorer::TypeColumns &RowScorer::typeColumns66(std::size_t typeIndex, int raw,
                                                       std::string_view itemString)
{
    auto &columns = typeColumns66_[typeIndex];
    if (columns.empty())
        columns.resize(kAnswerValues * kMaxPlainItems + 1);
    TypeColumns &entry = columns[static_cast<std::size_t>(raw)];
    if (!entry.csv.empty())
        return entry;
    // Scored by the assessment itself, with every other type as start-up
    // leaves it. A type's columns follow from its raw sum alone.
    const ConstitutionType &type = kTypes[typeIndex];
    AssessmentRecord record = startRecord();
    const TypeFields &fields = fieldsOf(type);
    record.*fields.field = std::string(itemString);
    Assess66(record);
    appendScoreColumns(entry.csv, record, type);
    // Read back as Assess66 reads it.
    const Decimal score = Decimal::parse(record.*fields.con);
    entry.score = score.toText2();
    entry.level = Level66(score);
    entry.pingHeHigh = PingHeHigh66(score);
    return entry;
}

const RowScorer::VerdictColumns &
RowScorer::verdictColumns(bool pingHeHigh, const std::array<Level, kTypeCount> &levels)
{
    std::size_t index = pingHeHigh ? 1 : 0;
    for (const ConstitutionType &type : kTypes)
        if (type.isBiased())
            index = index * 3 +
                    static_cast<std::size_t>(levels[static_cast<std::size_t>(type.code - 1)]);
    if (verdictColumns_.empty())
        verdictColumns_.resize(2 * power(3, kTypeCount - 1));
    VerdictColumns &entry = verdictColumns_[index];
    if (entry.pingHe.empty()) {
        appendCsvField(entry.pingHe, PingHeVerdict(pingHeHigh, levels));
        entry.pingHe += ',';
        entry.summary += ',';
        appendCsvField(entry.summary, VerdictSummary(pingHeHigh, levels));
        entry.summary += ",\n"; // and an empty error column
    }
    return entry;
}

namespace {

// The raw sum of a plain item string, "3;1;4;": each answer one digit from
// 1 to 5 followed by ";", at most `maxItems` of them; SumItemString gives the
// same for these. Nothing for any other text.
std::optional<int> plainItemSum(std::string_view itemString, Keying keying, std::size_t maxItems)
{
    if (itemString.empty() || itemString.size() % 2 != 0 || itemString.size() > 2 * maxItems)
        return std::nullopt;
    int total = 0;
    for (std::size_t i = 0; i < itemString.size(); i += 2) {
        const char answer = itemString[i];
        if (answer < '1' || answer > '5' || itemString[i + 1] != ';')
            return std::nullopt;
        const int value = answer - '0';
        total +=
            isReversedPosition(keying, static_cast<std::int64_t>(i / 2 + 1)) ? 6 - value : value;
    }
    return total;
}

bool isPlainAnswer(std::string_view answer)
{
    return answer.size() == 1 && answer[0] >= '1' && answer[0] <= '5';
}

} // namespace

bool RowScorer::appendPlainRow(const std::vector<std::string_view> &row, bool ascii,
                               std::string &out)
{
    if (!std::all_of(columns_.begin(), columns_.end(), [&](std::size_t column) {
            return layout_ == Layout::ItemStrings66 || isPlainAnswer(row[column]);
        }))
        return false;
    // Every cell must be UTF-8, as in any other row.
    if (!ascii && !std::all_of(row.begin(), row.end(), isValidUtf8))
        return false;
    return layout_ == Layout::Answers33 ? appendPlainRow33(row, out) : appendPlainRow66(row, out);
}

bool RowScorer::appendPlainRow33(const std::vector<std::string_view> &row, std::string &out)
{
    std::array<const TypeColumns *, kTypeCount> scored{};
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        const auto used = kTypes[i].questions33Used();
        std::size_t combination = 0;
        for (std::size_t k = used.size(); k-- > 0;) {
            const char answer = row[columns_[static_cast<std::size_t>(used[k] - 1)]][0];
            combination = combination * kAnswerValues + static_cast<std::size_t>(answer - '1');
        }
        scored[i] = &typeColumns(i, combination);
    }

    if (idColumn_ >= 0) {
        appendCsvField(out, row[static_cast<std::size_t>(idColumn_)]);
        out += ',';
    }
    for (const TypeColumns *columns : scored)
        out += columns->csv;
    appendSummaries(scored, out);
    return true;
}

// Each type's answer columns fit a built item string.
static_assert(std::all_of(kTypes.begin(), kTypes.end(), [](const ConstitutionType &type) {
    return type.questions66.size() <= RowScorer::kMaxPlainItems;
}));

bool RowScorer::appendPlainRow66(const std::vector<std::string_view> &row, std::string &out)
{
    // Each type's item string: a cell of its own, or built from its answer
    // columns as the questionnaire window builds it ("3;1;4;").
    std::array<std::string_view, kTypeCount> cells;
    std::array<std::array<char, 2 * kMaxPlainItems>, kTypeCount> built;
    std::array<const TypeColumns *, kTypeCount> scored{};
    std::size_t column = 0;
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        if (layout_ == Layout::ItemStrings66) {
            cells[i] = row[columns_[i]];
        } else {
            const std::size_t count = kTypes[i].questions66.size();
            for (std::size_t r = 0; r < count; ++r) {
                built[i][2 * r] = row[columns_[column++]][0];
                built[i][2 * r + 1] = ';';
            }
            cells[i] = std::string_view(built[i].data(), 2 * count);
        }
        const auto sum = plainItemSum(cells[i], kTypes[i].keying66, kMaxPlainItems);
        if (!sum)
            return false;
        scored[i] = &typeColumns66(i, *sum, cells[i]);
    }

    if (idColumn_ >= 0) {
        appendCsvField(out, row[static_cast<std::size_t>(idColumn_)]);
        out += ',';
    }
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        out += cells[i]; // digits and ";" need no quoting
        out += scored[i]->csv;
    }
    appendSummaries(scored, out);
    return true;
}

void RowScorer::appendSummaries(const std::array<const TypeColumns *, kTypeCount> &types,
                                std::string &out)
{
    std::array<std::string_view, kTypeCount> scores;
    std::array<Level, kTypeCount> levels{};
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        scores[i] = types[i]->score;
        levels[i] = types[i]->level;
    }
    const VerdictColumns &verdicts = verdictColumns(types[kPingHeCode - 1]->pingHeHigh, levels);
    out += verdicts.pingHe;
    // The summary holds type names and numbers only, which never need
    // quoting; should it ever, it is written again quoted.
    const std::size_t summaryStart = out.size();
    AppendScoreSummary(out, scores);
    if (needsQuoting(std::string_view(out).substr(summaryStart))) {
        const std::string summary = out.substr(summaryStart);
        out.resize(summaryStart);
        appendCsvField(out, summary);
    }
    out += verdicts.summary;
}

namespace {

std::string encodingName(Encoding encoding)
{
    return encoding == Encoding::Gbk ? "GBK" : "UTF-8";
}

std::vector<std::string> decodeRecord(const std::vector<std::string_view> &fields,
                                      Encoding encoding, std::int64_t line)
{
    std::vector<std::string> decoded;
    decoded.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto text = decodeToUtf8(encoding, fields[i]);
        if (!text)
            throw CsvError(line, "field " + std::to_string(i + 1) + " holds bytes that are not " +
                                     encodingName(encoding) + " text");
        decoded.push_back(std::move(*text));
    }
    return decoded;
}

void appendRecord(std::string &out, const std::vector<std::string> &fields, Encoding encoding,
                  std::int64_t line)
{
    if (encoding == Encoding::Utf8) {
        appendCsvRecord(out, fields);
        return;
    }
    std::vector<std::string> encoded;
    encoded.reserve(fields.size());
    for (const std::string &field : fields) {
        auto bytes = encodeFromUtf8(encoding, field);
        if (!bytes) // input came in GBK, so everything we write has a place in it
            throw CsvError(line, "a value cannot be written in " + encodingName(encoding));
        encoded.push_back(std::move(*bytes));
    }
    appendCsvRecord(out, encoded);
}

// Collects the output and writes it in large pieces.
class OutputText {
public:
    explicit OutputText(std::ostream &out) : out_(out) { text_.reserve(kSize + kSize / 4); }
    std::string &text() { return text_; }
    void writeIfFull()
    {
        if (text_.size() >= kSize)
            write();
    }
    void write()
    {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

private:
    static constexpr std::size_t kSize = 1 << 18;
    std::ostream &out_;
    std::string text_;
};

} // namespace

RunResult scoreCsv(std::istream &in, std::ostream &out, std::ostream &err, Form form,
                   Encoding encoding, const std::function<void(std::int64_t)> &progress)
{
    RunResult result;
    CsvReader reader(in);
    std::vector<std::string_view> fields;
    OutputText output(out);
    try {
        if (encoding == Encoding::Utf8) {
            reader.skipByteOrderMark();
        } else if (reader.startsWithByteOrderMark()) {
            // Read as GBK, the mark would become part of the first column's name.
            err << "tizhi-score: line 1: the input begins with a UTF-8 byte order mark: it is "
                   "UTF-8 text; read it with --encoding utf-8\n";
            result.exitCode = 2;
            return result;
        }
        // Only the names the form reads are kept, each at most twice (twice
        // is an error), so a header line of any length costs no memory.
        std::vector<std::pair<std::size_t, std::string>> named;
        std::map<std::string, int> seen;
        const auto keep = [form, &seen](const std::string &name) {
            if (!RowScorer::readsColumn(form, name))
                return false;
            return ++seen[lowerAscii(name)] <= 2;
        };
        if (!reader.nextHeader(named, keep)) {
            err << "tizhi-score: the input is empty; the first line must name the columns\n";
            result.exitCode = 2;
            return result;
        }
        std::optional<RowScorer> scorer;
        try {
            for (auto &[column, name] : named) {
                auto text = decodeToUtf8(encoding, name);
                if (!text)
                    throw CsvError(reader.recordLine(), "field " + std::to_string(column + 1) +
                                                            " holds bytes that are not " +
                                                            encodingName(encoding) + " text");
                name = std::move(*text);
            }
            scorer.emplace(form, reader.fieldCount(), named);
        } catch (const UsageError &usage) {
            err << "tizhi-score: line 1: " << usage.what() << "\n";
            result.exitCode = 2;
            return result;
        }
        appendRecord(output.text(), scorer->outputHeader(), encoding, reader.recordLine());
        // A row keeps no more fields than the header names, however many
        // commas it holds.
        reader.setFieldLimit(scorer->inputColumnCount());
        while (reader.next(fields)) {
            const std::int64_t line = reader.recordLine();
            if (reader.fieldCount() != scorer->inputColumnCount())
                throw CsvError(line, "the row has " + std::to_string(reader.fieldCount()) +
                                         " fields where the header has " +
                                         std::to_string(scorer->inputColumnCount()));
            const auto rowDone = [&] {
                ++result.rows;
                output.writeIfFull();
                if (progress && result.rows % 1024 == 0)
                    progress(result.rows);
            };
            if (encoding == Encoding::Utf8 &&
                scorer->appendPlainRow(fields, reader.recordIsAscii(), output.text())) {
                rowDone();
                continue;
            }
            bool failed = false;
            const auto scored = scorer->score(decodeRecord(fields, encoding, line), failed);
            appendRecord(output.text(), scored, encoding, line);
            rowDone();
            if (failed) {
                ++result.failedRows;
                // The error column holds the whole message; the terminal gets
                // its head only, whatever was pasted into a cell.
                std::string message = scored.back();
                if (message.size() > 300)
                    message = message.substr(0, 300) + "...";
                err << "tizhi-score: line " << line << ": " << message << "\n";
            }
        }
    } catch (const CsvError &csv) {
        output.write();
        out.flush();
        err << "tizhi-score: line " << csv.line() << ": " << csv.what() << "\n";
        result.exitCode = 2;
        return result;
    }
    output.write();
    out.flush();
    if (!out) {
        err << "tizhi-score: the output could not be written\n";
        result.exitCode = 2;
        return result;
    }
    result.exitCode = result.failedRows > 0 ? 1 : 0;
    return result;
}

} // namespace tizhi::cli
