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

std::int64_t SumItemString(std::string_view itemString, Keying keying)
{
    if (itemString.empty())
        return 0;
    const std::string_view text = trimText(itemString);
    if (itemString.find(';') == std::string_view::npos) {
        if (text.empty())
            return 0;
        return parseInteger32(text);
    }
    // Segments are numbered from 1; the text after the last ";" is one more
    // segment, empty whenever the string ends with ";".
    std::int64_t total = 0;
    std::int64_t position = 0;
    std::size_t start = 0;
    while (true) {
        ++position;
        const std::size_t end = text.find(';', start);
        const std::string_view segment =
            trimText(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (!segment.empty()) {
            const std::int64_t value = parseInteger32(segment);
            total += isReversedPosition(keying, position) ? 6 - value : value;
        }
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return total;
}

} // namespace tizhi
