#include "plain_row_cache.h"

#include "assessment.h"
#include "number_text.h"

namespace tizhi::cli {

namespace {

std::size_t power(std::size_t base, std::size_t exponent)
{
    std::size_t result = 1;
    while (exponent-- > 0)
        result *= base;
    return result;
}

} // namespace

const TypeColumns &PlainRowCache::score33(std::size_t typeIndex, std::size_t combination)
{
    const ConstitutionType &type = kTypes[typeIndex];
    auto &columns = types33_[typeIndex];
    if (columns.empty())
        columns.resize(power(kAnswerValues, type.questions33Used().size()));
    TypeColumns &entry = columns[combination];
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
    entry.csv = typeCsv(record, type);
    entry.score = record.*fieldsOf(type).con;
    const std::int64_t raw = parseInteger64(entry.score);
    entry.level = Level33(raw);
    entry.pingHeHigh = PingHeHigh33(raw);
    return entry;
}

const TypeColumns &PlainRowCache::score66(std::size_t typeIndex, std::size_t raw,
                                          std::string_view itemString)
{
    auto &columns = types66_[typeIndex];
    if (columns.empty())
        columns.resize(kAnswerValues * kMaxItems + 1);
    TypeColumns &entry = columns[raw];
    // Scored by the assessment itself, with every other type as start-up
    // leaves it. A type's columns follow from its raw sum alone.
    const ConstitutionType &type = kTypes[typeIndex];
    AssessmentRecord record = startRecord();
    const TypeFields &fields = fieldsOf(type);
    record.*fields.field = std::string(itemString);
    Assess66(record);
    entry.csv = scoreColumnsCsv(record, type);
    // Read back as Assess66 reads it.
    const Decimal score = Decimal::parse(record.*fields.con);
    entry.score = score.toText2();
    entry.level = Level66(score);
    entry.pingHeHigh = PingHeHigh66(score);
    return entry;
}

const VerdictColumns &
PlainRowCache::scoreVerdicts(std::size_t index, bool pingHeHigh,
                             const std::array<const TypeColumns *, kTypeCount> &types)
{
    if (verdicts_.empty())
        verdicts_.resize(2 * power(3, kTypeCount - 1));
    std::array<Level, kTypeCount> levels{};
    for (std::size_t i = 0; i < kTypeCount; ++i)
        levels[i] = types[i]->level;
    verdicts_[index] =
        verdictCsv(PingHeVerdict(pingHeHigh, levels), VerdictSummary(pingHeHigh, levels));
    return verdicts_[index];
}

} // namespace tizhi::cli
