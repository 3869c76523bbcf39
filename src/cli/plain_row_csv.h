// The CSV text of the rows the batch scorer writes from kept columns: a
// type's columns as the record path would write them, PingHe's verdict and
// the end of the row, and a whole row put together from them.
#pragma once

#include "assessment.h"
#include "catalogue.h"

#include <array>
#include <string>
#include <string_view>

namespace tizhi::cli {

// One type's output columns as CSV, and what the summaries read back from them.
struct TypeColumns {
    std::string csv;   // 33: "3;4;2;5;,14,14,是,"; 66, after the item string: ",20,46.43,是,"
    std::string score; // as the score summary shows it
    Level level = Level::No;
    bool pingHeHigh = false;
};

// PingHe's verdict column ("是,") and the end of the row after the score
// summary (",[平和体质]...,\n", with an empty error column).
struct VerdictColumns {
    std::string pingHe;
    std::string summary;
};

// A type's item string and score columns: "3;4;2;5;,14,14,是,".
std::string typeCsv(const AssessmentRecord &record, const ConstitutionType &type);
// A type's score columns after its item string: ",14,14,是,", the verdict
// only for a biased type (PingHe's comes with the summaries).
std::string scoreColumnsCsv(const AssessmentRecord &record, const ConstitutionType &type);
VerdictColumns verdictCsv(std::string_view pingHeVerdict, std::string_view verdictSummary);

// Appends one output row: the id cell when there is one; per type its item
// string cell, when the row has one apart from the kept columns (66-item
// form), and its kept columns; PingHe's verdict; the score summary made
// from the types' scores; the end of the row.
void appendPlainRowCsv(std::string &out, const std::string_view *id,
                       const std::array<std::string_view, kTypeCount> *itemStrings,
                       const std::array<const TypeColumns *, kTypeCount> &types,
                       const VerdictColumns &verdicts);

} // namespace tizhi::cli
