// Number reading and writing as the system's text files use them.
#pragma once

#include <string>
#include <string_view>

namespace brisko {

// The numeric-prefix rule: leading blanks skipped, then as many characters as form a decimal
// number (sign, digits, point, exponent); no number gives 0. "12.5abc" is 12.5, "x" is 0.
// The value is the double nearest to the number, as strtod reads it ("1e-400" is 0), except
// that a number too large for a double is held at the largest one instead of infinity.
double numericPrefix(std::string_view text);

// Like numericPrefix, but tells how many characters were used (0: no number).
double numericPrefix(std::string_view text, size_t& used);

// Shortest decimal text that reads back to the same double ("3530.1234", "45", "-7.5").
std::string shortestDecimal(double v);

// Rounds half away from zero to a whole number; NaN and infinities give 0, and values beyond
// the int range are held at its ends.
int roundToInt(double v);

std::string_view trimBlanks(std::string_view s);  // spaces and tabs on both sides

}  // namespace brisko
