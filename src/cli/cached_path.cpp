// The cached path: a plain row, whose answers are each one digit from 1 to
// 5, is written from the kept columns of its types, which depend only on a
// type's few answers (33-item form) or its raw sum (66-item form).
#include "row_scorer.h"

#include "item_string.h"
#include "text_encoding.h"

#include <algorithm>
#include <optional>

namespace tizhi::cli {

namespace {

// The raw sum of a plain item string, "3;1;4;": each answer one digit from
// 1 to 5 followed by ";", at most `maxItems` of them; SumItemString gives the
// same for these. Nothing for any other text.
std::optional<int> plainItemSum(std::string_view itemString, Keying keying, std::size_t maxItems)
{
    if (itemString.empty() || itemString.size() % 2 != 0 || itemString.size() > 2 * maxItems)
        return std::nullopt;
    int total = 0;
    for (std::size_t i = 0; i < itemString.size(); i += 2) {
        const char answer = itemString[i];
        if (answer < '1' || answer > '5' || itemString[i + 1] != ';')
            return std::nullopt;
        const int value = answer - '0';
        total +=
            isReversedPosition(keying, static_cast<std::int64_t>(i / 2 + 1)) ? 6 - value : value;
    }
    return total;
}

bool isPlainAnswer(std::string_view answer)
{
    return answer.size() == 1 && answer[0] >= '1' && answer[0] <= '5';
}

} // namespace

bool RowScorer::appendPlainRow(const std::vector<std::string_view> &row, bool ascii,
                               std::string &out)
{
    if (!std::all_of(header_.columns.begin(), header_.columns.end(), [&](std::size_t column) {
            return header_.layout == Layout::ItemStrings66 || isPlainAnswer(row[column]);
        }))
        return false;
    // Every cell must be UTF-8, as in any other row.
    if (!ascii && !std::all_of(row.begin(), row.end(), isValidUtf8))
        return false;
    return header_.layout == Layout::Answers33 ? appendPlainRow33(row, out)
                                               : appendPlainRow66(row, out);
}

bool RowScorer::appendPlainRow33(const std::vector<std::string_view> &row, std::string &out)
{
    std::array<const TypeColumns *, kTypeCount> scored{};
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        const auto used = kTypes[i].questions33Used();
        std::size_t combination = 0;
        for (std::size_t k = used.size(); k-- > 0;) {
            const char answer = row[header_.columns[static_cast<std::size_t>(used[k] - 1)]][0];
            combination =
                combination * PlainRowCache::kAnswerValues + static_cast<std::size_t>(answer - '1');
        }
        scored[i] = &cache_.type33(i, combination);
    }
    appendPlainRowCsv(out, idOf(row), nullptr, scored, cache_.verdicts(scored));
    return true;
}

// Each type's answer columns fit a built item string.
static_assert(std::all_of(kTypes.begin(), kTypes.end(), [](const ConstitutionType &type) {
    return type.questions66.size() <= RowScorer::kMaxPlainItems;
}));

bool RowScorer::appendPlainRow66(const std::vector<std::string_view> &row, std::string &out)
{
    // Each type's item string: a cell of its own, or built from its answer
    // columns as the questionnaire window builds it ("3;1;4;").
    std::array<std::string_view, kTypeCount> cells;
    std::array<std::array<char, 2 * kMaxPlainItems>, kTypeCount> built;
    std::array<const TypeColumns *, kTypeCount> scored{};
    std::size_t column = 0;
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        if (header_.layout == Layout::ItemStrings66) {
            cells[i] = row[header_.columns[i]];
        } else {
            const std::size_t count = kTypes[i].questions66.size();
            for (std::size_t r = 0; r < count; ++r) {
                built[i][2 * r] = row[header_.columns[column++]][0];
                built[i][2 * r + 1] = ';';
            }
            cells[i] = std::string_view(built[i].data(), 2 * count);
        }
        const auto sum = plainItemSum(cells[i], kTypes[i].keying66, kMaxPlainItems);
        if (!sum)
            return false;
        scored[i] = &cache_.type66(i, *sum, cells[i]);
    }
    appendPlainRowCsv(out, idOf(row), &cells, scored, cache_.verdicts(scored));
    return true;
}

} // namespace tizhi::cli
