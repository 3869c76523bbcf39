#include "item_string.h"

namespace tizhi {

bool isReversedPosition(Keying keying, std::int64_t position)
{
    switch (keying) {
    case Keying::Plain:
        return false;
    case Keying::PingHe33:
        return position >= 2;
    case Keying::PingHe66:
        return position != 1 && position != 6;
    }
    return false;
}

std::vector<std::string_view> itemStringAnswers(std::string_view itemString)
{
    std::vector<std::string_view> answers;
    forEachItemStringAnswer(itemString,
                            [&answers](std::string_view answer) { answers.push_back(answer); });
    return answers;
}

std::int64_t SumItemString(std::string_view itemString, Keying keying)
{
    // Answers are numbered from 1; an empty one adds nothing but keeps its
    // position. A single answer counts forward under every keying.
    std::int64_t total = 0;
    std::int64_t position = 0;
    forEachItemStringAnswer(itemString, [&total, &position, keying](std::string_view answer) {
        ++position;
        if (!answer.empty()) {
            const std::int64_t value = parseInteger32(answer);
            total += isReversedPosition(keying, position) ? 6 - value : value;
        }
    });
    return total;
}

} // namespace tizhi
