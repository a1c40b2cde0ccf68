// The JSON writer of brisko-analyse.
#include "jsonwriter.h"

#include <cmath>
#include <cstdio>

#include "util/numbers.h"

namespace brisko {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
size_t utf8Length(std::string_view s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    unsigned min;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0)
        n = 2, min = 0x80;
    else if ((c & 0xF0) == 0xE0)
        n = 3, min = 0x800;
    else if ((c & 0xF8) == 0xF0)
        n = 4, min = 0x10000;
    else
        return 0;
    if (i + n > s.size()) return 0;
    unsigned cp = c & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

std::string JsonWriter::quote(std::string_view s) {
    std::string r = "\"";
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
            case '"':
                r += "\\\"";
                ++i;
                continue;
            case '\\':
                r += "\\\\";
                ++i;
                continue;
            case '\n':
                r += "\\n";
                ++i;
                continue;
            case '\r':
                r += "\\r";
                ++i;
                continue;
            case '\t':
                r += "\\t";
                ++i;
                continue;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            r += buf;
            ++i;
            continue;
        }
        const size_t n = utf8Length(s, i);
        if (n == 0) {
            r += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not UTF-8
            ++i;
        } else {
            r.append(s.substr(i, n));
            i += n;
        }
    }
    r += '"';
    return r;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) out_ += ',';
        first_.back() = false;
    }
}

void JsonWriter::beginObject() {
    beforeValue();
    out_ += '{';
    first_.push_back(true);
}

void JsonWriter::endObject() {
    out_ += '}';
    if (!first_.empty()) first_.pop_back();
}

void JsonWriter::beginArray() {
    beforeValue();
    out_ += '[';
    first_.push_back(true);
}

void JsonWriter::endArray() {
    out_ += ']';
    if (!first_.empty()) first_.pop_back();
}

JsonWriter& JsonWriter::key(std::string_view k) {
    beforeValue();
    out_ += quote(k);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

void JsonWriter::value(double v) {
    beforeValue();
    out_ += std::isfinite(v) ? shortestDecimal(v) : "null";
}

void JsonWriter::value(int v) {
    beforeValue();
    out_ += std::to_string(v);
}

void JsonWriter::value(std::string_view s) {
    beforeValue();
    out_ += quote(s);
}

void JsonWriter::value(bool b) {
    beforeValue();
    out_ += b ? "true" : "false";
}

void JsonWriter::null() {
    beforeValue();
    out_ += "null";
}

void JsonWriter::valueOrNull(bool present, double v) {
    if (present)
        value(v);
    else
        null();
}

}  // namespace brisko
