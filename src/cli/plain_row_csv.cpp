#include "plain_row_csv.h"
#include "gcc12_restrict.h"

#include "csv.h"

namespace tizhi::cli {

std::string typeCsv(const AssessmentRecord &record, const ConstitutionType &type)
{
    std::string csv;
    appendCsvField(csv, record.*fieldsOf(type).field);
    csv += scoreColumnsCsv(record, type);
    return csv;
}

std::string scoreColumnsCsv(const AssessmentRecord &record, const ConstitutionType &type)
{
    const TypeFields &fields = fieldsOf(type);
    std::string csv = ",";
    appendCsvField(csv, record.*fields.org);
    csv += ',';
    appendCsvField(csv, record.*fields.con);
    if (type.isBiased()) {
        csv += ',';
        appendCsvField(csv, record.*fields.result);
    }
    csv += ',';
    return csv;
}

VerdictColumns verdictCsv(std::string_view pingHeVerdict, std::string_view verdictSummary)
{
    VerdictColumns columns;
    appendCsvField(columns.pingHe, pingHeVerdict);
    columns.pingHe += ',';
    columns.summary += ',';
    appendCsvField(columns.summary, verdictSummary);
    columns.summary += ",\n"; // and an empty error column
    return columns;
}

void appendPlainRowCsv(std::string &out, const std::string_view *id,
                       const std::array<std::string_view, kTypeCount> *itemStrings,
                       const std::array<const TypeColumns *, kTypeCount> &types,
                       const VerdictColumns &verdicts)
{
    if (id) {
        appendCsvField(out, *id);
        out += ',';
    }
    std::array<std::string_view, kTypeCount> scores;
    for (std::size_t i = 0; i < kTypeCount; ++i) {
        if (itemStrings)
            out += (*itemStrings)[i]; // digits and ";" need no quoting
        out += types[i]->csv;
        scores[i] = types[i]->score;
    }
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

} // namespace tizhi::cli
