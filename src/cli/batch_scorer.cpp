#include "batch_scorer.h"
#include "gcc12_restrict.h"

#include "assessment.h"
#include "csv.h"

#include <algorithm>
#include <map>

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

RowScorer::RowScorer(Form form, const std::vector<std::string> &header)
    : columnCount_(header.size())
{
    std::map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string key = lowerAscii(header[i]);
        if (key.empty())
            continue;
        if (!byName.emplace(key, i).second)
            throw UsageError("the column '" + std::string(trimText(header[i])) +
                             "' appears twice in the header");
    }
    if (auto id = byName.find("id"); id != byName.end())
        idColumn_ = static_cast<long>(id->second);

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

    if (form == Form::Items33) {
        layout_ = Layout::Answers33;
        const auto missing = lookUp(answerColumns33(), columns_);
        if (!missing.empty())
            throw UsageError("the 33-item form needs the columns q1 ... q33; missing: " +
                             describeMissing(missing));
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
        return;
    }
    if (!anyStrings || !missingStrings.empty())
        throw UsageError("the 66-item form needs the nine item-string columns " +
                         joinNames(itemStringColumns66()) +
                         " or the 67 answer columns YangXu1 ... PingHe8; missing: " +
                         describeMissing(missingStrings));
    layout_ = Layout::ItemStrings66;
    columns_ = strings;
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

std::string encodingName(Encoding encoding)
{
    return encoding == Encoding::Gbk ? "GBK" : "UTF-8";
}

std::vector<std::string> decodeRecord(const std::vector<std::string> &fields, Encoding encoding,
                                      std::int64_t line)
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

void writeRecord(std::ostream &out, const std::vector<std::string> &fields, Encoding encoding,
                 std::int64_t line)
{
    if (encoding == Encoding::Utf8) {
        writeCsvRecord(out, fields);
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
    writeCsvRecord(out, encoded);
}

} // namespace

RunResult scoreCsv(std::istream &in, std::ostream &out, std::ostream &err, Form form,
                   Encoding encoding, const std::function<void(std::int64_t)> &progress)
{
    RunResult result;
    CsvReader reader(in);
    std::vector<std::string> fields;
    try {
        if (encoding == Encoding::Utf8)
            reader.skipByteOrderMark();
        if (!reader.next(fields)) {
            err << "tizhi-score: the input is empty; the first line must name the columns\n";
            result.exitCode = 2;
            return result;
        }
        std::optional<RowScorer> scorer;
        try {
            scorer.emplace(form, decodeRecord(fields, encoding, reader.recordLine()));
        } catch (const UsageError &usage) {
            err << "tizhi-score: line 1: " << usage.what() << "\n";
            result.exitCode = 2;
            return result;
        }
        writeRecord(out, scorer->outputHeader(), encoding, reader.recordLine());
        while (reader.next(fields)) {
            const std::int64_t line = reader.recordLine();
            if (fields.size() != scorer->inputColumnCount())
                throw CsvError(line, "the row has " + std::to_string(fields.size()) +
                                         " fields where the header has " +
                                         std::to_string(scorer->inputColumnCount()));
            bool failed = false;
            const auto scored = scorer->score(decodeRecord(fields, encoding, line), failed);
            writeRecord(out, scored, encoding, line);
            ++result.rows;
            if (failed) {
                ++result.failedRows;
                // The error column holds the whole message; the terminal gets
                // its head only, whatever was pasted into a cell.
                std::string message = scored.back();
                if (message.size() > 300)
                    message = message.substr(0, 300) + "...";
                err << "tizhi-score: line " << line << ": " << message << "\n";
            }
            if (progress && result.rows % 1024 == 0)
                progress(result.rows);
        }
    } catch (const CsvError &csv) {
        out.flush();
        err << "tizhi-score: line " << csv.line() << ": " << csv.what() << "\n";
        result.exitCode = 2;
        return result;
    }
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
