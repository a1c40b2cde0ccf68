// Number reading and writing as the system's text files use them.
#include "util/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace brisko {

std::string_view trimBlanks(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return s.substr(a, b - a);
}

namespace {

// The power of ten of a number's leading digit ("123.4" 2, "0.05" -2, "1e-400" -400), for a
// number too large or too small for a double. Exponents saturate instead of overflowing.
long decimalMagnitude(std::string_view num) {
    size_t i = 0;
    if (i < num.size() && (num[i] == '-' || num[i] == '+')) ++i;
    long intDigits = 0, fracZeros = 0;
    bool seenNonZero = false;
    while (i < num.size() && num[i] >= '0' && num[i] <= '9') {
        if (num[i] != '0') seenNonZero = true;
        if (seenNonZero) ++intDigits;
        ++i;
    }
    if (i < num.size() && num[i] == '.') {
        ++i;
        while (i < num.size() && num[i] >= '0' && num[i] <= '9') {
            if (num[i] != '0') seenNonZero = true;
            if (!seenNonZero) ++fracZeros;
            ++i;
        }
    }
    long exponent = 0;
    if (i < num.size() && (num[i] == 'e' || num[i] == 'E')) {
        ++i;
        const bool negative = i < num.size() && num[i] == '-';
        if (i < num.size() && (num[i] == '-' || num[i] == '+')) ++i;
        constexpr long kSaturate = 1000000000L;
        while (i < num.size() && num[i] >= '0' && num[i] <= '9') {
            if (exponent < kSaturate) exponent = exponent * 10 + (num[i] - '0');
            ++i;
        }
        if (negative) exponent = -exponent;
    }
    return (intDigits > 0 ? intDigits - 1 : -(fracZeros + 1)) + exponent;
}

}  // namespace

double numericPrefix(std::string_view text, size_t& used) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) {
        used = 0;
        return 0.0;
    }
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
            i = j;
        }
    }
    std::string_view num = text.substr(start, i - start);
    if (!num.empty() && num[0] == '+') num.remove_prefix(1);
    double v = 0.0;
    auto r = std::from_chars(num.data(), num.data() + num.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large reads as the largest number; too small ("1e-400") as zero, not as huge.
        const bool negative = num[0] == '-';
        const double big = std::numeric_limits<double>::max();
        v = decimalMagnitude(num) < 0 ? (negative ? -0.0 : 0.0) : (negative ? -big : big);
    } else if (r.ec != std::errc()) {
        used = 0;
        return 0.0;
    }
    used = i;
    return v;
}

double numericPrefix(std::string_view text) {
    size_t used = 0;
    return numericPrefix(text, used);
}

std::string shortestDecimal(double v) {
    if (!std::isfinite(v)) return "0";
    if (v == 0) return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    // Prefer plain decimal notation for ordinary magnitudes, as people write positions.
    if (s.find('e') != std::string::npos && std::fabs(v) >= 1e-6 && std::fabs(v) < 1e15) {
        auto f = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
        s.assign(buf, f.ptr);
    }
    return s;
}

int roundToInt(double v) {
    if (!std::isfinite(v)) return 0;
    double r = std::round(v);
    if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (r < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

}  // namespace brisko
