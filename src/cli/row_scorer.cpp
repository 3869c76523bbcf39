// The row scorer's columns and its record path: any row, scored through an
// assessment record exactly as the program fills one from its answer boxes
// and type fields.
#include "row_scorer.h"
#include "gcc12_restrict.h"

#include "assessment.h"
#include "catalogue.h"

namespace tizhi::cli {

namespace {

// The record's fields as the output row writes them, after the id.
void appendRecordFields(std::vector<std::string> &out, const AssessmentRecord &record,
                        const std::string &error)
{
    // Each type's four columns, in the order outputHeader() names them.
    for (const TypeFields &fields : kTypeFields)
        for (const auto member : {fields.field, fields.org, fields.con, fields.result})
            out.push_back(record.*member);
    out.push_back(record.V_CON_TOTAL);
    out.push_back(record.V_RESULT_TOTAL);
    out.push_back(error);
}

// Fills the record's type fields from the row and runs the assessment.
// Throws ConvertError as the assessment does.
void assess(const HeaderColumns &header, const std::vector<std::string_view> &row,
            AssessmentRecord &record)
{
    switch (header.layout) {
    case HeaderColumns::Layout::Answers33: {
        Answers33 answers;
        for (std::size_t k = 0; k < answers.size(); ++k)
            answers[k] = row[header.columns[k]];
        BuildItemStrings33(answers, record);
        Assess33(record);
        break;
    }
    case HeaderColumns::Layout::ItemStrings66:
        for (std::size_t i = 0; i < kTypes.size(); ++i)
            record.*kTypeFields[i].field = row[header.columns[i]];
        Assess66(record);
        break;
    case HeaderColumns::Layout::Rows66: {
        // As the questionnaire window confirms: each answer trimmed and
        // followed by ";", one slot per row.
        std::size_t column = 0;
        for (const ConstitutionType &type : kTypes) {
            std::string itemString;
            for (std::size_t r = 0; r < type.questions66.size(); ++r) {
                itemString += trimText(row[header.columns[column++]]);
                itemString += ';';
            }
            record.*fieldsOf(type).field = std::move(itemString);
        }
        Assess66(record);
        break;
    }
    }
}

} // namespace

RowScorer::RowScorer(Form form, std::size_t columnCount,
                     const std::vector<std::pair<std::size_t, std::string>> &named)
    : columnCount_(columnCount), header_(resolveHeader(form, named))
{
}

std::vector<std::string> RowScorer::outputHeader() const
{
    std::vector<std::string> names;
    if (header_.idColumn >= 0)
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

ScoredRecord RowScorer::scoreRecord(const std::vector<std::string_view> &row) const
{
    ScoredRecord scored;
    // Right after start-up every type field holds "0" and nothing else is shown.
    scored.record = startRecord();
    // An answer cell holds one answer: a ";" in it would split into two and
    // move every later answer of its type to the wrong question. No answer
    // box of the program can hold one, so the row is not scored.
    if (header_.layout != Layout::ItemStrings66) {
        for (std::size_t i = 0; i < header_.columns.size() && scored.error.empty(); ++i) {
            if (row[header_.columns[i]].find(';') != std::string_view::npos) {
                scored.error = "the answer in column '" + header_.names[i] +
                               "' holds ';', which no answer box can hold";
                scored.errorColumn = header_.columns[i] + 1;
            }
        }
        if (!scored.error.empty()) {
            scored.record = AssessmentRecord{};
            return scored;
        }
    }
    try {
        assess(header_, row, scored.record);
    } catch (const ConvertError &conversion) {
        scored.error = conversion.what();
    }
    return scored;
}

ScoredRow RowScorer::score(const std::vector<std::string_view> &row) const
{
    return rowOf(row, scoreRecord(row));
}

ScoredRow RowScorer::rowOf(const std::vector<std::string_view> &row,
                           const ScoredRecord &record) const
{
    ScoredRow scored;
    scored.failed = !record.error.empty();
    scored.errorColumn = record.errorColumn;
    scored.fields.reserve(4 * kTypes.size() + 4);
    if (header_.idColumn >= 0)
        scored.fields.emplace_back(row[static_cast<std::size_t>(header_.idColumn)]);
    appendRecordFields(scored.fields, record.record, record.error);
    return scored;
}

} // namespace tizhi::cli
