#include "number_text.h"
#include "gcc12_restrict.h"

#include <algorithm>
#include <limits>

namespace tizhi {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Larger decimal exponents than this are not numbers to any reader of the
// record; smaller ones are zero. The bounds keep every later step linear in
// the length of the text.
constexpr std::int64_t kMaxMagnitudeExponent = 4932;
constexpr std::int64_t kMinMagnitudeExponent = -4951;

// Adds one unit to the last digit of a decimal digit string.
void incrementDigits(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// Hundredths as a digit string (no sign) -> "12.5", "50", "0".
std::string formatHundredths(std::string hundredths, bool negative)
{
    const auto firstNonZero = hundredths.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return "0";
    hundredths.erase(0, firstNonZero);
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');
    std::string whole = hundredths.substr(0, hundredths.size() - 2);
    std::string fraction = hundredths.substr(hundredths.size() - 2);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string text = negative ? "-" : "";
    text += whole;
    if (!fraction.empty())
        text += "." + fraction;
    return text;
}

std::string int128ToDigits(Int128 value)
{
    // value >= 0
    if (value == 0)
        return "0";
    std::string digits;
    while (value > 0) {
        digits.push_back(static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

} // namespace

void throwIntegerError(std::string_view text)
{
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

void throwFloatError(std::string_view text)
{
    throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

std::string_view trimText(std::string_view text)
{
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

namespace {

// Reads [+-]digits exactly, within [min, max]; false otherwise.
bool readSignedInteger(std::string_view text, std::int64_t min, std::int64_t max,
                       std::int64_t &result)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    // Accumulate as a negative number so that the lowest value fits.
    std::int64_t value = 0;
    const std::int64_t limit = negative ? min : -max;
    for (char c : text) {
        if (!isDigit(c))
            return false;
        const int digit = c - '0';
        if (value < (limit + digit) / 10)
            return false;
        value = value * 10 - digit;
        if (value < limit)
            return false;
    }
    result = negative ? value : -value;
    return true;
}

} // namespace

std::int32_t parseInteger32(std::string_view text)
{
    std::int64_t value = 0;
    if (!readSignedInteger(text, std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max(), value))
        throwIntegerError(text);
    return static_cast<std::int32_t>(value);
}

std::int64_t parseInteger64(std::string_view text)
{
    std::int64_t value = 0;
    if (!readSignedInteger(trimText(text), std::numeric_limits<std::int64_t>::min(),
                           std::numeric_limits<std::int64_t>::max(), value))
        throwIntegerError(text);
    return value;
}

std::string numberText2(Int128 numerator, Int128 denominator)
{
    const bool negative = numerator < 0;
    if (negative)
        numerator = -numerator;
    // Split first so that numerator * 100 cannot overflow.
    const Int128 whole = numerator / denominator;
    const Int128 rest = numerator % denominator;
    const Int128 restHundredths = rest * 100 / denominator;
    const Int128 remainder = rest * 100 % denominator;
    Int128 hundredths = whole * 100 + restHundredths;
    if (remainder * 2 >= denominator)
        ++hundredths;
    return formatHundredths(int128ToDigits(hundredths), negative);
}

Decimal Decimal::parse(std::string_view original)
{
    std::string_view text = trimText(original);
    Decimal result;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        result.negative_ = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string digits;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool inFraction = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            anyDigit = true;
            if (!(digits.empty() && c == '0'))
                digits.push_back(c);
            if (inFraction)
                --exponent;
        } else if (c == '.' && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        throwFloatError(original);
    if (i < text.size()) {
        if (text[i] != 'e' && text[i] != 'E')
            throwFloatError(original);
        ++i;
        bool exponentNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        if (i == text.size())
            throwFloatError(original);
        std::int64_t written = 0;
        for (; i < text.size(); ++i) {
            if (!isDigit(text[i]))
                throwFloatError(original);
            // Saturate: the magnitude check below decides.
            written = std::min<std::int64_t>(written * 10 + (text[i] - '0'), 1'000'000'000);
        }
        exponent += exponentNegative ? -written : written;
    }
    // Leading zeros of the fraction were dropped but still moved the exponent;
    // now drop trailing zeros into the exponent.
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    if (digits.empty())
        return Decimal{}; // zero, sign dropped
    const std::int64_t magnitude = exponent + static_cast<std::int64_t>(digits.size()) - 1;
    if (magnitude > kMaxMagnitudeExponent)
        throwFloatError(original);
    if (magnitude < kMinMagnitudeExponent)
        return Decimal{};
    result.digits_ = std::move(digits);
    result.exponent_ = exponent;
    return result;
}

Decimal Decimal::fromInteger(std::int64_t value)
{
    return parse(std::to_string(value));
}

int Decimal::compare(const Decimal &other) const
{
    const int signThis = isZero() ? 0 : (negative_ ? -1 : 1);
    const int signOther = other.isZero() ? 0 : (other.negative_ ? -1 : 1);
    if (signThis != signOther)
        return signThis < signOther ? -1 : 1;
    if (signThis == 0)
        return 0;
    // Same sign: compare magnitudes, then flip for negatives.
    const std::int64_t magThis = exponent_ + static_cast<std::int64_t>(digits_.size());
    const std::int64_t magOther = other.exponent_ + static_cast<std::int64_t>(other.digits_.size());
    int byMagnitude = 0;
    if (magThis != magOther) {
        byMagnitude = magThis < magOther ? -1 : 1;
    } else {
        // Leading digits are aligned; missing trailing digits are zeros, and
        // neither string has trailing zeros.
        const int c = digits_.compare(other.digits_);
        byMagnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return signThis * byMagnitude;
}

std::string Decimal::toText2() const
{
    if (isZero())
        return "0";
    std::string hundredths = digits_;
    const std::int64_t shift = exponent_ + 2; // exponent of the last digit, in hundredths
    if (shift >= 0) {
        hundredths.append(static_cast<std::size_t>(shift), '0');
        return formatHundredths(std::move(hundredths), negative_);
    }
    const std::size_t dropped = static_cast<std::size_t>(-shift);
    if (dropped > hundredths.size())
        return "0"; // below 0.001: far from the half
    const bool roundUp = hundredths[hundredths.size() - dropped] >= '5';
    hundredths.erase(hundredths.size() - dropped);
    if (hundredths.empty())
        hundredths = "0";
    if (roundUp)
        incrementDigits(hundredths);
    return formatHundredths(std::move(hundredths), negative_);
}

} // namespace tizhi
