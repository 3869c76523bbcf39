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

// "[平和体质: 21]; [阳虚体质: 4]; ... [特禀体质: 4]." from the nine score texts
// in type-code order.
std::string scoreSummary(const std::array<std::string, kTypeCount> &scores)
{
    std::string text;
    for (int code : kSummaryOrder) {
        const ConstitutionType &type = *typeByCode(code);
        if (!text.empty())
            text += "; ";
        text += "[" + std::string(type.displayName) + ": " +
                scores[static_cast<std::size_t>(code - 1)] + "]";
    }
    return text + ".";
}

// Writes the PingHe verdict and the verdict summary from the levels the
// read-back scores give. PingHe is "是" only when no biased type reaches even
// its leaning level, and "基本是" when some lean but none is "是".
void writeVerdicts(AssessmentRecord &record, bool pingHeHigh,
                   const std::array<Level, kTypeCount> &levels)
{
    Level worstBiased = Level::No;
    for (const ConstitutionType &type : kTypes) {
        const Level level = levels[static_cast<std::size_t>(type.code - 1)];
        if (type.isBiased() && level > worstBiased)
            worstBiased = level;
    }
    Level pingHe = Level::No;
    if (pingHeHigh)
        pingHe = worstBiased == Level::No
                     ? Level::Yes
                     : (worstBiased == Level::Leaning ? Level::Leaning : Level::No);
    const ConstitutionType &pingHeType = *typeByCode(kPingHeCode);
    record.*fieldsOf(pingHeType).result = std::string(verdictWord(pingHeType, pingHe));

    std::string summary = summaryPhrase(pingHeType, pingHe);
    for (const ConstitutionType &type : kTypes) {
        if (type.isBiased())
            summary += summaryPhrase(type, levels[static_cast<std::size_t>(type.code - 1)]);
    }
    record.V_RESULT_TOTAL = summary;
}

Level level33(std::int64_t score)
{
    if (score >= 11)
        return Level::Yes;
    if (score >= 9)
        return Level::Leaning;
    return Level::No;
}

} // namespace

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
            record.*fields.result = std::string(verdictWord(type, level33(raw)));
    }

    // Read all nine back, also those of skipped types.
    std::array<std::int64_t, kTypeCount> scores{};
    std::array<std::string, kTypeCount> texts;
    std::array<Level, kTypeCount> levels{};
    for (const ConstitutionType &type : kTypes) {
        const auto i = static_cast<std::size_t>(type.code - 1);
        scores[i] = parseInteger64(record.*fieldsOf(type).con);
        texts[i] = std::to_string(scores[i]);
        levels[i] = level33(scores[i]);
    }
    record.V_CON_TOTAL = scoreSummary(texts);
    writeVerdicts(record, scores[kPingHeCode - 1] >= 17, levels);
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
    const Decimal forty = Decimal::fromInteger(40);
    const Decimal thirty = Decimal::fromInteger(30);
    std::array<Decimal, kTypeCount> scores;
    std::array<std::string, kTypeCount> texts;
    std::array<Level, kTypeCount> levels{};
    for (const ConstitutionType &type : kTypes) {
        const auto i = static_cast<std::size_t>(type.code - 1);
        scores[i] = Decimal::parse(record.*fieldsOf(type).con);
        texts[i] = scores[i].toText2();
        levels[i] = scores[i] >= forty    ? Level::Yes
                    : scores[i] >= thirty ? Level::Leaning
                                          : Level::No;
    }
    record.V_CON_TOTAL = scoreSummary(texts);
    writeVerdicts(record, scores[kPingHeCode - 1] >= Decimal::fromInteger(60), levels);
}

} // namespace tizhi
