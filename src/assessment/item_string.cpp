#include "item_string.h"

#include "number_text.h"

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
    const std::string_view text = trimText(itemString);
    if (text.find(';') == std::string_view::npos) {
        if (!text.empty())
            answers.push_back(text);
        return answers;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(';', start);
        answers.push_back(
            trimText(text.substr(start, end == std::string_view::npos ? text.npos : end - start)));
        if (end == std::string_view::npos)
            return answers;
        start = end + 1;
    }
}

std::int64_t SumItemString(std::string_view itemString, Keying keying)
{
    // Answers are numbered from 1; an empty one adds nothing but keeps its
    // position. A single answer counts forward under every keying.
    std::int64_t total = 0;
    std::int64_t position = 0;
    for (const std::string_view answer : itemStringAnswers(itemString)) {
        ++position;
        if (!answer.empty()) {
            const std::int64_t value = parseInteger32(answer);
            total += isReversedPosition(keying, position) ? 6 - value : value;
        }
    }
    return total;
}

} // namespace tizhi
