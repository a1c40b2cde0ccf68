// Code page 932 and UTF-8 conversion through glibc's iconv.
#include "util/textcodec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace brisko {

namespace {

// Runs one iconv conversion. With `lossy`, an input byte that cannot be converted becomes
// `replacement` and conversion goes on; otherwise the conversion fails.
bool convert(const char* to, const char* from, std::string_view in, std::string& out, bool lossy,
             std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result;
    std::vector<char> buf(4096);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buf.data();
        size_t outLeft = buf.size();
        size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        result.append(buf.data(), buf.size() - outLeft);
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (!lossy) {
                ok = false;
                break;
            }
            result.append(replacement);
            ++inPtr;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    if (ok) {
        char* outPtr = buf.data();
        size_t outLeft = buf.size();
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        result.append(buf.data(), buf.size() - outLeft);
    }
    iconv_close(cd);
    if (ok) out = std::move(result);
    return ok;
}

}  // namespace

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        unsigned cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n) return false;
        for (int j = 1; j < len; ++j) {
            auto cc = static_cast<unsigned char>(s[i + j]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

DecodedText decodeText(std::string_view bytes) {
    DecodedText r;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        r.encoding = TextEncoding::Utf8Bom;
        if (isValidUtf8(bytes)) {
            r.text.assign(bytes);
            return r;
        }
    } else if (isValidUtf8(bytes)) {
        r.text.assign(bytes);
        r.encoding = TextEncoding::Utf8;
        return r;
    }
    r.encoding = TextEncoding::Cp932;
    if (!convert("UTF-8", "CP932", bytes, r.text, true, "\xEF\xBF\xBD")) r.text.assign(bytes);
    return r;
}

bool utf8ToCp932(std::string_view utf8, std::string& out) {
    return convert("CP932", "UTF-8", utf8, out, false, {});
}

std::string encodeForWindows(std::string_view utf8, TextEncoding* used) {
    std::string out;
    if (utf8ToCp932(utf8, out)) {
        if (used) *used = TextEncoding::Cp932;
        return out;
    }
    if (used) *used = TextEncoding::Utf8Bom;
    out = "\xEF\xBB\xBF";
    out.append(utf8);
    return out;
}

}  // namespace brisko
