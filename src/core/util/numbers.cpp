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
        v = (num[0] == '-') ? -std::numeric_limits<double>::max()
                            : std::numeric_limits<double>::max();
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
