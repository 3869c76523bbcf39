// The item string holds the answers of one constitution type, each followed
// by ";" ("3;;4;5;" has a blank second answer). SumItemString turns it into
// the raw score that both assessments start from.
#pragma once

#include "catalogue.h"
#include "number_text.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tizhi {

// Sums an item string: a forward position adds its answer v, a reversed
// position (by the keying) adds 6 - v, an empty slot adds nothing but keeps
// its position. A text without ";" is one forward answer whatever the keying,
// so the start value "0" gives 0. A segment that is no integer throws
// ConvertError "'seg' is not a valid integer value".
std::int64_t SumItemString(std::string_view itemString, Keying keying);

// The answers of an item string, each trimmed, in order: "3;;4;5;" gives
// "3", "", "4", "5", "" (the text after the last ";" is one more answer,
// empty when the string ends with ";"). A text without ";" is one answer,
// and an empty or blank one none. SumItemString and the questionnaire
// window both read item strings this way.
std::vector<std::string_view> itemStringAnswers(std::string_view itemString);

// Calls `onAnswer` with each answer of itemStringAnswers, in order, without
// keeping them: an item string of millions of answers costs no memory.
template <typename OnAnswer>
void forEachItemStringAnswer(std::string_view itemString, OnAnswer &&onAnswer)
{
    const std::string_view text = trimText(itemString);
    if (text.find(';') == std::string_view::npos) {
        if (!text.empty())
            onAnswer(text);
        return;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(';', start);
        onAnswer(
            trimText(text.substr(start, end == std::string_view::npos ? text.npos : end - start)));
        if (end == std::string_view::npos)
            return;
        start = end + 1;
    }
}

// Whether 1-based position `position` of an item string counts reversed.
bool isReversedPosition(Keying keying, std::int64_t position);

} // namespace tizhi
