// GCC 12 at -O2 and above reports an overlapping memcpy inside std::string
// when a short literal is assigned or prepended (GCC bug 105329, a false
// positive fixed in GCC 13). The files whose string building sets it off
// include this header first; other compilers are not affected.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
