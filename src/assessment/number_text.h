// Number texts of the assessment record. Every score lives as text, because
// the windows edit and show it as text; the assessments read scores back and
// write them again. Reading and rounding work on exact decimal values: a
// health worker checks "28.13" by hand, so 28.125 must round up every time,
// which binary floating point cannot promise.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tizhi {

// A text that does not convert to a number. The message is the one the user
// sees in the error box, e.g. "'x' is not a valid integer value".
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void throwIntegerError(std::string_view text);
[[noreturn]] void throwFloatError(std::string_view text);

// Removes blanks and control characters (every byte up to and including ' ')
// from both ends; multi-byte UTF-8 characters are never touched.
std::string_view trimText(std::string_view text);

// An optionally signed run of decimal digits within the 32-bit range (the
// range of an answer), or ConvertError "'text' is not a valid integer value".
std::int32_t parseInteger32(std::string_view text);

// The same within the 64-bit range: raw scores read back from the record.
// Blanks and control characters around the number are allowed.
std::int64_t parseInteger64(std::string_view text);

__extension__ using Int128 = __int128;

// numerator / denominator (denominator > 0) rounded to two decimals, an exact
// half away from zero, in the shortest form: "50", "12.5", "28.13", "0".
std::string numberText2(Int128 numerator, Int128 denominator);

// An exact decimal number as read from a score text: value = digits x 10^exponent.
class Decimal {
public:
    // Reads an optionally signed decimal with an optional fraction and
    // exponent ("62.5", "-3", "1e2"), blanks around it allowed; anything else
    // is ConvertError "'text' is not a valid floating point value".
    static Decimal parse(std::string_view text);
    static Decimal fromInteger(std::int64_t value);

    bool isZero() const { return digits_.empty(); }
    bool isNegative() const { return negative_; }

    // -1, 0 or 1.
    int compare(const Decimal &other) const;
    bool operator<(const Decimal &other) const { return compare(other) < 0; }
    bool operator>=(const Decimal &other) const { return compare(other) >= 0; }

    // Rounded to two decimals (an exact half away from zero), shortest form.
    std::string toText2() const;

private:
    bool negative_ = false;
    std::string digits_;        // no leading or trailing zeros; empty for zero
    std::int64_t exponent_ = 0; // of the last digit
};

} // namespace tizhi
