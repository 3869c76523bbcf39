// One constitution test: per type the item string, the raw score, the score
// and the verdict, and the two summaries, all as text because the windows
// show and edit them as text. The two assessments mutate a record in place:
// when one stops with a ConvertError, what it wrote before stays and the rest
// keeps its previous value, which is exactly what the windows must show.
#pragma once

#include "catalogue.h"
#include "number_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tizhi {

struct AssessmentRecord {
    std::string V_YANGXU_FIELD, N_YANGXU_ORG, N_YANGXU_CON, V_YANGXU_RESULT;
    std::string V_YINXU_FIELD, N_YINXU_ORG, N_YINXU_CON, V_YINXU_RESULT;
    std::string V_QIXU_FIELD, N_QIXU_ORG, N_QIXU_CON, V_QIXU_RESULT;
    std::string V_TANSHI_FIELD, N_TANSHI_ORG, N_TANSHI_CON, V_TANSHI_RESULT;
    std::string V_SHIRE_FIELD, N_SHIRE_ORG, N_SHIRE_CON, V_SHIRE_RESULT;
    std::string V_XUEYU_FIELD, N_XUEYU_ORG, N_XUEYU_CON, V_XUEYU_RESULT;
    std::string V_QIYU_FIELD, N_QIYU_ORG, N_QIYU_CON, V_QIYU_RESULT;
    std::string V_TEBING_FIELD, N_TEBING_ORG, N_TEBING_CON, V_TEBING_RESULT;
    std::string V_PINGHE_FIELD, N_PINGHE_ORG, N_PINGHE_CON, V_PINGHE_RESULT;
    std::string V_CON_TOTAL;    // score summary
    std::string V_RESULT_TOTAL; // verdict summary
};

// The four values of one type, as members of AssessmentRecord.
struct TypeFields {
    std::string AssessmentRecord::*field;
    std::string AssessmentRecord::*org;
    std::string AssessmentRecord::*con;
    std::string AssessmentRecord::*result;
};

// In type-code order, like kTypes.
inline constexpr std::array<TypeFields, kTypeCount> kTypeFields = {{
    {&AssessmentRecord::V_YANGXU_FIELD, &AssessmentRecord::N_YANGXU_ORG,
     &AssessmentRecord::N_YANGXU_CON, &AssessmentRecord::V_YANGXU_RESULT},
    {&AssessmentRecord::V_YINXU_FIELD, &AssessmentRecord::N_YINXU_ORG,
     &AssessmentRecord::N_YINXU_CON, &AssessmentRecord::V_YINXU_RESULT},
    {&AssessmentRecord::V_QIXU_FIELD, &AssessmentRecord::N_QIXU_ORG, &AssessmentRecord::N_QIXU_CON,
     &AssessmentRecord::V_QIXU_RESULT},
    {&AssessmentRecord::V_TANSHI_FIELD, &AssessmentRecord::N_TANSHI_ORG,
     &AssessmentRecord::N_TANSHI_CON, &AssessmentRecord::V_TANSHI_RESULT},
    {&AssessmentRecord::V_SHIRE_FIELD, &AssessmentRecord::N_SHIRE_ORG,
     &AssessmentRecord::N_SHIRE_CON, &AssessmentRecord::V_SHIRE_RESULT},
    {&AssessmentRecord::V_XUEYU_FIELD, &AssessmentRecord::N_XUEYU_ORG,
     &AssessmentRecord::N_XUEYU_CON, &AssessmentRecord::V_XUEYU_RESULT},
    {&AssessmentRecord::V_QIYU_FIELD, &AssessmentRecord::N_QIYU_ORG, &AssessmentRecord::N_QIYU_CON,
     &AssessmentRecord::V_QIYU_RESULT},
    {&AssessmentRecord::V_TEBING_FIELD, &AssessmentRecord::N_TEBING_ORG,
     &AssessmentRecord::N_TEBING_CON, &AssessmentRecord::V_TEBING_RESULT},
    {&AssessmentRecord::V_PINGHE_FIELD, &AssessmentRecord::N_PINGHE_ORG,
     &AssessmentRecord::N_PINGHE_CON, &AssessmentRecord::V_PINGHE_RESULT},
}};

inline const TypeFields &fieldsOf(const ConstitutionType &type)
{
    return kTypeFields[static_cast<std::size_t>(type.code - 1)];
}

// The record right after start-up: every item string "0", everything else empty.
AssessmentRecord startRecord();

// The 33 answer texts, question 1 at index 0.
using Answers33 = std::array<std::string, kQuestionCount33>;

// Copies the 33 answers (each trimmed) into the nine item strings, replacing
// whatever they held: YangXu gets "a11;a12;a13;a29;", PingHe "a1;a2;a4;a5;a13;".
void BuildItemStrings33(const Answers33 &answers, AssessmentRecord &record);

// Scores the record by the 33-item rules: raw sums against 9 and 11 for the
// biased types, PingHe against 17 and the other eight.
void Assess33(AssessmentRecord &record);

// Scores the record by the 66-item rules: transformed scores on a 0-100
// scale against 30 and 40, PingHe against 60 and the other eight.
void Assess66(AssessmentRecord &record);

// The read-back half of the assessments, which the batch scorer also uses to
// write rows without a record.

// A biased type's level under the 33-item rules: 9 leans, 11 is.
Level Level33(std::int64_t score);
// Whether PingHe's score reaches its bar under the 33-item rules.
bool PingHeHigh33(std::int64_t score);
// A biased type's level under the 66-item rules: 30 leans, 40 is.
Level Level66(const Decimal &score);
// Whether PingHe's score reaches its bar under the 66-item rules (60).
bool PingHeHigh66(const Decimal &score);

// Appends "[平和体质: 21]; [阳虚体质: 4]; ... [特禀体质: 4]." from the nine score
// texts in type-code order.
void AppendScoreSummary(std::string &out, const std::array<std::string_view, kTypeCount> &scores);

// PingHe's verdict from its own bar and the biased types' levels: "是" only
// when no biased type reaches even its leaning level, "基本是" when some lean
// but none is "是".
std::string_view PingHeVerdict(bool pingHeHigh, const std::array<Level, kTypeCount> &levels);
// The verdict summary: PingHe's phrase, then those of the biased types.
std::string VerdictSummary(bool pingHeHigh, const std::array<Level, kTypeCount> &levels);

} // namespace tizhi
