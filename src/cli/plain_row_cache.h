// The batch scorer's kept columns for plain rows: a type's output columns
// for one combination of its answers (33-item form) or one raw sum (66-item
// form), and the verdict columns for one combination of PingHe's bar and
// the biased types' levels. Each is scored once, by the assessment itself,
// when it first turns up; plain rows then cost no assessment at all.
#pragma once

#include "plain_row_csv.h"

#include "catalogue.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace tizhi::cli {

class PlainRowCache {
public:
    // Answers of a plain item string, at most.
    static constexpr std::size_t kMaxItems = 16;
    // A plain answer is one digit from 1 to 5.
    static constexpr std::size_t kAnswerValues = 5;

    // The columns of the type at `typeIndex` (of kTypes) whose 33-item
    // answers, in the order of questions33Used(), are the base-5 digits of
    // `combination`, lowest first (digit 0 for answer 1).
    const TypeColumns &type33(std::size_t typeIndex, std::size_t combination)
    {
        const auto &columns = types33_[typeIndex];
        if (!columns.empty() && !columns[combination].csv.empty())
            return columns[combination];
        return score33(typeIndex, combination);
    }

    // The columns of a type under the 66-item rules for the raw sum `raw`;
    // `itemString` is one whose raw sum it is, to score it by when the sum
    // turns up first.
    const TypeColumns &type66(std::size_t typeIndex, int raw, std::string_view itemString)
    {
        const auto &columns = types66_[typeIndex];
        const auto at = static_cast<std::size_t>(raw);
        if (!columns.empty() && !columns[at].csv.empty())
            return columns[at];
        return score66(typeIndex, at, itemString);
    }

    // The verdict columns for the levels of the nine types and PingHe's bar.
    const VerdictColumns &verdicts(const std::array<const TypeColumns *, kTypeCount> &types)
    {
        const bool pingHeHigh = types[kPingHeCode - 1]->pingHeHigh;
        std::size_t index = pingHeHigh ? 1 : 0;
        for (const ConstitutionType &type : kTypes)
            if (type.isBiased())
                index = index * 3 + static_cast<std::size_t>(
                                        types[static_cast<std::size_t>(type.code - 1)]->level);
        if (!verdicts_.empty() && !verdicts_[index].pingHe.empty())
            return verdicts_[index];
        return scoreVerdicts(index, pingHeHigh, types);
    }

private:
    const TypeColumns &score33(std::size_t typeIndex, std::size_t combination);
    const TypeColumns &score66(std::size_t typeIndex, std::size_t raw, std::string_view itemString);
    const VerdictColumns &scoreVerdicts(std::size_t index, bool pingHeHigh,
                                        const std::array<const TypeColumns *, kTypeCount> &types);

    // Filled as combinations and sums turn up; an empty `csv` means not yet scored.
    std::array<std::vector<TypeColumns>, kTypeCount> types33_; // by combination
    std::array<std::vector<TypeColumns>, kTypeCount> types66_; // by raw sum
    std::vector<VerdictColumns> verdicts_;
};

} // namespace tizhi::cli
