// The item string holds the answers of one constitution type, each followed
// by ";" ("3;;4;5;" has a blank second answer). SumItemString turns it into
// the raw score that both assessments start from.
#pragma once

#include "catalogue.h"

#include <cstdint>
#include <string_view>

namespace tizhi {

// Sums an item string: a forward position adds its answer v, a reversed
// position (by the keying) adds 6 - v, an empty slot adds nothing but keeps
// its position. A text without ";" is one forward answer whatever the keying,
// so the start value "0" gives 0. A segment that is no integer throws
// ConvertError "'seg' is not a valid integer value".
std::int64_t SumItemString(std::string_view itemString, Keying keying);

// Whether 1-based position `position` of an item string counts reversed.
bool isReversedPosition(Keying keying, std::int64_t position);

} // namespace tizhi
