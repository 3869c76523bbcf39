// The BMI calculator's arithmetic, apart from its window: the body mass
// index of a weight and a height, as text in and text out, so that it is
// tested without widgets like the rest of the assessment.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tizhi {

// The BMI of `weight` kilograms and `height` centimetres, both UTF-8 texts
// as typed or pasted, as the calculator shows it: a general number of at
// most 15 significant digits ("15", "22.8571428571429"), worked out in
// extended precision from the texts as written. Empty when either
// text is blank; nothing when a text is no number, the height is 0 or the
// result is no finite number.
std::optional<std::string> bmiText(std::string_view weight, std::string_view height);

} // namespace tizhi
