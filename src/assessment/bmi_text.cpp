#include "bmi_text.h"
#include "gcc12_restrict.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tizhi {

namespace {

// What a text box takes for blank at either end of a text: the ASCII tab to
// carriage return and space, NEL, and the Unicode space, line and paragraph
// separators (a full-width space pasted from a Chinese text among them).
constexpr std::array<std::string_view, 25> kBlanks = {
    "\t",     "\n",     "\v",     "\f",     "\r",     " ",      "\u0085", "\u00A0", "\u1680",
    "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006", "\u2007", "\u2008",
    "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000"};

std::string_view trimBlanks(std::string_view text)
{
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        for (std::string_view blank : kBlanks) {
            if (text.starts_with(blank)) {
                text.remove_prefix(blank.size());
                trimmed = true;
            }
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                trimmed = true;
            }
        }
    }
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Skips the ASCII digits from `i` on; returns how many there were.
std::size_t skipDigits(std::string_view text, std::size_t &i)
{
    const std::size_t start = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i - start;
}

// A decimal number as typed or pasted: sign, digits with one point, an
// exponent. A lone point, two points or a letter are no number.
bool isDecimalNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t whole = skipDigits(text, i);
    std::size_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        fraction = skipDigits(text, i);
    }
    if (whole == 0 && fraction == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (skipDigits(text, i) == 0)
            return false;
    }
    return i == text.size();
}

// The number a text stands for, read straight into extended precision (a
// double widened afterwards differs in the 15th digit of about one BMI in
// thirty); nothing for a text that is no number or lies beyond extended
// precision, and for one that is not zero but reads as zero.
std::optional<long double> readNumber(std::string_view text)
{
    if (!isDecimalNumber(text))
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1); // the one sign from_chars does not take
    long double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The significant digits of a finite, non-zero `value`, exactly, and the
// decimal exponent of the first: 102.125 gives "102125" and 2.
std::pair<std::string, int> exactDigits(double value)
{
    // A double has at most 767 significant decimal digits; with 768 the
    // scientific form is exact.
    std::array<char, 800> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), std::fabs(value),
                                       std::chars_format::scientific, 767);
    const std::string_view form(text.data(), std::size_t(written.ptr - text.data()));
    const std::size_t e = form.find('e');
    std::string digits = std::string(form.substr(0, 1)) + std::string(form.substr(2, e - 2));
    int exponent = 0;
    const std::string_view exponentText = form.substr(e + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+'),
                    exponentText.data() + exponentText.size(), exponent);
    return {std::move(digits), exponent};
}

// `value` in general form with at most 15 significant digits, as the
// calculator has always shown it: an exact half rounds away from zero
// (102.1246337890625 gives 102.124633789063, where printf's "%.15g" would
// give ...062), trailing zeros go, and the exponent form ("1.5e+20",
// "1e-05") is taken below 1e-4 and from 1e15 on.
std::string generalText15(double value)
{
    constexpr int kDigits = 15;
    if (value == 0)
        return "0";
    auto [digits, exponent] = exactDigits(value);
    const bool up = digits[kDigits] >= '5';
    digits.resize(kDigits);
    if (up) {
        std::size_t i = kDigits;
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        } else {
            ++digits[i - 1];
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    std::string text = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= kDigits) {
        text += digits.substr(0, 1);
        if (digits.size() > 1)
            text += "." + digits.substr(1);
        const std::string power = std::to_string(std::abs(exponent));
        text += std::string(exponent < 0 ? "e-" : "e+") + (power.size() < 2 ? "0" : "") + power;
    } else if (exponent < 0) {
        text += "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
    } else {
        const std::size_t whole = std::size_t(exponent) + 1;
        if (digits.size() < whole)
            digits.append(whole - digits.size(), '0');
        text += digits.substr(0, whole);
        if (digits.size() > whole)
            text += "." + digits.substr(whole);
    }
    return text;
}

} // namespace

std::optional<std::string> bmiText(std::string_view weight, std::string_view height)
{
    const std::string_view w = trimBlanks(weight);
    const std::string_view h = trimBlanks(height);
    if (w.empty() || h.empty())
        return std::string();
    const auto kilograms = readNumber(w);
    const auto centimetres = readNumber(h);
    if (!kilograms || !centimetres)
        return std::nullopt;
    // The arithmetic in extended precision; only the quotient is a double.
    // C++ arithmetic does not stop at a division by zero or an overflow:
    // both are checked here.
    const long double metres = *centimetres / 100.0L;
    const long double square = metres * metres;
    if (square == 0.0L)
        return std::nullopt;
    double bmi = static_cast<double>(*kilograms / square);
    if (!std::isfinite(bmi))
        return std::nullopt;
    if (bmi == 0)
        bmi = 0; // a weight of "-0" shows "0": the calculator never showed a sign on zero
    return generalText15(bmi);
}

} // namespace tizhi
