// Small helpers shared by the assessment tests: answer sets and readable
// comparisons of record fields.
#pragma once

#include "gcc12_restrict.h"

#include "assessment.h"

#include <QString>

#include <initializer_list>
#include <utility>

namespace tizhi::test {

// All 33 answers set to `value` ("" for blank), then the listed overrides.
inline Answers33 answers33(const char *value,
                           std::initializer_list<std::pair<int, const char *>> overrides = {})
{
    Answers33 answers;
    answers.fill(value);
    for (const auto &[question, answer] : overrides)
        answers[static_cast<std::size_t>(question - 1)] = answer;
    return answers;
}

inline QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// The nine values of one column (item string, raw score, score or verdict)
// joined by "|" in type-code order.
inline QString column(const AssessmentRecord &record,
                      std::string AssessmentRecord::*TypeFields::*part)
{
    QStringList values;
    for (const TypeFields &fields : kTypeFields)
        values << q(record.*(fields.*part));
    return values.join('|');
}

// A record whose every value is a recognisable sentinel, to see what a run
// overwrote and what it left alone.
inline AssessmentRecord sentinelRecord()
{
    AssessmentRecord record;
    for (const ConstitutionType &type : kTypes) {
        const TypeFields &f = fieldsOf(type);
        const std::string p(type.pinyin);
        record.*f.field = "0";
        record.*f.org = "old-org-" + p;
        record.*f.con = "7";
        record.*f.result = "old-result-" + p;
    }
    record.V_CON_TOTAL = "old-con-total";
    record.V_RESULT_TOTAL = "old-result-total";
    return record;
}

} // namespace tizhi::test
