#include "settings_values.h"
#include "hex_digit.h"

namespace tizhi {

namespace {

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

std::optional<std::int32_t> parseSettingInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t marker = 0;
    if (text.starts_with("0x") || text.starts_with("0X"))
        marker = 2;
    else if (text.starts_with("$") || text.starts_with("x") || text.starts_with("X"))
        marker = 1;
    if (marker > 0) {
        text.remove_prefix(marker);
        if (text.empty())
            return std::nullopt;
        std::uint64_t value = 0;
        for (char c : text) {
            const int d = hexDigitValue(c);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + std::uint64_t(d);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        std::uint32_t pattern = std::uint32_t(value);
        if (negative)
            pattern = 0u - pattern; // two's complement negation of the pattern
        return std::int32_t(pattern);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return std::int32_t(value);
}

std::optional<TColor> parseSettingColor(std::string_view text)
{
    for (const ColorName &entry : kColorNames) {
        if (equalsIgnoringAsciiCase(text, entry.name))
            return entry.value;
    }
    if (const auto value = parseSettingInteger(text))
        return TColor(std::uint32_t(*value));
    return std::nullopt;
}

} // namespace tizhi
