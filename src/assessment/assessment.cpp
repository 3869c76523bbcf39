#include "assessment.h"
#include "gcc12_restrict.h"

#include "item_string.h"

namespace tizhi {

namespace {

std::string_view verdictWord(const ConstitutionType &type, Level level)
{
    switch (level) {
    case Level::Yes:
        return kVerdictYes;
    case Level::Leaning:
        return type.isBiased() ? kVerdictLeaning : kVerdictBasically;
    case Level::No:
        break;
    }
    return kVerdictNo;
}

// Writes the PingHe verdict and the verdict summary from the levels the
// read-back scores give.
void writeVerdicts(AssessmentRecord &record, bool pingHeHigh,
                   const std::array<Level, kTypeCount> &levels)
{
    record.*fieldsOf(*typeByCode(kPingHeCode)).result =
        std::string(PingHeVerdict(pingHeHigh, levels));
    record.V_RESULT_TOTAL = VerdictSummary(pingHeHigh, levels);
}

std::string scoreSummary(const std::array<std::string, kTypeCount> &scores)
{
    std::array<std::string_view, kTypeCount> views;
    std::copy(scores.begin(), scores.end(), views.begin());
    std::string text;
    AppendScoreSummary(text, views);
    return text;
}

Level pingHeLevel(bool pingHeHigh, const std::array<Level, kTypeCount> &levels)
{
    Level worstBiased = Level::No;
    for (const ConstitutionType &type : kTypes) {
        const Level level = levels[static_cast<std::size_t>(type.code - 1)];
        if (type.isBiased() && level > worstBiased)
            worstBiased = level;
    }
    if (!pingHeHigh)
        return Level::No;
    return worstBiased == Level::No ? Level::Yes
                                    : (worstBiased == Level::Leaning ? Level::Leaning : Level::No);
}

} // namespace

Level Level33(std::int64_t score)
{
    if (score >= 11)
        return Level::Yes;
    if (score >= 9)
        return Level::Leaning;
    return Level::No;
}

bool PingHeHigh33(std::int64_t score)
{
    return score >= 17;
}

Level Level66(const Decimal &score)
{
    static const Decimal forty = Decimal::fromInteger(40);
    static const Decimal thirty = Decimal::fromInteger(30);
    return score >= forty ? Level::Yes : score >= thirty ? Level::Leaning : Level::No;
}

bool PingHeHigh66(const Decimal &score)
{
    static const Decimal sixty = Decimal::fromInteger(60);
    return score >= sixty;
}

void AppendScoreSummary(std::string &out, const std::array<std::string_view, kTypeCount> &scores)
{
    bool first = true;
    for (int code : kSummaryOrder) {
        const ConstitutionType &type = *typeByCode(code);
        if (!first)
            out += "; ";
        first = false;
        out += '[';
        out += type.displayName;
        out += ": ";
        out += scores[static_cast<std::size_t>(code - 1)];
        out += ']';
    }
    out += '.';
}

std::string_view PingHeVerdict(bool pingHeHigh, const std::array<Level, kTypeCount> &levels)
{
    return verdictWord(*typeByCode(kPingHeCode), pingHeLevel(pingHeHigh, levels));
}

std::string VerdictSummary(bool pingHeHigh, const std::array<Level, kTypeCount> &levels)
{
    std::string summary = summaryPhrase(*typeByCode(kPingHeCode), pingHeLevel(pingHeHigh, levels));
    for (const ConstitutionType &type : kTypes) {
        if (type.isBiased())
            summary += summaryPhrase(type, levels[static_cast<std::size_t>(type.code - 1)]);
    }
    return summary;
}

AssessmentRecord startRecord()
{
    AssessmentRecord record;
    for (const TypeFields &fields : kTypeFields)
        record.*fields.field = "0";
    return record;
}

void BuildItemStrings33(const Answers33 &answers, AssessmentRecord &record)
{
    for (const ConstitutionType &type : kTypes) {
        std::string itemString;
        for (int question : type.questions33Used()) {
            itemString += trimText(answers[static_cast<std::size_t>(question - 1)]);
            itemString += ';';
        }
        record.*fieldsOf(type).field = std::move(itemString);
    }
}

void Assess33(AssessmentRecord &record)
{
    for (const ConstitutionType &type : kTypes) {
        const TypeFields &fields = fieldsOf(type);
        const std::string_view itemString = trimText(record.*fields.field);
        if (itemString.empty())
            continue;
        const std::int64_t raw = SumItemString(itemString, type.keying33);
        record.*fields.org = std::to_string(raw);
        record.*fields.con = std::to_string(raw);
        if (type.isBiased())
            record.*fields.result = std::string(verdictWord(type, Level33(raw)));
    }

    // Read all nine back, also those of skipped types.
    std::array<std::int64_t, kTypeCount> scores{};
    std::array<std::string, kTypeCount> texts;
    std::array<Level, kTypeCount> levels{};
    for (const ConstitutionType &type : kTypes) {
        const auto i = static_cast<std::size_t>(type.code - 1);
        scores[i] = parseInteger64(record.*fieldsOf(type).con);
        texts[i] = std::to_string(scores[i]);
        levels[i] = Level33(scores[i]);
    }
    record.V_CON_TOTAL = scoreSummary(texts);
    writeVerdicts(record, PingHeHigh33(scores[kPingHeCode - 1]), levels);
}

void Assess66(AssessmentRecord &record)
{
    for (const ConstitutionType &type : kTypes) {
        const TypeFields &fields = fieldsOf(type);
        const std::string_view itemString = trimText(record.*fields.field);
        if (itemString.empty())
            continue;
        const std::int64_t raw = SumItemString(itemString, type.keying66);
        const Int128 n = type.counted66;
        // t = (raw - n) / (4n) x 100 = (raw - n) x 25 / n, never below 0; kept
        // as the exact fraction so that the verdict and the rounding agree
        // with hand arithmetic.
        const Int128 excess = std::max<Int128>(Int128(raw) - n, 0);
        record.*fields.org = std::to_string(raw);
        record.*fields.con = numberText2(excess * 25, n);
        if (type.isBiased()) {
            Level level = Level::No;
            if (excess * 25 >= 40 * n)
                level = Level::Yes;
            else if (excess * 25 >= 30 * n)
                level = Level::Leaning;
            record.*fields.result = std::string(verdictWord(type, level));
        }
    }

    // Read all nine back, also those of skipped types, which may hold whole
    // numbers from a 33-item run or nothing at all.
    std::array<Decimal, kTypeCount> scores;
    std::array<std::string, kTypeCount> texts;
    std::array<Level, kTypeCount> levels{};
    for (const ConstitutionType &type : kTypes) {
        const auto i = static_cast<std::size_t>(type.code - 1);
        scores[i] = Decimal::parse(record.*fieldsOf(type).con);
        texts[i] = scores[i].toText2();
        levels[i] = Level66(scores[i]);
    }
    record.V_CON_TOTAL = scoreSummary(texts);
    writeVerdicts(record, PingHeHigh66(scores[kPingHeCode - 1]), levels);
}

} // namespace tizhi
